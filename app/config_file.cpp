#include "app/config_file.h"

#include "app/regular_file.h"
#include "core/failure.h"
#include "core/main_routines.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/text_encoding.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <limits>

namespace {

using Key = Settings::Key;

const QString crLf = QStringLiteral("\r\n");

QString fileError(const QString& action, const QString& path, const QString& reason)
{
    return QStringLiteral("%1 \"%2\": %3").arg(action, path, reason);
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
    const QString text =
        withCrLfLineEndings(decodeFileText(readRegularFile(path, configFileMaximumSize)));
    QStringList lines;
    SeparaCampos(text, crLf, lines);
    for (const QString& line : lines) {
        for (const SettingDefinition& row : settingsTable) {
            if (line.contains(Settings::keyName(row.key) + u'='))
                applyValue(settings, row.key, ValorDaLinha(line));
        }
    }
}
