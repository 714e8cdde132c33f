#include "window/settings_pages.h"

#include "app/controller.h"
#include "window/check_row.h"
#include "window/display_model_choice.h"
#include "window/field_check.h"
#include "window/port_choices.h"
#include "window/usual_values.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

using Key = Settings::Key;

// The display page's code, line and code page fields.
constexpr int shortFieldMaximumLength = 30;
// Between a page's captioned fields and the controls that span the page below them.
constexpr int groupSpacing = 20;
constexpr const char* keyProperty = "settingKey";

// A click toggles between ticked and unticked; the greyed state comes only from the file.
class TwoStateClickCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

// A control that holds its own caption (an option, a check box) spans the page, and so does a
// folder's field, under the option that names its use.
bool spansThePage(Key key)
{
    return !Settings::isText(key) || Settings::rule(key) == SettingRule::folder;
}

// The setting counts 0 unticked, 1 ticked, 2 greyed; Qt's check states put greyed in the middle.
Qt::CheckState checkStateOf(int mostraDefault)
{
    return mostraDefault == 1   ? Qt::Checked
           : mostraDefault == 2 ? Qt::PartiallyChecked
                                : Qt::Unchecked;
}

int mostraDefaultOf(Qt::CheckState checkState)
{
    return checkState == Qt::Checked ? 1 : checkState == Qt::PartiallyChecked ? 2 : 0;
}

// A field's object name is its key's name after the prefix of its kind of control.
QString objectNameOf(Key key)
{
    switch (Settings::kind(key)) {
    case SettingKind::Text:
        return QStringLiteral("txt") + Settings::keyName(key);
    case SettingKind::CheckState:
        return QStringLiteral("chk") + Settings::keyName(key);
    case SettingKind::Option:
        break;
    }
    return QStringLiteral("opt") + Settings::keyName(key);
}

// A settings page: a frame with a grid.
QGroupBox* pageFrame(const QString& title, const QString& name)
{
    auto* frame = new QGroupBox(title);
    frame->setObjectName(name);
    new QGridLayout(frame);
    return frame;
}

QString withoutOneTrailingSeparator(const QString& path)
{
    if (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/')))
        return path.chopped(1);
    return path;
}

} // namespace

SettingsPages::SettingsPages(Controller& controller, QWidget* window)
    : QObject(window), m_controller(controller), m_window(window)
{
}

int SettingsPages::addSettings(QGridLayout* grid, int line, SettingPage page,
                               UsualValues* usualValues)
{
    const int columns = usualValues ? 3 : 2;
    const QList<Key> keys = Settings::keysOnPage(page);
    QList<Key> above;
    // The captioned fields under a control that spans the page, their captions as wide as theirs.
    QGridLayout* fieldsBelow = nullptr;
    int lineBelow = 0;
    for (const Key key : keys) {
        const bool afterSpanning = !above.isEmpty() && spansThePage(above.last());
        if (spansThePage(key)) {
            if (!above.isEmpty() && !afterSpanning)
                grid->setRowMinimumHeight(line++, groupSpacing);
            grid->addWidget(spanningControl(key), line++, 0, 1, columns);
            fieldsBelow = nullptr;
        } else {
            if (afterSpanning) {
                fieldsBelow = new QGridLayout;
                grid->addLayout(fieldsBelow, line++, 0, 1, columns);
                lineBelow = 0;
            }
            if (fieldsBelow)
                addCaptionedField(fieldsBelow, lineBelow++, key, usualValues);
            else
                addCaptionedField(grid, line++, key, usualValues);
        }
        above.append(key);
        const SettingTest test = settingDefinition(key).test;
        const auto triedBelow = [test](Key below) { return settingDefinition(below).test == test; };
        if (test != SettingTest::none &&
            std::none_of(keys.begin() + above.size(), keys.end(), triedBelow))
            grid->addWidget(checkRow(test, above), line++, 0, 1, columns);
    }
    return line;
}

void SettingsPages::addCaptionedField(QGridLayout* grid, int line, Key key,
                                      UsualValues* usualValues)
{
    grid->addWidget(new QLabel(Settings::caption(key)), line, 0);
    grid->addWidget(field(key), line, 1);
    if (usualValues)
        grid->addWidget(usualValues->hint(key), line, 2);
}

