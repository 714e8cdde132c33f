// Any bytes on the virtual display's line: the lines shown never depend on how the bytes were
// split into reads.
#include "display/virtual_display.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses where the stream is cut in two.
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1,
                           static_cast<qsizetype>(size - 1));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[0] % (bytes.size() + 1);

    VirtualDisplay whole;
    whole.feed(bytes);
    VirtualDisplay pieces;
    pieces.feed(bytes.left(cut));
    pieces.feed(bytes.mid(cut));
    if (whole.upperLine() != pieces.upperLine() || whole.lowerLine() != pieces.lowerLine())
        __builtin_trap();
    return 0;
}
