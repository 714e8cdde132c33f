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
    void paginaCodigos_drawsTheBytesInThatPage_data();
    void paginaCodigos_drawsTheBytesInThatPage();
    void unknownModeloOrCodePage_isRefusedWithTheChoices();
};

namespace {

constexpr int waitMs = 10000;

// The terminal display running with these arguments, a message written to the port it prints.
class RunningVisor {
public:
    explicit RunningVisor(const QStringList& arguments)
    {
        m_visor.start(QStringLiteral(MOSTRELA_VISOR), arguments);
        // It prints the port's path first.
        const QDeadlineTimer deadline(waitMs);
        while (!m_output.contains('\n') && m_visor.waitForReadyRead(int(deadline.remainingTime())))
            m_output += m_visor.readAllStandardOutput();
    }

    ~RunningVisor()
    {
        m_visor.kill();
        m_visor.waitForFinished(waitMs);
    }

    // Says why the message could not be written, or nothing when it was.
    QString write(const QByteArray& message)
    {
        if (!m_output.contains('\n'))
            return QStringLiteral("no port printed: ") + QString::fromLocal8Bit(m_output);
        QFile port(QString::fromLocal8Bit(m_output.left(m_output.indexOf('\n'))));
        if (!port.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return port.errorString();
        if (port.write(message) != message.size())
            return port.errorString();
        return {};
    }

    // Everything drawn so far, in UTF-8; never waits, so it suits QTRY_VERIFY.
    QByteArray output()
    {
        m_output += m_visor.readAllStandardOutput();
        return m_output;
    }

private:
    QProcess m_visor;
    QByteArray m_output;
};

// The two lines as the display draws them in place, 20 columns wide.
QByteArray drawn(const QString& linha1, const QString& linha2)
{
    return (u'|' + linha1.leftJustified(20) + QStringLiteral("|\x1B[K\n|") +
            linha2.leftJustified(20) + u'|')
        .toUtf8();
}

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
    RunningVisor visor({QStringLiteral("--modelo"), modelo});
    const QString failure = visor.write(message);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QTRY_VERIFY_WITH_TIMEOUT(
        visor.output().contains(drawn(QStringLiteral("line one"), QStringLiteral("line two"))),
        waitMs);
}

void TestVisor::paginaCodigos_drawsTheBytesInThatPage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const DisplayCodes& cd5220 = displayPresetWithKey(QStringLiteral("cd5220"))->codes;
    const DisplayCodes& escpos = displayPresetWithKey(QStringLiteral("escpos"))->codes;
    const QString modelo = QStringLiteral("--modelo");
    const QString pagina = QStringLiteral("--pagina-codigos");
    // Each message is "Café 2,50 €" / "Pão Ñ" in the page the display reads.
    const QByteArray windows1252 = presetMessage(cd5220, "Caf\xE9 2,50 \x80", "P\xE3o \xD1");
    const QByteArray ibm858 = presetMessage(cd5220, "Caf\x82 2,50 \xD5", "P\xC6o \xA5");
    QTest::newRow("Windows-1252 unless told") << QStringList{} << windows1252;
    QTest::newRow("the page the model's codes select")
        << QStringList{modelo, QStringLiteral("escpos")}
        << presetMessage(escpos, "Caf\x82 2,50 \xD5", "P\xC6o \xA5");
    QTest::newRow("the page told") << QStringList{pagina, QStringLiteral("858")} << ibm858;
    QTest::newRow("folding told to a model with a page")
        << QStringList{modelo, QStringLiteral("escpos"), pagina, QStringLiteral("0")}
        << presetMessage(escpos, "Caf\xE9 2,50 \x80", "P\xE3o \xD1");
}

void TestVisor::paginaCodigos_drawsTheBytesInThatPage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    RunningVisor visor(arguments);
    const QString failure = visor.write(message);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QTRY_VERIFY_WITH_TIMEOUT(
        visor.output().contains(drawn(QStringLiteral("Café 2,50 €"), QStringLiteral("Pão Ñ"))),
        waitMs);
}

void TestVisor::unknownModeloOrCodePage_isRefusedWithTheChoices()
{
    QProcess visor;
    visor.start(QStringLiteral(MOSTRELA_VISOR), {QStringLiteral("--modelo"), QStringLiteral("x")});
    QVERIFY(visor.waitForFinished(waitMs));
    QCOMPARE(visor.exitCode(), 1);
    QByteArray error = visor.readAllStandardError();
    for (const DisplayPreset& preset : displayPresets())
        QVERIFY2(error.contains(preset.key.toUtf8()), error.constData());

    visor.start(QStringLiteral(MOSTRELA_VISOR),
                {QStringLiteral("--pagina-codigos"), QStringLiteral("1251")});
    QVERIFY(visor.waitForFinished(waitMs));
    QCOMPARE(visor.exitCode(), 1);
    error = visor.readAllStandardError();
    QVERIFY2(error.contains("\"1251\"") && error.contains("858"), error.constData());
}

QTEST_GUILESS_MAIN(TestVisor)
#include "test_visor.moc"
