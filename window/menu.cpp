#include "window/menu.h"

#include "core/setting_checks.h"
#include "window/display_preview.h"
#include "window/elided_label.h"
#include "window/field_check.h"
#include "window/pictured_frame.h"
#include "window/queue_columns.h"
#include "window/queue_list_model.h"
#include "window/queue_row_delegate.h"
#include "window/queue_view.h"
#include "window/running_notice.h"
#include "window/save_report.h"
#include "window/settings_pages.h"
#include "window/status_line.h"
#include "window/steady_label.h"
#include "window/window_refresh.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using Key = Settings::Key;
using Page = Controller::Page;

constexpr int pageIconSide = 32;
constexpr int readingsSpacing = 24;

QLabel* label(const QString& text, const QString& name = QString())
{
    auto* result = new QLabel(text);
    if (!name.isEmpty())
        result->setObjectName(name);
    return result;
}

// The queue's figures, under the sources' readings.
QString queueCounts(qsizetype waiting, qsizetype dropped)
{
    return QStringLiteral("À espera: %1    Descartadas por antiguidade: %2")
        .arg(waiting)
        .arg(dropped);
}

QString messageCount(int messages)
{
    return messages == 1 ? QStringLiteral("1 mensagem")
                         : QStringLiteral("%1 mensagens").arg(messages);
}

QString now()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

// The style's icons come in different sets of sizes; a smaller one is drawn larger, so the page
// buttons all show their pictures at one size.
QIcon atPageIconSize(const QIcon& icon)
{
    QPixmap picture = icon.pixmap(QSize(pageIconSide, pageIconSide));
    if (picture.width() < pageIconSide || picture.height() < pageIconSide)
        picture = picture.scaled(pageIconSide, pageIconSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    return QIcon(picture);
}

// The settings folder, and the spool's folder where it lies elsewhere.
QString foldersText(const Controller& controller)
{
    const QString folder = QFileInfo(controller.configPath()).absolutePath();
    QString text = QStringLiteral("Pasta: %1").arg(QDir::toNativeSeparators(folder));
    if (QFileInfo(controller.spoolFolder()).absolutePath() != folder)
        text +=
            QStringLiteral(" (fila em %1)").arg(QDir::toNativeSeparators(controller.spoolFolder()));
    return text;
}

} // namespace

Menu::Menu(Controller& controller, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_refresh(new WindowRefresh(this))
{
    setObjectName(QStringLiteral("Menu"));
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("paginas"));
    auto* settingsPages = new SettingsPages(m_controller, this);
    connect(settingsPages, &SettingsPages::saveRequested, this, &Menu::saveAsked);
    // The running page stands in the page area until a button is pressed.
    m_frames = {
        {Page::Executando, buildExecutandoPage()},
        {Page::Display, settingsPages->buildDisplayPage()},
        {Page::SQL, settingsPages->buildSqlPage()},
        {Page::Configura, settingsPages->buildConfiguraPage()},
    };
    for (const auto& [page, frame] : m_frames)
        m_pages->addWidget(frame);
    m_pages->setCurrentWidget(m_frames.at(Page::Executando));

    auto* pagesRow = new QHBoxLayout;
    pagesRow->addWidget(buildPageButtons(), 0, Qt::AlignTop);
    pagesRow->addWidget(m_pages, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pagesRow, 1);
    layout->addWidget(buildStatusBar());
    setStyleSheet(QStringLiteral("QLineEdit[%1=\"true\"] { border: 1px solid #c00000; "
                                 "background: #ffe4e4; } "
                                 "QLineEdit[%2=\"true\"] { border: 1px solid #c09000; "
                                 "background: #fff6d5; } "
                                 "QToolButton#cmdPortas::menu-indicator { image: none; }")
                      .arg(QLatin1StringView(FieldCheck::markProperty),
                           QLatin1StringView(FieldCheck::noteProperty)));

    connect(&m_controller, &Controller::pageChanged, this, &Menu::showPage);
    connect(&m_controller, &Controller::messageShown, this, &Menu::showLastMessage);
    connect(&m_controller, &Controller::sourceRead, this, &Menu::showSourceRead);
    connect(&m_controller, &Controller::sourceFailed, this, &Menu::showSourceFailed);
    connect(&m_controller, &Controller::connectionFailed, this, &Menu::showConnectionFailure);
    connect(&m_controller, &Controller::connectionRestored, this, [this] {
        if (m_connectionBox)
            m_connectionBox->close();
    });
    connect(&m_controller.settings(), &Settings::changed, this, [this](Key key) {
        if (key == Key::LigaSQL || key == Key::LigaFicheiros)
            showSourceSwitched(key);
    });
    showSourceSwitched(Key::LigaSQL);
    showSourceSwitched(Key::LigaFicheiros);
}

