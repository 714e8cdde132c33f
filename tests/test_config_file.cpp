#include "app/config_file.h"
#include "core/failure.h"
#include "core/settings.h"
#include "support/file_bytes.h"
#include "support/test_main.h"
#include "support/unwritable_folder.h"
#include "support/verify_says.h"

using Key = Settings::Key;

namespace {

struct ConfigFile {
    QTemporaryDir folder;
    const QString path = folder.filePath("Mostrela.cfg");
    // The path as failures name it.
    QString named() const { return QDir::toNativeSeparators(path); }
};

// Reads `bytes` as a settings file into the settings; returns the failure's description.
QString readInto(Settings& settings, const QByteArray& bytes)
{
    const ConfigFile file;
    if (!writeFileBytes(file.path, bytes))
        return QString("cannot write %1").arg(file.path);
    return runTrapped([&] { readConfigFile(file.path, settings); });
}

void saveAndRead(const Settings& written, Settings& read)
{
    const ConfigFile file;
    writeConfigFile(file.path, written);
    readConfigFile(file.path, read);
}

// Any setting as the file spells it.
QString valueOf(const Settings& settings, Key key)
{
    switch (Settings::kind(key)) {
    case SettingKind::CheckState:
        return QString::number(settings.mostraDefault());
    case SettingKind::Option:
        return settings.option(key) ? "1" : "0";
    case SettingKind::Text:
        break;
    }
    return settings.text(key);
}

QString valueOf(const Settings& settings, const QString& keyName)
{
    for (const SettingDefinition& row : settingsTable) {
        if (Settings::keyName(row.key) == keyName)
            return valueOf(settings, row.key);
    }
    return QString("(no key %1)").arg(keyName);
}

// A value built from the pieces most likely to confuse the reader: "=", key names, ";",
// blanks, characters that Windows-1252 lacks, and Windows-1252 bytes that look like UTF-8.
QString generatedValue(QRandomGenerator& generator)
{
    static const QStringList pieces = [] {
        QStringList list{"=", ";",    " ",           "\t",        "a",        "Z",     "7",
                         "+", "#",    "/srv/in=box", "çãé€",      "Ã©",       "Ωμέγα", "漢字",
                         "😀", "\x01", "\u0081",      "LigaSQL=1", "x;Porta=9"};
        for (const SettingDefinition& row : settingsTable)
            list << Settings::keyName(row.key) + u'=';
        return list;
    }();
    QString value;
    for (int count = generator.bounded(13); count > 0; --count)
        value += pieces.at(generator.bounded(pieces.size()));
    return value;
}

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_generatedValuesReadBackAsSavedBarTrailingBlanks()
    {
        constexpr quint32 seed = 20261208;
        QRandomGenerator generator(seed);
        for (int testCase = 0; testCase < 300; ++testCase) {
            Settings written;
            for (const SettingDefinition& row : settingsTable) {
                if (row.kind() == SettingKind::Text)
                    written.setText(row.key, generatedValue(generator));
            }
            written.setMostraDefault(generator.bounded(3));
            written.setLigaSQL(generator.bounded(2) == 1);
            written.setLigaFicheiros(generator.bounded(2) == 1);

            Settings read;
            const QString error = runTrapped([&] { saveAndRead(written, read); });
            const QString where = QString("seed %1, case %2").arg(seed).arg(testCase);
            QVERIFY2(error.isEmpty(), qPrintable(where + ": " + error));
            for (const SettingDefinition& row : settingsTable) {
                const QString expected =
                    valueOf(written, row.key).remove(QRegularExpression(" +$"));
                QVERIFY2(valueOf(read, row.key) == expected,
                         qPrintable(QString("%1: %2 saved as \"%3\", read as \"%4\"")
                                        .arg(where, Settings::keyName(row.key), expected,
                                             valueOf(read, row.key))));
            }
        }
    }

