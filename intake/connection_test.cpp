#include "intake/connection_test.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"
#include "intake/database_source.h"

ConnectionTest testConnection(const SourceSettings& settings)
{
    ConnectionTest result;
    // Whatever escaped the steps' own traps (memory) is the connection's failure: the test runs
    // as a slot of the database's thread, which nothing may leave by an exception.
    const QString unforeseen = runTrapped([&] {
        DatabaseSource source;
        if (!source.connect(settings, result.failure)) {
            if (!result.failure)
                result.failure =
                    ConnectionFailure{settings.sqlServidor, QString(),
                                      QStringLiteral("O nome do servidor está em branco")};
            return;
        }
        result.countFailure = runTrapped([&] { result.waiting = source.waitingCount(settings); });
    });
    if (!unforeseen.isEmpty())
        result.failure = ConnectionFailure{settings.sqlServidor, QString(), unforeseen};
    return result;
}
