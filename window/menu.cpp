#include "window/menu.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

using Key = Settings::Key;
using Page = Controller::Page;

constexpr int codeSequenceMaximumLength = 30;

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

QLabel* label(const QString& text, const QString& name = QString())
{
    auto* result = new QLabel(text);
    if (!name.isEmpty())
        result->setObjectName(name);
    return result;
}

QString withoutOneTrailingSeparator(const QString& path)
{
    if (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/')))
        return path.chopped(1);
    return path;
}

} // namespace

Menu::Menu(Controller& controller, QWidget* parent) : QWidget(parent), m_controller(controller)
{
    setObjectName(QStringLiteral("Menu"));
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("paginas"));
    // The running page stands in the page area until a button is pressed.
    m_frames = {
        {Page::Executando, buildExecutandoPage()},
        {Page::Display, buildDisplayPage()},
        {Page::SQL, buildSqlPage()},
        {Page::Configura, buildConfiguraPage()},
    };
    for (const auto& [page, frame] : m_frames)
        m_pages->addWidget(frame);
    m_pages->setCurrentWidget(m_frames.at(Page::Executando));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildPageButtons(), 0, Qt::AlignTop);
    layout->addWidget(m_pages, 1);

    connect(&m_controller, &Controller::pageChanged, this, &Menu::showPage);
    // Not modal: the rotation goes on while the box waits for the person at the screen.
    m_controller.setCriticalMessageHandler([this](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Critical, QCoreApplication::applicationName(),
                                    text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        connect(box, &QMessageBox::finished, &m_controller, &Controller::criticalMessageClosed);
        box->show();
    });
}

Menu::~Menu()
{
    // The controller may outlive its window; its message boxes must not.
    m_controller.setCriticalMessageHandler({});
}

void Menu::load(const QString& commandLine)
{
    move(0, 0);
    setWindowTitle(m_controller.windowTitle());
    m_controller.load(commandLine);
}

void Menu::GravarMostrela_cfg()
{
    m_controller.saveSettings();
}

QWidget* Menu::buildPageButtons()
{
    struct PageButton {
        const char* name;
        QString caption;
        QStyle::StandardPixmap picture;
        Page page;
    };
    const PageButton buttons[] = {
        {"optDisplay", QStringLiteral("Definição do Display"), QStyle::SP_ComputerIcon,
         Page::Display},
        {"optSQL", QStringLiteral("Ligação ao Servidor de SQL"), QStyle::SP_DriveNetIcon,
         Page::SQL},
        {"optConfigura", QStringLiteral("Configurações Gerais"), QStyle::SP_FileDialogDetailedView,
         Page::Configura},
        {"optExecutando", QStringLiteral("Executar"), QStyle::SP_MediaPlay, Page::Executando},
    };

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pageButtons = new QButtonGroup(this);
    m_pageButtons->setExclusive(true);
    for (const PageButton& entry : buttons) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setText(entry.caption);
        button->setIcon(style()->standardIcon(entry.picture));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setCheckable(true);
        button->setFixedSize(190, 82);
        m_pageButtons->addButton(button, static_cast<int>(entry.page));
        layout->addWidget(button);
        const Page page = entry.page;
        connect(button, &QToolButton::clicked, this,
                [this, page] { m_controller.selectPage(page); });
    }
    return column;
}

QLineEdit* Menu::boundLineEdit(Key key)
{
    auto* edit = new QLineEdit(m_controller.settings().text(key));
    edit->setObjectName(objectNameOf(key));
    Settings& settings = m_controller.settings();
    connect(edit, &QLineEdit::textEdited, &settings,
            [&settings, key](const QString& text) { settings.setText(key, text); });
    connect(&settings, &Settings::changed, edit, [&settings, edit, key](Key changed) {
        if (changed == key && edit->text() != settings.text(key))
            edit->setText(settings.text(key));
    });
    return edit;
}

QAbstractButton* Menu::boundOption(Key key, const QString& caption)
{
    Settings& settings = m_controller.settings();
    auto* button = new QRadioButton(caption);
    button->setObjectName(objectNameOf(key));
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

QAbstractButton* Menu::saveButton(const QString& name)
{
    auto* button = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                   QStringLiteral("&Gravar Conteúdos"));
    button->setObjectName(name);
    button->setMinimumHeight(45);
    connect(button, &QPushButton::clicked, this, &Menu::GravarMostrela_cfg);
    return button;
}

QGroupBox* Menu::buildDisplayPage()
{
    struct Row {
        const char* caption;
        Key key;
        const char* hint;
    };
    const Row rows[] = {
        {"Porta Com", Key::Porta, "(1)"},
        {"Nº Letras p/ Linha", Key::NumLetras, "(20)"},
        {"Inicialização Display", Key::InitMostrador, "(27+64)"},
        {"Limpar display", Key::Limpa, "(12)"},
        {"Inicialização Linha 1", Key::InitLinha1, "(27+81+65)"},
        {"Inicialização Linha 2", Key::InitLinha2, "(27+81+66)"},
        {"Finalização Linha 1", Key::FimLinha1, "(13)"},
        {"Finalização Linha 2", Key::FimLinha2, "(13)"},
    };
    auto* frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("fraDisplay"));
    auto* grid = new QGridLayout(frame);
    int line = 0;
    for (const Row& row : rows) {
        QLineEdit* edit = boundLineEdit(row.key);
        if (row.key != Key::Porta && row.key != Key::NumLetras)
            edit->setMaxLength(codeSequenceMaximumLength);
        grid->addWidget(label(QString::fromUtf8(row.caption)), line, 0);
        grid->addWidget(edit, line, 1);
        grid->addWidget(label(QString::fromUtf8(row.hint)), line, 2);
        ++line;
    }
    grid->setRowStretch(line++, 1);
    grid->addWidget(saveButton(QStringLiteral("cmdGravarDisplay")), line, 0, 1, 3);
    return frame;
}

