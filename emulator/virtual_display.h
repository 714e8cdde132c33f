#pragma once

#include "core/code_page.h"
#include "display/display_command_set.h"
#include "emulator/display_decoder.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A display that exists only in memory: it reads one command set (the ESC Q A / ESC Q B set
// unless told otherwise) and keeps the two lines a real display would show, their bytes read in
// one code page (Windows-1252 unless told otherwise). Bytes may arrive in pieces of any size;
// bytes the command set does not know are ignored.
class VirtualDisplay {
public:
    explicit VirtualDisplay(DisplayCommandSet commandSet = DisplayCommandSet::escQ,
                            const CodePage& codePage = {});

    // Returns whether a visible line changed.
    bool feed(const QByteArray& bytes);

    QString upperLine() const;
    QString lowerLine() const;

private:
    std::unique_ptr<DisplayDecoder> m_decoder;
    CodePage m_codePage;
    DisplayRows m_rows;
};
