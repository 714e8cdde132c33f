#include "support/feeder.h"

#include "core/failure.h"
#include "core/text_encoding.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QFile>

Feeder::Feeder(OdbcFixture& odbc, const QString& dropFolder, MessageLedger& ledger)
    : m_odbc(odbc), m_dropFolder(dropFolder), m_ledger(ledger)
{
}

bool Feeder::feed(MessageLedger::Source source)
{
    const MessageLedger::Message message = m_ledger.next(source);
    const int number = m_ledger.fed(source) + 1;
    if (source == MessageLedger::Source::Database) {
        try {
            m_odbc.insert(OdbcFixture::databaseUser(), writtenAt(number), message.linha1,
                          message.linha2);
        } catch (const Failure&) {
            ++m_refusals;
            return false;
        }
    } else {
        writeDropFile(message, number);
    }
    m_ledger.markFed(source);
    return true;
}

void Feeder::writeDropFile(const MessageLedger::Message& message, int number)
{
    constexpr int lineWidth = 20; // the controller's NumLetras
    const QString name = QStringLiteral("%1-soak-%2")
                             .arg(writtenAt(number).toString(QStringLiteral("yyyyMMddHHmmss")))
                             .arg(number, 8, 10, QChar(u'0'));
    const QDir folder(m_dropFolder);
    const QString partial = folder.filePath(name + QStringLiteral(".tmp"));
    const QByteArray text =
        encodeWindows1252(message.linha1.leftJustified(lineWidth) + message.linha2);
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush())
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(partial, file.errorString()));
    file.close();
    if (!QFile::rename(partial, folder.filePath(name + QStringLiteral(".dsp"))))
        throw Failure(QStringLiteral("Cannot rename %1 to .dsp").arg(partial));
}

int Feeder::waitingInSources()
{
    const int rows =
        m_odbc.rows(QStringLiteral("select count(*) from SaidaDisplay")).first().first().toInt();
    const int files = static_cast<int>(
        QDir(m_dropFolder).entryList({QStringLiteral("*.dsp")}, QDir::Files).size());
    return rows + files;
}
