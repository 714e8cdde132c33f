#pragma once

#include "support/odbc_fixture.h"

#include <QObject>

// The object of a test that reaches a database through ODBC. It holds the fixture, which is built
// with the object: after the application, and before the test's first ODBC call.
class DatabaseTest : public QObject {
protected:
    explicit DatabaseTest(OdbcFixture::Trace trace = OdbcFixture::Trace::Off) : m_odbc(trace) {}

    OdbcFixture m_odbc;
};
