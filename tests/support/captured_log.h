#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

// What this process logs while the object lives (from any thread), kept for the test to count
// as well as passed on.
class CapturedLog {
public:
    CapturedLog();
    ~CapturedLog();
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // How many lines hold `text`.
    int count(const QString& text) const;
    QString lines() const;

private:
    static void keep(QtMsgType type, const QMessageLogContext& context, const QString& message);

    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_former = nullptr;
};
