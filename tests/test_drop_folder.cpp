#include "core/failure.h"
#include "core/message_queue.h"
#include "core/settings_snapshots.h"
#include "intake/drop_file.h"
#include "intake/drop_folder.h"
#include "support/file_bytes.h"
#include "support/test_main.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class TestDropFolder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    MessageQueue m_queue;
    const std::atomic<bool> running{false};

    QString path(const QString& name) const { return m_folder.filePath(name); }
    void write(const QString& name, const QByteArray& bytes)
    {
        QVERIFY(writeFileBytes(path(name), bytes));
    }
    // Reads the files with lines of `numLetras`, runs `betweenReadAndDelete`, then deletes
    // each and queues those deleted, as a polling tick does; what went wrong, or empty.
    QString take(const QString& numLetras, const std::function<void()>& betweenReadAndDelete = {})
    {
        QStringList problems;
        const QString failure = runTrapped([&] {
            QList<DropFile> files;
            readDropFiles(m_folder.path(), LineWidth::read(numLetras), problems, 2, running,
                          [&](const QList<DropFile>& chunk) { files << chunk; });
            if (betweenReadAndDelete)
                betweenReadAndDelete();
            for (const DropFile& file : files) {
                if (deleteDropFile(file.path, problems))
                    m_queue.append(file.message);
            }
        });
        if (!failure.isEmpty())
            problems << failure;
        return problems.join(u'\n');
    }
    QStringList queued()
    {
        QStringList rows;
        for (int i = 0; i < m_queue.count(); ++i)
            rows << m_queue.at(i).ordem + u'|' + m_queue.at(i).linha1 + u'|' + m_queue.at(i).linha2;
        return rows;
    }
    QStringList filesLeft() const
    {
        return QDir(m_folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        m_queue.takeAll([](const QueuedMessage&) { return true; });
    }

    void dropFiles_queuedInNameOrder_anyCase_andDeleted()
    {
        write("20240105093000_b.dsp", "second");
        write("20240105092959_a.DSP", "first");
        write("curto.Dsp", "third");
        write("20240105093001.txt", "not a message");
        write("20240105093002.dsp.part", "still being written");
        QCOMPARE(take("20"), QString());
        QCOMPARE(queued(), QStringList({"20240105092959|first|", "20240105093000|second|",
                                        "curto.Dsp|third|"}));
        QCOMPARE(m_queue.selectedRow(), 0);
        QCOMPARE(filesLeft(), QStringList({"20240105093001.txt", "20240105093002.dsp.part"}));
    }

    void text_splitIntoTwoLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("numLetras");
        QTest::addColumn<QString>("lines"); // linha1|linha2
        const auto row = [](const char* name, const QByteArray& bytes, const char* numLetras,
                            const char* lines) {
            QTest::newRow(name) << bytes << QString(numLetras) << QString(lines);
        };
        row("both lines, line 2 runs to twice the width", "AAAAABBBBBBBBBBCCC", "5",
            "AAAAA|BBBBBBBBBB");
        row("short text", "AAA", "5", "AAA|");
        row("empty file", "", "5", "|");
        row("width read leniently", "AAAAABB", " 4.5 letras", "AAAA|ABB");
        row("trailing line breaks are not text", "Total: 12,50\r\n\n\r", "20", "Total: 12,50|");
        row("an inner break counts as CR LF", "AB\nCDEF\n", "3", "AB\r|\nCDEF");
        row("Windows-1252", "Pre\xe7o\x80", "4", "Preç|o€");
        row("UTF-8", "Ol\xc3\xa1 Jos\xc3\xa9", "4", "Olá |José");
        // As Windows PowerShell's ">" writes a file, and the other byte order.
        row("UTF-16 LE", QByteArray("\xff\xfeP\0r\0e\0\xe7\0o\0\xac\x20\r\0\n\0", 16), "4",
            "Preç|o€");
        row("UTF-16 BE", QByteArray("\xfe\xff\0P\0r\0e\0\xe7\0o\x20\xac", 14), "4", "Preç|o€");
    }
    void text_splitIntoTwoLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, numLetras);
        QFETCH(QString, lines);
        write("20240105093000.dsp", bytes);
        QCOMPARE(take(numLetras), QString());
        QCOMPARE(queued(), QStringList("20240105093000|" + lines));
    }

    void hugeFile_readOnlyAsFarAsTheLinesNeed()
    {
        // A sparse file of 8 GiB: reading it whole would exhaust memory.
        write("grande.dsp", "Ol\xc3\xa1 mundo, bom dia");
        QVERIFY(QFile::resize(path("grande.dsp"), qint64(8) << 30));
        QCOMPARE(dropFileText(path("grande.dsp"), 12), "Olá mundo, b");

        // Past the part that is read, only line breaks: they are trailing, and not text.
        write("quebras.dsp", "ab" + QByteArray(1 << 20, '\n'));
        QCOMPARE(dropFileText(path("quebras.dsp"), 60), "ab");
        write("quebras.dsp", "ab" + QByteArray(1 << 20, '\n') + "c");
        QCOMPARE(dropFileText(path("quebras.dsp"), 6), "ab\r\n\r\n");

        // Two-byte letters, with the read ending inside one of them.
        write("acentos.dsp", QByteArray("\xc3\xa9").repeated(1000));
        for (qsizetype characters = 1; characters < 12; ++characters)
            QCOMPARE(dropFileText(path("acentos.dsp"), characters),
                     QString(characters, QChar(0xe9)));
    }

    void missingFolder_failsClearly()
    {
        QStringList problems;
        const auto failure = [&](const QString& folder) {
            return runTrapped([&] {
                readDropFiles(folder, LineWidth::read("20"), problems, 2, running,
                              [](QList<DropFile>&) {});
            });
        };
        const QString missing = m_folder.filePath("em-falta");
        QString error = failure(missing);
        QVERIFY2(error.contains(missing), qPrintable(error));
        error = failure(QString());
        QVERIFY2(error.contains("não está definida"), qPrintable(error));
        QVERIFY(problems.isEmpty());
    }

    void fileThatCannotBeDeleted_staysAndIsNeverQueued_othersAreTaken()
    {
        write("1.dsp", "one");
        write("2.dsp", "two");
        write("3.dsp", "three");
        // Another program puts a folder of its own in the place of 2.dsp once it has been read.
        const auto replaceSecond = [&] {
            QVERIFY(QFile::remove(path("2.dsp")));
            QVERIFY(QDir(m_folder.path()).mkpath("2.dsp/dentro"));
        };
        QString error = take("20", replaceSecond);
        QVERIFY2(error.contains(QDir::toNativeSeparators(path("2.dsp"))), qPrintable(error));
        QCOMPARE(queued(), QStringList({"1.dsp|one|", "3.dsp|three|"}));
        QCOMPARE(filesLeft(), QStringList({"2.dsp"}));

        // The next pass names the folder and leaves it alone.
        error = take("20");
        QVERIFY2(error.contains("é uma pasta"), qPrintable(error));
        QCOMPARE(m_queue.count(), 2);
        QCOMPARE(filesLeft(), QStringList({"2.dsp"}));
    }

    void entriesThatAreNoRegularFiles_areNamedNeverReadNorDeleted()
    {
#ifndef Q_OS_UNIX
        QSKIP("FIFOs, symbolic links and names that are not UTF-8 are a Unix's");
#else
        QTemporaryDir outside;
        const QString secret = outside.filePath("segredo");
        QVERIFY(writeFileBytes(secret, "palavra-passe"));
        write("1.dsp", "one");
        QVERIFY(QFile::link(secret, path("2.dsp")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("3.dsp")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("3.dsp"), path("4.dsp")));
        QVERIFY(QDir(m_folder.path()).mkdir("5.DSP"));
        // Bytes that are not UTF-8: the name cannot be given back to the system as it came.
        const QByteArray badName = QFile::encodeName(m_folder.path()) + "/6\xff.dsp";
        const int bad = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(bad >= 0 && ::close(bad) == 0);
        write("7.dsp", "seven");

        const QString error = take("20");
        QCOMPARE(queued(), QStringList({"1.dsp|one|", "7.dsp|seven|"}));
        for (const char* named : {"2.dsp", "3.dsp", "4.dsp", "5.DSP", "6"})
            QVERIFY2(error.contains(QString::fromLatin1(named)), qPrintable(error));
        QVERIFY(!error.contains("palavra"));
        const auto everyEntry = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(m_folder.path()).entryList(everyEntry).size(), 4);
        QCOMPARE(::access(badName.constData(), F_OK), 0); // which QDir does not list
        QVERIFY(QFile::exists(secret));
#endif
    }

    void badWidth_failsBeforeAnyFileIsTaken()
    {
        write("1.dsp", "one");
        QVERIFY(take("-3").contains("\"-3\""));
        QCOMPARE(m_queue.count(), 0);
        QCOMPARE(filesLeft(), QStringList({"1.dsp"}));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDropFolder)
#include "test_drop_folder.moc"
