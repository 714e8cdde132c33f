#pragma once

#include <QString>
#include <QtGlobal>

class OdbcFixture;
class PostgresServer;

struct BenchSettings {
    QString program;             // the controller's executable
    int intakeFiles = 10000;     // dropped at once, for the CPU a file
    int backlogFiles = 100000;   // waiting at once, for memory and responsiveness
    int messages = 200;          // shown one after another, for the CPU a message
    double idleSeconds = 20;     // the idle controller's measuring window
    double referenceSeconds = 3; // the idle window before a load, whose rate is taken off it
    double backlogSeconds = 60;  // how long the backlog may take; what is left then is reported
    double limitSeconds = 180;   // the longest any other wait may last
    double loginSeconds = 120;   // how long the logins to the database are counted
    int stopFiles = 100000;      // waiting when the controller is told to stop
    int stopRows = 20000;        // waiting in the table when the controller is told to stop
};

// The controller's CPU a drop file, from the moment a batch of files is put in the drop folder
// until the folder is empty and the controller has settled, less its idle rate over that time,
// against the plain reads and deletes of as many files of the same size.
struct IntakeFigures {
    int files = 0;
    double controllerCpuPerFile = 0;
    double plainCpuPerFile = 0;
    double secondsToEmpty = 0;
};
IntakeFigures measureIntake(const BenchSettings& settings);

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
BacklogFigures measureBacklog(const BenchSettings& settings);

// The controller's CPU for each message it shows, once they are all queued, less its idle rate,
// and the bytes of each message on the display port.
struct DisplayFigures {
    int messages = 0;
    double cpuPerMessage = 0;
    double bytesPerMessage = 0;
};
DisplayFigures measureDisplay(const BenchSettings& settings);

// The share of one core an idle controller uses: display every second, polling every two, the
// date-and-time idle text on, an empty drop folder, and the database (its table empty) when
// `database` says so.
struct IdleFigures {
    double seconds = 0;
    double cpuShare = 0;
};
IdleFigures measureIdle(const BenchSettings& settings, bool database);

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
