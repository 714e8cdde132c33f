#include "core/failure.h"
#include "core/line_settings.h"
#include "display/serial_port.h"
#include "support/test_main.h"

#ifdef Q_OS_UNIX
#include "support/pseudo_terminal.h"
#include "support/unprivileged_user.h"

#include <unistd.h>
#endif

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void parse_readsEachSetting()
    {
        using Parity = LineSettings::Parity;
        QCOMPARE(LineSettings::parse("9600,n,8,1"), LineSettings{});
        QCOMPARE(LineSettings::parse("  "), LineSettings{});
        QCOMPARE(LineSettings::parse(" 19200 , E , 7 , 2 "),
                 (LineSettings{19200, Parity::even, 7, 2}));
        QCOMPARE(LineSettings::parse("1200,m,8,1"), (LineSettings{1200, Parity::mark, 8, 1}));
    }

    void parse_refusesMalformedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // a word of the reason the window shows
        const std::pair<QString, QStringList> refused[] = {
            {"por exemplo", {"9600,n,8", "9600,n,8,1,1"}},
            {"velocidade",
             {"fast,n,8,1", "0,n,8,1", "-9600,n,8,1", "14400,n,8,1", "300,n,8,1", "230400,n,8,1",
              "99999999999,n,8,1"}},
            {"paridade", {"9600,x,8,1", "9600,,8,1"}},
            {"dados", {"9600,n,9,1", "9600,n,4,1", "9600,n,5,1"}},
            {"paragem", {"9600,n,8,3", "9600,n,8,1.5"}},
        };
        for (const auto& [reason, texts] : refused) {
            for (const QString& text : texts)
                QTest::newRow(qPrintable(text)) << text << reason;
        }
    }

    void parse_refusesMalformedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QVERIFY2(LineSettings::problem(text).contains(reason),
                 qPrintable(LineSettings::problem(text)));
        QVERIFY_THROWS_EXCEPTION(Failure, LineSettings::parse(text));
    }

    void deviceName_mapsNumbersAndKeepsDevices()
    {
#ifdef Q_OS_WIN
        QCOMPARE(SerialPort::deviceName("1"), "COM1");
#else
        QCOMPARE(SerialPort::deviceName("1"), "/dev/ttyS0");
        QCOMPARE(SerialPort::deviceName(" 4 "), "/dev/ttyS3");
#endif
        QCOMPARE(SerialPort::deviceName("/dev/ttyUSB0"), "/dev/ttyUSB0");
        QCOMPARE(SerialPort::deviceName("COM3"), "COM3");
        for (const char* refused : {"", "  ", "0", "-1", "40000"})
            QVERIFY_THROWS_EXCEPTION(Failure, SerialPort::deviceName(QString::fromLatin1(refused)));

        // Each system's names, wherever the test runs.
        using Naming = SerialPort::Naming;
        const std::tuple<QString, Naming, QString> named[] = {
            {"1", Naming::com, "COM1"},          {"9", Naming::com, "COM9"},
            {"10", Naming::com, "\\\\.\\COM10"}, {"256", Naming::com, "\\\\.\\COM256"},
            {"COM12", Naming::com, "COM12"},     {"1", Naming::ttyS, "/dev/ttyS0"},
            {"12", Naming::ttyS, "/dev/ttyS11"}};
        for (const auto& [porta, naming, device] : named)
            QCOMPARE(SerialPort::deviceName(porta, naming), device);
    }

    void open_withoutPermission_saysWhichGroupToJoin()
    {
#ifdef Q_OS_UNIX
        PseudoTerminal terminal;
        QVERIFY(QFile::setPermissions(terminal.slavePath(), QFile::ReadOwner | QFile::WriteOwner));
        SerialPort port;
        port.setPort(terminal.slavePath());
        const bool root = ::geteuid() == 0;
        if (root && ::seteuid(nobody) != 0)
            QSKIP("no unprivileged identity to take");
        const QString failure = runTrapped([&] { port.open(); });
        if (root && ::seteuid(0) != 0)
            qFatal("could not return to the former identity");
        QVERIFY2(failure.contains("junte-o ao grupo"), qPrintable(failure));
        QVERIFY(!port.isOpen());
#else
        QSKIP("Windows has no device groups");
#endif
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
