#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <string_view>

// Every setting of the controller, in the order in which Mostrela.cfg lists them. The table below
// gives each its name, its rule, its page and order in the window, the check of the setup that
// tries it, its initial value, and the caption and help the window shows; the rules table after
// it says how a value of each rule is typed, read and checked. The file's reader and writer, the
// window's pages, the checks and the snapshots all come from them: adding a setting is one row
// here, plus the code that uses its value.
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

// The window's pages of settings. The window lays each page out in the order of its settings,
// numbered from 1 up.
enum class SettingPage { display, server, general };
inline constexpr std::size_t settingPageCount = static_cast<std::size_t>(SettingPage::general) + 1;

// Which check of the setup tries the value: the display test sends it to the display, the
// connection test connects with it. The window places a check after the last setting it tries.
enum class SettingTest { none, display, connection };

// What kind of value a setting holds, and so how the window edits it and checks it.
enum class SettingRule {
    port,         // a serial port: its number from 1 (COMn, /dev/ttyS(n-1)) or a device name
    lineWidth,    // letters per line of the display
    lineSettings, // a serial line's "speed,parity,data bits,stop bits" (LineSettings)
    codePage,     // the character set of the display's text (CodePage)
    codeSequence, // decimal byte values joined by "+", at most six sent
    interval,     // a timer's seconds, "." as the decimal point; 0 or empty stops its ticks
    age,          // how many seconds a message may wait, "." as the decimal point; 0: no limit
    freeText,     // any text
    password,     // any text, never shown
    folder,       // a folder's path
    checkState,   // a check box that may be greyed: 0 unticked, 1 ticked, 2 greyed
    option,       // an option button, written to the file as "=1" only when selected
};
inline constexpr std::size_t settingRuleCount = static_cast<std::size_t>(SettingRule::option) + 1;

// How the value is stored: the text as typed, or the state of a check box or an option button.
enum class SettingKind { Text, CheckState, Option };

struct SettingRuleDefinition {
    SettingRule rule;
    SettingKind kind;
    // The only characters a value holds, which the window lets through; empty for any.
    std::string_view characters;
    // A number's bounds, kept alike by the window's check and by the run time's reading: the
    // run time never uses a value that the window marks as out of bounds. An age above its
    // highest is not marked: it is read as no limit, as 0 is.
    double lowest;
    double highest;
    // Whether a value is read by the number it starts with, whatever follows, as the file's
    // reader always did: "2,5" is read as 2. Such a value is accepted with a note saying how it
    // is read; one that starts with no number, or whose number is out of bounds, is unusable.
    bool leadingNumberRead;
    // Follows the help of every setting of the rule (UTF-8).
    std::string_view help;
};

namespace settings_table_detail {
// A century of seconds: a longer age means no limit, and its milliseconds still fit.
inline constexpr double longestAge = 100.0 * 365 * 24 * 3600;
inline constexpr std::string_view digits = "0123456789";
} // namespace settings_table_detail

inline constexpr std::array<SettingRuleDefinition, settingRuleCount> settingRules{{
    {SettingRule::port, SettingKind::Text, "", 1, std::numeric_limits<short>::max(), false, ""},
    {SettingRule::lineWidth, SettingKind::Text, settings_table_detail::digits, 1, 255, true, ""},
    {SettingRule::lineSettings, SettingKind::Text, "0123456789,neomsNEOMS", 0, 0, false, ""},
    {SettingRule::codePage, SettingKind::Text, settings_table_detail::digits, 0, 0, false, ""},
    {SettingRule::codeSequence, SettingKind::Text, "0123456789+", 0, 255, false,
     "Sequência de códigos: valores decimais dos bytes unidos por +, por exemplo 27+81+65 = "
     "ESC Q A. Os códigos vêm no manual do display; vazio não envia nada."},
    // The timers take whole milliseconds up to 65535.
    {SettingRule::interval, SettingKind::Text, "0123456789.", 0, 65.535, true, ""},
    // The window accepts a longer age, which the run time reads as 0, no limit.
    {SettingRule::age, SettingKind::Text, "0123456789.", 0, settings_table_detail::longestAge, true,
     ""},
    {SettingRule::freeText, SettingKind::Text, "", 0, 0, false, ""},
    {SettingRule::password, SettingKind::Text, "", 0, 0, false, ""},
    {SettingRule::folder, SettingKind::Text, "", 0, 0, false, ""},
    {SettingRule::checkState, SettingKind::CheckState, "", 0, 2, false, ""},
    {SettingRule::option, SettingKind::Option, "", 0, 1, false, ""},
}};

constexpr const SettingRuleDefinition& settingRule(SettingRule rule)
{
    return settingRules[static_cast<std::size_t>(rule)];
}

