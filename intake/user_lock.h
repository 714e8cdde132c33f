#pragma once

#include "intake/database_connection.h"

#include <QString>
#include <optional>

// One controller per SQL user, as there is one per settings folder: two controllers that read the
// same user's rows would both show each of them, since a delete that finds its row gone counts
// as done. The lock lives on the server, named for the user, and belongs to the session that
// took it, so the server releases it when that session ends, a controller killed midway
// included. SQL Server's application locks and PostgreSQL's advisory locks serve; a server with
// neither (SQLite) has no lock, and each till must then have a SQL user of its own.
class UserLock {
public:
    // Forgets the lock: a new connection is a new session, which holds nothing yet.
    void forget() { m_held = false; }

    // Makes sure this connection's session holds the lock for `user`. Returns nothing while it
    // does (or the server has no such lock); otherwise a description of the controller that holds
    // it, as far as the server tells. Throws Failure.
    std::optional<QString> hold(DatabaseConnection& connection, const QString& user);

private:
    bool m_held = false;
};
