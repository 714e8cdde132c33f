#include "display/serial_port.h"

#include "core/failure.h"

#include <QDeadlineTimer>
#include <QThread>

#include <utility>

#include <windows.h>

namespace {

// How often a write looks whether the driver has sent what it queued.
constexpr unsigned long drainPollMs = 5;

HANDLE handleOf(void* handle)
{
    return static_cast<HANDLE>(handle);
}

QString systemReason(DWORD error)
{
    return qt_error_string(static_cast<int>(error));
}

BYTE parityCode(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::none:
        break;
    case LineSettings::Parity::even:
        return EVENPARITY;
    case LineSettings::Parity::odd:
        return ODDPARITY;
    case LineSettings::Parity::mark:
        return MARKPARITY;
    case LineSettings::Parity::space:
        return SPACEPARITY;
    }
    return NOPARITY;
}

// The line as the settings say, with no flow control: a display that holds the line is given up
// at the write's deadline rather than waited for.
void setLine(DCB& line, const LineSettings& settings)
{
    line.BaudRate = static_cast<DWORD>(settings.baudRate);
    line.ByteSize = static_cast<BYTE>(settings.dataBits);
    line.Parity = parityCode(settings.parity);
    line.fParity = settings.parity != LineSettings::Parity::none;
    line.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    line.fBinary = TRUE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    line.fErrorChar = FALSE;
    line.fAbortOnError = FALSE;
}

} // namespace

bool SerialPort::isOpen() const
{
    return m_handle != nullptr;
}

void SerialPort::open()
{
    // Read access too: Wine refuses the line's settings on a port opened to write only.
    const HANDLE handle =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(m_deviceName.utf16()),
                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const QString openFailed = QStringLiteral("Não foi possível abrir a porta");
    if (handle == INVALID_HANDLE_VALUE)
        throw Failure(failureText(openFailed, systemReason(::GetLastError())));
    m_handle = handle;
    // Applied on opening: a setting the device refuses makes the open fail and leaves it closed.
    DCB line{};
    line.DCBlength = sizeof(line);
    bool set = ::GetCommState(handle, &line);
    if (set) {
        setLine(line, m_settings);
        set = ::SetCommState(handle, &line);
    }
    if (!set) {
        const DWORD error = ::GetLastError();
        close();
        throw Failure(failureText(openFailed, systemReason(error)));
    }
}

void SerialPort::write(const QByteArray& bytes)
{
    if (!isOpen())
        throw Failure(QStringLiteral("A porta %1 não está aberta").arg(m_deviceName));
    if (bytes.isEmpty())
        return;
    const HANDLE handle = handleOf(m_handle);
    // One deadline for the whole frame, which the driver keeps for the write itself.
    const int deadlineMs = writeDeadlineMs(bytes.size());
    const QDeadlineTimer deadline(deadlineMs);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(deadlineMs);
    const QString writeFailed = QStringLiteral("Não foi possível escrever na porta");
    const QString stalled =
        QStringLiteral("o display não recebeu a mensagem em %1 ms (a linha parou: o display não "
                       "lê ou o controlo de fluxo reteve-a)")
            .arg(deadlineMs);
    // What stays queued for a line that stopped would hold the close until it went.
    const auto giveUp = [&](const QString& reason) {
        ::PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
        throw Failure(failureText(writeFailed, reason));
    };
    DWORD written = 0;
    if (!::SetCommTimeouts(handle, &timeouts) ||
        !::WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr))
        giveUp(systemReason(::GetLastError()));
    if (written < static_cast<DWORD>(bytes.size()))
        giveUp(stalled);
    // A driver may take the bytes into a queue of its own (Wine hands them to the system's at
    // once): closing before it has sent them would lose them.
    for (;;) {
        DWORD errors = 0;
        COMSTAT state{};
        if (!::ClearCommError(handle, &errors, &state))
            giveUp(systemReason(::GetLastError()));
        if (state.cbOutQue == 0)
            return;
        if (deadline.hasExpired())
            giveUp(stalled);
        QThread::msleep(drainPollMs);
    }
}

void SerialPort::close()
{
    if (m_handle == nullptr)
        return;
    ::CloseHandle(handleOf(std::exchange(m_handle, nullptr)));
}
