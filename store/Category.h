// Category: the record of one list, one row of the table "category". Tasks
// belong to a list by its name, so renaming a list is a change of this row
// only; its tasks keep the old name in item.category.
#pragma once

#include <QString>

struct sqlite3;

class Category
{
public:
    // Inserts a list row with the empty name; returns its key, or -1.
    static int insertNewCategoryIntoDatabase(sqlite3 *database);
    // Loads the name at once: "None" when the row does not exist.
    Category(int primaryKey, sqlite3 *database);

    // Loads name and parent unless loaded; a row that is gone gets
    // "Unknown" for both, which dehydrate never writes.
    void hydrate();
    // Writes the row when dirty, then drops the name. A list changed
    // without being read first raises instead of writing NULL over parent.
    void dehydrate();
    void deleteFromDatabase();
    static void finalizeStatements();

    int primaryKey() const { return primaryKey_; }
    bool hydrated() const { return hydrated_; }
    bool dirty() const { return dirty_; }

    const QString &name() const { return name_; }
    const QString &parent() const { return parent_; }
    void setName(const QString &value);
    void setParent(const QString &value);

private:
    sqlite3 *database_;
    int primaryKey_;
    QString name_;
    QString parent_;
    bool hydrated_ = false;
    bool dirty_ = false;
    bool gone_ = false;
};
