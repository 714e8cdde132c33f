// Any bytes on the virtual display's line, in any command set: the lines shown never depend on
// how the bytes were split into reads.
#include "emulator/virtual_display.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte chooses the command set, the second where the stream is cut in two.
    const auto commandSet =
        static_cast<DisplayCommandSet>(data[0] % (int(DisplayCommandSet::logicControls) + 1));
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 2,
                           static_cast<qsizetype>(size - 2));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[1] % (bytes.size() + 1);

    VirtualDisplay whole(commandSet);
    whole.feed(bytes);
    VirtualDisplay pieces(commandSet);
    pieces.feed(bytes.left(cut));
    pieces.feed(bytes.mid(cut));
    if (whole.upperLine() != pieces.upperLine() || whole.lowerLine() != pieces.lowerLine())
        __builtin_trap();
    return 0;
}
