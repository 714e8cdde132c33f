#include "display/display_presets.h"
#include "support/preset_message.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

class TestVisor : public QObject {
    Q_OBJECT
private slots:
    void modelo_drawsMessagesInThatCommandSet_data();
    void modelo_drawsMessagesInThatCommandSet();
    void unknownModelo_isRefusedWithTheChoices();
};

namespace {

constexpr int waitMs = 10000;

} // namespace

void TestVisor::modelo_drawsMessagesInThatCommandSet_data()
{
    QTest::addColumn<QString>("modelo");
    QTest::addColumn<QByteArray>("message");
    for (const DisplayPreset& preset : displayPresets())
        QTest::newRow(preset.key.toLatin1().constData())
            << preset.key << presetMessage(preset.codes, "line one", "line two");
}

void TestVisor::modelo_drawsMessagesInThatCommandSet()
{
    QFETCH(QString, modelo);
    QFETCH(QByteArray, message);
    QProcess visor;
    visor.start(QStringLiteral(MOSTRELA_VISOR), {QStringLiteral("--modelo"), modelo});
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

    QTRY_VERIFY_WITH_TIMEOUT((output += visor.readAllStandardOutput())
                                 .contains("|line one            |\x1B[K\n"
                                           "|line two            |"),
                             waitMs);
    visor.kill();
    visor.waitForFinished(waitMs);
}

void TestVisor::unknownModelo_isRefusedWithTheChoices()
{
    QProcess visor;
    visor.start(QStringLiteral(MOSTRELA_VISOR), {QStringLiteral("--modelo"), QStringLiteral("x")});
    QVERIFY(visor.waitForFinished(waitMs));
    QCOMPARE(visor.exitCode(), 1);
    const QByteArray error = visor.readAllStandardError();
    for (const DisplayPreset& preset : displayPresets())
        QVERIFY2(error.contains(preset.key.toUtf8()), error.constData());
}

QTEST_GUILESS_MAIN(TestVisor)
#include "test_visor.moc"
