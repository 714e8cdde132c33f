#include "core/line_settings.h"

#include "core/failure.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace {

using Parity = LineSettings::Parity;

constexpr std::array<qint32, 8> speeds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct ParityLetter {
    char16_t letter;
    Parity parity;
};
constexpr std::array<ParityLetter, 5> parityLetters{{
    {u'n', Parity::none},
    {u'e', Parity::even},
    {u'o', Parity::odd},
    {u'm', Parity::mark},
    {u's', Parity::space},
}};

// One reading rule for the window's check and the display: the settings, or why not.
QString read(const QString& text, LineSettings& settings)
{
    if (text.trimmed().isEmpty())
        return {};
    QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return QStringLiteral("Escreva velocidade,paridade,bits de dados,bits de paragem, por "
                              "exemplo 9600,n,8,1.");
    for (QString& field : fields)
        field = field.trimmed().toLower();

    const auto speed = std::find_if(speeds.begin(), speeds.end(), [&](qint32 speed) {
        return fields[0] == QString::number(speed);
    });
    if (speed == speeds.end())
        return QStringLiteral("A velocidade é 1200, 2400, 4800, 9600, 19200, 38400, 57600 ou "
                              "115200.");
    const auto parity =
        std::find_if(parityLetters.begin(), parityLetters.end(),
                     [&](const ParityLetter& choice) { return fields[1] == QChar(choice.letter); });
    if (parity == parityLetters.end())
        return QStringLiteral("A paridade é n (nenhuma), e (par), o (ímpar), m (marca) ou s "
                              "(espaço).");
    if (fields[2] != QStringLiteral("7") && fields[2] != QStringLiteral("8"))
        return QStringLiteral("Os bits de dados são 7 ou 8.");
    if (fields[3] != QStringLiteral("1") && fields[3] != QStringLiteral("2"))
        return QStringLiteral("Os bits de paragem são 1 ou 2.");
    settings = {*speed, parity->parity, fields[2].toInt(), fields[3].toInt()};
    return {};
}

} // namespace

QString LineSettings::problem(const QString& text)
{
    LineSettings ignored;
    return read(text, ignored);
}

LineSettings LineSettings::parse(const QString& text)
{
    LineSettings settings;
    const QString problem = read(text, settings);
    if (!problem.isEmpty())
        throw Failure(QStringLiteral("Definições da porta inválidas: \"%1\". %2")
                          .arg(text.left(40), problem));
    return settings;
}
