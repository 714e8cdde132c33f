#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QWidget;

// Gathers what the window is to show and shows it all at once, at most once every `intervalMs`:
// a label given ten texts in between is set once, to the last of them, and the window lays
// itself out and paints once for all its changes, however many messages went by. While the
// window is hidden or minimised nothing is shown, so nothing is laid out or painted; what came
// meanwhile is shown as soon as it is back.
class WindowRefresh : public QObject {
    Q_OBJECT
public:
    // A few times a second: a person sees no lag, a busy queue no longer drives the painting.
    static constexpr int intervalMs = 250;

    // Lives as long as `window`, the top-level widget it watches.
    explicit WindowRefresh(QWidget* window);

    // `show` makes `control` show what it is to show now, at the next refresh; it replaces what
    // was given for the same control and not shown yet.
    void post(QObject* control, std::function<void()> show);
    // Asks for a refresh that has nothing posted, for those that follow refreshing().
    void request();

signals:
    // The moment to bring the rest of the window up to date, right after the posted changes.
    void refreshing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool windowSeen() const;
    void refresh();

    QWidget* m_window;
    QTimer m_timer;
    bool m_requested = false;
    QHash<QObject*, std::pair<QPointer<QObject>, std::function<void()>>> m_posted;
};