struct SettingDefinition {
    SettingKey key;
    std::string_view name;
    SettingRule rule;
    SettingPage page;
    int order; // on the page
    SettingTest test;
    // What the field holds before Mostrela.cfg is read (UTF-8): the usual display's values (the
    // display presets' first is made of them) and the timers' own intervals, so a controller
    // without a file still drives a common display. The window offers it as the usual value.
    std::string_view initial;
    // The field's label in the window, and what it is for, in the words of the person setting up
    // the shop (UTF-8).
    std::string_view caption;
    std::string_view help;

    constexpr SettingKind kind() const { return settingRule(rule).kind; }
};

inline constexpr std::array<SettingDefinition, settingCount> settingsTable{{
    {SettingKey::Porta, "Porta", SettingRule::port, SettingPage::display, 1, SettingTest::display,
     "1", "Porta Com",
     "Porta série onde está ligado o display: um número (1 é COM1 no Windows e /dev/ttyS0 no "
     "Linux) ou o nome do dispositivo, por exemplo /dev/ttyUSB0. O botão ▾ mostra as portas deste "
     "computador."},
    {SettingKey::NumLetras, "NumLetras", SettingRule::lineWidth, SettingPage::display, 3,
     SettingTest::display, "20", "Nº Letras p/ Linha",
     "Quantas letras cabem numa linha do display, de 1 a 255 (o habitual são 20). O texto a mais "
     "é cortado."},
    {SettingKey::InitMostrador, "InitMostrador", SettingRule::codeSequence, SettingPage::display, 5,
     SettingTest::none, "27+64", "Inicialização Display",
     "Inicialização do display (27+64 = ESC @ em muitos modelos). Fica gravada no Mostrela.cfg, "
     "mas nunca é enviada ao display: cada mensagem começa pelo código de limpar o display."},
    {SettingKey::Limpa, "Limpa", SettingRule::codeSequence, SettingPage::display, 6,
     SettingTest::display, "12", "Limpar display",
     "Enviada antes de cada mensagem para apagar o display (12 = FF em muitos modelos)."},
    {SettingKey::InitLinha1, "InitLinha1", SettingRule::codeSequence, SettingPage::display, 7,
     SettingTest::display, "27+81+65", "Inicialização Linha 1",
     "Enviada antes do texto da linha 1, para o cursor ir para o início da linha de cima."},
    {SettingKey::InitLinha2, "InitLinha2", SettingRule::codeSequence, SettingPage::display, 8,
     SettingTest::display, "27+81+66", "Inicialização Linha 2",
     "Enviada antes do texto da linha 2, para o cursor ir para o início da linha de baixo."},
    {SettingKey::FimLinha1, "FimLinha1", SettingRule::codeSequence, SettingPage::display, 9,
     SettingTest::display, "13", "Finalização Linha 1",
     "Enviada depois do texto da linha 1 (13 = CR em muitos modelos)."},
    {SettingKey::FimLinha2, "FimLinha2", SettingRule::codeSequence, SettingPage::display, 10,
     SettingTest::display, "13", "Finalização Linha 2",
     "Enviada depois do texto da linha 2 (13 = CR em muitos modelos)."},
    {SettingKey::SegundosTimerSQL, "SegundosTimerSQL", SettingRule::interval, SettingPage::general,
     1, SettingTest::none, "2", "Nº Segundos para verificação de Informação",
     "De quantos em quantos segundos se procuram mensagens novas na base de dados e na pasta: "
     "até 65.535 (65 segundos e 535 milésimos), com ponto decimal (0.5 é meio segundo). 0 deixa "
     "de procurar. Aplica-se ao carregar em Executar."},
    {SettingKey::SegundosTimerDisplay, "SegundosTimerDisplay", SettingRule::interval,
     SettingPage::general, 2, SettingTest::none, "1", "Nº Segundos para visualização da Informação",
     "Quantos segundos cada mensagem fica no display: até 65.535 (65 segundos e 535 milésimos), "
     "com ponto decimal (0.5 é meio segundo). 0 pára o display. Aplica-se ao carregar em "
     "Executar."},
    {SettingKey::MostraDefault, "MostraDefault", SettingRule::checkState, SettingPage::general, 4,
     SettingTest::none, "0", "Apresentar texto na ausência de registos",
     "Marcada, o display mostra o texto das linhas abaixo quando não há mensagens à espera."},
    {SettingKey::Default_Linha1, "Default_Linha1", SettingRule::freeText, SettingPage::general, 5,
     SettingTest::none, "", "Linha 1",
     "Linha 1 do texto mostrado quando não há mensagens à espera."},
    {SettingKey::Default_Linha2, "Default_Linha2", SettingRule::freeText, SettingPage::general, 6,
     SettingTest::none, "", "Linha 2", "Data e Hora Actual -> #DataHora#"},
    {SettingKey::SQL_Servidor, "SQL_Servidor", SettingRule::freeText, SettingPage::server, 1,
     SettingTest::connection, "", "Servidor SQL",
     "Nome de uma fonte de dados ODBC, ou do servidor SQL Server, por exemplo "
     "loja01\\SQLEXPRESS."},
    {SettingKey::SQL_Utilizador, "SQL_Utilizador", SettingRule::freeText, SettingPage::server, 2,
     SettingTest::connection, "", "Utilizador SQL",
     "Utilizador da base de dados. Só as mensagens deixadas para este utilizador (coluna "
     "Utilizador da tabela SaidaDisplay) vêm para este display."},
    {SettingKey::SQL_Password, "SQL_Password", SettingRule::password, SettingPage::server, 3,
     SettingTest::connection, "", "Password SQL",
     "Palavra-passe do utilizador da base de dados. Fica gravada no Mostrela.cfg, que só o seu "
     "dono pode ler."},
    {SettingKey::SQL_BaseDados, "SQL_BaseDados", SettingRule::freeText, SettingPage::server, 4,
     SettingTest::connection, "", "Base Dados",
     "Base de dados onde está a tabela SaidaDisplay. Vazio usa a base de dados da fonte de dados "
     "ODBC."},
    {SettingKey::LigaSQL, "LigaSQL", SettingRule::option, SettingPage::server, 5, SettingTest::none,
     "0", "Ligação por SQL", "Lê as mensagens da tabela SaidaDisplay da base de dados acima."},
    {SettingKey::LigaFicheiros, "LigaFicheiros", SettingRule::option, SettingPage::server, 6,
     SettingTest::none, "0", "Ligação por Endereço (Ficheiros)",
     "Lê as mensagens dos ficheiros .dsp deixados na pasta abaixo."},
    {SettingKey::LigaFicheirosPath, "LigaFicheirosPath", SettingRule::folder, SettingPage::server,
     7, SettingTest::none, "", "Pasta dos ficheiros",
     "Pasta onde o programa de vendas deixa os ficheiros .dsp. O botão … ao lado escolhe-a."},
    // After the keys that older copies of the program know, which skip a line they do not.
    {SettingKey::SegundosValidade, "SegundosValidade", SettingRule::age, SettingPage::general, 3,
     SettingTest::none, "300", "Nº Segundos de validade da Informação",
     "Quantos segundos uma mensagem que ficou de uma execução anterior, ou que esperou enquanto "
     "a escrita no display falhava, ainda pode ser mostrada depois de tomada da base de dados ou "
     "da pasta. Uma mais antiga é posta de lado sem ser mostrada. As outras são todas mostradas, "
     "por mais longa que seja a fila. 0 mostra-as todas, por mais antigas que sejam."},
    {SettingKey::PortaDefinicoes, "PortaDefinicoes", SettingRule::lineSettings,
     SettingPage::display, 2, SettingTest::display, "9600,n,8,1", "Definições da porta",
     "Velocidade, paridade, bits de dados e bits de paragem da porta série, separados por "
     "vírgulas, como o manual do display os dá: 9600,n,8,1 são 9600 bauds, sem paridade, 8 bits "
     "de dados e 1 bit de paragem. Velocidade de 1200 a 115200; paridade n (nenhuma), e (par), o "
     "(ímpar), m (marca) ou s (espaço); 7 ou 8 bits de dados; 1 ou 2 bits de paragem. Vazio é "
     "9600,n,8,1."},
    {SettingKey::PaginaCodigos, "PaginaCodigos", SettingRule::codePage, SettingPage::display, 4,
     SettingTest::display, "", "Página de códigos",
     "Como chegam ao display as letras acentuadas. Vazio ou 0 tira-lhes o acento (é passa a e), o "
     "que qualquer display mostra. 437, 850, 858, 860 ou 1252 envia o texto nessa página de "
     "códigos, a que o display tem de estar a usar: a 858 tem o €, a 860 é a portuguesa. Uma "
     "letra que a página não tenha vai sem acento e, se nem assim existir, como ?."},
}};

