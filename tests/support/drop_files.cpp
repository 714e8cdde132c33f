#include "support/drop_files.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>

namespace {

constexpr int lineWidth = 20; // the controller's NumLetras
constexpr int numberDigits = 8;
constexpr int articleDigits = 13;
constexpr int totalWidth = 10;

} // namespace

QByteArray benchDropFileText(int number)
{
    // Both lines fill the display's width.
    const QString linha1 = QStringLiteral("Artigo %1").arg(number, articleDigits, 10, QChar(u'0'));
    const QString linha2 = QStringLiteral("Total %1 EUR").arg(number * 0.25, totalWidth, 'f', 2);
    return (linha1.leftJustified(lineWidth, u' ', true) +
            linha2.leftJustified(lineWidth, u' ', true))
        .toLatin1();
}

QString benchDropFileName(int number)
{
    return QStringLiteral("%1.dsp").arg(number, numberDigits + 6, 10, QChar(u'0'));
}

void writeBenchDropFiles(const QString& folder, int first, int count)
{
    const QDir directory(folder);
    for (int number = first; number < first + count; ++number) {
        QFile file(directory.filePath(benchDropFileName(number)));
        const QByteArray text = benchDropFileText(number);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            throw Failure(
                QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
}