Menu::~Menu() = default;

void Menu::showConnectionFailure(const QString& text)
{
    // One box at a time: a later failure only changes what the open one says.
    if (m_connectionBox) {
        m_connectionBox->setText(text);
        return;
    }
    // Not modal: the rotation and the polling go on while the box waits for the person at the
    // screen.
    m_connectionBox = new QMessageBox(QMessageBox::Critical, QCoreApplication::applicationName(),
                                      text, QMessageBox::Ok, this);
    m_connectionBox->setAttribute(Qt::WA_DeleteOnClose);
    m_connectionBox->setModal(false);
    m_connectionBox->show();
}

void Menu::load(const QString& commandLine)
{
    move(0, 0);
    setWindowTitle(m_controller.windowTitle());
    m_controller.load(commandLine);
    m_notice->refresh();
    // The size that shows every page and every column of the list whole, as far as the screen
    // allows; the system would cap it at two thirds of the screen.
    resize(sizeHint().boundedTo(screen()->availableGeometry().size()));
}

void Menu::GravarMostrela_cfg()
{
    m_controller.saveSettings();
    m_notice->refresh();
    const QString failure = m_controller.status().standingError(Status::Handler::SettingsFile);
    m_statusBar->say(failure.isEmpty()
                         ? saveReport(m_controller.configPath(), m_controller.settings(), now())
                         : QStringLiteral("A configuração não foi gravada: %1").arg(failure));
}

void Menu::saveAsked()
{
    QStringList unusable;
    for (const auto& [caption, problem] : unusableValues())
        unusable << caption + QStringLiteral(": ") + problem;
    if (!unusable.isEmpty()) {
        const auto answer = QMessageBox::question(
            this, QCoreApplication::applicationName(),
            QStringLiteral("Estes valores não podem ser usados como estão:\n\n%1\n\n"
                           "Gravar mesmo assim?")
                .arg(unusable.join(u'\n')),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            m_statusBar->say(QStringLiteral("A configuração não foi gravada."));
            return;
        }
    }
    GravarMostrela_cfg();
}

QList<std::pair<QString, QString>> Menu::unusableValues() const
{
    QList<std::pair<QString, QString>> unusable;
    for (const SettingDefinition& row : settingsTable) {
        if (row.kind() != SettingKind::Text)
            continue;
        const QString problem = settingProblem(row.key, m_controller.settings().text(row.key));
        if (!problem.isEmpty())
            unusable.append({Settings::caption(row.key), problem});
    }
    return unusable;
}

void Menu::showLastMessage(const QString& linha1, const QString& linha2)
{
    showText(
        m_lastMessage,
        QStringLiteral("Último: %1 | %2 às %3").arg(linha1.trimmed(), linha2.trimmed(), now()));
}

void Menu::showSourceRead(const QString& source, int messages)
{
    // A read that ends after its source was switched off says no more than "desligada".
    const Settings& settings = m_controller.settings();
    if (source == QStringLiteral("SQL") && settings.ligaSQL())
        showSteadyText(
            m_sqlRead,
            QStringLiteral("Base de dados: lida às %1, %2").arg(now(), messageCount(messages)));
    else if (source == QStringLiteral("Ficheiros") && settings.ligaFicheiros())
        showSteadyText(
            m_filesRead,
            QStringLiteral("Ficheiros: lidos às %1, %2").arg(now(), messageCount(messages)));
}

void Menu::showSourceSwitched(Key source)
{
    const bool on = m_controller.settings().option(source);
    if (source == Key::LigaSQL)
        showSteadyText(m_sqlRead, on ? QStringLiteral("Base de dados: ainda não lida")
                                     : QStringLiteral("Base de dados: desligada"));
    else
        showSteadyText(m_filesRead, on ? QStringLiteral("Ficheiros: ainda não lidos")
                                       : QStringLiteral("Ficheiros: desligados"));
}

