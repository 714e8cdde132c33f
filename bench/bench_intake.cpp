// One polling tick that takes N drop files or N database rows into the queue, against the plain
// cost of reading and deleting the same files (or selecting and deleting the same rows) in the
// same run. Prints a table of the cost per message.

#include "core/message_queue.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "intake/abrir_ligacao.h"
#include "intake/polling.h"
#include "support/odbc_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using Key = Settings::Key;

void makeDropFiles(const QString& folder, int count)
{
    for (int index = 0; index < count; ++index) {
        QFile file(
            QDir(folder).filePath(QStringLiteral("20240309%1.dsp").arg(index, 8, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(QStringLiteral("Artigo %1   12,50 EURTotal            25,00 EUR\r\n")
                       .arg(index)
                       .toLatin1());
    }
}

void insertRows(OdbcFixture& odbc, int count)
{
    odbc.run(QStringLiteral("begin"));
    const QDateTime start(QDate(2024, 3, 9), QTime(10, 0));
    for (int index = 0; index < count; ++index)
        odbc.insert(QStringLiteral("caixa1"), start.addSecs(index),
                    QStringLiteral("Artigo %1").arg(index), QStringLiteral("Total 25,00 EUR"));
    odbc.run(QStringLiteral("commit"));
}

// Nanoseconds of one polling tick with these settings, and the messages it queued.
std::pair<qint64, int> timeTick(Settings& settings)
{
    MessageQueue queue;
    Status status;
    Polling polling(
        queue, status, [] { return true; },
        [](const ConnectionFailure& failure) { qFatal("%s", qPrintable(failure.message())); });
    QElapsedTimer clock;
    clock.start();
    polling.tick(sourceSettings(settings));
    const qint64 elapsed = clock.nsecsElapsed();
    if (!status.error().isEmpty())
        qFatal("%s", qPrintable(status.error()));
    return {elapsed, queue.count()};
}

qint64 timePlainFiles(const QString& folder)
{
    QElapsedTimer clock;
    clock.start();
    const QDir directory(folder);
    for (const QString& name : directory.entryList({QStringLiteral("*.dsp")}, QDir::Files)) {
        QFile file(directory.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(name));
        file.readAll();
        file.close();
        if (!file.remove())
            qFatal("cannot delete %s", qPrintable(name));
    }
    return clock.nsecsElapsed();
}

qint64 timePlainRows()
{
    QElapsedTimer clock;
    clock.start();
    int taken = 0;
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("plain"));
        database.setDatabaseName(OdbcFixture::dataSource());
        if (!database.open())
            qFatal("cannot open the data source");
        QList<int> numbers;
        {
            QSqlQuery select(database);
            select.setForwardOnly(true);
            select.prepare(QStringLiteral("Select NumRegisto,DataSys,Linha1,Linha2 from "
                                          "SaidaDisplay where Utilizador=? order by DataSys"));
            select.addBindValue(QStringLiteral("caixa1"));
            select.exec();
            while (select.next()) {
                numbers.append(select.value(0).toInt());
                select.value(1);
                select.value(2);
                select.value(3);
            }
        }
        QSqlQuery deletion(database);
        deletion.prepare(QStringLiteral("Delete from SaidaDisplay Where NumRegisto=?"));
        for (const int number : numbers) {
            deletion.bindValue(0, number);
            taken += deletion.exec() ? 1 : 0;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
    if (taken == 0)
        qFatal("no rows taken");
    return clock.nsecsElapsed();
}

void report(const char* what, int count, qint64 program, qint64 plain)
{
    std::printf("| %-32s | %6d | %10.1f | %12.1f | %5.2f |\n", what, count,
                program / 1000.0 / count, plain / 1000.0 / count, double(program) / plain);
}

} // namespace

int main(int argc, char* argv[])
{
    OdbcFixture odbc; // before the first ODBC call
    QCoreApplication application(argc, argv);
    std::printf("| %-32s | %6s | %10s | %12s | %5s |\n", "one polling tick", "msgs", "us/msg",
                "plain us/msg", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", "----------------------------------", "--------",
                "------------", "--------------", "-------");

    for (const int count : {1000, 10000}) {
        QTemporaryDir folder;
        Settings settings;
        settings.setText(Key::LigaFicheirosPath, folder.path());
        settings.setLigaFicheiros(true);
        makeDropFiles(folder.path(), count);
        const auto [program, queued] = timeTick(settings);
        if (queued != count)
            qFatal("queued %d of %d files", queued, count);
        makeDropFiles(folder.path(), count);
        report("drop files (read, delete)", count, program, timePlainFiles(folder.path()));
    }

    const int rows = 1000;
    Settings settings;
    settings.setText(Key::SQL_Servidor, OdbcFixture::dataSource());
    settings.setText(Key::SQL_Utilizador, QStringLiteral("caixa1"));
    settings.setLigaSQL(true);
    insertRows(odbc, rows);
    const auto [program, queued] = timeTick(settings);
    if (queued != rows)
        qFatal("queued %d of %d rows", queued, rows);
    insertRows(odbc, rows);
    report("database rows (select, delete)", rows, program, timePlainRows());
    return 0;
}
