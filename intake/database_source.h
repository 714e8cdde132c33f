#pragma once

#include "core/queued_message.h"
#include "intake/abrir_ligacao.h"
#include "intake/database_connection.h"
#include "intake/user_lock.h"

#include <QList>
#include <QStringList>
#include <optional>

struct SourceSettings;

// The database as a message source, over one connection kept from one use to the next: this
// controller's rows of SaidaDisplay (those whose Utilizador is the SQL user), oldest DataSys
// first, each deleted once its message is safe. A statement that fails because the connection is
// lost closes it, and the next connect() opens a new one.
class DatabaseSource {
public:
    // `applicationName` names this controller's sessions on the server; empty for none.
    explicit DatabaseSource(const QString& applicationName = QString());

    // Makes sure a connection with the SQL settings is open: the kept one when it is still open
    // on the same server and database, as the same user with the same password, a new one
    // otherwise. Returns whether one is open; when not, `failure` says why (it stays empty for
    // a blank server, which is not tried). A new connection waits only a short while for a
    // row's lock; when that cannot be set, it is closed and Failure thrown.
    bool connect(const SourceSettings& settings, std::optional<ConnectionFailure>& failure);
    // Closes the connection, letting the SQL user's lock go with it; connect() opens a new one.
    void disconnect() { m_connection.close(); }
    // False once a statement found the connection lost.
    bool isConnected() const { return m_connection.isOpen(); }

    // Makes sure this controller holds the server's lock for the SQL user before it touches
    // the user's rows: nothing while it does (or the server has no such lock), otherwise who
    // holds it. Throws Failure.
    std::optional<QString> holdUserLock(const SourceSettings& settings);

    // The message of every waiting row of the SQL user, read to the end, each with its row
    // number and the user as its origin. Throws Failure.
    QList<QueuedMessage> waitingRows(const SourceSettings& settings);

    // How many rows of the SQL user are waiting, taking none. Throws Failure.
    qint64 waitingCount(const SourceSettings& settings);

    // Deletes one row; false, with the reason in `problems`, when the delete failed (another
    // transaction holding the row among the reasons) or the row is still there after it. A delete
    // that reports no count, or none deleted, has still done its work when the row is gone (a
    // server set not to count, a view whose trigger deletes).
    bool deleteRow(qint64 numRegisto, QStringList& problems);

private:
    struct Login {
        QString server;
        QString database;
        QString user;
        QString password;
        bool operator==(const Login&) const = default;
    };

    // Runs statements; a failure that left the connection lost closes it, then goes on up.
    template <typename Statements> auto closingIfLost(const Statements& statements);
    bool rowExists(qint64 numRegisto);

    DatabaseConnection m_connection;
    Login m_login;
    UserLock m_userLock;
};
