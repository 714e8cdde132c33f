#pragma once

#include "core/code_sequence.h"
#include "display/display_presets.h"

#include <QByteArray>

// The bytes one message puts on the line of a display with these codes: clear, then each line
// between its codes.
inline QByteArray presetMessage(const DisplayCodes& codes, const QByteArray& linha1,
                                const QByteArray& linha2)
{
    return codeSequenceBytes(codes.limpa) + codeSequenceBytes(codes.initLinha1) + linha1 +
           codeSequenceBytes(codes.fimLinha1) + codeSequenceBytes(codes.initLinha2) + linha2 +
           codeSequenceBytes(codes.fimLinha2);
}
