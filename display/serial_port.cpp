#include "display/serial_port.h"

#include "core/failure.h"
#include "core/numbers.h"

#include <QDeadlineTimer>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
constexpr SerialPort::Naming nativeNaming = SerialPort::Naming::com;
#else
constexpr SerialPort::Naming nativeNaming = SerialPort::Naming::ttyS;
// Writing needs only the right to write; reading would gather whatever a display sends back,
// for no one.
constexpr QIODevice::OpenMode openMode = QIODevice::WriteOnly;
#endif

// Generous for a display's few bytes, short enough that a stuck port does not freeze the window.
constexpr int writeMarginMs = 2000;

#ifndef Q_OS_WIN
// Why this user may not open `device`, with what to do about it; empty when the permission bits
// let the user in (the refusal then came from elsewhere: a lock, another program).
QString accessHint(const QString& device)
{
#ifdef Q_OS_UNIX
    const QByteArray path = device.toLocal8Bit();
    struct stat status {};
    if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0 ||
        ::stat(path.constData(), &status) != 0)
        return {};
    const struct group* owners = ::getgrgid(status.st_gid);
    const struct passwd* user = ::getpwuid(::geteuid());
    const QString group =
        owners ? QString::fromLocal8Bit(owners->gr_name) : QString::number(status.st_gid);
    const QString name =
        user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid());
    return QStringLiteral(" (o utilizador %1 não pode escrever em %2: junte-o ao grupo %3, "
                          "por exemplo com \"sudo usermod -aG %3 %1\", e volte a entrar na "
                          "sessão)")
        .arg(name, device, group);
#else
    Q_UNUSED(device);
    return {};
#endif
}

QSerialPort::Parity serialParity(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::none:
        break;
    case LineSettings::Parity::even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}
#endif

} // namespace

QString SerialPort::deviceName(const QString& porta, Naming naming)
{
    if (!strictNumber(porta)) {
        if (porta.trimmed().isEmpty())
            throw Failure(QStringLiteral("Porta do display não definida"));
        return porta;
    }
    const qint16 number = toInt16(porta);
    if (number < 1)
        throw Failure(QStringLiteral("Número de porta inválido: %1").arg(number));
    if (naming == Naming::native)
        naming = nativeNaming;
    if (naming == Naming::ttyS)
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    return (number < 10 ? QStringLiteral("COM%1") : QStringLiteral("\\\\.\\COM%1")).arg(number);
}

SerialPort::~SerialPort()
{
    close();
}

void SerialPort::setPort(const QString& porta)
{
    m_deviceName = deviceName(porta);
}

int SerialPort::writeDeadlineMs(qsizetype bytes) const
{
    // A start bit, the data bits, the parity bit if any and the stop bits.
    const int bitsPerByte = 1 + m_settings.dataBits +
                            (m_settings.parity == LineSettings::Parity::none ? 0 : 1) +
                            m_settings.stopBits;
    const qint64 lineTimeMs = bytes * bitsPerByte * 1000 / std::max(m_settings.baudRate, 1);
    return writeMarginMs + static_cast<int>(std::min<qint64>(lineTimeMs, 60000));
}

QString SerialPort::failureText(const QString& what, const QString& reason) const
{
    return QStringLiteral("%1 %2: %3").arg(what, m_deviceName, reason);
}

#ifndef Q_OS_WIN
bool SerialPort::isOpen() const
{
    return m_port.isOpen();
}

void SerialPort::open()
{
    m_port.setPortName(m_deviceName);
    // Applied on opening: a setting the device refuses makes the open fail and leaves it closed.
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(serialParity(m_settings.parity));
    m_port.setDataBits(m_settings.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    m_port.setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(openMode)) {
        const QString hint =
            m_port.error() == QSerialPort::PermissionError ? accessHint(m_deviceName) : QString();
        throw Failure(
            failureText(QStringLiteral("Não foi possível abrir a porta"), m_port.errorString()) +
            hint);
    }
}

void SerialPort::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        throw Failure(QStringLiteral("A porta %1 não está aberta").arg(m_deviceName));
    if (bytes.isEmpty())
        return;
    const QString writeFailed = QStringLiteral("Não foi possível escrever na porta");
    if (m_port.write(bytes) != bytes.size())
        throw Failure(failureText(writeFailed, m_port.errorString()));
    // One deadline for the whole frame: a reader that takes a few bytes now and then must not
    // stretch the wait without end.
    const QDeadlineTimer deadline(writeDeadlineMs(bytes.size()));
    // Closing straight after write() would lose the bytes still queued.
    while (m_port.bytesToWrite() > 0) {
        if (deadline.hasExpired() ||
            !m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            throw Failure(failureText(writeFailed, m_port.errorString()));
    }
}

void SerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}
#endif
