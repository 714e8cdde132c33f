#include "core/code_sequence.h"
#include "display/display_presets.h"
#include "support/test_main.h"

namespace {

constexpr int waitMs = 10000;

// The bytes one message puts on the line of a display with these codes.
QByteArray presetMessage(const DisplayCodes& codes, const QByteArray& linha1,
                         const QByteArray& linha2)
{
    return codeSequenceBytes(codes.limpa) + codeSequenceBytes(codes.initLinha1) + linha1 +
           codeSequenceBytes(codes.fimLinha1) + codeSequenceBytes(codes.initLinha2) + linha2 +
           codeSequenceBytes(codes.fimLinha2);
}

} // namespace

class TestVisor : public QObject {
    Q_OBJECT
private slots:
    void modeloAndCodePage_drawMessagesAsThatDisplayShowsThem_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("drawn");
        const QByteArray lines = "|line one            |\x1B[K\n|line two            |";
        for (const DisplayPreset& preset : displayPresets())
            QTest::newRow(preset.key.toLatin1().constData())
                << QStringList{"--modelo", preset.key}
                << presetMessage(preset.codes, "line one", "line two") << lines;

        // "Café 2,50 €" in the code page the display reads.
        const DisplayCodes& escpos = displayPresetWithKey("escpos")->codes;
        const QByteArray cafe = QStringLiteral("|Café 2,50 €         |").toUtf8();
        QTest::newRow("Windows-1252 unless told")
            << QStringList{}
            << presetMessage(displayPresets().front().codes, "Caf\xE9 2,50 \x80", "") << cafe;
        QTest::newRow("the page the model's codes select")
            << QStringList{"--modelo", "escpos"} << presetMessage(escpos, "Caf\x82 2,50 \xD5", "")
            << cafe;
        QTest::newRow("the page told")
            << QStringList{"--modelo", "escpos", "--pagina-codigos", "1252"}
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
        QTRY_VERIFY2_WITH_TIMEOUT((output += visor.readAllStandardOutput()).contains('\n'),
                                  output.constData(), waitMs);
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
