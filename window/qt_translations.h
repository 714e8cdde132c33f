#pragma once

class QCoreApplication;

// Puts Qt's own texts (the buttons of message boxes, the folder picker, a field's context menu)
// into Portuguese, as the rest of the window is, whatever the system's language: the dates the
// program writes keep following the system's language. Says in the log when Qt's translations
// are not installed.
void translateQtIntoPortuguese(QCoreApplication& application);
