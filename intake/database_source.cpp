#include "intake/database_source.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"

#include <QDateTime>
#include <QSqlQuery>

#include <limits>

namespace {

constexpr qint16 commandTimeout = 120;
constexpr qint16 connectionTimeout = 60;

using WaitingRow = DatabaseSource::WaitingRow;

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

// In full and in an order that sorts as text, as a drop file's name starts.
QString ordemOf(const QVariant& dataSys)
{
    if (dataSys.metaType() == QMetaType::fromType<QDateTime>())
        return dataSys.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return dataSys.toString();
}

} // namespace

bool DatabaseSource::open(const SourceSettings& settings, std::optional<ConnectionFailure>& failure)
{
    return AbrirLigacao(m_connection, settings.servidor, settings.baseDados, settings.utilizador,
                        settings.password, QStringLiteral("SQL"), commandTimeout, connectionTimeout,
                        failure);
}

// Read to the end before any delete: SQL Server refuses a second statement on a connection whose
// result is still being read.
QList<WaitingRow> DatabaseSource::waitingRows(const SourceSettings& settings) const
{
    QSqlQuery query = m_connection.prepare(selectStatement(m_connection.isSqlServer()));
    query.addBindValue(settings.utilizador);
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

void DatabaseSource::take(const QList<WaitingRow>& rows, MessageQueue& queue) const
{
    QSqlQuery deletion =
        m_connection.prepare(QStringLiteral("Delete from SaidaDisplay Where NumRegisto=?"));
    for (const WaitingRow& row : rows) {
        deletion.bindValue(0, row.numRegisto);
        execute(deletion);
        queue.append(row.message);
    }
}