constexpr const SettingDefinition& settingDefinition(SettingKey key)
{
    return settingsTable[static_cast<std::size_t>(key)];
}

namespace settings_table_detail {

// Row i describes the key, or the rule, whose value is i, so each finds its row by index.
template <typename Row, std::size_t count, typename Index>
constexpr bool rowsInOrder(const std::array<Row, count>& table, Index Row::*index)
{
    for (std::size_t at = 0; at < count; ++at) {
        if (static_cast<std::size_t>(table[at].*index) != at)
            return false;
    }
    return true;
}

// A missing or repeated name would yield a key that matches the wrong lines of the file. A name
// holding "=" would make a line begin with two keys.
constexpr bool namesPresentUniqueAndWithoutEquals()
{
    for (std::size_t index = 0; index < settingsTable.size(); ++index) {
        const std::string_view name = settingsTable[index].name;
        if (name.empty() || name.find('=') != std::string_view::npos)
            return false;
        for (std::size_t other = 0; other < index; ++other) {
            if (settingsTable[other].name == name)
                return false;
        }
    }
    return true;
}

constexpr bool everyFieldExplained()
{
    for (const SettingDefinition& row : settingsTable) {
        if (row.caption.empty() || row.help.empty())
            return false;
    }
    return true;
}

// The whole number that `text` holds, or -1 when it holds anything but digits.
constexpr double wholeNumber(std::string_view text)
{
    if (text.empty())
        return -1;
    double value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Each initial value is one its own check accepts: typed in the rule's characters, and each of
// its numbers ("+" parts the numbers of a code sequence) within the rule's bounds, so a check
// box or an option starts at 0 or 1.
constexpr bool initialValuesKeepTheirRules()
{
    for (const SettingDefinition& row : settingsTable) {
        const SettingRuleDefinition& rule = settingRule(row.rule);
        for (const char c : row.initial) {
            if (!rule.characters.empty() && rule.characters.find(c) == std::string_view::npos)
                return false;
        }
        if (rule.highest <= rule.lowest || row.initial.empty())
            continue;
        std::string_view rest = row.initial;
        while (!rest.empty()) {
            const std::size_t plus = rest.find('+');
            const double value = wholeNumber(rest.substr(0, plus));
            if (value < rule.lowest || value > rule.highest)
                return false;
            rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
        }
    }
    return true;
}

// The orders of each page's settings run 1, 2, 3... with none missing or repeated, so the window
// lays out every setting, each once, in one order.
constexpr bool ordersNumberEachPage()
{
    for (std::size_t page = 0; page < settingPageCount; ++page) {
        int settingsOnPage = 0;
        for (const SettingDefinition& row : settingsTable)
            settingsOnPage += static_cast<std::size_t>(row.page) == page ? 1 : 0;
        for (int order = 1; order <= settingsOnPage; ++order) {
            int holders = 0;
            for (const SettingDefinition& row : settingsTable) {
                if (static_cast<std::size_t>(row.page) == page && row.order == order)
                    ++holders;
            }
            if (holders != 1)
                return false;
        }
    }
    return true;
}

constexpr int keysOfRule(SettingRule rule)
{
    int keys = 0;
    for (const SettingDefinition& row : settingsTable)
        keys += row.rule == rule ? 1 : 0;
    return keys;
}

// No value of a number holds a sign, and commas only part the line settings' fields: anywhere
// else a typed comma is taken for the decimal point.
constexpr bool charactersHoldNoSignAndCommasOnlyForLineSettings()
{
    for (const SettingRuleDefinition& rule : settingRules) {
        if (rule.characters.find('-') != std::string_view::npos)
            return false;
        const bool comma = rule.characters.find(',') != std::string_view::npos;
        if (comma != (rule.rule == SettingRule::lineSettings))
            return false;
    }
    return true;
}

static_assert(rowsInOrder(settingsTable, &SettingDefinition::key),
              "each row of settingsTable must sit at its key's index");
static_assert(rowsInOrder(settingRules, &SettingRuleDefinition::rule),
              "each row of settingRules must sit at its rule's index");
static_assert(namesPresentUniqueAndWithoutEquals(), "every setting needs a name of its own");
static_assert(settingsTable.front().name == "Porta" && settingsTable.back().name == "PaginaCodigos",
              "Mostrela.cfg lists Porta first and PaginaCodigos last");
static_assert(ordersNumberEachPage(),
              "the settings of each page need the orders 1, 2, 3... each once");
static_assert(keysOfRule(SettingRule::checkState) == 1,
              "Settings and Mostrela.cfg's reader keep one check state, MostraDefault's");
static_assert(everyFieldExplained(), "every field needs a caption and a help text");
static_assert(initialValuesKeepTheirRules(), "an initial value must pass its own check");
static_assert(settingRule(SettingRule::port).characters.empty() &&
                  settingRule(SettingRule::freeText).characters.empty() &&
                  settingRule(SettingRule::password).characters.empty() &&
                  settingRule(SettingRule::folder).characters.empty(),
              "a port's device name, free text, a password and a folder take any character");
static_assert(charactersHoldNoSignAndCommasOnlyForLineSettings(),
              "numbers take no sign, and a comma is a decimal point outside the line settings");

} // namespace settings_table_detail
