#include "core/standard_streams.h"

bool writeUtf8(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const bool written = std::fwrite(bytes.constData(), 1, bytes.size(), stream) ==
                         static_cast<std::size_t>(bytes.size());
    std::fflush(stream);
    return written;
}
