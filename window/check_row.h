#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// A button that starts a check of the setup and, beside it, what the check found: "A testar…"
// while it runs, with the button disabled so that checks never pile up, then the answer, green
// when the check passed and red when it did not.
class CheckRow : public QWidget {
    Q_OBJECT
public:
    CheckRow(const QString& buttonName, const QString& caption, const QString& labelName,
             const QString& help, QWidget* parent = nullptr);

    void showOutcome(bool passed, const QString& text);

signals:
    void started();

private:
    QPushButton* m_button;
    QLabel* m_outcome;
};
