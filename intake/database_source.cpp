#include "intake/database_source.h"

#include "app/settings.h"
#include "app/status.h"
#include "common/abrir_ligacao.h"
#include "common/failure.h"
#include "common/message_queue.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlQuery>

#include <limits>

namespace {

using Key = Settings::Key;

constexpr qint16 commandTimeout = 120;
constexpr qint16 connectionTimeout = 60;

struct WaitingRow {
    int numRegisto;
    QueuedMessage message;
};

QString selectStatement(bool sqlServer)
{
    // Reading past the writers' locks keeps the sales program from waiting on the display.
    return QStringLiteral("Select NumRegisto,DataSys,Linha1,Linha2 from SaidaDisplay%1 where "
                          "Utilizador=? order by DataSys ")
        .arg(sqlServer ? QStringLiteral(" With (NoLock)") : QString());
}

int numRegistoOf(const QVariant& value)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (value.isNull() || !ok || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        throw Failure(QStringLiteral("Registo de SaidaDisplay com NumRegisto inválido: \"%1\"")
                          .arg(value.toString()));
    return static_cast<int>(number);
}

QString ordemOf(const QVariant& dataSys)
{
    if (dataSys.metaType() == QMetaType::fromType<QDateTime>())
        return QLocale::system().toString(dataSys.toDateTime(), QLocale::ShortFormat);
    return dataSys.toString();
}

// Every waiting row, read to the end before any delete: SQL Server refuses a second statement on
// a connection whose result is still being read.
QList<WaitingRow> waitingRows(const DatabaseConnection& connection, const QString& utilizador)
{
    QSqlQuery query = connection.prepare(selectStatement(connection.isSqlServer()));
    query.addBindValue(utilizador);
    execute(query);
    QList<WaitingRow> rows;
    while (query.next()) {
        // An empty column comes as NULL from some writers; it is an empty line.
        rows.append(
            {numRegistoOf(query.value(0)),
             {ordemOf(query.value(1)), query.value(2).toString(), query.value(3).toString()}});
    }
    return rows;
}

} // namespace

bool takeDatabaseMessages(const Settings& settings, MessageQueue& queue, Status& status,
                          const CriticalMessage& showMessage)
{
    status.setCaption(QStringLiteral("Em Execução - Abrindo Ligação"));
    DatabaseConnection connection(showMessage);
    if (!AbrirLigacao(connection, settings.text(Key::SQL_Servidor),
                      settings.text(Key::SQL_BaseDados), settings.text(Key::SQL_Utilizador),
                      settings.text(Key::SQL_Password), QStringLiteral("SQL"), commandTimeout,
                      connectionTimeout, false))
        return false;

    status.setCaption(QStringLiteral("Em Execução - Abrindo Tabela"));
    const QList<WaitingRow> rows = waitingRows(connection, settings.text(Key::SQL_Utilizador));
    if (rows.isEmpty())
        return true;

    status.setCaption(QStringLiteral("Em Execução - Carregando Registos"));
    QSqlQuery deletion =
        connection.prepare(QStringLiteral("Delete from SaidaDisplay Where NumRegisto=?"));
    for (const WaitingRow& row : rows) {
        deletion.bindValue(0, row.numRegisto);
        execute(deletion);
        queue.append(row.message);
    }
    return true;
}
