#include "app/setup_checks.h"

#include "core/setting_checks.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"
#include "intake/connection_test.h"

QString widthRuler(const LineWidth& width)
{
    constexpr qint16 digits = 10;
    const qint16 letters = width.letters.value_or(digits);
    QString ruler;
    ruler.reserve(letters);
    for (qint16 column = 1; column <= letters; ++column)
        ruler.append(QChar(u'0' + column % digits));
    return ruler;
}

QString displayTestRefusal(const Settings& settings)
{
    QStringList refusals;
    for (const Settings::Key key : Settings::keysOnPage(SettingPage::display)) {
        if (settingDefinition(key).test != SettingTest::display)
            continue;
        const QString problem = settingProblem(key, settings.text(key));
        if (!problem.isEmpty())
            refusals << Settings::caption(key) + QStringLiteral(": ") + problem;
    }
    return refusals.isEmpty() ? QString() : QStringLiteral("Não enviado: ") + refusals.join(u' ');
}

QString displayTestText(const DisplayOutcome& outcome, const QString& time)
{
    if (!outcome.reached)
        return QStringLiteral("Não enviado: ") + outcome.failure;
    const QString sent = QStringLiteral("Enviado às ") + time;
    return outcome.failure.isEmpty() ? sent : sent + QStringLiteral(" (%1)").arg(outcome.failure);
}

QString connectionTestText(const ConnectionTest& result)
{
    if (result.failure)
        return QStringLiteral("Falha na ligação: %1 %2")
            .arg(result.failure->number.isEmpty() ? QStringLiteral("0") : result.failure->number,
                 result.failure->description);
    if (!result.countFailure.isEmpty())
        return QStringLiteral("Ligação bem sucedida, mas SaidaDisplay não pôde ser lida: ") +
               result.countFailure;
    return result.waiting == 1
               ? QStringLiteral("Ligação bem sucedida: 1 mensagem à espera")
               : QStringLiteral("Ligação bem sucedida: %1 mensagens à espera").arg(result.waiting);
}

bool connectionTestPassed(const ConnectionTest& result)
{
    return !result.failure && result.countFailure.isEmpty();
}
