#include "intake/odbc_installer.h"

#include <QLibrary>

void keepOdbcInstallerLoaded()
{
    static const bool loaded = [] {
        QLibrary installer(QStringLiteral("odbcinst"), 2);
        installer.setLoadHints(QLibrary::PreventUnloadHint);
        return installer.load();
    }();
    Q_UNUSED(loaded);
}
