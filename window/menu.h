#pragma once

#include "app/controller.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <map>
#include <utility>

class CheckRow;
class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;
class StatusLine;
class UsualValues;
class QToolButton;
class QTreeView;
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPageButtons();
    QGroupBox* buildDisplayPage();
    QGroupBox* buildSqlPage();
    QGroupBox* buildConfiguraPage();
    QGroupBox* buildExecutandoPage();
    StatusLine* buildStatusBar();
    QToolButton* portPicker(Settings::Key key);
    void fillPortMenu(QMenu* menu, Settings::Key key);
    QToolButton* folderPicker(Settings::Key key);
    // The caption and the reason of each field whose value cannot be used.
    QList<std::pair<QString, QString>> unusableValues() const;

    // The settings of `page` in their order from `line`: a captioned field a line, or a control
    // across the page; each check of the setup after the last setting it tries. With
    // `usualValues`, each field's usual value beside it. Returns the line after them.
    int addSettings(QGridLayout* grid, int line, SettingPage page,
                    UsualValues* usualValues = nullptr);
    void addCaptionedField(QGridLayout* grid, int line, Settings::Key key,
                           UsualValues* usualValues);
    // An option, the check box, or a folder's field, across the page.
    QWidget* spanningControl(Settings::Key key);
    // A check of the setup: the button "cmdTestar" and the answer "lblTeste" followed by the
    // check's name. The answer goes once any of the `fields` changes.
    CheckRow* checkRow(SettingTest test, const QList<Settings::Key>& fields);
    // The stretch, then the page's save button across the grid.
    void endPage(QGridLayout* grid, int line, const QString& saveName);
    // A setting's text field, with the button that picks a port or a folder for it.
    QWidget* field(Settings::Key key);
    QLineEdit* boundLineEdit(Settings::Key key);
    QAbstractButton* boundOption(Settings::Key key);
    // The check box with three states; a click only ticks or unticks it.
    QAbstractButton* boundCheckBox(Settings::Key key);
    QAbstractButton* saveButton(const QString& name);
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
