#include "app/controller.h"
#include "app/menu.h"
#include "pseudo_terminal.h"
#include "usual_display.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

// The controller and its window, loaded from a Mostrela.cfg that points at a pseudo-terminal.
// The display timer is at 0 there, so a test ticks it itself unless it sets an interval.
struct Rig {
    PseudoTerminal terminal;
    QTemporaryDir folder;
    std::unique_ptr<Controller> controller;
    std::unique_ptr<Menu> menu;

    Rig()
    {
        QFile file(folder.filePath(QStringLiteral("Mostrela.cfg")));
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write Mostrela.cfg");
        file.write("Porta=" + terminal.slavePath().toLocal8Bit() +
                   "\r\nNumLetras=20\r\nLimpa=12\r\nInitLinha1=27+81+65\r\n"
                   "InitLinha2=27+81+66\r\nFimLinha1=13\r\nFimLinha2=13\r\n"
                   "SegundosTimerSQL=0\r\nSegundosTimerDisplay=0\r\nMostraDefault=0\r\n"
                   "Default_Linha1=Bem-vindo\r\nDefault_Linha2=\r\n");
        file.close();
        controller = std::make_unique<Controller>(folder.path());
        menu = std::make_unique<Menu>(*controller);
        menu->load(QString());
        menu->show();
    }

    template <typename T> T* widget(const char* name)
    {
        return menu->findChild<T*>(QString::fromLatin1(name));
    }

    void type(const char* name, const QString& text)
    {
        auto* edit = widget<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    // Ticked by a click, as a person would (on a page that is not in front).
    void showIdleText() { widget<QCheckBox>("chkMostraDefault")->click(); }

    void tick() { emit controller->tmrDisplay().tick(); }
    QString lblError() { return widget<QLabel>("lblError")->text(); }
    MessageQueue& queue() { return controller->queue(); }

    void add(const QString& linha1, const QString& linha2)
    {
        queue().append({QStringLiteral("ordem"), linha1, linha2});
    }

    void expect(const QByteArray& bytes) { QCOMPARE(terminal.take(bytes.size()), bytes); }
};

} // namespace

class TestRotation : public QObject {
    Q_OBJECT
private slots:
    void twoRows_areShownInOrderAndRemoved();
    void rowPickedByHand_goesNextThenTheTop();
    void rowsWithNoneSelected_stayAndTheLabelSaysSo();
    void emptyQueueWithoutIdleText_sendsNothingAndClearsTheLabel();
    void idleText_replacesTheDateTimeKeywordOnlyWhenWhole();
    void idleText_withEmptySecondLine();
    void rotation_runsWhileASettingsPageIsShown();
    void busyDisplay_isReportedAndGetsTheIdleTextBack();
    void missingDisplay_isReportedAndTheMessageWaitsAtTheTop();
};

void TestRotation::twoRows_areShownInOrderAndRemoved()
{
    Rig rig;
    rig.add(QStringLiteral("Primeira"), QStringLiteral("1,00"));
    rig.add(QStringLiteral("Segunda"), QStringLiteral("2,00"));
    rig.tick();
    rig.expect(usualDisplayMessage("Primeira", "1,00"));
    QCOMPARE(rig.queue().count(), 1);
    QCOMPARE(rig.queue().selectedRow(), std::optional<int>(0));
    QCOMPARE(rig.queue().at(0).linha1, QStringLiteral("Segunda"));
    rig.tick();
    rig.expect(usualDisplayMessage("Segunda", "2,00"));
    QCOMPARE(rig.queue().count(), 0);
    QCOMPARE(rig.lblError(), QString());
}

void TestRotation::rowPickedByHand_goesNextThenTheTop()
{
    Rig rig;
    for (int row = 1; row <= 5; ++row)
        rig.add(QStringLiteral("Linha %1").arg(row), QStringLiteral("x"));
    auto* list = rig.widget<QTreeView>("lvwLista");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(rig.queue().index(2, 1)).center());
    QCOMPARE(rig.queue().selectedRow(), std::optional<int>(2));

    rig.tick();
    rig.expect(usualDisplayMessage("Linha 3", "x"));
    QCOMPARE(rig.queue().count(), 4);
    QCOMPARE(rig.queue().selectedRow(), std::optional<int>(0));
    rig.tick();
    rig.expect(usualDisplayMessage("Linha 1", "x"));
}

void TestRotation::rowsWithNoneSelected_stayAndTheLabelSaysSo()
{
    Rig rig;
    rig.add(QStringLiteral("Parada"), QStringLiteral("x"));
    rig.queue().selectionModel()->clear();
    rig.tick();
    QVERIFY(!rig.lblError().isEmpty());
    QCOMPARE(rig.queue().count(), 1);
    rig.queue().select(0);
    rig.tick();
    rig.expect(usualDisplayMessage("Parada", "x"));
    QCOMPARE(rig.lblError(), QString());
}