void Menu::showSourceFailed(const QString& source, int messages)
{
    QString text = QStringLiteral("falha na leitura às %1").arg(now());
    if (messages == 1)
        text += QStringLiteral(", 1 mensagem tirada");
    else if (messages > 1)
        text += QStringLiteral(", %1 mensagens tiradas").arg(messages);
    const Settings& settings = m_controller.settings();
    if (source == QStringLiteral("SQL") && settings.ligaSQL())
        showSteadyText(m_sqlRead, QStringLiteral("Base de dados: ") + text);
    else if (source == QStringLiteral("Ficheiros") && settings.ligaFicheiros())
        showSteadyText(m_filesRead, QStringLiteral("Ficheiros: ") + text);
}

void Menu::showSteadyText(QLabel* label, const QString& text)
{
    m_refresh->post(label, [label, text] { setSteadyText(label, text); });
}

void Menu::showText(QLabel* label, const QString& text)
{
    m_refresh->post(label, [label, text] { label->setText(text); });
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
        button->setIcon(atPageIconSize(style()->standardIcon(entry.picture)));
        button->setIconSize(QSize(pageIconSide, pageIconSide));
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

QGroupBox* Menu::buildExecutandoPage()
{
    Status& status = m_controller.status();
    auto* frame = new PicturedFrame;
    frame->setObjectName(QStringLiteral("fraExecutando"));

    auto* list = new QueueView;
    auto* rows = new QueueListModel(m_controller.queue(), *m_refresh, list);
    list->setModel(rows);
    list->setItemDelegate(new QueueRowDelegate(list));
    rows->setListSelection(list->selectionModel());
    new QueueColumns(list);

    m_sqlRead = label(QString(), QStringLiteral("lblLeituraSQL"));
    m_filesRead = label(QString(), QStringLiteral("lblLeituraFicheiros"));
    auto* reads = new QHBoxLayout;
    reads->setSpacing(readingsSpacing);
    reads->addWidget(m_sqlRead);
    reads->addWidget(m_filesRead);
    reads->addStretch(1);
    QLabel* counts =
        label(queueCounts(status.waiting(), status.dropped()), QStringLiteral("lblContagem"));
    connect(&status, &Status::countsChanged, counts,
            [this, counts](qsizetype waiting, qsizetype dropped) {
                showSteadyText(counts, queueCounts(waiting, dropped));
            });

    auto* error = new QLabel;
    error->setObjectName(QStringLiteral("lblError"));
    error->setToolTip(QStringLiteral("Relatório de Falhas"));
    error->setWordWrap(true);
    // A path longer than the page is cut at the edge rather than widen the window; the tooltip
    // is the label's name.
    error->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    error->setStyleSheet(QStringLiteral("color: #b00000;"));
    connect(&status, &Status::errorChanged, error, &QLabel::setText);

    m_notice = new RunningNotice(m_controller, frame, *m_refresh);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(m_notice);
    layout->addWidget(new DisplayPreview(m_controller, *m_refresh));
    layout->addWidget(list, 1);
    layout->addLayout(reads);
    layout->addWidget(counts);
    layout->addWidget(error);
    return frame;
}

StatusLine* Menu::buildStatusBar()
{
    m_statusBar = new StatusLine;
    m_lastMessage = new ElidedLabel(QStringLiteral("lblUltimaMensagem"));
    m_statusBar->addPermanentWidget(m_lastMessage, 1);
    auto* folders = new ElidedLabel(QStringLiteral("lblPasta"));
    folders->setText(foldersText(m_controller));
    m_statusBar->addPermanentWidget(folders, 1);
    return m_statusBar;
}

void Menu::showPage(Page page)
{
    if (m_frames.count(page) == 0)
        return;
    m_pages->setCurrentWidget(m_frames.at(page));
    m_pageButtons->button(static_cast<int>(page))->setChecked(true);
    // Pressing "Executar" applies the settings: say which of them cannot be used as they are
    // (each marked field's tooltip says why).
    QStringList unusable;
    for (const auto& [caption, problem] : unusableValues())
        unusable << caption;
    if (page == Page::Executando && !unusable.isEmpty())
        m_statusBar->say(QStringLiteral("Verifique os campos marcados: ") +
                         unusable.join(QStringLiteral(", ")));
}
