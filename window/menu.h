#pragma once

#include "app/controller.h"

#include <QWidget>
#include <map>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTreeView;

// The window: four page buttons on the left, the selected page to their right. Three pages
// edit the settings; the running page ("Executar") shows the message queue and the failure
// label. Every control carries its name as its object name.
class Menu : public QWidget {
    Q_OBJECT
public:
    explicit Menu(Controller& controller, QWidget* parent = nullptr);
    ~Menu() override;

    // The window's load: placed at the top left, titled with the version, then the
    // controller's start-up with the program's command line.
    void load(const QString& commandLine);

    // Writes every setting of every page to Mostrela.cfg.
    void GravarMostrela_cfg();

    Controller& controller() { return m_controller; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPageButtons();
    QGroupBox* buildDisplayPage();
    QGroupBox* buildSqlPage();
    QGroupBox* buildConfiguraPage();
    QGroupBox* buildExecutandoPage();

    QLineEdit* boundLineEdit(Settings::Key key);
    QAbstractButton* boundOption(Settings::Key key, const QString& caption);
    QAbstractButton* saveButton(const QString& name);
    void showPage(Controller::Page page);

    Controller& m_controller;
    QButtonGroup* m_pageButtons = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::map<Controller::Page, QWidget*> m_frames;
};
