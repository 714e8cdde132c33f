#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Where a message was taken from, so that a restart can finish its deletion there.
struct MessageOrigin {
    QString dropFile;       // the drop file's name, or empty
    qint64 numRegisto = -1; // the database row's number, or -1
};

// The most characters a message keeps of each of its texts: far above any display's width, and
// low enough that a runaway source (a megabyte in one row or file) costs no more to take, keep
// and show than an ordinary message.
inline constexpr qsizetype longestLine = 1000;

// A message as taken, each text cut to longestLine characters.
struct QueuedMessage {
    QueuedMessage(const QString& ordem = {}, const QString& linha1 = {}, const QString& linha2 = {})
        : ordem(ordem.left(longestLine)), linha1(linha1.left(longestLine)),
          linha2(linha2.left(longestLine))
    {
    }

    QString ordem;  // where the message came from, in time order
    QString linha1; // display line 1
    QString linha2; // display line 2
    MessageOrigin origin;
    quint64 spoolId = 0; // its entry in the spool; 0 for none
    // When the controller took it from its source, in milliseconds since the epoch; 0 unknown.
    qint64 takenAt = 0;
    // When this run took it, in steadyClockMs(); none for a message carried over from an earlier
    // run. Its age within the run, whatever is done to the wall clock meanwhile.
    std::optional<qint64> takenSteady;
};

// Milliseconds on a clock that never goes back nor jumps while the program runs; its start is
// unspecified, so only differences within one run mean anything.
qint64 steadyClockMs();

// The queue of messages waiting for the display, shown by the running page's list (columns
// "Ordem", "Linha - 1", "Linha - 2"), which shares this selection: a row picked by hand is the
// one the rotation takes next. A row appended to an empty queue becomes the selected one.
class MessageQueue : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MessageQueue(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const QueuedMessage& at(int row) const { return m_rows.at(row); }
    void append(const QueuedMessage& message);
    // One insert for a whole batch, so the list lays itself out once.
    void appendAll(const QList<QueuedMessage>& messages);

    QItemSelectionModel* selectionModel() { return &m_selection; }
    std::optional<int> selectedRow() const;
    void select(int row);

    // Removes the selected row and returns it, then selects the top row if any is left.
    // Throws Failure when no row is selected; the queue is then left as it was.
    QueuedMessage takeSelected();
    // Puts a message taken with takeSelected() back at the top and selects it, so it is the
    // next to be taken.
    void putBack(const QueuedMessage& message);
    // Removes every message for which `matches` holds and returns them, in order. A selected row
    // that goes leaves the top row selected.
    QList<QueuedMessage> takeAll(const std::function<bool(const QueuedMessage&)>& matches);

private:
    QList<QueuedMessage> m_rows;
    QItemSelectionModel m_selection;
};
