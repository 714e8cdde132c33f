#pragma once

#include "scenarios.h"

#include <QList>
#include <QString>

#include <optional>

// The benchmark's figures as one table: each figure with the window and with --sem-janela where
// it was taken both ways, against its goal where it has one.
class Report {
public:
    void addIntake(const PlainIntakeFigures& plain, const BothWays<IntakeFigures>& figures);
    // `portCpuPerMessage`: the port opened, written and closed for a frame, with nothing else.
    void addDisplay(const BothWays<DisplayFigures>& usual, const BothWays<DisplayFigures>& longer,
                    double portCpuPerMessage);
    void addIdle(const BothWays<IdleFigures>& figures, bool database);
    void addSpoolStart(const BothWays<SpoolStartFigures>& figures);
    void addBacklog(const BothWays<BacklogFigures>& figures);
    void addLogins(const LoginFigures& figures);
    void addStops(const StopFigures& figures);
    void addFailure(const QString& scenario, const QString& failure);

    // Prints the table on standard output.
    void print() const;

private:
    struct Row {
        QString figure;
        QString withWindow;
        QString withoutWindow;
        QString goal;
        QString verdict; // "met", "missed", or empty without a goal
    };
    void add(const QString& figure, const QString& withWindow, const QString& withoutWindow = {},
             const QString& goal = {}, std::optional<bool> met = {});

    QList<Row> m_rows;
};
