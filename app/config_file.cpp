#include "app/config_file.h"

#include "app/settings.h"
#include "common/failure.h"
#include "common/main_routines.h"
#include "common/numbers.h"
#include "common/text_encoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <limits>

namespace {

using Key = Settings::Key;

const QString crLf = QStringLiteral("\r\n");

// A real file is well under a kilobyte; anything this large is not a settings file, and
// reading it whole would only delay the window.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

QString fileError(const QString& action, const QString& path, const QString& reason)
{
    return QStringLiteral("%1 \"%2\": %3").arg(action, path, reason);
}

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw Failure(QStringLiteral("Ficheiro não encontrado: \"%1\"").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(fileError(QStringLiteral("Não foi possível ler"), path, file.errorString()));
    if (file.size() > maximumFileSize)
        throw Failure(
            fileError(QStringLiteral("Ficheiro de configuração demasiado grande"), path,
                      QStringLiteral("%1 bytes, máximo %2").arg(file.size()).arg(maximumFileSize)));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(fileError(QStringLiteral("Não foi possível ler"), path, file.errorString()));
    return bytes;
}

void applyValue(Settings& settings, Key key, const QString& value)
{
    switch (key) {
    case Key::MostraDefault:
        settings.setMostraDefault(
            static_cast<int>(roundHalfEven(leadingNumber(value), std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max())));
        break;
    case Key::LigaSQL:
        if (leadingNumber(value) == 1.0)
            settings.setLigaSQL(true);
        break;
    case Key::LigaFicheiros:
        if (leadingNumber(value) == 1.0)
            settings.setLigaFicheiros(true);
        break;
    default:
        settings.setText(key, value);
        break;
    }
}

} // namespace

QString configFileText(const Settings& settings)
{
    QString text;
    for (const Key key : Settings::keysInFileOrder()) {
        const QString name = Settings::keyName(key);
        switch (key) {
        case Key::MostraDefault:
            text += name + u'=' + QString::number(settings.mostraDefault()) + crLf;
            break;
        case Key::LigaSQL:
            if (settings.ligaSQL())
                text += name + QStringLiteral("=1") + crLf;
            break;
        case Key::LigaFicheiros:
            if (settings.ligaFicheiros())
                text += name + QStringLiteral("=1") + crLf;
            break;
        default:
            text += name + u'=' + settings.text(key) + crLf;
            break;
        }
    }
    return text;
}

void writeConfigFile(const QString& path, const Settings& settings)
{
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(
            fileError(QStringLiteral("Não foi possível gravar"), path, file.errorString()));
    // The file holds the database password in clear.
    if (isNew)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = encodeWindows1252(configFileText(settings));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(
            fileError(QStringLiteral("Não foi possível gravar"), path, file.errorString()));
}

void readConfigFile(const QString& path, Settings& settings)
{
    const QString text = withCrLfLineEndings(decodeFileText(readWhole(path)));
    QStringList lines;
    SeparaCampos(text, crLf, lines);
    for (const QString& line : lines) {
        for (const Key key : Settings::keysInFileOrder()) {
            if (line.contains(Settings::keyName(key) + u'='))
                applyValue(settings, key, ValorDaLinha(line));
        }
    }
}
