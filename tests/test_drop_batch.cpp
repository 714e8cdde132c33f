#include "core/failure.h"
#include "support/drop_batch.h"
#include "support/drop_files.h"
#include "support/file_bytes.h"
#include "support/test_main.h"

class TestDropBatch : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_dropFolder = m_folder.filePath("entrada");

    QStringList dropFiles() const
    {
        return QDir(m_dropFolder).entryList({QStringLiteral("*.dsp")}, QDir::Files, QDir::Name);
    }
    void remove(const QString& name) { QVERIFY(QFile::remove(QDir(m_dropFolder).filePath(name))); }

private slots:
    void init()
    {
        QDir(m_dropFolder).removeRecursively();
        QVERIFY(QDir().mkpath(m_dropFolder));
    }

    void staged_filesWaitOutsideTheFolderUntilMovedInTogether()
    {
        DropBatch batch(m_dropFolder, 7, 3);
        QVERIFY(dropFiles().isEmpty());
        QVERIFY(!batch.taken());

        batch.moveIntoPlace();
        const QStringList names = dropFiles();
        QCOMPARE(names.size(), 3);
        for (int index = 0; index < names.size(); ++index)
            QCOMPARE(fileBytes(QDir(m_dropFolder).filePath(names.at(index))),
                     benchDropFileText(7 + index));
        QCOMPARE(batch.takenCount(), 0);
        QVERIFY(!batch.taken());
    }

    // Each message differs from the one before, or the display would skip it; all the same
    // size, so that the plain reads compare with the controller's.
    void dropFileText_differsFromTheNextAndKeepsItsSize()
    {
        for (const int number : {1, 9, 99999, 1234567}) {
            QCOMPARE(benchDropFileText(number).size(), benchDropFileText(1).size());
            QVERIFY(benchDropFileText(number).left(20) != benchDropFileText(number + 1).left(20));
            QVERIFY(benchDropFileText(number).mid(20) != benchDropFileText(number + 1).mid(20));
        }
    }

    void movedIn_takenOnceEveryFileIsGone()
    {
        DropBatch batch(m_dropFolder, 1, 3);
        batch.moveIntoPlace();
        const QStringList names = dropFiles();
        QSignalSpy spy(&batch, &DropBatch::filesTaken);
        remove(names.at(0));
        remove(names.at(1));
        QTRY_COMPARE(batch.takenCount(), 2);
        QVERIFY(!batch.taken());
        QVERIFY(spy.count() >= 1);

        remove(names.at(2));
        QTRY_VERIFY(batch.taken());
        QCOMPARE(batch.takenCount(), 3);
    }

    void moveIntoPlace_refusesAFolderThatStillHoldsFiles()
    {
        DropBatch first(m_dropFolder, 1, 2);
        first.moveIntoPlace();
        DropBatch second(m_dropFolder, 3, 2);
        QVERIFY_THROWS_EXCEPTION(Failure, second.moveIntoPlace());
        QCOMPARE(dropFiles().size(), 2);
        QVERIFY(!second.taken());
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDropBatch)
#include "test_drop_batch.moc"
