#pragma once

#include <QString>
#include <QtGlobal>

class OdbcFixture;
class PostgresServer;

struct BenchSettings {
    QString program;              // the controller's executable
    int intakeFiles = 300;        // arriving one by one, for the CPU a file
    int plainFiles = 10000;       // read and deleted plainly, for the CPU a file to set against it
    int messages = 300;           // shown one after another, for the CPU a message
    int longQueue = 5000;         // queued when the CPU a message is measured on a long queue
    int spooledMessages = 100000; // left in the spool before a start
    int backlogFiles = 100000;    // waiting at once, for memory and responsiveness
    double idleSeconds = 20;      // the idle controller's measuring window
    double referenceSeconds = 3;  // the idle window before a load, whose rate is taken off it
    double spoolSeconds = 10;     // how long a start over a full spool is watched
    double backlogSeconds = 60;   // how long the backlog may take; what is left then is reported
    double limitSeconds = 180;    // the longest any other wait may last
    double loginSeconds = 120;    // how long the logins to the database are counted
    int stopFiles = 100000;       // waiting when the controller is told to stop
    int stopRows = 20000;         // waiting in the table when the controller is told to stop
};

// A figure taken of the controller with its window (offscreen) and of the controller started with
// --sem-janela.
template <typename Figures> struct BothWays {
    Figures withWindow;
    Figures withoutWindow;
};

// The CPU of plain drop-file intake, a file, on the same file system as the controller's.
struct PlainIntakeFigures {
    int files = 0;
    double cpuPerFile = 0;        // listed, read and deleted
    double durableCpuPerFile = 0; // the same, each kept durably before its delete
};
PlainIntakeFigures measurePlainIntake(const BenchSettings& settings);

// Drop files arriving one at a time, each once the one before it was taken, while the controller
// polls every 0.1 s and shows nothing: the controller's CPU from the first file to the last less
// its idle rate over that time, a file, and how long a file waited in the folder on average.
struct IntakeFigures {
    int files = 0;
    double cpuPerFile = 0;
    double secondsPerFile = 0;
};
IntakeFigures measureIntake(const BenchSettings& settings, bool window);

// `queued` messages queued at once, then shown one every 0.1 s: the controller's CPU for each of
// the first `messages` frames after they were all taken, less its idle rate, and the bytes of
// each message on the display port.
struct DisplayFigures {
    int queued = 0;
    int messages = 0;
    double cpuPerMessage = 0;
    double bytesPerMessage = 0;
};
DisplayFigures measureDisplay(const BenchSettings& settings, int queued, bool window);
// The CPU a message of the port alone: opened, a frame of `frameBytes` written, closed.
double measurePlainPort(const BenchSettings& settings, double frameBytes);

// The share of one core an idle controller uses: display every second, polling every two, the
// date-and-time idle text on, an empty drop folder, and the database (its table empty) when
// `database` says so.
struct IdleFigures {
    double seconds = 0;
    double cpuShare = 0;
};
IdleFigures measureIdle(const BenchSettings& settings, bool database, bool window);

// A start over a spool that an earlier run left full, every message's source delete unsure, the
// display every 0.1 s: the seconds from the start to the first frame, the peak memory over
// `spoolSeconds` from the start, and the memory each spooled message took then, over that of a
// controller started over an empty spool.
struct SpoolStartFigures {
    int messages = 0;
    double firstFrameSeconds = 0;
    double peakMegabytes = 0;
    double bytesPerMessage = 0;
    double longestGap = 0;
    double seconds = 0;
};
SpoolStartFigures measureSpoolStart(const BenchSettings& settings, bool window);

// A large batch waiting at once while the display shows a message every 0.1 s: what was taken
// before its time was up, the controller's peak memory by then, and the longest the display went
// without a frame while the files were being taken.
struct BacklogFigures {
    int files = 0;
    int taken = 0;
    double seconds = 0;
    double peakMegabytes = 0;
    double longestGap = 0;
    double displaySeconds = 0;
};
BacklogFigures measureBacklog(const BenchSettings& settings, bool window);

// The logins of a controller polling a PostgreSQL server every second, counted in the server's
// log over `loginSeconds`, and what that comes to in an hour: the first login, and as many more
// an hour as came in the window after it.
struct LoginFigures {
    double seconds = 0;
    int logins = 0;
    double perHour = 0;
};
LoginFigures measureLogins(const BenchSettings& settings, PostgresServer& server);

// How long the controller takes to end after SIGTERM while a source is busy: a login that a
// silent server holds up, a drop folder of `stopFiles` files, a table of `stopRows` rows.
struct StopFigures {
    double loginSeconds = 0;
    int files = 0;
    double filesSeconds = 0;
    int rows = 0;
    double rowsSeconds = 0;
};
StopFigures measureStops(const BenchSettings& settings, OdbcFixture& odbc);
