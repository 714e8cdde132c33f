#include "app/config_file.h"

#include "core/failure.h"
#include "core/main_routines.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/text_encoding.h"

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
    switch (Settings::kind(key)) {
    case SettingKind::CheckState:
        settings.setMostraDefault(
            static_cast<int>(roundHalfEven(leadingNumber(value), std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max())));
        break;
    case SettingKind::Option:
        // Only "=1" selects; anything else leaves the option as it was.
        if (leadingNumber(value) == 1.0)
            settings.setOption(key, true);
        break;
    case SettingKind::Text:
        settings.setText(key, value);
        break;
    }
}

} // namespace

QString configFileText(const Settings& settings)
{
    QString text;
    for (const SettingDefinition& row : settingsTable) {
        const QString name = Settings::keyName(row.key);
        switch (row.kind) {
        case SettingKind::CheckState:
            text += name + u'=' + QString::number(settings.mostraDefault()) + crLf;
            break;
        case SettingKind::Option:
            if (settings.option(row.key))
                text += name + QStringLiteral("=1") + crLf;
            break;
        case SettingKind::Text:
            text += name + u'=' + settings.text(row.key) + crLf;
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
        for (const SettingDefinition& row : settingsTable) {
            if (line.contains(Settings::keyName(row.key) + u'='))
                applyValue(settings, row.key, ValorDaLinha(line));
        }
    }
}
