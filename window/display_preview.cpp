#include "window/display_preview.h"

#include "app/controller.h"
#include "core/settings_snapshots.h"
#include "window/window_refresh.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A width beyond any real display would only stretch the window.
constexpr qint16 widestPreview = 80;
constexpr qint16 usualWidth = 20;
constexpr qreal rowPointSize = 16;
// Rows wider than this many columns are drawn smaller, so as to be no wider than these at the
// usual size: a fixed font's letters are wider on some systems, and a wide display's rows would
// widen the window beyond a till's screen.
constexpr qint16 widestAtFullSize = 40;

} // namespace

DisplayPreview::DisplayPreview(Controller& controller, WindowRefresh& refresh, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_refresh(refresh), m_face(new QFrame),
      m_failure(new QLabel)
{
    setObjectName(QStringLiteral("visorPreview"));
    setToolTip(QStringLiteral("O que o display mostra, tal como lhe foi enviado"));
    m_face->setObjectName(QStringLiteral("visorMostrador"));
    m_face->setStyleSheet(
        QStringLiteral("QFrame#visorMostrador { background: #0b1610; border: 4px solid #4a4a4a; "
                       "border-radius: 6px; } "
                       "QLabel { color: #5cffb0; background: transparent; }"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(rowPointSize);
    font.setBold(true);
    auto* rows = new QVBoxLayout(m_face);
    for (int row = 0; row < 2; ++row) {
        m_rows[row] = new QLabel;
        m_rows[row]->setObjectName(QStringLiteral("visorLinha%1").arg(row + 1));
        m_rows[row]->setFont(font);
        m_rows[row]->setTextFormat(Qt::PlainText);
        rows->addWidget(m_rows[row]);
    }
    m_failure->setObjectName(QStringLiteral("lblVisorFalha"));
    m_failure->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_failure->setWordWrap(true);
    // A word longer than the page (a device's path) is cut at the edge rather than widen the
    // window.
    m_failure->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_failure->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_face, 0, Qt::AlignHCenter);
    layout->addWidget(m_failure);
    fitWidth();

    connect(&controller, &Controller::messageShown, this, &DisplayPreview::showLines);
    connect(&controller, &Controller::displayFailed, this, &DisplayPreview::showFailure);
    connect(&controller.settings(), &Settings::changed, this, [this](Settings::Key key) {
        if (key == Settings::Key::NumLetras)
            fitWidth();
    });
}

void DisplayPreview::showLines(const QString& linha1, const QString& linha2)
{
    m_refresh.post(m_face, [this, linha1, linha2] {
        m_rows[0]->setText(linha1);
        m_rows[1]->setText(linha2);
    });
    m_refresh.post(m_failure, [this] {
        m_failure->clear();
        m_failure->hide();
    });
}

void DisplayPreview::showFailure(const QString& failure)
{
    m_refresh.post(m_failure, [this, failure] {
        m_failure->setText(QStringLiteral("Última escrita falhou: ") + failure);
        m_failure->show();
    });
}

void DisplayPreview::fitWidth()
{
    const LineWidth width = displaySettings(m_controller.settings()).numLetras;
    const qint16 columns = qBound<qint16>(1, width.letters.value_or(usualWidth), widestPreview);
    QFont font = m_rows[0]->font();
    font.setPointSizeF(rowPointSize * std::min<qreal>(1, qreal(widestAtFullSize) / columns));
    const QFontMetrics metrics(font);
    // Fixed in both directions, a row's new text never makes the window lay itself out again.
    for (QLabel* row : m_rows) {
        row->setFont(font);
        row->setFixedSize(metrics.horizontalAdvance(QString(columns, u'0')), metrics.height());
    }
}
