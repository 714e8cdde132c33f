#pragma once

#include <QString>

// A log kept in a file of bounded size, for a program whose standard error nobody keeps: when the
// next line would take the file past its bound, it becomes the older file (replacing the one
// before) and a new one starts, so the two hold the latest lines in at most twice the bound.
// Each line is appended with the file opened and closed again: a program killed loses no line
// written, and another controller refused on the same folder adds its own.
class LogFile {
public:
    LogFile(const QString& path, qint64 boundBytes);

    // The older file beside `path`: "Mostrela.log" has "Mostrela-anterior.log".
    static QString olderPath(const QString& path);

    // Appends the line and a line end (CR LF on Windows), in UTF-8. Returns false when the file
    // cannot be written.
    bool append(const QString& line) const;

private:
    QString m_path;
    qint64 m_boundBytes;
};
