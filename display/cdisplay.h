#pragma once

#include "core/code_page.h"
#include "core/line_settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

class DisplayPort;

// Drives a two-line customer display. From the display's control bytes it builds a frame, the
// bytes of one message (the clear code, then each line between its codes); writeFrame() sends
// them through the port that it is lent in one open, one write and one close, so the
// display never gets part of a frame from a write that was not tried whole. One object serves
// one message.
class cDisplay {
public:
    void ctrlInterface(DisplayPort* port) { m_ctrlInterface = port; }

    // The port and its line settings; the port is not opened here. A port that cannot be set is
    // skipped and the settings are still applied.
    void SetPortaComm(const QString& porta, const LineSettings& lineSettings);

    // Adds the initialise code to the frame.
    void InitDisplay();
    // Adds the clear code to the frame.
    void CLSDisplay();
    // Adds a line to the frame: the text is folded (when the code page folds), its control
    // characters become blanks, it is trimmed of spaces and fitted to the code page; the caller's
    // variable receives the text as the display shows it. Alignment 0 leaves it as it is, 1
    // puts it against the right end of the line width and any other value centres it (half the
    // room before it, a half rounded to even), with spaces before it only; a text as long as the
    // width or longer is neither padded nor cut. The line then goes between its start and end
    // bytes: line number 1 uses line 1's, any other number line 2's.
    void Linha(QString& text, qint32 alinhamento, qint16 lineNumber);
    // Adds bytes to the frame as they are given.
    void SendCommand(const QByteArray& bytes) { m_frame += bytes; }

    // The bytes built so far.
    const QByteArray& frame() const { return m_frame; }
    // Open, write the whole frame, close; a step that fails is skipped and the next one runs.
    // Returns whether the frame left for the device whole; the frame is emptied either way.
    bool writeFrame();

    void ConfigCLSChar(const QByteArray& bytes) { m_clearCodes = bytes; }
    void ConfigInitDisplayChar(const QByteArray& bytes) { m_initCodes = bytes; }
    void ConfigLinha1IniChar(const QByteArray& bytes) { m_linha1Start = bytes; }
    void ConfigLinha2IniChar(const QByteArray& bytes) { m_linha2Start = bytes; }
    void ConfigLinha1FimChar(const QByteArray& bytes) { m_linha1End = bytes; }
    void ConfigLinha2FimChar(const QByteArray& bytes) { m_linha2End = bytes; }
    void ConfigPaginaCodigos(const CodePage& page) { m_codePage = page; }
    // The line width that alignments 1 and 2 pad to; 0 pads nothing.
    void ConfigSetComprimentoLinha(qint16 width) { m_comprimentoLinha = width; }

    // The description of the first step that an operation skipped, empty while none has.
    QString skippedFailure() const { return m_skippedFailure; }

private:
    static QString RetiraAcentos(QString& text);
    DisplayPort& port() const;
    void skipOnFailure(const std::function<void()>& step);
    static void blankControlCharacters(QString& text);
    QString aligned(const QString& text, qint32 alinhamento) const;

    qint16 m_comprimentoLinha = 0;
    QByteArray m_linha1Start;
    QByteArray m_linha2Start;
    QByteArray m_linha1End;
    QByteArray m_linha2End;
    QByteArray m_clearCodes;
    QByteArray m_initCodes;
    CodePage m_codePage;
    QByteArray m_frame;
    DisplayPort* m_ctrlInterface = nullptr;
    QString m_skippedFailure;
};
