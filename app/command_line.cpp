#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

constexpr qsizetype lineWidth = 79;
constexpr qsizetype textColumn = 20;

QString versionText()
{
    return QStringLiteral("mostrela %1\n").arg(QStringLiteral(MOSTRELA_VERSION));
}

// One entry of --help: `names` at the left, `text` wrapped at the width of a terminal beside it.
QString helpEntry(const QString& names, const QString& text)
{
    QStringList lines{QString()};
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        QString& line = lines.last();
        if (!line.isEmpty() && textColumn + line.size() + 1 + word.size() > lineWidth)
            lines << word;
        else
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    const QString indent(textColumn, u' ');
    const QString head = QStringLiteral("  ") + names;
    return (head.size() < textColumn ? head.leftJustified(textColumn) : head + u'\n' + indent) +
           lines.join(u'\n' + indent) + u'\n';
}

QString refusal(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    QString reason;
    if (!unknown.isEmpty())
        reason = QStringLiteral("opção desconhecida: %1").arg(unknown.join(QStringLiteral(", ")));
    else if (parser.errorText().startsWith(QLatin1String("Missing value")))
        reason = QStringLiteral("--pasta: falta a pasta");
    else
        reason = QStringLiteral("uma opção sem valor recebeu um valor");
    return QStringLiteral("mostrela: %1. Veja mostrela --help.\n").arg(reason);
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& defaultFolder)
{
    const QString description =
        QStringLiteral("Controlador de displays de cliente de duas linhas.");
    // Not Qt's own help and version options: the former offers Qt's options too, which this
    // program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra estas opções."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra a versão."));
    const QCommandLineOption folder(
        QStringLiteral("pasta"),
        QStringLiteral("Pasta de Mostrela.cfg e da fila (por omissão, %1).").arg(defaultFolder),
        QStringLiteral("DIR"));
    const QCommandLineOption withoutWindow(
        QStringLiteral("sem-janela"),
        QStringLiteral("Corre sem janela, logo na página de execução; as falhas vão para o "
                       "registo."));
    const QString autoText = QStringLiteral("Abre logo na página de execução.");
    QCommandLineParser parser;
    parser.addOptions({help, version, folder, withoutWindow});

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Refuse;
        result.text = refusal(parser);
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = QStringLiteral("Utilização: mostrela [opções] [AUTO]\n%1\n\nOpções:\n")
                          .arg(description) +
                      helpEntry(QStringLiteral("-h, --help"), help.description()) +
                      helpEntry(QStringLiteral("-v, --version"), version.description()) +
                      helpEntry(QStringLiteral("--pasta <DIR>"), folder.description()) +
                      helpEntry(QStringLiteral("--sem-janela"), withoutWindow.description()) +
                      QStringLiteral("\nArgumentos:\n") +
                      helpEntry(QStringLiteral("AUTO"), autoText);
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
            result.text = QStringLiteral("mostrela: --pasta: falta a pasta.\n");
            return result;
        }
        result.folder = QDir(given).absolutePath();
    }
    result.withoutWindow = parser.isSet(withoutWindow);
    result.rest = parser.positionalArguments().join(u' ');
    return result;
}
