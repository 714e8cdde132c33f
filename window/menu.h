#pragma once

#include "app/controller.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <map>
#include <utility>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QStackedWidget;
class StatusLine;
class RunningNotice;
class WindowRefresh;

// The window: four page buttons on the left, the selected page to their right. Three pages
// edit the settings; the running page ("Executar") shows the message queue and the failure
// label. Every control carries its name as its object name. The status bar at the bottom says
// what a save did, which message the display showed last, and the settings folder.
class Menu : public QWidget {
    Q_OBJECT
public:
    explicit Menu(Controller& controller, QWidget* parent = nullptr);
    ~Menu() override;

    // The window's load: placed at the top left, titled with the version, then the
    // controller's start-up with the program's command line; then sized to show every page and
    // column whole.
    void load(const QString& commandLine);

    // Writes every setting of every page to Mostrela.cfg, and says so in the status bar.
    void GravarMostrela_cfg();
    // The "Gravar Conteúdos" buttons: asks first when a value cannot be used.
    void saveAsked();

    void showLastMessage(const QString& linha1, const QString& linha2);
    // The box for a failed database connection; it closes by itself once a tick connects.
    void showConnectionFailure(const QString& text);
    QMessageBox* connectionBox() const { return m_connectionBox; }
    // A source ("SQL" or "Ficheiros") read, with how many messages it gave.
    void showSourceRead(const QString& source, int messages);
    // A source's step failed, after taking `messages` (-1: none read).
    void showSourceFailed(const QString& source, int messages);
    // A source's reading afresh (LigaSQL or LigaFicheiros switched): "desligada" while it is
    // off, not read yet while it is on.
    void showSourceSwitched(Settings::Key source);

    Controller& controller() { return m_controller; }

private:
    QWidget* buildPageButtons();
    QGroupBox* buildExecutandoPage();
    StatusLine* buildStatusBar();
    // The caption and the reason of each field whose value cannot be used.
    QList<std::pair<QString, QString>> unusableValues() const;
    void showPage(Controller::Page page);
    // At the window's next refresh.
    void showText(QLabel* label, const QString& text);
    void showSteadyText(QLabel* label, const QString& text);

    Controller& m_controller;
    WindowRefresh* m_refresh;
    QButtonGroup* m_pageButtons = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::map<Controller::Page, QWidget*> m_frames;
    StatusLine* m_statusBar = nullptr;
    QLabel* m_lastMessage = nullptr;
    QLabel* m_sqlRead = nullptr;
    QLabel* m_filesRead = nullptr;
    RunningNotice* m_notice = nullptr;
    QPointer<QMessageBox> m_connectionBox;
};
