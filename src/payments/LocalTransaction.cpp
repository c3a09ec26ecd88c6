#include "payments/LocalTransaction.h"

#include "data/AdoConnection.h"
#include "data/DatabaseErrors.h"

#include <QSqlDatabase>
#include <QSqlError>

LocalTransaction::LocalTransaction(AdoConnection& connection)
    : m_connection(connection)
{
    if (!m_connection.Connected())
        m_connection.SetConnected(true);
    QSqlDatabase db = m_connection.database();
    if (!db.transaction())
        throw DatabaseErrorFrom(db.lastError(), QStringLiteral("Impossible de commencer une transaction"));
    m_open = true;
}

LocalTransaction::~LocalTransaction()
{
    if (m_open)
        m_connection.database().rollback();
}

void LocalTransaction::Commit()
{
    QSqlDatabase db = m_connection.database();
    if (!db.commit())
        throw DatabaseErrorFrom(db.lastError(), QStringLiteral("Impossible de valider la transaction"));
    m_open = false;
}
