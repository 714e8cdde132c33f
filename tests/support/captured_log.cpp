#include "captured_log.h"

namespace {

CapturedLog* current = nullptr;

} // namespace

CapturedLog::CapturedLog()
{
    current = this;
    m_former = qInstallMessageHandler(keep);
}

CapturedLog::~CapturedLog()
{
    qInstallMessageHandler(m_former);
    current = nullptr;
}

void CapturedLog::keep(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        const QMutexLocker lock(&current->m_mutex);
        current->m_lines << message;
    }
    current->m_former(type, context, message);
}

int CapturedLog::count(const QString& text) const
{
    const QMutexLocker lock(&m_mutex);
    return static_cast<int>(
        std::count_if(m_lines.cbegin(), m_lines.cend(),
                      [&](const QString& line) { return line.contains(text); }));
}

QString CapturedLog::lines() const
{
    const QMutexLocker lock(&m_mutex);
    return m_lines.join(u'\n');
}
