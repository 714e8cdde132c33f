#pragma once

#include "common/database_connection.h"

class MessageQueue;
class Settings;
class Status;

// The database step of a polling tick: opens the connection from the SQL settings, then moves
// this controller's rows of SaidaDisplay (those whose Utilizador is the SQL user), oldest
// DataSys first, into the queue. Each row is deleted before it is queued, so a row that cannot be
// deleted stays in the table and is never queued twice.
//
// Returns false when the connection could not be opened (the message was shown then). Throws
// Failure when reading or deleting fails; the rows queued before stay queued.
//
// Glossary: SaidaDisplay = display output; NumRegisto = row number; DataSys = the time the row
// was written; Linha1, Linha2 = display lines; Utilizador = user.
bool takeDatabaseMessages(const Settings& settings, MessageQueue& queue, Status& status,
                          const CriticalMessage& showMessage);
