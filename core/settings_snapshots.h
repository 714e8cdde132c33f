#pragma once

#include "core/code_page.h"
#include "core/line_settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

class Settings;

// Plain values read from the settings in one place, one per consumer, taken afresh on each tick:
// each number has exactly one reading rule, and a snapshot can cross to another thread.

// NumLetras, read by its leading number as Mostrela.cfg's numbers are ("20 letras" is 20),
// rounded half to even, within the bounds that the window's check keeps (settings_table.h): the
// display is never sent a width that the window marks as out of bounds.
struct LineWidth {
    QString text;                  // as typed
    std::optional<qint16> letters; // empty without a leading number, or out of bounds

    static LineWidth read(const QString& text);

    // Why the width cannot be used, naming the text; empty when it can.
    QString problem() const;
    // The width; throws Failure with the problem when it cannot be used.
    qint16 value() const;
};

// A setting read by its one rule: the value, or why its text cannot be used.
template <typename Value> struct SettingReading {
    std::optional<Value> value;
    QString problem; // names the text; empty when the value can be used
};

// What the display needs to show one message.
struct DisplaySettings {
    QString porta;
    LineWidth numLetras;
    SettingReading<LineSettings> portaDefinicoes;
    SettingReading<CodePage> paginaCodigos;
    // The code sequences sent, as the bytes they stand for. InitMostrador is kept in the settings
    // but never sent: each message starts with the clear code.
    QByteArray limpa;
    QByteArray initLinha1;
    QByteArray fimLinha1;
    QByteArray initLinha2;
    QByteArray fimLinha2;
};

// What a polling tick needs to read the two sources.
struct SourceSettings {
    bool ligaSQL = false;
    bool ligaFicheiros = false;
    QString sqlServidor;
    QString sqlUtilizador;
    QString sqlPassword;
    QString sqlBaseDados;
    QString ligaFicheirosPath; // the drop folder
    LineWidth numLetras;
};

// What the rotation needs: how old a message may be, and the idle text for an empty queue.
struct RotationSettings {
    int mostraDefault = 0; // the idle text is shown only when ticked (1)
    QString defaultLinha1;
    QString defaultLinha2;
    // SegundosValidade in milliseconds: a message taken longer ago is dropped, not shown. 0 sets
    // no limit, as does a text without a leading number above 0.
    qint64 validityMs = 0;
};

DisplaySettings displaySettings(const Settings& settings);
SourceSettings sourceSettings(const Settings& settings);
RotationSettings rotationSettings(const Settings& settings);
