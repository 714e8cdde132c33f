#pragma once

#include <QString>

// The folder that holds Mostrela.cfg: `chosen` (from --pasta) when it is not empty. Else, for an
// installed program (its folder is `installedBinFolder`, the bin folder of the prefix it was
// built for), `userFolder`, the user's configuration folder, whoever the user is: a program
// folder shared by every account is no place for one account's settings, even root's. A
// portable copy (an unpacked archive, a build folder) keeps its settings in its own folder when
// a Mostrela.cfg is there or this process can write there, so a copied folder keeps working as
// it always has; else in `userFolder`. The user's folder is created when missing.
QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QString& installedBinFolder, const QString& userFolder);

// Where a controller keeps its files besides Mostrela.cfg: the spool `fila` and the lock
// `Mostrela.lock` that makes it the only controller on them. Both lie in the settings folder
// when this process can write there; else (a locked-down program folder) in `dataFolder`, the
// user's data folder, created when missing, so that the sources can always be taken.
struct ControllerFiles {
    QString spoolFolder;
    QString lockFile;
};
ControllerFiles controllerFiles(const QString& settingsFolder, const QString& dataFolder);
