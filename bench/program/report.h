#pragma once

#include "scenarios.h"

#include <QList>
#include <QString>

// The benchmark's figures as one table, each against its goal where it has one.
class Report {
public:
    void addIntake(const IntakeFigures& figures);
    void addBacklog(const BacklogFigures& figures);
    void addDisplay(const DisplayFigures& figures);
    void addIdle(const IdleFigures& figures, bool database);
    void addLogins(const LoginFigures& figures);
    void addStops(const StopFigures& figures);
    void addFailure(const QString& scenario, const QString& failure);

    // Prints the table on standard output.
    void print() const;

private:
    struct Row {
        QString figure;
        QString value;
        QString goal;
        QString verdict; // "met", "missed", or empty without a goal
    };
    void add(const QString& figure, const QString& value, const QString& goal = {},
             std::optional<bool> met = {});

    QList<Row> m_rows;
};
