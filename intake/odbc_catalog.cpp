#include "intake/odbc_catalog.h"

#include "core/failure.h"

#include <QVarLengthArray>

// Windows' ODBC headers take their types from windows.h but do not include it.
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// An ODBC 3 environment handle for one enumeration.
class Environment {
public:
    Environment()
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_handle)))
            throw Failure(QStringLiteral("O gestor de controladores ODBC não está disponível"));
        SQLSetEnvAttr(m_handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                      0);
    }
    ~Environment() { SQLFreeHandle(SQL_HANDLE_ENV, m_handle); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    SQLHENV handle() const { return m_handle; }

private:
    SQLHENV m_handle = SQL_NULL_HENV;
};

using Enumerate =
    std::function<SQLRETURN(SQLHENV, SQLUSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*)>;

// The first text of every entry that `next` yields, from the first one on.
QStringList enumerate(const Enumerate& next)
{
    Environment environment;
    QStringList names;
    QVarLengthArray<SQLWCHAR, 512> name(512);
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT length = 0;
        const SQLRETURN result = next(environment.handle(), direction, name.data(),
                                      static_cast<SQLSMALLINT>(name.size()), &length);
        if (!SQL_SUCCEEDED(result))
            break;
        names.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(name.data()),
                                        std::min<qsizetype>(length, name.size() - 1)));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

// N of "ODBC Driver N for SQL Server" in any letter case, or -1 for another name. Read by hand:
// this runs on the database's thread, where no regular expression may be matched (see
// WorkerThread).
int microsoftDriverVersion(const QString& driver)
{
    const QString head = QStringLiteral("ODBC Driver ");
    const QString tail = QStringLiteral(" for SQL Server");
    if (driver.size() <= head.size() + tail.size() ||
        !driver.startsWith(head, Qt::CaseInsensitive) ||
        !driver.endsWith(tail, Qt::CaseInsensitive))
        return -1;
    const QStringView number =
        QStringView(driver).sliced(head.size(), driver.size() - head.size() - tail.size());
    const bool digits =
        std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool ok = false;
    const int version = number.toInt(&ok);
    return digits && ok ? version : -1;
}

} // namespace

bool odbcDataSourceExists(const QString& name)
{
    const QStringList sources =
        enumerate([](SQLHENV environment, SQLUSMALLINT direction, SQLWCHAR* text, SQLSMALLINT size,
                     SQLSMALLINT* length) {
            SQLWCHAR description[512];
            SQLSMALLINT descriptionLength = 0;
            return SQLDataSourcesW(environment, direction, text, size, length, description,
                                   static_cast<SQLSMALLINT>(std::size(description)),
                                   &descriptionLength);
        });
    return sources.contains(name.trimmed(), Qt::CaseInsensitive);
}

QStringList odbcDrivers()
{
    return enumerate([](SQLHENV environment, SQLUSMALLINT direction, SQLWCHAR* text,
                        SQLSMALLINT size, SQLSMALLINT* length) {
        SQLWCHAR attributes[2048];
        SQLSMALLINT attributesLength = 0;
        return SQLDriversW(environment, direction, text, size, length, attributes,
                           static_cast<SQLSMALLINT>(std::size(attributes)), &attributesLength);
    });
}

QString preferredSqlServerDriver(const QStringList& drivers)
{
    QString newest;
    int newestVersion = -1;
    for (const QString& driver : drivers) {
        const int version = microsoftDriverVersion(driver);
        if (version > newestVersion) {
            newest = driver;
            newestVersion = version;
        }
    }
    if (!newest.isEmpty())
        return newest;
    for (const QString& fallback : {QStringLiteral("FreeTDS"), QStringLiteral("SQL Server")}) {
        const auto found = std::find_if(drivers.begin(), drivers.end(), [&](const QString& d) {
            return d.compare(fallback, Qt::CaseInsensitive) == 0;
        });
        if (found != drivers.end())
            return *found;
    }
    return {};
}
