#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

QString versionText()
{
    return QStringLiteral("mostrela %1\n").arg(QStringLiteral(MOSTRELA_VERSION));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Controlador de displays de cliente de duas linhas."));
    // Not Qt's own help and version options: the former offers Qt's options too, which this
    // program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra estas opções."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra a versão."));
    const QCommandLineOption folder(
        QStringLiteral("pasta"),
        QStringLiteral("Pasta de Mostrela.cfg e da fila (por omissão, a do programa quando "
                       "tem Mostrela.cfg ou se pode escrever nela; senão, a de configuração do "
                       "utilizador)."),
        QStringLiteral("DIR"));
    const QCommandLineOption withoutWindow(
        QStringLiteral("sem-janela"),
        QStringLiteral("Corre sem janela, logo na página de execução; as falhas vão para o "
                       "registo."));
    parser.addOptions({help, version, folder, withoutWindow});
    parser.addPositionalArgument(QStringLiteral("AUTO"),
                                 QStringLiteral("Abre logo na página de execução."),
                                 QStringLiteral("[AUTO]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Refuse;
        result.text = parser.errorText() + u'\n';
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.text = versionText();
        return result;
    }
    if (parser.isSet(folder)) {
        const QString given = parser.value(folder);
        if (given.isEmpty()) {
            result.action = CommandLine::Action::Refuse;
            result.text = QStringLiteral("--pasta: falta a pasta.\n");
            return result;
        }
        result.folder = QDir(given).absolutePath();
    }
    result.withoutWindow = parser.isSet(withoutWindow);
    result.rest = parser.positionalArguments().join(u' ');
    return result;
}
