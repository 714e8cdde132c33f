#pragma once

#include "core/settings.h"

#include <QObject>

class QLineEdit;

// Watches one settings field: keystrokes of characters that no value of its setting holds are
// dropped, and a value that cannot be used, typed or read from Mostrela.cfg, is marked at the
// field (property "invalid", drawn by the window's style sheet) with the reason in its tooltip.
// A value that is read otherwise than written ("2,5" seconds are 2) is accepted, and marked
// apart (property "noted") with how it is read in the tooltip. The value itself is never
// changed: a file's value stays as it was read.
class FieldCheck : public QObject {
    Q_OBJECT
public:
    static constexpr const char* markProperty = "invalid";
    static constexpr const char* noteProperty = "noted";

    // Lives as long as `edit`, which it watches.
    FieldCheck(QLineEdit* edit, Settings::Key key, Settings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    QLineEdit* m_edit;
    Settings::Key m_key;
    Settings& m_settings;
    QString m_characters;
};
