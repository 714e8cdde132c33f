#pragma once

#include <QRegularExpression>
#include <QString>
#include <QtTest>

// Whether the text is the pattern, each "%T" in it a time of day.
inline bool readsAs(const QString& text, const QString& pattern)
{
    const QString expression =
        QRegularExpression::escape(pattern).replace("\\%T", "\\d\\d:\\d\\d:\\d\\d");
    return QRegularExpression(QStringLiteral("^%1$").arg(expression)).match(text).hasMatch();
}

// Fails showing the whole text when it lacks `part`, does not begin with `start`, or does not read
// as `pattern` (see readsAs): at once, or once waiting for it is over.
#define VERIFY_SAYS(text, part) QVERIFY2((text).contains(part), qPrintable(text))
#define TRY_VERIFY_SAYS(text, part) QTRY_VERIFY2((text).contains(part), qPrintable(text))
#define VERIFY_STARTS(text, start) QVERIFY2((text).startsWith(start), qPrintable(text))
#define TRY_VERIFY_STARTS(text, start) QTRY_VERIFY2((text).startsWith(start), qPrintable(text))
#define VERIFY_READS(text, pattern) QVERIFY2(readsAs(text, pattern), qPrintable(text))
#define TRY_VERIFY_READS(text, pattern) QTRY_VERIFY2(readsAs(text, pattern), qPrintable(text))
