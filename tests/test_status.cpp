#include "app/status.h"

#include <QSignalSpy>
#include <QtTest>

using Handler = Status::Handler;

// The failure label as the timers and the one-off handlers report to it.
class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void cleanRun_withdrawsOnlyItsOwnFailure();
    void oneOffFailure_standsUntilAnyHandlerRunsAgain();
};

void TestStatus::cleanRun_withdrawsOnlyItsOwnFailure()
{
    Status status;
    QSignalSpy changes(&status, &Status::errorChanged);
    status.setError(QStringLiteral("ecrã"), Handler::Rotation);
    status.setError(QString(), Handler::Polling);
    QCOMPARE(status.error(), QStringLiteral("ecrã"));
    status.setError(QStringLiteral("base"), Handler::Polling);
    status.setError(QStringLiteral("ecrã"), Handler::Rotation); // the same failure again
    QCOMPARE(status.error(), QStringLiteral("ecrã"));
    status.setError(QString(), Handler::Rotation);
    QCOMPARE(status.error(), QStringLiteral("base")); // still standing, shown again
    status.setError(QString(), Handler::Polling);
    QCOMPARE(status.error(), QString());
    QCOMPARE(changes.count(), 5);
}

void TestStatus::oneOffFailure_standsUntilAnyHandlerRunsAgain()
{
    Status status;
    status.setError(QStringLiteral("base"), Handler::Polling);
    status.setError(QStringLiteral("gravar"));
    QCOMPARE(status.error(), QStringLiteral("gravar"));
    status.setError(QString(), Handler::Rotation);
    QCOMPARE(status.error(), QStringLiteral("base"));
    status.setError(QStringLiteral("gravar"));
    status.setError(QString());
    QCOMPARE(status.error(), QStringLiteral("base"));
}

QTEST_GUILESS_MAIN(TestStatus)
#include "test_status.moc"
