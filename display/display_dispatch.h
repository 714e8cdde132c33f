#pragma once

#include "display/cdisplay.h"

#include <QString>
#include <optional>
#include <utility>

struct DisplaySettings;
class DisplayPort;

// What became of one message handed to the display.
struct DisplayOutcome {
    // False only when none of the message's bytes can be taken as shown: the frame did not leave
    // whole for a port, or the line width, line settings or code page cannot be used. The
    // message must then be sent again.
    bool reached = true;
    // What went wrong, empty when nothing did; a port setting that was refused is reported here
    // even though the message reached the port in use.
    QString failure;
    // Whether bytes were written: false when the same two lines were already on the display.
    bool written = false;
    // The lines as the display shows them: cut, folded, with blanks for control characters,
    // trimmed, with "?" for what the code page cannot show.
    QString linha1;
    QString linha2;
};

// One message made ready for the display with the display settings of the moment, nothing sent.
struct PreparedMessage {
    // Why the settings cannot show the message: the width, line settings or code page cannot be
    // used. Nothing else is set then.
    QString failure;
    // Both lines cut to the line width: what a later message is compared with.
    QString cutLinha1;
    QString cutLinha2;
    // The lines as the display shows them (see DisplayOutcome).
    QString linha1;
    QString linha2;
    // Holds the message's frame: the clear code, then each line between its start and end codes.
    cDisplay display;
};

PreparedMessage prepareMessage(const DisplaySettings& settings, const QString& linha1,
                               const QString& linha2);

// Shows one message of two lines on the display, with the display settings of the moment. A
// message whose two lines equal, each, those of the last message that reached the display is not
// sent again. Nothing is remembered at first, so the first message always goes out, a blank one
// too: the display may still show whatever it showed before the controller started.
class DisplayDispatch {
public:
    explicit DisplayDispatch(DisplayPort& mscDisplay);

    // Cuts both lines to the line width, then writes the clear code and each line between its
    // start and end codes as one frame: one open, one write, one close. Never throws and leaves
    // no port open.
    DisplayOutcome LancaNoDisplay(const DisplaySettings& settings, const QString& linha1,
                                  const QString& linha2);
    // Something else was written to the display: the next message goes out whatever it is.
    void forget() { m_last.reset(); }

private:
    DisplayPort& m_mscDisplay;
    std::optional<std::pair<QString, QString>> m_last; // the lines that reached it last, as cut
};
