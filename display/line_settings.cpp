#include "display/line_settings.h"

#include "common/failure.h"

#include <QStringList>
#include <optional>

namespace {

std::optional<QSerialPort::Parity> parityOf(const QString& letter)
{
    const QString lower = letter.toLower();
    if (lower == u"n")
        return QSerialPort::NoParity;
    if (lower == u"e")
        return QSerialPort::EvenParity;
    if (lower == u"o")
        return QSerialPort::OddParity;
    if (lower == u"m")
        return QSerialPort::MarkParity;
    if (lower == u"s")
        return QSerialPort::SpaceParity;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> stopBitsOf(const QString& text)
{
    if (text == u"1")
        return QSerialPort::OneStop;
    if (text == u"1.5")
        return QSerialPort::OneAndHalfStop;
    if (text == u"2")
        return QSerialPort::TwoStop;
    return std::nullopt;
}

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

LineSettings LineSettings::parse(const QString& text)
{
    const auto malformed = [&text] {
        return Failure(QStringLiteral("Definições da porta inválidas: \"%1\" (esperado, por "
                                      "exemplo, \"9600,n,8,1\")")
                           .arg(text.left(40)));
    };
    QStringList fields = text.split(u',');
    if (fields.size() != 4)
        throw malformed();
    for (QString& field : fields)
        field = field.trimmed();

    bool baudOk = false;
    const qint32 baud = isDigits(fields[0]) ? fields[0].toInt(&baudOk) : 0;
    const std::optional<QSerialPort::Parity> parity = parityOf(fields[1]);
    const int dataBits = isDigits(fields[2]) ? fields[2].toInt() : 0;
    const std::optional<QSerialPort::StopBits> stopBits = stopBitsOf(fields[3]);
    if (!baudOk || baud <= 0 || !parity || dataBits < 5 || dataBits > 8 || !stopBits)
        throw malformed();
    return {baud, *parity, static_cast<QSerialPort::DataBits>(dataBits), *stopBits};
}
