#pragma once

#include <QtTest>

// Fails showing the whole text when it lacks `part`: at once, or once waiting for it is over.
#define VERIFY_SAYS(text, part) QVERIFY2((text).contains(part), qPrintable(text))
#define TRY_VERIFY_SAYS(text, part) QTRY_VERIFY2((text).contains(part), qPrintable(text))