QWidget* SettingsPages::spanningControl(Key key)
{
    switch (Settings::kind(key)) {
    case SettingKind::Option:
        return boundOption(key);
    case SettingKind::CheckState:
        return boundCheckBox(key);
    case SettingKind::Text:
        break;
    }
    return field(key);
}

QWidget* SettingsPages::field(Key key)
{
    QLineEdit* edit = boundLineEdit(key);
    QToolButton* picker = nullptr;
    switch (Settings::rule(key)) {
    case SettingRule::port:
        picker = portPicker(key);
        break;
    case SettingRule::folder:
        picker = folderPicker(key);
        break;
    default:
        return edit;
    }
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(picker);
    return row;
}

QLineEdit* SettingsPages::boundLineEdit(Key key)
{
    auto* edit = new QLineEdit(m_controller.settings().text(key));
    edit->setObjectName(objectNameOf(key));
    edit->setProperty(keyProperty, QVariant::fromValue(key));
    switch (Settings::rule(key)) {
    case SettingRule::password:
        edit->setEchoMode(QLineEdit::Password);
        break;
    case SettingRule::folder:
        edit->installEventFilter(this);
        break;
    case SettingRule::lineSettings:
    case SettingRule::codePage:
    case SettingRule::codeSequence:
        edit->setMaxLength(shortFieldMaximumLength);
        break;
    default:
        break;
    }
    Settings& settings = m_controller.settings();
    connect(edit, &QLineEdit::textEdited, &settings,
            [&settings, key](const QString& text) { settings.setText(key, text); });
    connect(&settings, &Settings::changed, edit, [&settings, edit, key](Key changed) {
        if (changed == key && edit->text() != settings.text(key))
            edit->setText(settings.text(key));
    });
    new FieldCheck(edit, key, settings);
    return edit;
}

QAbstractButton* SettingsPages::boundOption(Key key)
{
    Settings& settings = m_controller.settings();
    auto* button = new QRadioButton(Settings::caption(key));
    button->setObjectName(objectNameOf(key));
    button->setToolTip(Settings::help(key));
    // The two sources are each on or off on their own; both may be read in one tick.
    button->setAutoExclusive(false);
    button->setChecked(settings.option(key));
    connect(button, &QRadioButton::toggled, &settings,
            [&settings, key](bool selected) { settings.setOption(key, selected); });
    connect(&settings, &Settings::changed, button, [&settings, button, key](Key changed) {
        if (changed == key)
            button->setChecked(settings.option(key));
    });
    return button;
}

CheckRow* SettingsPages::checkRow(SettingTest test, const QList<Key>& fields)
{
    struct Check {
        QString name;
        QString caption;
        QString help;
        void (Controller::*start)();
        void (Controller::*answered)(bool, const QString&);
    };
    const Check check =
        test == SettingTest::display
            ? Check{QStringLiteral("Display"), QStringLiteral("Testar display"),
                    QStringLiteral("Envia ao display, com estes valores, a régua da largura na "
                                   "linha 1 e a hora na linha 2"),
                    &Controller::testDisplay, &Controller::displayTested}
            : Check{QStringLiteral("Ligacao"), QStringLiteral("Testar ligação"),
                    QStringLiteral("Liga à base de dados com estes valores e conta as mensagens "
                                   "à espera, sem as tirar"),
                    &Controller::testConnection, &Controller::connectionTested};
    auto* row = new CheckRow(QStringLiteral("cmdTestar") + check.name, check.caption,
                             QStringLiteral("lblTeste") + check.name, check.help);
    connect(row, &CheckRow::started, &m_controller, check.start);
    connect(&m_controller, check.answered, row, &CheckRow::showOutcome);
    connect(&m_controller.settings(), &Settings::changed, row, [row, fields](Key key) {
        if (fields.contains(key))
            row->forget();
    });
    return row;
}

void SettingsPages::endPage(QGridLayout* grid, int line, const QString& saveName)
{
    grid->setRowStretch(line, 1);
    grid->addWidget(saveButton(saveName), line + 1, 0, 1, grid->columnCount());
}

QAbstractButton* SettingsPages::saveButton(const QString& name)
{
    auto* button = new QPushButton(m_window->style()->standardIcon(QStyle::SP_DialogSaveButton),
                                   QStringLiteral("&Gravar Conteúdos"));
    button->setObjectName(name);
    button->setMinimumHeight(45);
    connect(button, &QPushButton::clicked, this, &SettingsPages::saveRequested);
    return button;
}

