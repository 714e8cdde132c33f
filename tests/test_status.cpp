#include "core/status.h"

#include <QSignalSpy>
#include <QtTest>

using Handler = Status::Handler;

// The failure label as the handlers report to it.
class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void cleanRun_withdrawsOnlyItsOwnFailure();
    void saveFailure_standsUntilTheFileIsWrittenAgain();
    void standingError_isEachHandlersOwnEvenWhenAnotherIsShown();
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

void TestStatus::saveFailure_standsUntilTheFileIsWrittenAgain()
{
    Status status;
    status.setError(QStringLiteral("gravar"), Handler::SettingsFile);
    status.setError(QString(), Handler::Rotation);
    status.setError(QString(), Handler::Polling);
    QCOMPARE(status.error(), QStringLiteral("gravar"));
    status.setError(QString(), Handler::SettingsFile);
    QCOMPARE(status.error(), QString());
}

void TestStatus::standingError_isEachHandlersOwnEvenWhenAnotherIsShown()
{
    Status status;
    status.setError(QStringLiteral("gravar"), Handler::SettingsFile);
    status.setError(QStringLiteral("ecrã"), Handler::Rotation);
    QCOMPARE(status.error(), QStringLiteral("ecrã"));
    QCOMPARE(status.standingError(Handler::SettingsFile), QStringLiteral("gravar"));
    QCOMPARE(status.standingError(Handler::Polling), QString());
    status.setError(QString(), Handler::SettingsFile);
    QCOMPARE(status.standingError(Handler::SettingsFile), QString());
    QCOMPARE(status.standingError(Handler::Rotation), QStringLiteral("ecrã"));
}

QTEST_GUILESS_MAIN(TestStatus)
#include "test_status.moc"