    void roundTrip_valueLikeAnotherLineSetsItsOwnKeyOnly_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("password with ;Porta=") << Key::SQL_Password << "x;Porta=9";
        QTest::newRow("idle text naming Porta") << Key::Default_Linha1 << "Abra a Porta=3";
        QTest::newRow("password with =") << Key::SQL_Password << "ab=cd";
        QTest::newRow("folder with =") << Key::LigaFicheirosPath << "/srv/in=box";
        QTest::newRow("password LigaSQL=1") << Key::SQL_Password << "LigaSQL=1";
        QTest::newRow("password beyond Windows-1252") << Key::SQL_Password << "Ωμέγα漢字😀";
        QTest::newRow("empty folder") << Key::LigaFicheirosPath << QString();
        QTest::newRow("leading blanks stay") << Key::Default_Linha2 << "  Olá";
    }

    void roundTrip_valueLikeAnotherLineSetsItsOwnKeyOnly()
    {
        QFETCH(Key, key);
        QFETCH(QString, value);
        Settings written;
        written.setText(key, value);
        Settings read;
        saveAndRead(written, read);
        for (const SettingDefinition& row : settingsTable)
            QCOMPARE(valueOf(read, row.key), row.key == key ? value : valueOf(Settings(), row.key));
    }

    void writer_emitsKeysInOrderWithCrLfAndLigaLinesOnlyWhenSelected()
    {
        Settings settings;
        settings.setText(Key::Default_Linha2, "Café €");
        settings.setMostraDefault(1);
        settings.setLigaFicheiros(true);
        const ConfigFile file;
        writeConfigFile(file.path, settings);

        const QByteArray bytes = fileBytes(file.path);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        QCOMPARE(lines.size(), 22);
        QCOMPARE(lines.at(0), QByteArray("Porta=1\r"));
        QCOMPARE(lines.at(10), QByteArray("MostraDefault=1\r"));
        QCOMPARE(lines.at(12), QByteArray("Default_Linha2=Caf\xe9 \x80\r"));
        QCOMPARE(lines.mid(17),
                 (QList<QByteArray>{"LigaFicheiros=1\r", "LigaFicheirosPath=\r",
                                    "SegundosValidade=300\r", "PortaDefinicoes=9600,n,8,1\r",
                                    "PaginaCodigos="}));
        QVERIFY(!bytes.contains("LigaSQL"));

        // Older copies find a key anywhere in a line, and skip a line with none they know: the last
        // line names no other key, and every line read that way gives what it gave before.
        Settings older;
        QCOMPARE(readInto(older, "x" + bytes.chopped(2).replace("\r\n", "\r\nx") + "\r\n"),
                 QString());
        for (const SettingDefinition& row : settingsTable)
            QCOMPARE(valueOf(older, row.key), valueOf(settings, row.key));
        Settings withoutIt;
        QCOMPARE(readInto(withoutIt, bytes.left(bytes.indexOf("SegundosValidade="))), QString());
        QCOMPARE(withoutIt.text(Key::SegundosValidade), "300");

        // Neither source selected: neither line, and both read back unselected.
        Settings read;
        saveAndRead(Settings(), read);
        QVERIFY(!read.ligaSQL() && !read.ligaFicheiros());
        writeConfigFile(file.path, Settings());
        const QByteArray neitherBytes = fileBytes(file.path);
        QCOMPARE(neitherBytes.count("\r\n"), qsizetype(settingCount) - 2);
        QVERIFY(!neitherBytes.contains("LigaSQL=") && !neitherBytes.contains("LigaFicheiros="));
    }

    void writer_usesUtf8WithMarkOnlyWhenWindows1252CannotCarryTheText()
    {
        const ConfigFile file;
        Settings settings;
        settings.setText(Key::Default_Linha1, "Café €");
        writeConfigFile(file.path, settings);
        QVERIFY(fileBytes(file.path).startsWith("Porta=1\r\n"));

        settings.setText(Key::SQL_Password, "Ωμέγα");
        writeConfigFile(file.path, settings);
        const QByteArray utf8 = fileBytes(file.path);
        QVERIFY(utf8.startsWith("\xEF\xBB\xBFPorta=1\r\n"));
        QVERIFY(utf8.contains("SQL_Password=\xCE\xA9\xCE\xBC"));
        QVERIFY(utf8.contains("Default_Linha1=Caf\xC3\xA9 \xE2\x82\xAC\r\n"));

        // Alone, "Ã©" in Windows-1252 is C3 A9: valid UTF-8, which the reader would take for "é".
        Settings lookalike;
        lookalike.setText(Key::SQL_Password, "Ã©");
        writeConfigFile(file.path, lookalike);
        QVERIFY(fileBytes(file.path).startsWith("\xEF\xBB\xBF"));
    }

    void writer_refusesLineBreakInAValueAndKeepsTheOldFile()
    {
        const ConfigFile file;
        QVERIFY(writeFileBytes(file.path, "Porta=5\r\n"));
        for (const char* value : {"x\nLigaSQL=1", "x\rPorta=9"}) {
            Settings settings;
            settings.setText(Key::SQL_Password, value);
            const QString error = runTrapped([&] { writeConfigFile(file.path, settings); });
            QVERIFY2(error.contains(file.named()) && error.contains("SQL_Password"),
                     qPrintable(error));
            QCOMPARE(fileBytes(file.path), QByteArray("Porta=5\r\n"));
        }
    }

    void writer_keepsOldFileWhenNeitherItNorItsFolderCanBeWritten()
    {
        if (const char* why = UnwritableFolder::unavailable())
            QSKIP(why);
        const ConfigFile file;
        QVERIFY(writeFileBytes(file.path, "Porta=5\r\n"));
        QVERIFY(QFile::setPermissions(file.path,
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        UnwritableFolder unwritable(file.folder.path());
        VERIFY_SAYS(runTrapped([&] { writeConfigFile(file.path, Settings()); }), file.named());
        QCOMPARE(fileBytes(file.path), QByteArray("Porta=5\r\n"));
        QCOMPARE(QDir(file.folder.path()).entryList(QDir::Files), QStringList{"Mostrela.cfg"});
    }

    void writer_leavesANewFileForItsOwnerOnly_aReplacedOneAsItWas()
    {
#ifdef Q_OS_WIN
        // Nor does the save keep a new file from other users there: it sets no access list.
        QSKIP("Windows files have no mode: Qt shows their read-only attribute alone");
#endif
        const ConfigFile created;
        const QString replaced = created.folder.filePath("Antigo.cfg");
        QVERIFY(writeFileBytes(replaced, "Porta=5\r\n"));
        const QFile::Permissions worldReadable =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(replaced, worldReadable));
        Settings settings;
        settings.setText(Key::SQL_Password, "segredo");
        writeConfigFile(created.path, settings);
        writeConfigFile(replaced, settings);
        QCOMPARE(QFile::permissions(created.path) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(QFile::permissions(replaced) & ~(QFile::ReadUser | QFile::WriteUser),
                 worldReadable);
    }

    // Read into fresh settings: the values they then hold ("Key=value"), and the failure, if any.
    void reading_setsWhatItsLinesSay_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("failure");
        const auto row = [](const char* name, const QByteArray& bytes, const QStringList& values,
                            const QString& failure = {}) {
            QTest::newRow(name) << bytes << values << failure;
        };
        row("keys match case-sensitively anywhere in a line",
            "porta=3\r\nxxNumLetras=16\r\nunknown=9\r\n", {"Porta=1", "NumLetras=16"});
        row("a line beginning with a key: all after the first =",
            "Porta=3\r\nPorta=4\r\n  Limpa=FimLinha1=99  "
            "\r\nSQL_Password=LigaSQL=1\r\nNumLetras=\r\n",
            {"Porta=4", "Limpa=FimLinha1=99", "FimLinha1=13", "SQL_Password=LigaSQL=1",
             "NumLetras=", "LigaSQL=0"});
        row("LigaFicheiros= is not the start of LigaFicheirosPath=", "LigaFicheirosPath=1\r\n",
            {"LigaFicheiros=0", "LigaFicheirosPath=1"});
        row("a line beginning with no key: every key in it, all after the last =",
            "xLimpa=FimLinha1=99\r\n# Porta=7\r\n", {"Limpa=99", "FimLinha1=99", "Porta=7"});
        row("a later line overrides, whichever rule each follows", "Porta=2\r\nxxPorta=3\r\n",
            {"Porta=3"});
        row("sources selected by 1 alone", "LigaSQL=0\r\nLigaFicheiros=\r\n",
            {"LigaSQL=0", "LigaFicheiros=0"});
        row("sources selected by a number reading 1", "LigaSQL=1.0\r\nLigaFicheiros=1 x\r\n",
            {"LigaSQL=1", "LigaFicheiros=1"});
        row("sources never unselected", "LigaSQL=1\r\nLigaSQL=0\r\n", {"LigaSQL=1"});
        row("MostraDefault 1", "MostraDefault=1\r\n", {"MostraDefault=1"});
        row("MostraDefault not a number", "MostraDefault=1\r\nMostraDefault=abc\r\n",
            {"MostraDefault=0"});
        row("MostraDefault rounded up to even", "MostraDefault=1.5\r\n", {"MostraDefault=2"});
        row("MostraDefault rounded down to even", "MostraDefault=1\r\nMostraDefault=0.5\r\n",
            {"MostraDefault=0"});
        row("MostraDefault out of range stops the reading",
            "Porta=7\r\nMostraDefault=3\r\nNumLetras=9\r\n", {"Porta=7", "NumLetras=20"},
            "MostraDefault");
        row("every line ending, Windows-1252",
            "Porta=2\nNumLetras=16\rLimpa=12\r\nDefault_Linha1=Ol\xe1\r\n",
            {"Porta=2", "NumLetras=16", "Limpa=12", "Default_Linha1=Olá"});
        row("UTF-8 without its mark", "Default_Linha1=Ol\xc3\xa1 \xe2\x82\xac\n",
            {"Default_Linha1=Olá €"});
        // As a Windows editor saves it.
        row("UTF-16 with its mark", QByteArray("\xff\xfeP\0o\0r\0t\0a\0=\0\xe9\0\r\0\n\0", 20),
            {"Porta=é"});
        const QByteArray atLimit = "Porta=4\r\n" + QByteArray(configFileMaximumSize - 9, 'x');
        row("at the size limit", atLimit, {"Porta=4"});
        row("one byte over the size limit", atLimit + 'x', {"Porta=1"}, "demasiado grande");
        row("more lines than a file may have", QByteArray("NumLetras=1\r\n").repeated(40000),
            {"NumLetras=20"}, "32767");
        row("a zero byte within a value", QByteArray("Porta=a\0b\r\nNumLetras=8\r\n", 23),
            {QString("Porta=a") + QChar(0) + u'b', "NumLetras=8"});
        // Never read as nothing in silence: the failure names the file and says what it holds.
        const QString text = QStringLiteral("Porta=2\r\nLigaFicheiros=1\r\n");
        const QString utf16 = QStringLiteral("Mostrela.cfg\": está em UTF-16 sem a marca");
        row("UTF-16 LE without its mark", QStringEncoder(QStringConverter::Utf16LE).encode(text),
            {"LigaFicheiros=0"}, utf16);
        row("UTF-16 BE without its mark", QStringEncoder(QStringConverter::Utf16BE).encode(text),
            {"LigaFicheiros=0"}, utf16);
        const QString binary = QStringLiteral("Mostrela.cfg\": não é um ficheiro de texto");
        row("zeros left by a crash", QByteArray(4096, '\0'), {"LigaFicheiros=0"}, binary);
        row("a program saved in its place",
            QByteArray("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0", 16) + text.toLatin1(),
            {"LigaFicheiros=0"}, binary);
    }

    void reading_setsWhatItsLinesSay()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        QFETCH(QString, failure);
        Settings settings;
        const QString error = readInto(settings, bytes);
        QVERIFY2(failure.isEmpty() ? error.isEmpty() : error.contains(failure), qPrintable(error));
        for (const QString& value : values) {
            const qsizetype equals = value.indexOf(u'=');
            QCOMPARE(valueOf(settings, value.first(equals)), value.sliced(equals + 1));
        }
    }

    void reading_emptyFileSetsNothing()
    {
        Settings settings;
        QSignalSpy changes(&settings, &Settings::changed);
        QCOMPARE(readInto(settings, QByteArray()), QString());
        QCOMPARE(changes.count(), 0);
    }

    void reading_missingFileFails()
    {
        const ConfigFile file;
        Settings settings;
        VERIFY_SAYS(runTrapped([&] { readConfigFile(file.path, settings); }), file.named());
    }

    void opening_readsThroughALinkToARegularFile()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut on Windows, which opening a file does not follow");
