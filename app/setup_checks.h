#pragma once

#include <QString>

struct ConnectionTest;
struct DisplayOutcome;
struct LineWidth;
class Settings;

// The texts of the window's two checks of a shop's setup: a test message on the display and a
// test connection to the database.

// Digits 1 to 0 over and over, as many as a line holds, so that the display shows where its
// lines end; ten digits when the width cannot be used (the dispatch then says why).
QString widthRuler(const LineWidth& width);

// Why no test message goes out with the display settings as they stand: each setting the test
// sends (settings_table.h) whose value the window marks as unusable, by its caption in the
// window's order, with the reason the window gives; empty when every one can be used.
QString displayTestRefusal(const Settings& settings);

// "Enviado às HH:mm:ss" with the time given, and the failure of a refused port setting when
// there was one; or why the message did not reach the display.
QString displayTestText(const DisplayOutcome& outcome, const QString& time);

// How many messages wait in the database, or the connection's error number and description.
QString connectionTestText(const ConnectionTest& result);
bool connectionTestPassed(const ConnectionTest& result);
