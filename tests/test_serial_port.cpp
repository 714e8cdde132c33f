#include "core/failure.h"
#include "display/line_settings.h"
#include "display/serial_port.h"

#include <QtTest>

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void parse_readsEachSetting();
    void parse_refusesMalformedText_data();
    void parse_refusesMalformedText();
    void deviceName_mapsNumbersAndKeepsDevices();
};

void TestSerialPort::parse_readsEachSetting()
{
    const LineSettings usual = LineSettings::parse(QStringLiteral("9600,n,8,1"));
    QCOMPARE(usual.baudRate, 9600);
    QCOMPARE(usual.parity, QSerialPort::NoParity);
    QCOMPARE(usual.dataBits, QSerialPort::Data8);
    QCOMPARE(usual.stopBits, QSerialPort::OneStop);

    const LineSettings other = LineSettings::parse(QStringLiteral(" 19200 , E , 7 , 1.5 "));
    QCOMPARE(other.baudRate, 19200);
    QCOMPARE(other.parity, QSerialPort::EvenParity);
    QCOMPARE(other.dataBits, QSerialPort::Data7);
    QCOMPARE(other.stopBits, QSerialPort::OneAndHalfStop);
    QCOMPARE(LineSettings::parse(QStringLiteral("4800,m,5,2")).parity, QSerialPort::MarkParity);
}

void TestSerialPort::parse_refusesMalformedText_data()
{
    QTest::addColumn<QString>("text");
    for (const char* text :
         {"", "9600,n,8", "9600,n,8,1,1", "fast,n,8,1", "0,n,8,1", "-9600,n,8,1", "9600,x,8,1",
          "9600,n,9,1", "9600,n,4,1", "9600,n,8,3", "99999999999,n,8,1"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestSerialPort::parse_refusesMalformedText()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(Failure, LineSettings::parse(text));
}

void TestSerialPort::deviceName_mapsNumbersAndKeepsDevices()
{
#ifdef Q_OS_WIN
    QCOMPARE(SerialPort::deviceName(QStringLiteral("1")), QStringLiteral("COM1"));
#else
    QCOMPARE(SerialPort::deviceName(QStringLiteral("1")), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(SerialPort::deviceName(QStringLiteral(" 4 ")), QStringLiteral("/dev/ttyS3"));
#endif
    QCOMPARE(SerialPort::deviceName(QStringLiteral("/dev/ttyUSB0")),
             QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(SerialPort::deviceName(QStringLiteral("COM3")), QStringLiteral("COM3"));
    for (const char* refused : {"", "  ", "0", "-1", "40000"})
        QVERIFY_THROWS_EXCEPTION(Failure, SerialPort::deviceName(QString::fromLatin1(refused)));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
