#pragma once

#include "support/file_bytes.h"
#include "support/memory_port.h"
#include "support/running_controller.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

// The window as the program builds it over a temporary folder: shown, not loaded (each test loads
// it as it needs), driven by clicks and keys on controls found by name; its display in memory.
struct OpenWindow {
    QTemporaryDir folder;
    MemoryPort display;
    Controller controller{folder.path(), QString(), &display};
    Menu menu{controller};

    OpenWindow() { menu.show(); }

    template <typename Control> Control* child(const QString& name) const
    {
        return ::child<Control>(menu, name);
    }
    QString text(const QString& label) const { return child<QLabel>(label)->text(); }
    QString lblError() const { return text(QStringLiteral("lblError")); }
    // Clicks each control in turn near its left edge, where a check or option button has its mark.
    template <typename... More> void click(const QString& name, const More&... more)
    {
        auto* button = child<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        (click(QString(more)), ...);
    }
    void type(const QString& name, const QString& text)
    {
        auto* edit = child<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    void writeConfig(const QByteArray& bytes) const
    {
        QVERIFY(writeFileBytes(controller.configPath(), bytes));
    }
    QByteArray configBytes() const { return fileBytes(controller.configPath()); }
};
