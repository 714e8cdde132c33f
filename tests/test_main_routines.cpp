#include "common/main_routines.h"

#include <QtTest>

class TestMainRoutines : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(TestMainRoutines)
#include "test_main_routines.moc"
