#include "support/controller_rig.h"

#include "support/odbc_fixture.h"

#include <QtTest>

RunningController& ControllerRig::start()
{
    m_running.reset();
    folder.settings().setText(Settings::Key::Porta, display.name());
    folder.writeConfig();
    m_running = std::make_unique<RunningController>(folder.path(), &display);
    return *m_running;
}

void ControllerRig::insert(OdbcFixture& odbc, const QString& linha1, const QString& linha2)
{
    m_dataSys = m_dataSys.addSecs(1);
    odbc.insert(OdbcFixture::databaseUser(), m_dataSys, linha1, linha2);
}

QStringList ControllerRig::dropNumbered(int count, int first)
{
    QStringList lines;
    for (int number = first; number < first + count; ++number) {
        lines.append(numbered(number));
        if (!folder.drop(lines.last() + ".dsp", lines.last().toLatin1()))
            QTest::qFail("cannot leave a drop file", __FILE__, __LINE__);
    }
    return lines;
}
