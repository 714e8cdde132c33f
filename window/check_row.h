#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// A button that starts a check of the setup and, beside it, what the check found: "A testar…"
// while it runs, with the button disabled so that checks never pile up, then the answer, green
// when the check passed and red when it did not, until what it checked changes.
class CheckRow : public QWidget {
    Q_OBJECT
public:
    CheckRow(const QString& buttonName, const QString& caption, const QString& labelName,
             const QString& help, QWidget* parent = nullptr);

    void showOutcome(bool passed, const QString& text);
    // What was checked has changed: the answer shown goes, and one still awaited will not show.
    void forget();

signals:
    void started();

private:
    QPushButton* m_button;
    QLabel* m_outcome;
    bool m_forgotten = false;
};
