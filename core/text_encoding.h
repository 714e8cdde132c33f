#pragma once

#include <QByteArray>
#include <QString>

// Files and the serial port carry Windows-1252, one byte per character.

// Reads a file's bytes: UTF-8 or UTF-16 (either byte order) when they start with its byte-order
// mark, UTF-8 when they are valid UTF-8 holding multi-byte sequences, Windows-1252 otherwise.
QString decodeFileText(const QByteArray& bytes);

// Why decodeFileText() cannot make text of `bytes`, or empty: UTF-16 without its byte-order mark
// (a zero in every other byte), or bytes that are mostly not characters (a file of zeros left by a
// crash, a program saved in its place). A stray control character is still text.
QString notText(const QByteArray& bytes);

// CR LF, LF and a lone CR all become CR LF.
QString withCrLfLineEndings(const QString& text);

QString decodeWindows1252(const QByteArray& bytes);

// One byte per character; a character that Windows-1252 cannot hold becomes "?".
QByteArray encodeWindows1252(const QString& text);
