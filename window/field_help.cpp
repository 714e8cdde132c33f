#include "window/field_help.h"

namespace {

const QString codeSequence =
    QStringLiteral("Sequência de códigos: valores decimais dos bytes unidos por +, por exemplo "
                   "27+81+65 = ESC Q A. Os códigos vêm no manual do display; vazio não envia "
                   "nada.");

QString codesFor(const QString& purpose)
{
    return purpose + QStringLiteral("\n") + codeSequence;
}

} // namespace

QString fieldHelp(SettingKey key)
{
    switch (key) {
    case SettingKey::Porta:
        return QStringLiteral("Porta série onde está ligado o display: um número (1 é COM1 no "
                              "Windows e /dev/ttyS0 no Linux) ou o nome do dispositivo, por "
                              "exemplo /dev/ttyUSB0. O botão ▾ mostra as portas deste "
                              "computador.");
    case SettingKey::NumLetras:
        return QStringLiteral("Quantas letras cabem numa linha do display, de 1 a 255 (o "
                              "habitual são 20). O texto a mais é cortado.");
    case SettingKey::InitMostrador:
        return codesFor(QStringLiteral("Inicialização do display (27+64 = ESC @ em muitos "
                                       "modelos)."));
    case SettingKey::Limpa:
        return codesFor(QStringLiteral("Enviada antes de cada mensagem para apagar o display "
                                       "(12 = FF em muitos modelos)."));
    case SettingKey::InitLinha1:
        return codesFor(QStringLiteral("Enviada antes do texto da linha 1, para o cursor ir "
                                       "para o início da linha de cima."));
    case SettingKey::InitLinha2:
        return codesFor(QStringLiteral("Enviada antes do texto da linha 2, para o cursor ir "
                                       "para o início da linha de baixo."));
    case SettingKey::FimLinha1:
        return codesFor(QStringLiteral("Enviada depois do texto da linha 1 (13 = CR em muitos "
                                       "modelos)."));
    case SettingKey::FimLinha2:
        return codesFor(QStringLiteral("Enviada depois do texto da linha 2 (13 = CR em muitos "
                                       "modelos)."));
    case SettingKey::SegundosTimerSQL:
        return QStringLiteral("De quantos em quantos segundos se procuram mensagens novas na "
                              "base de dados e na pasta: até 65.535, com ponto decimal (0.5 é "
                              "meio segundo). 0 deixa de procurar. Aplica-se ao carregar em "
                              "Executar.");
    case SettingKey::SegundosTimerDisplay:
        return QStringLiteral("Quantos segundos cada mensagem fica no display: até 65.535, com "
                              "ponto decimal (0.5 é meio segundo). 0 pára o display. Aplica-se "
                              "ao carregar em Executar.");
    case SettingKey::SegundosValidade:
        return QStringLiteral("Quantos segundos uma mensagem ainda pode ser mostrada depois de "
                              "tomada da base de dados ou da pasta. Uma mais antiga (à espera "
                              "de um display desligado, por exemplo) é posta de lado sem ser "
                              "mostrada. 0 mostra-as todas, por mais antigas que sejam.");
    case SettingKey::MostraDefault:
        return QStringLiteral("Marcada, o display mostra o texto das linhas abaixo quando não há "
                              "mensagens à espera.");
    case SettingKey::Default_Linha1:
        return QStringLiteral("Linha 1 do texto mostrado quando não há mensagens à espera.");
    case SettingKey::Default_Linha2:
        return QStringLiteral("Data e Hora Actual -> #DataHora#");
    case SettingKey::SQL_Servidor:
        return QStringLiteral("Nome de uma fonte de dados ODBC, ou do servidor SQL Server, por "
                              "exemplo loja01\\SQLEXPRESS.");
    case SettingKey::SQL_Utilizador:
        return QStringLiteral("Utilizador da base de dados. Só as mensagens deixadas para este "
                              "utilizador (coluna Utilizador da tabela SaidaDisplay) vêm para "
                              "este display.");
    case SettingKey::SQL_Password:
        return QStringLiteral("Palavra-passe do utilizador da base de dados. Fica gravada no "
                              "Mostrela.cfg, que só o seu dono pode ler.");
    case SettingKey::SQL_BaseDados:
        return QStringLiteral("Base de dados onde está a tabela SaidaDisplay. Vazio usa a base "
                              "de dados da fonte de dados ODBC.");
    case SettingKey::LigaSQL:
        return QStringLiteral("Lê as mensagens da tabela SaidaDisplay da base de dados acima.");
    case SettingKey::LigaFicheiros:
        return QStringLiteral("Lê as mensagens dos ficheiros .dsp deixados na pasta abaixo.");
    case SettingKey::LigaFicheirosPath:
        return QStringLiteral("Pasta onde o programa de vendas deixa os ficheiros .dsp. O botão "
                              "… ao lado escolhe-a.");
    case SettingKey::PortaDefinicoes:
        return QStringLiteral("Velocidade, paridade, bits de dados e bits de paragem da porta "
                              "série, separados por vírgulas, como o manual do display os dá: "
                              "9600,n,8,1 são 9600 bauds, sem paridade, 8 bits de dados e 1 bit "
                              "de paragem. Velocidade de 1200 a 115200; paridade n (nenhuma), e "
                              "(par), o (ímpar), m (marca) ou s (espaço); 7 ou 8 bits de dados; 1 "
                              "ou 2 bits de paragem. Vazio é 9600,n,8,1.");
    case SettingKey::PaginaCodigos:
        return QStringLiteral("Como chegam ao display as letras acentuadas. Vazio ou 0 tira-lhes "
                              "o acento (é passa a e), o que qualquer display mostra. 437, 850, "
                              "858, 860 ou 1252 envia o texto nessa página de códigos, a que o "
                              "display tem de estar a usar: a 858 tem o €, a 860 é a portuguesa. "
                              "Uma letra que a página não tenha vai sem acento e, se nem assim "
                              "existir, como ?.");
    }
    return {};
}

