#include "support/drop_files.h"

#include "core/failure.h"

#include <QFile>

QByteArray benchDropFileText(int number)
{
    // Each line is as wide as the controller's NumLetras, 20.
    const QString linha1 = QStringLiteral("Artigo %1").arg(number, 13, 10, QChar(u'0'));
    const QString linha2 = QStringLiteral("Total %1 EUR").arg(number * 0.25, 10, 'f', 2);
    return (linha1 + linha2).toLatin1();
}

QString benchDropFileName(int number)
{
    return QStringLiteral("%1.dsp").arg(number, 14, 10, QChar(u'0'));
}

void writeBenchDropFiles(const QString& folder, int first, int count)
{
    for (int number = first; number < first + count; ++number) {
        QFile file(folder + u'/' + benchDropFileName(number));
        const QByteArray text = benchDropFileText(number);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            throw Failure(
                QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
}
