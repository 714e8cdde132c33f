#include "display/line_settings.h"

#include "core/failure.h"

#include <QStringList>
#include <optional>

namespace {

struct Choice {
    const char* text;
    int value;
};

constexpr Choice parityChoices[] = {
    {"n", QSerialPort::NoParity},   {"e", QSerialPort::EvenParity},  {"o", QSerialPort::OddParity},
    {"m", QSerialPort::MarkParity}, {"s", QSerialPort::SpaceParity},
};
constexpr Choice stopBitChoices[] = {
    {"1", QSerialPort::OneStop},
    {"1.5", QSerialPort::OneAndHalfStop},
    {"2", QSerialPort::TwoStop},
};

template <std::size_t N> std::optional<int> choose(const Choice (&choices)[N], const QString& text)
{
    for (const Choice& choice : choices) {
        if (text.compare(QLatin1String(choice.text), Qt::CaseInsensitive) == 0)
            return choice.value;
    }
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
    const std::optional<int> parity = choose(parityChoices, fields[1]);
    const int dataBits = isDigits(fields[2]) ? fields[2].toInt() : 0;
    const std::optional<int> stop = choose(stopBitChoices, fields[3]);
    if (!baudOk || baud <= 0 || !parity || dataBits < 5 || dataBits > 8 || !stop)
        throw malformed();
    return {baud, static_cast<QSerialPort::Parity>(*parity),
            static_cast<QSerialPort::DataBits>(dataBits),
            static_cast<QSerialPort::StopBits>(*stop)};
}
