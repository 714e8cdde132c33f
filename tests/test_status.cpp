#include "core/status.h"
#include "support/test_main.h"

using Handler = Status::Handler;

// The failure label as the handlers report to it.
class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void cleanRun_withdrawsOnlyItsOwnFailure()
    {
        Status status;
        QSignalSpy changes(&status, &Status::errorChanged);
        status.setError("ecrã", Handler::Rotation);
        status.setError(QString(), Handler::Polling);
        QCOMPARE(status.error(), "ecrã");
        status.setError("base", Handler::Polling);
        status.setError("ecrã", Handler::Rotation); // the same failure again
        QCOMPARE(status.error(), "ecrã");
        status.setError(QString(), Handler::Rotation);
        QCOMPARE(status.error(), "base"); // still standing, shown again
        status.setError(QString(), Handler::Polling);
        QCOMPARE(status.error(), QString());
        QCOMPARE(changes.count(), 5);
    }

    void saveFailure_standsUntilTheFileIsWrittenAgain()
    {
        Status status;
        status.setError("gravar", Handler::SettingsFile);
        status.setError(QString(), Handler::Rotation);
        status.setError(QString(), Handler::Polling);
        QCOMPARE(status.error(), "gravar");
        status.setError(QString(), Handler::SettingsFile);
        QCOMPARE(status.error(), QString());
    }

    void log_eachNewOrChangedFailureAndEachRecovery_once()
    {
        Status status;
        static QStringList logLines; // the program's, each with its level
        const QtMessageHandler former = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (QLatin1String(context.category) == QLatin1String("mostrela"))
                    logLines.append((type == QtWarningMsg ? "W " : "I ") + text);
            });
        status.setError(QString(), Handler::Polling);
        status.setError("sem base", Handler::Polling);
        status.setError("sem base", Handler::Polling);
        status.setError("ecrã", Handler::Rotation);
        status.setError("sem pasta", Handler::Polling);
        status.setError(QString(), Handler::Polling);
        status.setError(QString(), Handler::Polling);
        status.setError(QString(), Handler::Rotation);
        qInstallMessageHandler(former);
        QCOMPARE(logLines,
                 QStringList({"W fontes: sem base", "W display: ecrã", "W fontes: sem pasta",
                              "I fontes: recuperado", "I display: recuperado"}));
    }

    void standingError_isEachHandlersOwnEvenWhenAnotherIsShown()
    {
        Status status;
        status.setError("gravar", Handler::SettingsFile);
        status.setError("ecrã", Handler::Rotation);
        QCOMPARE(status.error(), "ecrã");
        QCOMPARE(status.standingError(Handler::SettingsFile), "gravar");
        QCOMPARE(status.standingError(Handler::Polling), QString());
        status.setError(QString(), Handler::SettingsFile);
        QCOMPARE(status.standingError(Handler::SettingsFile), QString());
        QCOMPARE(status.standingError(Handler::Rotation), "ecrã");
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestStatus)
#include "test_status.moc"
