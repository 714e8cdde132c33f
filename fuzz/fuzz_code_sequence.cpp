// Any text as a code sequence: at most six bytes come out, and each field holds digits only.
#include "core/code_sequence.h"
#include "core/text_encoding.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sequence = decodeFileText(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (codeSequenceBytes(sequence).size() > 6)
        __builtin_trap();
    for (qint16 field = 0; field <= 8; ++field) {
        for (const QChar c : ExtraiCodigo(field, sequence)) {
            if (c < u'0' || c > u'9')
                __builtin_trap();
        }
    }
    return 0;
}