QToolButton* SettingsPages::portPicker(Key key)
{
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("cmdPortas"));
    button->setText(QStringLiteral("▾"));
    button->setToolTip(QStringLiteral("Escolher uma das portas série deste computador"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("mnuPortas"));
    // Listed afresh on every opening: an adapter may have been plugged in meanwhile.
    connect(menu, &QMenu::aboutToShow, this, [this, menu, key] { fillPortMenu(menu, key); });
    button->setMenu(menu);
    return button;
}

void SettingsPages::fillPortMenu(QMenu* menu, Key key)
{
    menu->clear();
    Settings& settings = m_controller.settings();
    for (const PortChoice& choice : portChoices()) {
        const QString porta = choice.porta;
        QAction* action =
            menu->addAction(QStringLiteral("%1   (%2)").arg(choice.porta, choice.description),
                            &settings, [&settings, porta, key] { settings.setText(key, porta); });
        action->setData(porta);
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("Nenhuma porta série encontrada"))->setEnabled(false);
}

QToolButton* SettingsPages::folderPicker(Key key)
{
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("cmdProcurarPasta"));
    button->setText(QStringLiteral("…"));
    button->setToolTip(QStringLiteral("Escolher a pasta dos ficheiros .dsp"));
    connect(button, &QToolButton::clicked, this, [this, key] {
        Settings& settings = m_controller.settings();
        const QString folder = QFileDialog::getExistingDirectory(
            m_window, QStringLiteral("Pasta dos ficheiros .dsp"), settings.text(key));
        if (!folder.isEmpty())
            settings.setText(key, QDir::toNativeSeparators(folder));
    });
    return button;
}

QGroupBox* SettingsPages::buildDisplayPage()
{
    auto* frame = pageFrame(QStringLiteral("Definição do Display"), QStringLiteral("fraDisplay"));
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    QComboBox* modelChoice = displayModelChoice(m_controller.settings());
    grid->addWidget(new QLabel(QStringLiteral("Modelo do display")), 0, 0);
    grid->addWidget(modelChoice, 0, 1, 1, 2);
    const int line = addSettings(grid, 1, SettingPage::display, new UsualValues(modelChoice));
    endPage(grid, line, QStringLiteral("cmdGravarDisplay"));
    return frame;
}

QGroupBox* SettingsPages::buildSqlPage()
{
    auto* frame = pageFrame(QStringLiteral("Ligação ao Servidor"), QStringLiteral("fraSQL"));
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    endPage(grid, addSettings(grid, 0, SettingPage::server), QStringLiteral("cmdGravarSQL"));
    return frame;
}

QGroupBox* SettingsPages::buildConfiguraPage()
{
    auto* frame = pageFrame(QStringLiteral("Configurações Gerais"), QStringLiteral("fraConfigura"));
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    endPage(grid, addSettings(grid, 0, SettingPage::general), QStringLiteral("cmdGravarConfigura"));
    return frame;
}

QAbstractButton* SettingsPages::boundCheckBox(Key key)
{
    Settings& settings = m_controller.settings();
    auto* check = new TwoStateClickCheckBox(Settings::caption(key));
    check->setObjectName(objectNameOf(key));
    check->setToolTip(Settings::help(key));
    check->setTristate(true);
    check->setCheckState(checkStateOf(settings.mostraDefault()));
    // Only a click changes the state here; the greyed state comes from the file alone.
    connect(check, &QCheckBox::clicked, &settings, [&settings, check] {
        settings.setMostraDefault(mostraDefaultOf(check->checkState()));
    });
    connect(&settings, &Settings::changed, check, [&settings, check, key](Key changed) {
        if (changed == key)
            check->setCheckState(checkStateOf(settings.mostraDefault()));
    });
    return check;
}

bool SettingsPages::eventFilter(QObject* watched, QEvent* event)
{
    // Only the folder fields are watched.
    if (event->type() == QEvent::FocusOut) {
        const auto key = watched->property(keyProperty).value<Key>();
        Settings& settings = m_controller.settings();
        settings.setText(key, withoutOneTrailingSeparator(settings.text(key)));
    }
    return QObject::eventFilter(watched, event);
}
