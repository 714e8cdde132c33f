#include "window/qt_translations.h"

#include "core/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace {

// The "translations" folder beside the program comes first: a copy that carries Qt with it (on
// Windows) carries Qt's catalogues there; an installed Qt keeps them in its own folder.
QStringList translationFolders()
{
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool install(QCoreApplication& application, const QString& catalogue, const QStringList& folders)
{
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(catalogue, folder) && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

} // namespace

void translateQtIntoPortuguese(QCoreApplication& application)
{
    // The European catalogue predates many of Qt's texts (the Yes and No of a message box among
    // them), so the Brazilian one fills in what it lacks. The last installed is searched first.
    const char* catalogues[] = {"qtbase_pt_BR", "qtbase_pt", "qt_pt_PT", "qtbase_pt_PT"};
    const QStringList folders = translationFolders();
    bool found = false;
    for (const char* catalogue : catalogues)
        found |= install(application, QString::fromLatin1(catalogue), folders);
    if (!found)
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Sem as traduções do Qt em %1: os diálogos do Qt ficam em inglês")
                   .arg(folders.join(QStringLiteral(" nem em ")));
}
