#include "intake/connection_test.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"
#include "intake/database_source.h"

ConnectionTest testConnection(const SourceSettings& settings)
{
    ConnectionTest result;
    DatabaseSource source;
    if (!source.connect(settings, result.failure)) {
        if (!result.failure)
            result.failure = ConnectionFailure{settings.sqlServidor, QString(),
                                               QStringLiteral("O nome do servidor está em branco")};
        return result;
    }
    result.countFailure = runTrapped([&] { result.waiting = source.waitingCount(settings); });
    return result;
}
