#pragma once

#include <QByteArray>
#include <QString>

// The drop files the benchmarks leave: every one the same size, each with lines of its own, so
// that no message repeats the one before it (the display skips a repeat).
QByteArray benchDropFileText(int number);
// Its name: the number in 14 digits, which give the order, as a sales program names them.
QString benchDropFileName(int number);

// Writes drop files numbered `first` to `first + count - 1` into `folder`; throws Failure.
void writeBenchDropFiles(const QString& folder, int first, int count);
