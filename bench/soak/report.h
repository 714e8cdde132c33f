#pragma once

#include <QStringList>

struct SoakFigures;
struct SoakSettings;

// Prints the run's figures as a table on standard output.
void printReport(const SoakSettings& settings, const SoakFigures& figures);

// What went wrong: messages lost, shown twice or unknown, bytes that made no message, memory
// that did not come back, or a run that stopped short. Empty for a sound run.
QStringList faults(const SoakSettings& settings, const SoakFigures& figures);
