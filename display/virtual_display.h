#pragma once

#include "display/display_command_set.h"
#include "display/display_decoder.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A display that exists only in memory: it reads one command set (the ESC Q A / ESC Q B set
// unless told otherwise) and keeps the two lines a real display would show. Bytes may arrive in
// pieces of any size; bytes the command set does not know are ignored.
class VirtualDisplay {
public:
    explicit VirtualDisplay(DisplayCommandSet commandSet = DisplayCommandSet::escQ);

    // Returns whether a visible line changed.
    bool feed(const QByteArray& bytes);

    QString upperLine() const;
    QString lowerLine() const;

private:
    std::unique_ptr<DisplayDecoder> m_decoder;
    DisplayRows m_rows;
};
