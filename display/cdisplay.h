#pragma once

#include "core/code_page.h"
#include "core/line_settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

class SerialPort;

// Drives a two-line customer display through a serial port that it is lent. It holds the
// display's control bytes and builds one message's frame from them (the clear code, then each
// line between its codes), which writeFrame() sends in one open, one write and one close, so the
// display never gets part of a frame from a write that was not tried whole. One object serves
// one message.
class cDisplay {
public:
    void ctrlInterface(SerialPort* port) { m_ctrlInterface = port; }

    // The port and its line settings; the port is not opened here. A port that cannot be set is
    // skipped and the settings are still applied.
    void SetPortaComm(const QString& porta, const LineSettings& lineSettings);

    // Adds the clear code to the frame.
    void CLSDisplay();
    // Adds a line to the frame: the text is folded (when the code page folds), its control
    // characters become blanks, it is trimmed of spaces, fitted to the code page and put between
    // the line's start and end bytes; the caller's variable receives the text as the display
    // shows it. Nothing is ever cut. Line number 1 uses line 1's bytes, any other number line
    // 2's.
    void Linha(QString& text, qint16 lineNumber);
    // Open, write the whole frame, close; a step that fails is skipped and the next one runs.
    // Returns whether the frame left for the device whole; the frame is emptied either way.
    bool writeFrame();

    void ConfigCLSChar(const QByteArray& bytes) { m_clearCodes = bytes; }
    void ConfigLinha1IniChar(const QByteArray& bytes) { m_linha1Start = bytes; }
    void ConfigLinha2IniChar(const QByteArray& bytes) { m_linha2Start = bytes; }
    void ConfigLinha1FimChar(const QByteArray& bytes) { m_linha1End = bytes; }
    void ConfigLinha2FimChar(const QByteArray& bytes) { m_linha2End = bytes; }
    void ConfigPaginaCodigos(const CodePage& page) { m_codePage = page; }

    // The description of the first step that an operation skipped, empty while none has.
    QString skippedFailure() const { return m_skippedFailure; }

private:
    static QString RetiraAcentos(QString& text);
    SerialPort& port() const;
    void skipOnFailure(const std::function<void()>& step);
    static void blankControlCharacters(QString& text);

    QByteArray m_linha1Start;
    QByteArray m_linha2Start;
    QByteArray m_linha1End;
    QByteArray m_linha2End;
    QByteArray m_clearCodes;
    CodePage m_codePage;
    QByteArray m_frame;
    SerialPort* m_ctrlInterface = nullptr;
    QString m_skippedFailure;
};
