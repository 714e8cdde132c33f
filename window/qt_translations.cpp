#include "window/qt_translations.h"

#include "core/log.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void translateQtIntoPortuguese(QCoreApplication& application)
{
    // The European catalogue predates many of Qt's texts (the Yes and No of a message box among
    // them), so the Brazilian one fills in what it lacks. The last installed is searched first.
    const char* catalogues[] = {"qtbase_pt_BR", "qtbase_pt", "qt_pt_PT", "qtbase_pt_PT"};
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool found = false;
    for (const char* catalogue : catalogues) {
        auto* translator = new QTranslator(&application);
        if (translator->load(QString::fromLatin1(catalogue), folder) &&
            QCoreApplication::installTranslator(translator)) {
            found = true;
        } else {
            delete translator;
        }
    }
    if (!found)
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Sem as traduções do Qt em %1: os diálogos do Qt ficam em inglês")
                   .arg(folder);
}
