// What one message costs the program: LancaNoDisplay on a pseudo-terminal (three open, write,
// close cycles), set against the time the same bytes take on a 9600-baud line.
// Usage: bench_dispatch [messages]

#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"
#include "display/serial_port.h"
#include "pseudo_terminal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// 9600 baud, 8N1: ten bits on the line for every byte.
constexpr double lineMsPerByte = 10.0 * 1000.0 / 9600.0;

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int messages = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 500;

    PseudoTerminal terminal;
    Settings settings; // the usual display: clear, ESC Q A/B line starts, CR line ends, width 20
    settings.setText(Settings::Key::Porta, terminal.slavePath());
    SerialPort port;
    DisplayDispatch dispatch(port);

    std::vector<qint64> nanoseconds;
    nanoseconds.reserve(messages);
    qsizetype bytes = 0;
    for (int index = 0; index < messages; ++index) {
        // Full 20-character lines that change every time, so none is skipped as a repeat.
        const QString linha1 = QStringLiteral("Artigo n.%1").arg(index, 10, 10, QChar(u'0'));
        const QString linha2 = QStringLiteral("Total %1 EUR").arg(index * 1.25, 10, 'f', 2);
        QElapsedTimer timer;
        timer.start();
        dispatch.LancaNoDisplay(displaySettings(settings), linha1, linha2);
        nanoseconds.push_back(timer.nsecsElapsed());
        if (!dispatch.failure().isEmpty()) {
            std::fprintf(stderr, "failed: %s\n", qPrintable(dispatch.failure()));
            return 1;
        }
        // Clear, then each line between its three-byte start and one-byte end.
        const qsizetype expected = 1 + (3 + linha1.size() + 1) + (3 + linha2.size() + 1);
        if (terminal.take(expected).size() != expected) { // drained outside the measurement
            std::fprintf(stderr, "message %d did not arrive whole\n", index);
            return 1;
        }
        bytes += expected;
    }

    std::sort(nanoseconds.begin(), nanoseconds.end());
    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    const double bytesPerMessage = static_cast<double>(bytes) / messages;
    std::printf("messages: %d, bytes per message: %.1f\n", messages, bytesPerMessage);
    std::printf("program, per message: median %.3f ms, 90th percentile %.3f ms, max %.3f ms\n",
                ms(nanoseconds[nanoseconds.size() / 2]),
                ms(nanoseconds[nanoseconds.size() * 9 / 10]), ms(nanoseconds.back()));
    std::printf("9600-baud line, per message: %.3f ms (%.4f ms a byte)\n",
                bytesPerMessage * lineMsPerByte, lineMsPerByte);
    return 0;
}
