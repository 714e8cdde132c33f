#include "window/field_check.h"

#include "core/setting_checks.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>

FieldCheck::FieldCheck(QLineEdit* edit, Settings::Key key, Settings& settings)
    : QObject(edit), m_edit(edit), m_key(key), m_settings(settings),
      m_characters(settingCharacters(key))
{
    edit->installEventFilter(this);
    connect(&settings, &Settings::changed, this, [this](Settings::Key changed) {
        if (changed == m_key)
            refresh();
    });
    refresh();
}

bool FieldCheck::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress && !m_characters.isEmpty()) {
        // Only printable characters typed alone; editing keys and shortcuts (a paste included)
        // go through, and what they bring is marked instead.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!shortcut && !typed.isEmpty() && typed.at(0).isPrint()) {
            // The keypad's decimal key gives a comma on a Portuguese keyboard.
            if (typed == QStringLiteral(",") && m_characters.contains(u'.')) {
                QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, key->modifiers(),
                                QStringLiteral("."));
                QCoreApplication::sendEvent(m_edit, &point);
                return true;
            }
            for (const QChar c : typed) {
                if (!m_characters.contains(c))
                    return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void FieldCheck::refresh()
{
    const QString problem = settingProblem(m_key, m_settings.text(m_key));
    const QString note = settingNote(m_key, m_settings.text(m_key));
    const QString said = problem.isEmpty() ? note : problem;
    const QString help = Settings::help(m_key);
    m_edit->setToolTip(said.isEmpty() ? help : said + QStringLiteral("\n\n") + help);
    if (m_edit->property(markProperty).toBool() == !problem.isEmpty() &&
        m_edit->property(noteProperty).toBool() == !note.isEmpty())
        return;
    m_edit->setProperty(markProperty, !problem.isEmpty());
    m_edit->setProperty(noteProperty, !note.isEmpty());
    // A dynamic property changes the style sheet's selection only once the style looks again.
    m_edit->style()->unpolish(m_edit);
    m_edit->style()->polish(m_edit);
}