QString fieldCaption(SettingKey key)
{
    switch (key) {
    case SettingKey::Porta:
        return QStringLiteral("Porta Com");
    case SettingKey::NumLetras:
        return QStringLiteral("Nº Letras p/ Linha");
    case SettingKey::InitMostrador:
        return QStringLiteral("Inicialização Display");
    case SettingKey::Limpa:
        return QStringLiteral("Limpar display");
    case SettingKey::InitLinha1:
        return QStringLiteral("Inicialização Linha 1");
    case SettingKey::InitLinha2:
        return QStringLiteral("Inicialização Linha 2");
    case SettingKey::FimLinha1:
        return QStringLiteral("Finalização Linha 1");
    case SettingKey::FimLinha2:
        return QStringLiteral("Finalização Linha 2");
    case SettingKey::SegundosTimerSQL:
        return QStringLiteral("Nº Segundos para verificação de Informação");
    case SettingKey::SegundosTimerDisplay:
        return QStringLiteral("Nº Segundos para visualização da Informação");
    case SettingKey::SegundosValidade:
        return QStringLiteral("Nº Segundos de validade da Informação");
    case SettingKey::SQL_Servidor:
        return QStringLiteral("Servidor SQL");
    case SettingKey::SQL_Utilizador:
        return QStringLiteral("Utilizador SQL");
    case SettingKey::SQL_Password:
        return QStringLiteral("Password SQL");
    case SettingKey::SQL_BaseDados:
        return QStringLiteral("Base Dados");
    case SettingKey::Default_Linha1:
        return QStringLiteral("Linha 1");
    case SettingKey::Default_Linha2:
        return QStringLiteral("Linha 2");
    case SettingKey::LigaFicheirosPath:
        return QStringLiteral("Pasta dos ficheiros");
    case SettingKey::MostraDefault:
        return QStringLiteral("Apresentar texto na ausência de registos");
    case SettingKey::LigaSQL:
        return QStringLiteral("Ligação por SQL");
    case SettingKey::LigaFicheiros:
        return QStringLiteral("Ligação por Endereço (Ficheiros)");
    case SettingKey::PortaDefinicoes:
        return QStringLiteral("Definições da porta");
    case SettingKey::PaginaCodigos:
        return QStringLiteral("Página de códigos");
    }
    return {};
}
