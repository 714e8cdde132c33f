#include "support/open_window.h"
#include "support/test_main.h"

#include <QStyleFactory>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace {

QueuedMessage numbered(int number)
{
    return {QString::number(number), QStringLiteral("Linha %1").arg(number), {}};
}

QList<QueuedMessage> numbered(int first, int last)
{
    QList<QueuedMessage> messages;
    for (int number = first; number <= last; ++number)
        messages << numbered(number);
    return messages;
}

// Each row's texts, as a model gives them.
QStringList rows(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < model.columnCount(); ++column)
            columns << model.data(model.index(row, column)).toString();
        texts << columns.join(u'|');
    }
    return texts;
}

// Each message's texts, as the list is to show them.
QStringList rows(const MessageQueue& queue)
{
    QStringList texts;
    for (int row = 0; row < queue.count(); ++row)
        texts << queue.at(row).ordem + u'|' + queue.at(row).linha1 + u'|' + queue.at(row).linha2;
    return texts;
}

struct RunningPage : OpenWindow {
    QTreeView* list = child<QTreeView>(QStringLiteral("lvwLista"));
    MessageQueue& queue = controller.queue();

    // The list follows the queue alone: no rotation takes its rows, nor writes to a real port.
    RunningPage() { controller.tmrDisplay().setEnabled(false); }

    std::optional<int> listSelection() const
    {
        const QModelIndexList picked = list->selectionModel()->selectedRows();
        return picked.isEmpty() ? std::nullopt : std::optional(picked.first().row());
    }
    bool caughtUp() const
    {
        return rows(*list->model()) == rows(queue) && listSelection() == queue.selectedRow();
    }
    void pick(int row) { list->setCurrentIndex(list->model()->index(row, 0)); }
};

} // namespace

// The list and labels catch up a few times a second, not on every change: after a burst they show
// the queue's rows, selection and last label texts; a row picked meanwhile selects what it shows.
class TestQueueList : public QObject {
    Q_OBJECT
private slots:
    void afterABurst_listHoldsTheQueueInOrderWithItsSelection_labelsTheLastText()
    {
        RunningPage page;
        page.controller.settings().setOption(Settings::Key::LigaFicheiros, true);
        page.queue.appendAll(numbered(1, 10));
        page.queue.takeSelected();
        page.queue.takeSelected();
        const QueuedMessage back = page.queue.takeSelected();
        page.queue.appendAll(numbered(11, 15));
        page.queue.append(numbered(16));
        page.queue.putBack(back);
        page.queue.select(4);
        for (int number = 1; number <= 3; ++number) {
            emit page.controller.messageShown(QStringLiteral("Linha %1").arg(number), QString());
            emit page.controller.sourceRead(QStringLiteral("Ficheiros"), number);
        }
        QTRY_VERIFY(page.caughtUp());
        QCOMPARE(page.list->model()->rowCount(), 14);
        QCOMPARE(page.queue.at(0).linha1, "Linha 3");
        QCOMPARE(page.listSelection(), std::optional<int>(4));
        QVERIFY(page.text(QStringLiteral("lblUltimaMensagem")).startsWith(u"Último: Linha 3 | "));
        QVERIFY(page.text(QStringLiteral("lblLeituraFicheiros")).endsWith(u", 3 mensagens"));

        // Emptied, then given one message: that one, selected.
        while (page.queue.count() > 0)
            page.queue.takeSelected();
        page.queue.append(numbered(17));
        QTRY_VERIFY(page.caughtUp());
        QCOMPARE(rows(*page.list->model()), QStringList{"17|Linha 17|"});
    }

    void windowShownAgain_showsAtOnceWhatCameWhileHidden()
    {
        RunningPage page;
        page.queue.appendAll(numbered(1, 5));
        QTRY_VERIFY(page.caughtUp());

        page.menu.hide();
        // More changes than the list keeps a record of: it is built again from the queue.
        for (int number = 6; number <= 200; ++number) {
            page.queue.append(numbered(number));
            if (number % 3 == 0)
                page.queue.takeSelected();
        }
        page.queue.select(7);
        emit page.controller.messageShown(QStringLiteral("Escondida"), QString());
        page.menu.show();
        QVERIFY(page.caughtUp());
        QVERIFY(page.text(QStringLiteral("lblUltimaMensagem")).startsWith(u"Último: Escondida | "));

        // A few changes, replayed one by one.
        page.menu.showMinimized();
        page.queue.takeSelected();
        page.queue.append(numbered(201));
        page.menu.showNormal();
        QVERIFY(page.caughtUp());
    }

