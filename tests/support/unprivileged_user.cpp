#include "support/unprivileged_user.h"

#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

std::optional<QStringList> unprivilegedLauncher()
{
    if (::geteuid() != 0)
        return QStringList();
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (setpriv.isEmpty() || ::getpwnam("nobody") == nullptr)
        return std::nullopt;
    return QStringList{setpriv, "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
}