QGroupBox* Menu::buildSqlPage()
{
    auto* frame = new QGroupBox(QStringLiteral("Ligação ao Servidor"));
    frame->setObjectName(QStringLiteral("fraSQL"));
    auto* grid = new QGridLayout(frame);
    const std::pair<const char*, Key> rows[] = {
        {"Servidor SQL", Key::SQL_Servidor},
        {"Utilizador SQL", Key::SQL_Utilizador},
        {"Password SQL", Key::SQL_Password},
        {"Base Dados", Key::SQL_BaseDados},
    };
    int line = 0;
    for (const auto& [caption, key] : rows) {
        QLineEdit* edit = boundLineEdit(key);
        if (key == Key::SQL_Password)
            edit->setEchoMode(QLineEdit::Password);
        grid->addWidget(label(QString::fromUtf8(caption)), line, 0);
        grid->addWidget(edit, line, 1);
        ++line;
    }
    grid->setRowMinimumHeight(line++, 20);

    grid->addWidget(boundOption(Key::LigaSQL, QStringLiteral("Ligação por SQL")), line++, 0, 1, 2);
    grid->addWidget(
        boundOption(Key::LigaFicheiros, QStringLiteral("Ligação por Endereço (Ficheiros)")), line++,
        0, 1, 2);
    QLineEdit* path = boundLineEdit(Key::LigaFicheirosPath);
    path->installEventFilter(this);
    grid->addWidget(path, line++, 0, 1, 2);
    grid->setRowStretch(line++, 1);
    grid->addWidget(saveButton(QStringLiteral("cmdGravarSQL")), line, 0, 1, 2);
    return frame;
}

QGroupBox* Menu::buildConfiguraPage()
{
    auto* frame = new QGroupBox(QStringLiteral("Configurações Gerais"));
    frame->setObjectName(QStringLiteral("fraConfigura"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(label(QStringLiteral("Nº Segundos para verificação de Informação")), 0, 0);
    grid->addWidget(boundLineEdit(Key::SegundosTimerSQL), 0, 1);
    grid->addWidget(label(QStringLiteral("Nº Segundos para visualização da Informação")), 1, 0);
    grid->addWidget(boundLineEdit(Key::SegundosTimerDisplay), 1, 1);
    grid->setRowMinimumHeight(2, 20);

    Settings& settings = m_controller.settings();
    auto* check =
        new TwoStateClickCheckBox(QStringLiteral("Apresentar texto na ausência de registos"));
    check->setObjectName(objectNameOf(Key::MostraDefault));
    check->setTristate(true);
    check->setCheckState(checkStateOf(settings.mostraDefault()));
    // Only a click changes the state here; the greyed state comes from the file alone.
    connect(check, &QCheckBox::clicked, &settings, [&settings, check] {
        settings.setMostraDefault(mostraDefaultOf(check->checkState()));
    });
    connect(&settings, &Settings::changed, check, [&settings, check](Key key) {
        if (key == Key::MostraDefault)
            check->setCheckState(checkStateOf(settings.mostraDefault()));
    });
    grid->addWidget(check, 3, 0, 1, 2);

    auto* lines = new QGridLayout;
    lines->addWidget(label(QStringLiteral("Linha 1")), 0, 0);
    lines->addWidget(boundLineEdit(Key::Default_Linha1), 0, 1);
    lines->addWidget(label(QStringLiteral("Linha 2")), 1, 0);
    QLineEdit* linha2 = boundLineEdit(Key::Default_Linha2);
    linha2->setToolTip(QStringLiteral("Data e Hora Actual -> #DataHora#"));
    lines->addWidget(linha2, 1, 1);
    grid->addLayout(lines, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    grid->addWidget(saveButton(QStringLiteral("cmdGravarConfigura")), 6, 0, 1, 2);
    return frame;
}

QGroupBox* Menu::buildExecutandoPage()
{
    Status& status = m_controller.status();
    auto* frame = new QGroupBox(status.caption());
    frame->setObjectName(QStringLiteral("fraExecutando"));
    connect(&status, &Status::captionChanged, frame, &QGroupBox::setTitle);

    auto* list = new QTreeView;
    list->setObjectName(QStringLiteral("lvwLista"));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setModel(&m_controller.queue());
    QItemSelectionModel* ownSelection = list->selectionModel();
    list->setSelectionModel(m_controller.queue().selectionModel());
    delete ownSelection;

    auto* error = new QLabel;
    error->setObjectName(QStringLiteral("lblError"));
    error->setToolTip(QStringLiteral("Relatório de Falhas"));
    error->setWordWrap(true);
    error->setStyleSheet(QStringLiteral("color: #b00000;"));
    connect(&status, &Status::errorChanged, error, &QLabel::setText);

    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(list, 1);
    layout->addWidget(error);
    return frame;
}

void Menu::showPage(Page page)
{
    if (m_frames.count(page) == 0)
        return;
    m_pages->setCurrentWidget(m_frames.at(page));
    m_pageButtons->button(static_cast<int>(page))->setChecked(true);
}

bool Menu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut &&
        watched->objectName() == objectNameOf(Key::LigaFicheirosPath)) {
        Settings& settings = m_controller.settings();
        settings.setText(Key::LigaFicheirosPath,
                         withoutOneTrailingSeparator(settings.text(Key::LigaFicheirosPath)));
    }
    return QWidget::eventFilter(watched, event);
}
