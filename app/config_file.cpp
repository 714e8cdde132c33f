#include "app/config_file.h"

#include "app/file_save.h"
#include "core/failure.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/regular_file.h"
#include "core/settings.h"
#include "core/text_encoding.h"
#include "core/text_fields.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <limits>
#include <optional>

namespace {

using Key = Settings::Key;

const QString crLf = QStringLiteral("\r\n");

// As much as a text box of the window holds.
constexpr qsizetype maximumValueLength = 32767;
constexpr qint64 readChunkSize = 64 * 1024;

QString fileError(const QString& action, const QString& path, const QString& reason)
{
    return QStringLiteral("%1 \"%2\": %3").arg(action, QDir::toNativeSeparators(path), reason);
}

// The size is counted while reading, never taken from what the file claims: a link to
// /dev/zero claims nothing and never ends.
QByteArray readWhole(const QString& path)
{
    QFile file;
    openRegularFile(file, path, Links::follow);
    QByteArray bytes;
    // One byte past the limit is enough to know the file is too large.
    while (bytes.size() <= configFileMaximumSize) {
        const QByteArray chunk =
            file.read(std::min(readChunkSize, configFileMaximumSize + 1 - bytes.size()));
        if (file.error() != QFileDevice::NoError)
            throw Failure(
                fileError(QStringLiteral("Não foi possível ler"), path, file.errorString()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > configFileMaximumSize)
        throw Failure(QStringLiteral("Ficheiro demasiado grande: \"%1\" tem mais de %2 bytes")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(configFileMaximumSize));
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

// The known key that the line begins with, followed by "=".
std::optional<Key> leadingKey(const QString& line)
{
    for (const SettingDefinition& row : settingsTable) {
        const QString name = Settings::keyName(row.key);
        if (line.size() > name.size() && line.startsWith(name) && line[name.size()] == u'=')
            return row.key;
    }
    return std::nullopt;
}

// A value longer than a text box holds costs its own key alone: the log names it, and the rest of
// the file is read.
bool fitsAField(const QString& path, Key key, qsizetype lineLength)
{
    if (lineLength <= maximumValueLength)
        return true;
    qCWarning(lcMostrela).noquote()
        << QStringLiteral("\"%1\": %2 ficou por ler, numa linha com mais de %3 caracteres")
               .arg(QDir::toNativeSeparators(path), Settings::keyName(key))
               .arg(maximumValueLength);
    return false;
}

void readLine(Settings& settings, const QString& path, const QString& line)
{
    if (const std::optional<Key> key = leadingKey(line)) {
        const qsizetype valueStart = Settings::keyName(*key).size() + 1;
        if (fitsAField(path, *key, line.size() - valueStart))
            applyValue(settings, *key, line.mid(valueStart));
        return;
    }
    // Hand-written lines such as "xxPorta=3" keep working.
    for (const SettingDefinition& row : settingsTable) {
        if (line.contains(Settings::keyName(row.key) + u'=') &&
            fitsAField(path, row.key, line.size()))
            applyValue(settings, row.key, ValorDaLinha(line));
    }
}

// A line break would end the value's line early, and what follows it would be read as lines of
// its own: a password "x\nLigaSQL=1" would turn the database source on.
void refuseLineBreaks(const QString& path, const Settings& settings)
{
    for (const SettingDefinition& row : settingsTable) {
        if (row.kind() != SettingKind::Text)
            continue;
        const QString value = settings.text(row.key);
        if (value.contains(u'\r') || value.contains(u'\n'))
            throw Failure(fileError(QStringLiteral("Não foi possível gravar"), path,
                                    QStringLiteral("o valor de %1 tem uma mudança de linha")
                                        .arg(Settings::keyName(row.key))));
    }
}

// The mode is the owner's choice (a file shared by several accounts must stay readable by
// them), so it is only pointed out, once a run.
void warnWhenOthersMayRead(const QString& path, const Settings& settings)
{
    static std::atomic_bool warned = false;
    if (settings.text(Key::SQL_Password).isEmpty() ||
        !(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther)) ||
        warned.exchange(true))
        return;
    qCWarning(lcMostrela).noquote()
        << QStringLiteral("\"%1\" guarda a palavra-passe da base de dados e outros utilizadores "
                          "podem lê-lo")
               .arg(QDir::toNativeSeparators(path));
}

// Windows-1252 as the file has always been, unless that cannot carry the text back: a character
// it lacks, or bytes that the reader would take for UTF-8. Then UTF-8 with its byte-order mark.
QByteArray fileBytes(const QString& text)
{
    const QByteArray windows1252 = encodeWindows1252(text);
    if (decodeFileText(windows1252) == text)
        return windows1252;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace

QString configFileText(const Settings& settings)
{
    QString text;
    for (const SettingDefinition& row : settingsTable) {
        const QString name = Settings::keyName(row.key);
        switch (row.kind()) {
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
    refuseLineBreaks(path, settings);
    const QString written = saveFile(path, fileBytes(configFileText(settings)));
    warnWhenOthersMayRead(written, settings);
}

void readConfigFile(const QString& path, Settings& settings)
{
    const QByteArray bytes = readWhole(path);
    if (const QString problem = notText(bytes); !problem.isEmpty())
        throw Failure(fileError(QStringLiteral("Não foi possível ler"), path, problem));
    const QString text = withCrLfLineEndings(decodeFileText(bytes));
    QStringList lines;
    SeparaCampos(text, crLf, lines);
    for (const QString& line : lines)
        readLine(settings, path, line);
}
