#include "display/display_presets.h"
#include "support/preset_message.h"
#include "support/test_main.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

namespace {

constexpr int waitMs = 10000;

} // namespace

class TestVisor : public QObject {
    Q_OBJECT
private slots:
    void modeloAndCodePage_drawMessagesAsThatDisplayShowsThem_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("drawn");
        const QString modelo = QStringLiteral("--modelo");
        const QByteArray lines = "|line one            |\x1B[K\n|line two            |";
        for (const DisplayPreset& preset : displayPresets())
            QTest::newRow(preset.key.toLatin1().constData())
                << QStringList{modelo, preset.key}
                << presetMessage(preset.codes, "line one", "line two") << lines;

        // "Café 2,50 €" in the code page the display reads.
        const DisplayCodes& escpos = displayPresetWithKey("escpos")->codes;
        const QByteArray cafe = QStringLiteral("|Café 2,50 €         |").toUtf8();
        QTest::newRow("Windows-1252 unless told")
            << QStringList{}
            << presetMessage(displayPresets().front().codes, "Caf\xE9 2,50 \x80", "") << cafe;
        QTest::newRow("the page the model's codes select")
            << QStringList{modelo, "escpos"} << presetMessage(escpos, "Caf\x82 2,50 \xD5", "")
            << cafe;
        QTest::newRow("the page told") << QStringList{modelo, "escpos", "--pagina-codigos", "1252"}
                                       << presetMessage(escpos, "Caf\xE9 2,50 \x80", "") << cafe;
    }

    void modeloAndCodePage_drawMessagesAsThatDisplayShowsThem()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, drawn);
        QProcess visor;
        visor.start(QStringLiteral(MOSTRELA_VISOR), arguments);
        QVERIFY(visor.waitForStarted(waitMs));

        // It prints the port's path first.
        QByteArray output;
        const QDeadlineTimer deadline(waitMs);
        while (!output.contains('\n') && visor.waitForReadyRead(int(deadline.remainingTime())))
            output += visor.readAllStandardOutput();
        QVERIFY2(output.contains('\n'), output.constData());
        QFile port(QString::fromLocal8Bit(output.left(output.indexOf('\n'))));
        QVERIFY2(port.open(QIODevice::WriteOnly | QIODevice::Unbuffered),
                 qPrintable(port.errorString()));
        QCOMPARE(port.write(message), message.size());
        port.close();

        QTRY_VERIFY_WITH_TIMEOUT((output += visor.readAllStandardOutput()).contains(drawn), waitMs);
        visor.kill();
        visor.waitForFinished(waitMs);
    }

    void unknownModeloOrCodePage_isRefusedWithTheChoices()
    {
        QProcess visor;
        const auto refusal = [&visor](const QStringList& arguments) {
            visor.start(QStringLiteral(MOSTRELA_VISOR), arguments);
            const bool refused = visor.waitForFinished(waitMs) && visor.exitCode() == 1;
            return refused ? visor.readAllStandardError() : QByteArray("not refused");
        };
        QByteArray error = refusal({"--modelo", "x"});
        for (const DisplayPreset& preset : displayPresets())
            QVERIFY2(error.contains(preset.key.toUtf8()), error.constData());
        error = refusal({"--pagina-codigos", "1251"});
        QVERIFY2(error.contains("\"1251\"") && error.contains("858"), error.constData());
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestVisor)
#include "test_visor.moc"
