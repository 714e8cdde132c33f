#pragma once

#include "support/message_ledger.h"

#include <QDateTime>
#include <QString>

class OdbcFixture;

// Leaves messages where a sales program would: rows of SaidaDisplay for the controller's
// database user through the ODBC data source, and drop files written under a temporary name and
// renamed to ".dsp" once whole. Each message fed is entered in the ledger.
class Feeder {
public:
    Feeder(OdbcFixture& odbc, const QString& dropFolder, MessageLedger& ledger);

    // Leaves the next message of `source` there; false when a database busy beyond its time-out
    // refused it, to be offered again next time. Throws Failure when a drop file cannot be written.
    bool feed(MessageLedger::Source source);

    // Messages still in their sources: rows left in the table and drop files left in the folder.
    int waitingInSources();

    // Inserts the database refused.
    int refusals() const { return m_refusals; }

private:
    void writeDropFile(const MessageLedger::Message& message, int number);
    // The moment a message was "written": one second apart, so that ordering by DataSys or by
    // file name is the order of feeding.
    QDateTime writtenAt(int number) const { return m_start.addSecs(number); }

    OdbcFixture& m_odbc;
    QString m_dropFolder;
    MessageLedger& m_ledger;
    const QDateTime m_start = QDateTime::currentDateTime();
    int m_refusals = 0;
};
