#pragma once

#include "core/settings.h"
#include "support/memory_port.h"
#include "support/usual_display.h"

#include <QByteArray>
#include <QtTest>

// What the tests of the dispatch and of the rotation send through: an in-memory port, and the
// settings of the moment, the usual display's, with "Bem-vindo" as the idle text's first line.
struct DisplayRig {
    MemoryPort port;
    Settings settings;

    DisplayRig()
    {
        settings.setText(Settings::Key::Porta, port.name());
        settings.setText(Settings::Key::Default_Linha1, QStringLiteral("Bem-vindo"));
    }

    // Checks that exactly `bytes` arrived since the last look, and takes them.
    void expect(const QByteArray& bytes) { QCOMPARE(port.take(), bytes); }
    // The same, for one message of the usual display.
    void expect(const QByteArray& linha1, const QByteArray& linha2)
    {
        expect(usualDisplayMessage(linha1, linha2));
    }
};
