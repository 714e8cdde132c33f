#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Every setting of the controller, in the order in which Mostrela.cfg lists them. The one table
// below gives each its name, its kind and its initial value; the file's reader and writer, the
// window's fields and the defaults all come from it.
enum class SettingKey {
    Porta,
    NumLetras,
    InitMostrador,
    Limpa,
    InitLinha1,
    InitLinha2,
    FimLinha1,
    FimLinha2,
    SegundosTimerSQL,
    SegundosTimerDisplay,
    MostraDefault,
    Default_Linha1,
    Default_Linha2,
    SQL_Servidor,
    SQL_Utilizador,
    SQL_Password,
    SQL_BaseDados,
    LigaSQL,
    LigaFicheiros,
    LigaFicheirosPath,
    SegundosValidade,
    PortaDefinicoes,
    PaginaCodigos, // keep last, or move settingCount with it
};
inline constexpr std::size_t settingCount = static_cast<std::size_t>(SettingKey::PaginaCodigos) + 1;

enum class SettingKind {
    Text,       // a text box; the value is the text as typed
    CheckState, // a check box that may be greyed: 0 unticked, 1 ticked, 2 greyed
    Option,     // an option button, written to the file as "=1" only when selected
};

struct SettingDefinition {
    SettingKey key;
    std::string_view name;
    SettingKind kind;
    // What the field holds before Mostrela.cfg is read (UTF-8): the usual display's values and
    // the timers' own intervals, so a controller without a file still drives a common display.
    std::string_view initial;
};

inline constexpr std::array<SettingDefinition, settingCount> settingsTable{{
    {SettingKey::Porta, "Porta", SettingKind::Text, "1"},
    {SettingKey::NumLetras, "NumLetras", SettingKind::Text, "20"},
    {SettingKey::InitMostrador, "InitMostrador", SettingKind::Text, "27+64"},
    {SettingKey::Limpa, "Limpa", SettingKind::Text, "12"},
    {SettingKey::InitLinha1, "InitLinha1", SettingKind::Text, "27+81+65"},
    {SettingKey::InitLinha2, "InitLinha2", SettingKind::Text, "27+81+66"},
    {SettingKey::FimLinha1, "FimLinha1", SettingKind::Text, "13"},
    {SettingKey::FimLinha2, "FimLinha2", SettingKind::Text, "13"},
    {SettingKey::SegundosTimerSQL, "SegundosTimerSQL", SettingKind::Text, "2"},
    {SettingKey::SegundosTimerDisplay, "SegundosTimerDisplay", SettingKind::Text, "1"},
    {SettingKey::MostraDefault, "MostraDefault", SettingKind::CheckState, "0"},
    {SettingKey::Default_Linha1, "Default_Linha1", SettingKind::Text, ""},
    {SettingKey::Default_Linha2, "Default_Linha2", SettingKind::Text, ""},
    {SettingKey::SQL_Servidor, "SQL_Servidor", SettingKind::Text, ""},
    {SettingKey::SQL_Utilizador, "SQL_Utilizador", SettingKind::Text, ""},
    {SettingKey::SQL_Password, "SQL_Password", SettingKind::Text, ""},
    {SettingKey::SQL_BaseDados, "SQL_BaseDados", SettingKind::Text, ""},
    {SettingKey::LigaSQL, "LigaSQL", SettingKind::Option, "0"},
    {SettingKey::LigaFicheiros, "LigaFicheiros", SettingKind::Option, "0"},
    {SettingKey::LigaFicheirosPath, "LigaFicheirosPath", SettingKind::Text, ""},
    // After the keys that older copies of the program know, which skip a line they do not.
    {SettingKey::SegundosValidade, "SegundosValidade", SettingKind::Text, "300"},
    {SettingKey::PortaDefinicoes, "PortaDefinicoes", SettingKind::Text, "9600,n,8,1"},
    {SettingKey::PaginaCodigos, "PaginaCodigos", SettingKind::Text, ""},
}};

constexpr const SettingDefinition& settingDefinition(SettingKey key)
{
    return settingsTable[static_cast<std::size_t>(key)];
}

namespace settings_table_checks {

// Row i describes the key whose value is i, so a key finds its row by index.
constexpr bool rowsInKeyOrder()
{
    for (std::size_t index = 0; index < settingsTable.size(); ++index) {
        if (static_cast<std::size_t>(settingsTable[index].key) != index)
            return false;
    }
    return true;
}

// A missing or repeated name would yield a key that matches the wrong lines of the file.
constexpr bool namesPresentAndUnique()
{
    for (std::size_t index = 0; index < settingsTable.size(); ++index) {
        if (settingsTable[index].name.empty())
            return false;
        for (std::size_t other = 0; other < index; ++other) {
            if (settingsTable[other].name == settingsTable[index].name)
                return false;
        }
    }
    return true;
}

constexpr bool choiceInitialValuesAreNumbers()
{
    for (const SettingDefinition& row : settingsTable) {
        if (row.kind != SettingKind::Text && row.initial != "0" && row.initial != "1")
            return false;
    }
    return true;
}

static_assert(rowsInKeyOrder(), "each row of settingsTable must sit at its key's index");
static_assert(namesPresentAndUnique(), "every setting needs a name of its own");
static_assert(choiceInitialValuesAreNumbers(), "a check box or option starts at 0 or 1");

} // namespace settings_table_checks
