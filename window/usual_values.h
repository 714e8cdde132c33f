#pragma once

#include "core/settings.h"

#include <QObject>
#include <map>

class QComboBox;
class QLabel;
struct DisplayPreset;

// The usual value beside each display field, in brackets: the value that the display model
// shown in the model choice comes with, or the field's initial value where no model sets it
// (the port). While the choice shows "Personalizado", the hints stay those of the model shown
// last, from which the fields were changed.
class UsualValues : public QObject {
    Q_OBJECT
public:
    // `modelChoice` is the display model choice (displayModelChoice()).
    explicit UsualValues(QComboBox* modelChoice);

    // The hint for `key`, named "lblHabitual" and the key's name.
    QLabel* hint(Settings::Key key);

private:
    void follow(int index);
    void show(Settings::Key key, QLabel* label) const;

    QComboBox* m_modelChoice;
    const DisplayPreset* m_preset = nullptr;
    std::map<Settings::Key, QLabel*> m_hints;
};
