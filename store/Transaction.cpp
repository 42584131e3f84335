#include "Transaction.h"

#include "ClassStatement.h"
#include "InternalError.h"

#include <sqlite3.h>

Transaction::Transaction(sqlite3 *database)
    : database_(database)
{
    if (sqlite3_get_autocommit(database_) == 0)
        return;
    if (sqlite3_exec(database_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw InternalError(sql::describe("Error: failed to begin a transaction with message '%s'.",
                                          database_),
                            QStringLiteral("Transaction"));
    open_ = true;
}

Transaction::~Transaction()
{
    if (open_)
        sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (!open_)
        return;
    if (sqlite3_exec(database_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw InternalError(sql::describe("Error: failed to commit with message '%s'.", database_),
                            QStringLiteral("Transaction"));
    open_ = false;
}
