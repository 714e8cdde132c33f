#pragma once

#include <QString>
#include <QStringList>

// What a polling step could not take, for the failure label and the log: the label names the
// first few problems, the log every one, once each time the list changes.
class ProblemReport {
public:
    // The failure label's text for one step's problems; empty when there were none.
    QString describe(const QStringList& problems);

private:
    QStringList m_logged;
};
