#pragma once

class QLabel;
class QString;

// Gives `label` its new text without laying the window out again while the text fits: the label
// keeps a fixed size, that of the widest text it has shown, so that a polling tick's new time
// repaints the label alone. For labels with a stretch beside them, whose texts differ little.
void setSteadyText(QLabel* label, const QString& text);
