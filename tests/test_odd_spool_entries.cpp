#include "support/controller_rig.h"
#include "support/file_bytes.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QByteArray entry(const QByteArray& linha1)
{
    return R"({"ordem":"1","linha1":")" + linha1 + R"(","linha2":""})";
}

} // namespace

// A spool folder as copying, editing or damage may leave it, the controller started on it twice:
// only entries named as the spool names them (the range's top too) are shown, in order, each once,
// then new messages; other files stay, named in the log once a start; unreadable ones (not a
// message, too large, a FIFO, a link) go to "ilegiveis", named once; a crash's temporary file goes.
class TestOddSpoolEntries : public QObject {
    Q_OBJECT
private slots:
    void onlyTheSpoolsOwnEntriesAreShown_othersNamedOnce_unreadableOnesPutAside()
    {
        ControllerRig rig;
        const QDir spool(rig.folder.filePath("fila"));
        QVERIFY(spool.mkpath("."));
        QByteArray expected;
        for (const char* name : {"0000000000000005", "9999999999999998", "9999999999999999"}) {
            QVERIFY(writeFileBytes(spool.filePath(name + QStringLiteral(".msg")), entry(name)));
            expected += usualDisplayMessage(name, "");
        }
        const QStringList strange{"5.msg", " 7.msg", "0000000000000016.MSG",
                                  "18446744073709551615.msg", "00000000000000017.msg"};
        for (const QString& name : strange)
            QVERIFY(writeFileBytes(spool.filePath(name), entry("estranha")));
        const QStringList unreadable{"0000000000000006.msg", "0000000000000007.msg",
                                     "0000000000000009.msg", "0000000000000010.msg"};
        QVERIFY(writeFileBytes(spool.filePath(unreadable[0]), "{\"linha1\":"));
        QVERIFY(writeFileBytes(spool.filePath(unreadable[1]), entry(QByteArray(1100 * 1000, 'x'))));
#ifdef Q_OS_UNIX
        // Nobody ever writes to the FIFO: opening it must not wait for a writer.
        QCOMPARE(::mkfifo(QFile::encodeName(spool.filePath(unreadable[2])).constData(), 0600), 0);
#else
        // A Windows folder holds no FIFO: an entry cut short in its place.
        QVERIFY(writeFileBytes(spool.filePath(unreadable[2]), "{"));
#endif
        const QString elsewhere = rig.folder.filePath("alheia.msg");
        QVERIFY(writeFileBytes(elsewhere, entry("alheia")));
        QVERIFY(QFile::link(elsewhere, spool.filePath(unreadable[3])));
        const QString leftOver = spool.filePath("0000000000000008.msg.tmp");
        QVERIFY(writeFileBytes(leftOver, entry("meia")));

        // Each logged once a start, never more.
        const auto loggedOnce = [](const QString& text) {
            const QRegularExpression pattern(QRegularExpression::escape(text));
            QTest::ignoreMessage(QtWarningMsg, pattern);
            QTest::failOnWarning(pattern);
        };
        const auto runShowing = [&](const char* dropped) {
            for (const QString& name : strange)
                loggedOnce(QDir::toNativeSeparators(spool.filePath(name)));
            rig.startOnFiles();
            QVERIFY(rig.folder.drop(QString::fromLatin1(dropped) + ".dsp", dropped));
            expected += usualDisplayMessage(dropped, "");
            QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(), expected, 15000);
            // Each shown message's entry goes once its bytes are out.
            QTRY_VERIFY(spool.entryList({"????????????????.msg"}, QDir::Files | QDir::CaseSensitive)
                            .isEmpty());
        };
        for (const QString& name : unreadable)
            loggedOnce(QDir::toNativeSeparators("ilegiveis/" + name));
        loggedOnce("Mensagens da fila ilegíveis: 4");
        runShowing("novo");
        runShowing("depois");

        for (const QString& name : strange)
            QVERIFY(QFile::exists(spool.filePath(name)));
        QCOMPARE(QDir(spool.filePath("ilegiveis")).entryList(QDir::Files | QDir::System),
                 unreadable);
        QVERIFY(!QFile::exists(leftOver));
    }

    void linkedSpoolFolder_isRefused_theFolderItNamesUntouched_messagesStayInTheirSources()
    {
        ControllerRig rig;
        const QString other = rig.folder.filePath("partilhada");
        QVERIFY(QDir().mkdir(other, QFileDevice::Permissions(0x7055))); // rwxr-xr-x
        const QString theirs = QDir(other).filePath("0000000000000001.msg");
        QVERIFY(writeFileBytes(theirs, entry("alheia")));
        const QString spool = rig.folder.filePath("fila");
#ifdef Q_OS_WIN
        // QFile::link makes a shortcut there, a file of its own: a junction is the folder's link.
        QProcess::execute("cmd", {"/c", "mklink", "/J", QDir::toNativeSeparators(spool),
                                  QDir::toNativeSeparators(other)});
        if (!QFileInfo(spool).isJunction())
            QSKIP("No junction could be made: Wine's file system keeps none");
#else
        QVERIFY(QFile::link(other, spool));
#endif
        const QFile::Permissions mode = QFile::permissions(other);

        RunningController& running = rig.startOnFiles();
        QVERIFY(rig.folder.drop("1.dsp", "Venda"));
        TRY_VERIFY_SAYS(running.lblError(), "ligação");
        TRY_VERIFY_SAYS(running.lblError(), "gravar");
        QCOMPARE(rig.folder.dropFilesLeft(), QStringList{"1.dsp"});
        QCOMPARE(QFile::permissions(other), mode);
        QCOMPARE(QDir(other).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"0000000000000001.msg"});
        QCOMPARE(fileBytes(theirs), entry("alheia"));
        QCOMPARE(rig.display.received(), QByteArray());
    }
};

MOSTRELA_TEST_MAIN(TestOddSpoolEntries)
#include "test_odd_spool_entries.moc"
