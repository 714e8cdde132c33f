#pragma once

#include <QString>

// The folder that holds Mostrela.cfg and the spool: `chosen` (from --pasta) when it is not
// empty; else the program's own folder when a Mostrela.cfg is there or this process can write
// there, so a copied folder keeps working as it always has; else `userFolder` (the user's
// configuration folder), created when missing.
QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QString& userFolder);
