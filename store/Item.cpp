#include "Item.h"

#include "ClassStatement.h"
#include "InternalError.h"
#include "RecordField.h"

#include <sqlite3.h>

namespace {
ClassStatement insert_statement("INSERT INTO item (action) VALUES('')");
ClassStatement init_statement("SELECT action FROM item WHERE pk=?");
ClassStatement hydrate_statement(
    "SELECT category, startDate, endDate, notes, timer, importance, completed, manualSort, "
    "extra1, extra2 FROM item WHERE pk=?");
ClassStatement dehydrate_statement(
    "UPDATE item SET action=?, category=?, notes=?, endDate=?, startDate=?, timer=?, "
    "importance=?, manualSort=?, extra1=?, extra2=? WHERE pk=?");
ClassStatement complete_statement("UPDATE item SET completed=?, startDate=? WHERE pk=?");
ClassStatement uncomplete_statement("UPDATE item SET completed=? WHERE pk=?");
ClassStatement delete_statement("DELETE FROM item WHERE pk=?");

} // namespace

int Item::insertNewItemIntoDatabase(sqlite3 *database)
{
    return sql::insertRow(insert_statement, database, "Item::insertNewItemIntoDatabase");
}

Item Item::insertNew(sqlite3 *database)
{
    Item item(insertNewItemIntoDatabase(database), database, Deferred {});
    item.action_ = QStringLiteral("");
    item.actionLoaded_ = true;
    item.isNew_ = true;
    return item;
}

Item::Item(int primaryKey, sqlite3 *database)
    : Item(primaryKey, database, Deferred {})
{
    loadAction();
}

Item::Item(int primaryKey, sqlite3 *database, Deferred)
    : database_(database)
    , primaryKey_(primaryKey)
{
}

Item Item::deferred(int primaryKey, sqlite3 *database)
{
    return Item(primaryKey, database, Deferred {});
}

void Item::loadAction() const
{
    sqlite3_stmt *statement = init_statement.get(database_, "Item::initWithPrimaryKey");
    StatementReset reset(statement);
    sqlite3_bind_int(statement, 1, primaryKey_);
    action_ = sql::stepRow(statement, database_, "Item::initWithPrimaryKey")
        ? sql::columnText(statement, 0)
        : QStringLiteral("No title");
    actionLoaded_ = true;
}

const QString &Item::action() const
{
    if (!actionLoaded_)
        loadAction();
    return action_;
}

void Item::hydrate()
{
    if (hydrated_)
        return;
    // The title is written back by dehydrate, so a deferred record reads it now.
    if (!actionLoaded_)
        loadAction();
    sqlite3_stmt *statement = hydrate_statement.get(database_, "Item::hydrate");
    StatementReset reset(statement);
    sqlite3_bind_int(statement, 1, primaryKey_);
    gone_ = !sql::stepRow(statement, database_, "Item::hydrate");
    if (!gone_) {
        setCategory(sql::columnText(statement, 0));
        setStartDate(sql::columnDate(statement, 1));
        setEndDate(sql::columnDate(statement, 2));
        setNotes(sql::columnText(statement, 3));
        setTimer(sql::columnText(statement, 4));
        setImportance(sql::columnText(statement, 5));
        setRunning(sql::columnText(statement, 6));
        indexSort_ = sqlite3_column_int(statement, 7);
        setRecCode(sql::columnText(statement, 8, QStringLiteral("None")));
        setOid(sql::columnText(statement, 9));
    } else {
        // The row is gone (deleted by another command or program): the
        // record gets harmless defaults to draw, which dehydrate never writes.
        const QDateTime now = QDateTime::currentDateTime();
        setCategory(QStringLiteral("None"));
        setNotes(QStringLiteral(""));
        setTimer(QStringLiteral(""));
        setImportance(QStringLiteral("1"));
        setRunning(QStringLiteral(""));
        setEndDate(now);
        setStartDate(now);
        setRecCode(QStringLiteral("None"));
        setOid(QStringLiteral(""));
    }
    hydrated_ = true;
}