    void rowPickedBeforeTheListCaughtUp_isTheMessageItShows()
    {
        RunningPage page;
        page.queue.appendAll(numbered(1, 5));
        QTRY_VERIFY(page.caughtUp());

        // The list still shows 1 to 5 in its rows 0 to 4.
        page.queue.takeSelected();
        page.queue.appendAll(numbered(6, 7));
        page.pick(2);
        QCOMPARE(page.queue.at(*page.queue.selectedRow()).linha1, "Linha 3");
        // A row whose message has gone to the display leaves the queue's choice as it was.
        page.pick(0);
        QCOMPARE(page.queue.at(*page.queue.selectedRow()).linha1, "Linha 3");

        QTRY_VERIFY(page.caughtUp());
        QCOMPARE(page.listSelection(), std::optional<int>(1));
    }

    void cells_lookAsTheStyleDrawsThem_data()
    {
        QTest::addColumn<QString>("style");
        for (const QString& style : QStyleFactory::keys())
            QTest::newRow(qPrintable(style)) << style;
    }

    // Cells drawn from texts laid out once match each style's own drawing pixel for pixel (the
    // Windows style's pale highlight among them), a selected row and a text cut to its column too.
    void cells_lookAsTheStyleDrawsThem()
    {
        QFETCH(QString, style);
        const QString former = QApplication::style()->name();
        const auto restore = qScopeGuard([&] { QApplication::setStyle(former); });
        QVERIFY(QApplication::setStyle(style));
        RunningPage page;
        page.controller.selectPage(Controller::Page::Executando);
        page.queue.appendAll(numbered(1, 6));
        page.queue.append({"7", "Longa", QString(300, u'W')});
        page.queue.select(2);
        QTRY_VERIFY(page.caughtUp());
        QVERIFY(page.list->itemDelegate()->metaObject() != &QStyledItemDelegate::staticMetaObject);
        const QImage drawn = page.list->viewport()->grab().toImage();
        QVERIFY(drawn.width() > 100 && drawn.height() > 100);

        QStyledItemDelegate styles;
        page.list->setItemDelegate(&styles);
        QCOMPARE(page.list->viewport()->grab().toImage(), drawn);
    }

    // Qt's own checks of a model hold however the list catches up: rows fed and taken here and
    // there, the queue drained (one change), and more changes than are kept (the list rebuilt).
    void everyCatchUp_keepsTheRulesOfAModel()
    {
        RunningPage page;
        QAbstractItemModel& model = *page.list->model();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        page.queue.appendAll(numbered(1, 10));
        page.queue.append(numbered(11));
        QTRY_VERIFY(page.caughtUp());

        page.queue.select(3);
        const QueuedMessage back = page.queue.takeSelected();
        page.queue.takeAll(
            [](const QueuedMessage& message) { return message.ordem.toInt() % 3 == 0; });
        page.queue.putBack(back);
        page.queue.appendAll(numbered(12, 14));
        QTRY_VERIFY(page.caughtUp());
        QCOMPARE(model.data(model.index(0, 1)).toString(), "Linha 4");

        QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);
        while (page.queue.count() > 0)
            page.queue.takeSelected();
        QTRY_COMPARE(model.rowCount(), 0);
        QCOMPARE(removals.count(), 1);

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        for (int number = 15; number <= 100; ++number) {
            page.queue.append(numbered(number));
            if (number % 2 == 0)
                page.queue.takeSelected();
        }
        page.queue.select(5);
        QTRY_VERIFY(page.caughtUp());
        QCOMPARE(resets.count(), 1);
    }
};

MOSTRELA_TEST_MAIN(TestQueueList)
#include "test_queue_list.moc"
