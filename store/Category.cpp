#include "Category.h"

#include "ClassStatement.h"
#include "InternalError.h"
#include "RecordField.h"

#include <sqlite3.h>

namespace {
ClassStatement insert_statement("INSERT INTO category (name) VALUES('')");
ClassStatement init_statement("SELECT name FROM category WHERE pk=?");
ClassStatement hydrate_statement("SELECT name, parent FROM category WHERE pk=?");
ClassStatement dehydrate_statement("UPDATE category SET name=?, parent=? WHERE pk=?");
ClassStatement delete_statement("DELETE FROM category WHERE pk=?");
} // namespace

int Category::insertNewCategoryIntoDatabase(sqlite3 *database)
{
    return sql::insertRow(insert_statement, database, "Category::insertNewCategoryIntoDatabase");
}

Category::Category(int primaryKey, sqlite3 *database)
    : database_(database)
    , primaryKey_(primaryKey)
{
    sqlite3_stmt *statement = init_statement.get(database_, "Category::initWithPrimaryKey");
    StatementReset reset(statement);
    sqlite3_bind_int(statement, 1, primaryKey_);
    name_ = sql::stepRow(statement, database_, "Category::initWithPrimaryKey")
        ? sql::columnText(statement, 0)
        : QStringLiteral("None");
}

void Category::hydrate()
{
    if (hydrated_)
        return;
    sqlite3_stmt *statement = hydrate_statement.get(database_, "Category::hydrate");
    StatementReset reset(statement);
    sqlite3_bind_int(statement, 1, primaryKey_);
    gone_ = !sql::stepRow(statement, database_, "Category::hydrate");
    if (!gone_) {
        setName(sql::columnText(statement, 0));
        setParent(sql::columnText(statement, 1));
    } else {
        setName(QStringLiteral("Unknown"));
        setParent(QStringLiteral("Unknown"));
    }
    hydrated_ = true;
}

void Category::dehydrate()
{
    // A list renamed without being read would lose its parent to NULL.
    if (dirty_ && !hydrated_)
        throw InternalError(QStringLiteral("Error: failed to dehydrate with message 'the list "
                                           "was changed without being read first'."),
                            QStringLiteral("Category::dehydrate"));
    if (dirty_ && !gone_) {
        sqlite3_stmt *statement = dehydrate_statement.get(database_, "Category::dehydrate");
        sql::bindText(statement, 1, name_);
        sql::bindText(statement, 2, parent_);
        sqlite3_bind_int(statement, 3, primaryKey_);
        sql::stepToDone(statement, database_, "Error: failed to dehydrate with message '%s'.",
                        "Category::dehydrate");
    }
    dirty_ = false;
    name_ = QString();
    hydrated_ = false;
}

void Category::deleteFromDatabase()
{
    sqlite3_stmt *statement = delete_statement.get(database_, "Category::deleteFromDatabase");
    sqlite3_bind_int(statement, 1, primaryKey_);
    sql::stepToDone(statement, database_,
                    "Error: failed to delete from database with message '%s'.",
                    "Category::deleteFromDatabase");
}

void Category::finalizeStatements()
{
    for (ClassStatement *statement : {&insert_statement, &init_statement, &hydrate_statement,
                                      &dehydrate_statement, &delete_statement})
        statement->finalize();
}

void Category::setName(const QString &value) { record::assign(name_, value, dirty_); }
void Category::setParent(const QString &value) { record::assign(parent_, value, dirty_); }
