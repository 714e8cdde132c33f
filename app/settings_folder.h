#pragma once

#include <QString>
#include <QStringList>

// The folder that holds Mostrela.cfg: `chosen` (from --pasta) when it is not empty. Else, for an
// installed program (its folder is, or lies in, one of `installedPlaces`: see installedPlaces() in
// core/platform_files.h), `userFolder`, the user's configuration folder, whoever the user is: a
// program folder shared by every account is no place for one account's settings, even root's or an
// administrator's. A portable copy (an unpacked archive, a build folder) keeps its settings in its
// own folder when a Mostrela.cfg is there or this process can write there, so a copied folder keeps
// working as it always has; else in `userFolder`. The user's folder is created when missing. A
// Mostrela.cfg beside an installed program (a chain's settings, or a shop's from its old portable
// folder) becomes the settings of a user who has none yet: it is copied into that user's folder,
// for the user alone, and the log says so.
QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QStringList& installedPlaces, const QString& userFolder);

// The words of --help for the default settings folder of a program that lies in
// `programFolder`.
QString defaultSettingsFolderText(const QString& programFolder, const QStringList& installedPlaces);

// Where a controller keeps its files besides Mostrela.cfg: the spool `fila`, the lock
// `Mostrela.lock` that makes it the only controller on them, and the log `Mostrela.log` when it
// has one (logToFileIfUnkept()). They lie in the settings folder
// when this process can write there. Else (a locked-down program folder) they lie in a folder
// of `dataFolder`, the user's data folder, named for the settings folder (its name and a short
// hash of its whole path), created when missing: the sources can always be taken, and two such
// program folders keep their messages and their locks apart.
struct ControllerFiles {
    QString spoolFolder;
    QString lockFile;
    QString logFile;
};
ControllerFiles controllerFiles(const QString& settingsFolder, const QString& dataFolder);

// Without HOME (a service, a cron job as root), the user's folders would lie under the root
// folder: HOME is then set to the home folder the system knows for this user. Unix only.
void settleHomeFolder();
