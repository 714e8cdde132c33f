#include "intake/problem_report.h"

#include "core/log.h"

namespace {

constexpr int problemsShown = 3;

} // namespace

QString ProblemReport::describe(const QStringList& problems)
{
    if (problems.size() > problemsShown && problems != m_logged)
        qCWarning(lcMostrela).noquote() << problems.join(QStringLiteral("; "));
    m_logged = problems;
    QStringList shown = problems.mid(0, problemsShown);
    if (problems.size() > problemsShown)
        shown << QStringLiteral("e mais %1").arg(problems.size() - problemsShown);
    return shown.join(QStringLiteral("; "));
}