#endif
        const ConfigFile file;
        const QString target = file.folder.filePath("partilhado.cfg");
        QVERIFY(writeFileBytes(target, "Porta=8\r\n"));
        QVERIFY(QFile::link(target, file.path));
        Settings settings;
        readConfigFile(file.path, settings);
        QCOMPARE(settings.text(Key::Porta), "8");
    }

    void badInput_isRefusedClearlyOrReadAsFarAsTheRulesAllow()
    {
        Settings settings;
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(2026);
        for (char& byte : garbage)
            byte = static_cast<char>(generator.bounded(256));
        readInto(settings, garbage); // any outcome but a crash or a hang

        // A value too long for its field costs that key alone, wherever the key stands in its line.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Porta ficou por ler.*32767"));
        QCOMPARE(readInto(settings, "Porta=" + QByteArray(1024 * 1024, '9')), QString());
        QCOMPARE(settings.text(Key::Porta), "1");
        QCOMPARE(readInto(settings, QByteArray(1024 * 1024, 'y') + "\r\nPorta=6"), QString());
        QCOMPARE(settings.text(Key::Porta), "6");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Default_Linha1 ficou por ler"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Limpa ficou por ler"));
        QCOMPARE(readInto(settings, "Default_Linha1=" + QByteArray(10 * 1024 * 1024, 'x') +
                                        "\r\nNumLetras=16\r\nxLimpa=" + QByteArray(40000, '1') +
                                        "\r\nLigaFicheiros=1\r\n"),
                 QString());
        QCOMPARE(settings.text(Key::Default_Linha1), Settings().text(Key::Default_Linha1));
        QCOMPARE(settings.text(Key::Limpa), Settings().text(Key::Limpa));
        QCOMPARE(settings.text(Key::NumLetras), "16");
        QVERIFY(settings.ligaFicheiros());
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
