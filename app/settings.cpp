#include "app/settings.h"

#include "common/failure.h"

namespace {

using Key = Settings::Key;

int indexOf(Key key)
{
    return static_cast<int>(key);
}

} // namespace

const std::array<Key, Settings::keyCount>& Settings::keysInFileOrder()
{
    // The enumeration is declared in file order.
    static const std::array<Key, keyCount> keys = [] {
        std::array<Key, keyCount> all{};
        for (int index = 0; index < keyCount; ++index)
            all[index] = static_cast<Key>(index);
        return all;
    }();
    return keys;
}

QString Settings::keyName(Key key)
{
    static const std::array<const char*, keyCount> names = {
        "Porta",
        "NumLetras",
        "InitMostrador",
        "Limpa",
        "InitLinha1",
        "InitLinha2",
        "FimLinha1",
        "FimLinha2",
        "SegundosTimerSQL",
        "SegundosTimerDisplay",
        "MostraDefault",
        "Default_Linha1",
        "Default_Linha2",
        "SQL_Servidor",
        "SQL_Utilizador",
        "SQL_Password",
        "SQL_BaseDados",
        "LigaSQL",
        "LigaFicheiros",
        "LigaFicheirosPath",
    };
    return QString::fromLatin1(names[indexOf(key)]);
}

bool Settings::isText(Key key)
{
    return key != Key::MostraDefault && key != Key::LigaSQL && key != Key::LigaFicheiros;
}

Settings::Settings(QObject* parent) : QObject(parent)
{
    // What the boxes hold before Mostrela.cfg is read: the values of the usual display and
    // the timers' own intervals, so a controller without a file still drives a common display.
    m_texts[indexOf(Key::Porta)] = QStringLiteral("1");
    m_texts[indexOf(Key::NumLetras)] = QStringLiteral("20");
    m_texts[indexOf(Key::InitMostrador)] = QStringLiteral("27+64");
    m_texts[indexOf(Key::Limpa)] = QStringLiteral("12");
    m_texts[indexOf(Key::InitLinha1)] = QStringLiteral("27+81+65");
    m_texts[indexOf(Key::InitLinha2)] = QStringLiteral("27+81+66");
    m_texts[indexOf(Key::FimLinha1)] = QStringLiteral("13");
    m_texts[indexOf(Key::FimLinha2)] = QStringLiteral("13");
    m_texts[indexOf(Key::SegundosTimerSQL)] = QStringLiteral("2");
    m_texts[indexOf(Key::SegundosTimerDisplay)] = QStringLiteral("1");
}

QString Settings::text(Key key) const
{
    Q_ASSERT(isText(key));
    return m_texts[indexOf(key)];
}

void Settings::setText(Key key, const QString& value)
{
    Q_ASSERT(isText(key));
    QString& current = m_texts[indexOf(key)];
    if (current == value)
        return;
    current = value;
    emit changed(key);
}

void Settings::setMostraDefault(int state)
{
    if (state < 0 || state > 2)
        throw Failure(
            QStringLiteral("Valor inválido para MostraDefault: %1 (aceita 0, 1 ou 2)").arg(state));
    if (m_mostraDefault == state)
        return;
    m_mostraDefault = state;
    emit changed(Key::MostraDefault);
}

void Settings::setLigaSQL(bool selected)
{
    if (m_ligaSQL == selected)
        return;
    m_ligaSQL = selected;
    emit changed(Key::LigaSQL);
}

void Settings::setLigaFicheiros(bool selected)
{
    if (m_ligaFicheiros == selected)
        return;
    m_ligaFicheiros = selected;
    emit changed(Key::LigaFicheiros);
}
