#include "support/display_rig.h"

#include "support/usual_display.h"

#include <QtTest>

DisplayRig::DisplayRig()
{
    settings.setText(Settings::Key::Porta, port.name());
    settings.setText(Settings::Key::Default_Linha1, QStringLiteral("Bem-vindo"));
}

void DisplayRig::expect(const QByteArray& bytes)
{
    QCOMPARE(port.take(), bytes);
}

void DisplayRig::expect(const QByteArray& linha1, const QByteArray& linha2)
{
    expect(usualDisplayMessage(linha1, linha2));
}
