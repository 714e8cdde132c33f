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

// The window over a temporary folder, as the program builds it beside its Mostrela.cfg: shown,
// not loaded, so that each test loads it as it needs; driven as a person would, by clicks and
// keystrokes on its controls, which it finds by their names. Its display is a port in memory.
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
    // Clicks each control in turn near its left edge, where a check or option button has its
    // indicator.
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
