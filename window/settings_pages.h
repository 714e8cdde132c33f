#pragma once

#include "core/settings.h"

#include <QList>
#include <QObject>
#include <QString>

class CheckRow;
class Controller;
class QAbstractButton;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QMenu;
class QToolButton;
class QWidget;
class UsualValues;

// The three pages that edit the settings, laid out from the settings table: each page's settings
// in their order, each check of the setup after the last setting it tries, then the page's save
// button. Every control is bound to the controller's settings both ways and carries its name as
// its object name. Lives as long as the window it builds for.
class SettingsPages : public QObject {
    Q_OBJECT
public:
    // `window` holds the pages, and parents the dialogs they open.
    SettingsPages(Controller& controller, QWidget* window);

    QGroupBox* buildDisplayPage();
    QGroupBox* buildSqlPage();
    QGroupBox* buildConfiguraPage();

signals:
    // A "Gravar Conteúdos" button was pressed.
    void saveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
    QToolButton* portPicker(Settings::Key key);
    void fillPortMenu(QMenu* menu, Settings::Key key);
    QToolButton* folderPicker(Settings::Key key);

    Controller& m_controller;
    QWidget* m_window;
};