void TestRotation::emptyQueueWithoutIdleText_sendsNothingAndClearsTheLabel()
{
    Rig rig;
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::PartiallyChecked}) {
        rig.widget<QCheckBox>("chkMostraDefault")->setCheckState(state);
        rig.controller->status().setError(QStringLiteral("falha antiga"),
                                          Status::Handler::Rotation);
        rig.tick();
        QCOMPARE(rig.lblError(), QString());
    }
    rig.add(QStringLiteral("Depois"), QStringLiteral("disso"));
    rig.tick();
    rig.expect(usualDisplayMessage("Depois", "disso")); // and nothing before it
}

void TestRotation::idleText_replacesTheDateTimeKeywordOnlyWhenWhole()
{
    Rig rig;
    rig.controller->rotation().setClock(
        [] { return QDateTime(QDate(2024, 12, 7), QTime(8, 5, 59)); });
    rig.showIdleText();
    rig.type("txtDefault_Linha2", QStringLiteral("#datahora#"));
    rig.tick();
    const QString month = QLocale::system().monthName(12);
    rig.expect(usualDisplayMessage("Bem-vindo", "07 " + month.toLatin1() + "  08:05"));

    rig.type("txtDefault_Linha2", QStringLiteral("Hoje #DataHora#"));
    rig.tick();
    rig.expect(usualDisplayMessage("Bem-vindo", "Hoje #DataHora#"));
}

void TestRotation::idleText_withEmptySecondLine()
{
    Rig rig;
    rig.showIdleText();
    rig.tick();
    rig.expect(usualDisplayMessage("Bem-vindo", ""));
    rig.tick(); // the same idle text again: not sent twice
    rig.add(QStringLiteral("Venda"), QStringLiteral("3,50"));
    rig.tick();
    rig.expect(usualDisplayMessage("Venda", "3,50"));
}

void TestRotation::rotation_runsWhileASettingsPageIsShown()
{
    Rig rig;
    QTest::mouseClick(rig.widget<QToolButton>("optDisplay"), Qt::LeftButton);
    QCOMPARE(rig.controller->page(), Controller::Page::Display);
    QVERIFY(!rig.controller->tmrVerifica().isEnabled());
    rig.add(QStringLiteral("Um"), QStringLiteral("1"));
    rig.add(QStringLiteral("Dois"), QStringLiteral("2"));
    rig.controller->tmrDisplay().setInterval(10);
    QTRY_COMPARE(rig.terminal.received(),
                 usualDisplayMessage("Um", "1") + usualDisplayMessage("Dois", "2"));
    QCOMPARE(rig.queue().count(), 0);
}

void TestRotation::busyDisplay_isReportedAndGetsTheIdleTextBack()
{
    Rig rig;
    rig.showIdleText();
    auto holder = std::make_unique<QSerialPort>(rig.terminal.slavePath());
    QVERIFY(holder->open(QIODevice::WriteOnly));
    rig.tick();
    QVERIFY2(rig.lblError().contains(rig.terminal.slavePath()), qPrintable(rig.lblError()));
    QVERIFY(!rig.controller->mscDisplay().isOpen());

    holder.reset(); // plugged back in
    rig.tick();
    rig.expect(usualDisplayMessage("Bem-vindo", ""));
    QCOMPARE(rig.lblError(), QString());
}

void TestRotation::missingDisplay_isReportedAndTheMessageWaitsAtTheTop()
{
    Rig rig;
    const QString missing = rig.folder.filePath(QStringLiteral("ttyNenhum"));
    rig.type("txtPorta", missing);
    rig.add(QStringLiteral("Primeira"), QStringLiteral("1"));
    rig.add(QStringLiteral("Segunda"), QStringLiteral("2"));
    rig.add(QStringLiteral("Escolhida"), QStringLiteral("3"));
    rig.queue().select(2); // picked by hand
    rig.tick();
    QVERIFY2(rig.lblError().contains(missing), qPrintable(rig.lblError()));
    QVERIFY(!rig.controller->mscDisplay().isOpen());
    QCOMPARE(rig.queue().count(), 3);
    QCOMPARE(rig.queue().selectedRow(), std::optional<int>(0));
    QCOMPARE(rig.queue().at(0).linha1, QStringLiteral("Escolhida"));
    rig.tick(); // still missing: nothing moves
    QCOMPARE(rig.queue().count(), 3);
    QCOMPARE(rig.queue().at(0).linha1, QStringLiteral("Escolhida"));

    rig.type("txtPorta", rig.terminal.slavePath());
    rig.tick();
    rig.tick();
    rig.tick();
    rig.expect(usualDisplayMessage("Escolhida", "3") + usualDisplayMessage("Primeira", "1") +
               usualDisplayMessage("Segunda", "2"));
    QCOMPARE(rig.queue().count(), 0);
    QCOMPARE(rig.lblError(), QString());
}

QTEST_MAIN(TestRotation)
#include "test_rotation.moc"