void Item::reload()
{
    actionLoaded_ = false;
    hydrated_ = false;
    dirty_ = false;
    hydrate();
}

void Item::dehydrate()
{
    // Fields never read would be written as NULL over the row's own.
    if (dirty_ && !hydrated_ && !isNew_)
        throw InternalError(QStringLiteral("Error: failed to dehydrate with message 'the task "
                                           "was changed without being read first'."),
                            QStringLiteral("Item::dehydrate"));
    if (dirty_ && !gone_) {
        sqlite3_stmt *statement = dehydrate_statement.get(database_, "Item::dehydrate");
        sql::bindText(statement, 1, action());
        sql::bindText(statement, 2, category_);
        sql::bindText(statement, 3, notes_);
        sql::bindDate(statement, 4, endDate_);
        sql::bindDate(statement, 5, startDate_);
        sql::bindText(statement, 6, timer_);
        sql::bindText(statement, 7, importance_);
        sqlite3_bind_int(statement, 8, indexSort_);
        sql::bindText(statement, 9, recCode_);
        sql::bindText(statement, 10, oid_);
        sqlite3_bind_int(statement, 11, primaryKey_);
        sql::stepToDone(statement, database_, "Error: failed to dehydrate with message '%s'.",
                   "Item::dehydrate");
    }
    dirty_ = false;
    isNew_ = false;
    category_ = QString();
    notes_ = QString();
    timer_ = QString();
    endDate_ = QDateTime();
    startDate_ = QDateTime();
    importance_ = QString();
    recCode_ = QString();
    oid_ = QString();
    hydrated_ = false;
}

void Item::complete()
{
    sqlite3_stmt *statement = complete_statement.get(database_, "Item::complete");
    sqlite3_bind_int(statement, 1, 1);
    sql::bindDate(statement, 2, QDateTime::currentDateTime());
    sqlite3_bind_int(statement, 3, primaryKey_);
    sql::stepToDone(statement, database_, "Error: failed to complete with message '%s'.",
               "Item::complete");
}

void Item::unComplete()
{
    sqlite3_stmt *statement = uncomplete_statement.get(database_, "Item::unComplete");
    sqlite3_bind_int(statement, 1, 0);
    sqlite3_bind_int(statement, 2, primaryKey_);
    sql::stepToDone(statement, database_, "Error: failed to uncomplete with message '%s'.",
               "Item::unComplete");
}

void Item::deleteFromDatabase()
{
    sqlite3_stmt *statement = delete_statement.get(database_, "Item::deleteFromDatabase");
    sqlite3_bind_int(statement, 1, primaryKey_);
    sql::stepToDone(statement, database_, "Error: failed to delete from database with message '%s'.",
               "Item::deleteFromDatabase");
}

void Item::finalizeStatements()
{
    for (ClassStatement *statement :
         {&insert_statement, &init_statement, &hydrate_statement, &dehydrate_statement,
          &complete_statement, &uncomplete_statement, &delete_statement})
        statement->finalize();
}

void Item::setAction(const QString &value)
{
    actionLoaded_ = true;
    record::assign(action_, value, dirty_);
}
void Item::setCategory(const QString &value) { record::assign(category_, value, dirty_); }
void Item::setNotes(const QString &value) { record::assign(notes_, value, dirty_); }
void Item::setTimer(const QString &value) { record::assign(timer_, value, dirty_); }
void Item::setEndDate(const QDateTime &value) { record::assign(endDate_, value, dirty_); }
void Item::setStartDate(const QDateTime &value) { record::assign(startDate_, value, dirty_); }
void Item::setRunning(const QString &value) { record::assign(running_, value, dirty_); }
void Item::setImportance(const QString &value) { record::assign(importance_, value, dirty_); }
void Item::setRecCode(const QString &value) { record::assign(recCode_, value, dirty_); }
void Item::setOid(const QString &value) { record::assign(oid_, value, dirty_); }

void Item::setIndexSort(int value)
{
    indexSort_ = value;
    dirty_ = true;
}
