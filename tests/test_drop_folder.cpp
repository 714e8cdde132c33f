#include "core/failure.h"
#include "core/message_queue.h"
#include "core/settings_snapshots.h"
#include "intake/drop_file.h"
#include "intake/drop_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

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
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
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
        for (int row = 0; row < m_queue.count(); ++row) {
            const QueuedMessage& message = m_queue.at(row);
            rows << message.ordem + u'|' + message.linha1 + u'|' + message.linha2;
        }
        return rows;
    }
    QStringList filesLeft() const
    {
        return QDir(m_folder.path())
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void init()
    {
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        while (m_queue.count() > 0)
            m_queue.takeSelected();
    }

    void dropFiles_queuedInNameOrder_anyCase_andDeleted()
    {
        write(QStringLiteral("20240105093000_b.dsp"), "second");
        write(QStringLiteral("20240105092959_a.DSP"), "first");
        write(QStringLiteral("curto.Dsp"), "third");
        write(QStringLiteral("20240105093001.txt"), "not a message");
        write(QStringLiteral("20240105093002.dsp.part"), "still being written");
        QCOMPARE(take(QStringLiteral("20")), QString());
        QCOMPARE(queued(), QStringList({QStringLiteral("20240105092959|first|"),
                                        QStringLiteral("20240105093000|second|"),
                                        QStringLiteral("curto.Dsp|third|")}));
        QCOMPARE(m_queue.selectedRow(), 0);
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("20240105093001.txt"),
                                           QStringLiteral("20240105093002.dsp.part")}));
    }

    void text_splitIntoTwoLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("numLetras");
        QTest::addColumn<QString>("linha1");
        QTest::addColumn<QString>("linha2");
        QTest::newRow("both lines, line 2 runs to twice the width")
            << QByteArray("AAAAABBBBBBBBBBCCC") << QStringLiteral("5") << QStringLiteral("AAAAA")
            << QStringLiteral("BBBBBBBBBB");
        QTest::newRow("short text")
            << QByteArray("AAA") << QStringLiteral("5") << QStringLiteral("AAA") << QString();
        QTest::newRow("empty file")
            << QByteArray() << QStringLiteral("5") << QString() << QString();
        QTest::newRow("width read leniently")
            << QByteArray("AAAAABB") << QStringLiteral(" 4.5 letras") << QStringLiteral("AAAA")
            << QStringLiteral("ABB");
        QTest::newRow("trailing line breaks are not text")
            << QByteArray("Total: 12,50\r\n\n\r") << QStringLiteral("20")
            << QStringLiteral("Total: 12,50") << QString();
        QTest::newRow("an inner break counts as CR LF")
            << QByteArray("AB\nCDEF\n") << QStringLiteral("3") << QStringLiteral("AB\r")
            << QStringLiteral("\nCDEF");
        QTest::newRow("Windows-1252") << QByteArray("Pre\xe7o\x80") << QStringLiteral("4")
                                      << QStringLiteral("Preç") << QStringLiteral("o€");
        QTest::newRow("UTF-8") << QByteArray("Ol\xc3\xa1 Jos\xc3\xa9") << QStringLiteral("4")
                               << QStringLiteral("Olá ") << QStringLiteral("José");
        // As Windows PowerShell's ">" writes a file, and the other byte order.
        QTest::newRow("UTF-16 LE")
            << QByteArray("\xff\xfeP\0r\0e\0\xe7\0o\0\xac\x20\r\0\n\0", 16) << QStringLiteral("4")
            << QStringLiteral("Preç") << QStringLiteral("o€");
        QTest::newRow("UTF-16 BE")
            << QByteArray("\xfe\xff\0P\0r\0e\0\xe7\0o\x20\xac", 14) << QStringLiteral("4")
            << QStringLiteral("Preç") << QStringLiteral("o€");
    }
    void text_splitIntoTwoLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, numLetras);
        write(QStringLiteral("20240105093000.dsp"), bytes);
        QCOMPARE(take(numLetras), QString());
        QCOMPARE(m_queue.count(), 1);
        QTEST(m_queue.at(0).linha1, "linha1");
        QTEST(m_queue.at(0).linha2, "linha2");
    }

    void hugeFile_readOnlyAsFarAsTheLinesNeed()
    {
        // A sparse file of 8 GiB: reading it whole would exhaust memory.
        write(QStringLiteral("grande.dsp"), "Ol\xc3\xa1 mundo, bom dia");
        QVERIFY(QFile::resize(path(QStringLiteral("grande.dsp")), qint64(8) << 30));
        QCOMPARE(dropFileText(path(QStringLiteral("grande.dsp")), 12),
                 QStringLiteral("Olá mundo, b"));

        // Past the part that is read, only line breaks: they are trailing, and not text.
        write(QStringLiteral("quebras.dsp"), "ab" + QByteArray(1 << 20, '\n'));
        QCOMPARE(dropFileText(path(QStringLiteral("quebras.dsp")), 60), QStringLiteral("ab"));
        write(QStringLiteral("quebras.dsp"), "ab" + QByteArray(1 << 20, '\n') + "c");
        QCOMPARE(dropFileText(path(QStringLiteral("quebras.dsp")), 6),
                 QStringLiteral("ab\r\n\r\n"));

        // Two-byte letters, with the read ending inside one of them.
        QByteArray accents;
        for (int letter = 0; letter < 1000; ++letter)
            accents += "\xc3\xa9";
        for (qsizetype characters = 1; characters < 12; ++characters) {
            write(QStringLiteral("acentos.dsp"), accents);
            QCOMPARE(dropFileText(path(QStringLiteral("acentos.dsp")), characters),
                     QString(characters, QChar(0xe9)));
        }
    }

    void missingFolder_failsClearly()
    {
        const QString folder = m_folder.filePath(QStringLiteral("em-falta"));
        QStringList problems;
        QString error = runTrapped([&] {
            readDropFiles(folder, LineWidth::read("20"), problems, 2, running,
                          [](QList<DropFile>&) {});
        });
        QVERIFY2(error.contains(folder), qPrintable(error));
        error = runTrapped([&] {
            readDropFiles(QString(), LineWidth::read("20"), problems, 2, running,
                          [](QList<DropFile>&) {});
        });
        QVERIFY2(error.contains(QStringLiteral("não está definida")), qPrintable(error));
        QVERIFY(problems.isEmpty());
    }

    void fileThatCannotBeDeleted_staysAndIsNeverQueued_othersAreTaken()
    {
        write(QStringLiteral("1.dsp"), "one");
        write(QStringLiteral("2.dsp"), "two");
        write(QStringLiteral("3.dsp"), "three");
        // Another program puts a folder of its own in the place of 2.dsp once it has been read.
        const auto replaceSecond = [&] {
            QVERIFY(QFile::remove(path(QStringLiteral("2.dsp"))));
            QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("2.dsp/dentro")));
        };
        QString error = take(QStringLiteral("20"), replaceSecond);
        QVERIFY2(error.contains(QDir::toNativeSeparators(path(QStringLiteral("2.dsp")))),
                 qPrintable(error));
        QCOMPARE(queued(),
                 QStringList({QStringLiteral("1.dsp|one|"), QStringLiteral("3.dsp|three|")}));
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("2.dsp")}));

        // The next pass names the folder and leaves it alone.
        error = take(QStringLiteral("20"));
        QVERIFY2(error.contains(QStringLiteral("é uma pasta")), qPrintable(error));
        QCOMPARE(m_queue.count(), 2);
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("2.dsp")}));
    }

    void entriesThatAreNoRegularFiles_areNamedNeverReadNorDeleted()
    {
#ifndef Q_OS_UNIX
        QSKIP("FIFOs, symbolic links and names that are not UTF-8 are a Unix's");
#else
        QTemporaryDir outside;
        QFile secret(outside.filePath(QStringLiteral("segredo")));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("palavra-passe");
        secret.close();
        write(QStringLiteral("1.dsp"), "one");
        QVERIFY(QFile::link(secret.fileName(), path(QStringLiteral("2.dsp"))));
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("3.dsp"))).constData(), 0600), 0);
        QVERIFY(QFile::link(path(QStringLiteral("3.dsp")), path(QStringLiteral("4.dsp"))));
        QVERIFY(QDir(m_folder.path()).mkdir(QStringLiteral("5.DSP")));
        // Bytes that are not UTF-8: the name cannot be given back to the system as it came.
        const QByteArray badName = QFile::encodeName(m_folder.path()) + "/6\xff.dsp";
        QFile bad;
        QVERIFY(bad.open(::open(badName.constData(), O_CREAT | O_WRONLY, 0600),
                         QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        bad.close();
        write(QStringLiteral("7.dsp"), "seven");

        const QString error = take(QStringLiteral("20"));
        QCOMPARE(queued(),
                 QStringList({QStringLiteral("1.dsp|one|"), QStringLiteral("7.dsp|seven|")}));
        for (const char* named : {"2.dsp", "3.dsp", "4.dsp", "5.DSP", "6"})
            QVERIFY2(error.contains(QString::fromLatin1(named)), qPrintable(error));
        QVERIFY(!error.contains(QStringLiteral("palavra")));
        QCOMPARE(QDir(m_folder.path())
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 4);
        QCOMPARE(::access(badName.constData(), F_OK), 0); // which QDir does not list
        QVERIFY(QFile::exists(secret.fileName()));
#endif
    }

    void badWidth_failsBeforeAnyFileIsTaken()
    {
        write(QStringLiteral("1.dsp"), "one");
        QVERIFY(take(QStringLiteral("-3")).contains(QStringLiteral("\"-3\"")));
        QCOMPARE(m_queue.count(), 0);
        QCOMPARE(filesLeft(), QStringList({QStringLiteral("1.dsp")}));
    }
};

QTEST_GUILESS_MAIN(TestDropFolder)
#include "test_drop_folder.moc"
