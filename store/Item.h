// Item: the record of one task, a thin cache over one row of the table
// "item". A record is made with its key and title; hydrate() loads the other
// fields when a row is drawn or changed, dehydrate() writes them back (when
// something changed) and drops them again, so memory holds full fields only
// for the tasks in use.
//
// dehydrate() writes every column from memory. A record of an existing row
// must therefore be hydrated before it is changed, or the fields it never
// loaded are written as NULL and 0.0.
#pragma once

#include <QDateTime>
#include <QString>

struct sqlite3;

class Item
{
public:
    // Inserts an empty task row; returns its key, or -1 when the insert fails.
    static int insertNewItemIntoDatabase(sqlite3 *database);
    // Inserts an empty task row and returns its record, ready to be filled
    // and written: a row just made needs no hydrate. Callers that must not
    // leave a blank task behind when the write fails run both in one
    // Transaction.
    static Item insertNew(sqlite3 *database);
    // Loads the title at once: "No title" when the row does not exist.
    Item(int primaryKey, sqlite3 *database);
    // A record whose title is read only when first asked for. Views of many
    // thousand rows are built this way: only the rows drawn read their title.
    static Item deferred(int primaryKey, sqlite3 *database);

    // Loads every field unless loaded. A row that is gone gets placeholder
    // fields to draw (exists() is then false); a read that fails raises.
    void hydrate();
    // Drops what was loaded, unwritten changes included, and reads the row
    // again: a command changes the task as it is in the file now, not as it
    // was when its row was drawn.
    void reload();
    // Writes the row when dirty, then drops the loaded fields. A record of a
    // row that is gone writes nothing; one changed without being read first
    // raises rather than write NULL over the fields it never loaded.
    void dehydrate();
    void complete();
    void unComplete();
    void deleteFromDatabase();
    static void finalizeStatements();

    // Whether a due date is one: a task saved without one stores 0.0, which
    // reads back as 1970, so editors and check-off take anything in the first
    // 100 seconds after 1970 as no due date.
    static bool hasDueDate(const QDateTime &endDate)
    {
        return endDate.isValid() && endDate.toMSecsSinceEpoch() >= 100 * 1000;
    }

    int primaryKey() const { return primaryKey_; }
    sqlite3 *database() const { return database_; }
    bool hydrated() const { return hydrated_; }
    bool dirty() const { return dirty_; }
    // False when the last hydrate found no row: the task was deleted.
    bool exists() const { return !gone_; }

    const QString &action() const;
    const QString &category() const { return category_; }
    const QString &notes() const { return notes_; }
    const QString &timer() const { return timer_; }
    const QDateTime &endDate() const { return endDate_; }
    const QDateTime &startDate() const { return startDate_; }
    const QString &running() const { return running_; }
    const QString &importance() const { return importance_; }
    int indexSort() const { return indexSort_; }
    const QString &recCode() const { return recCode_; }
    const QString &oid() const { return oid_; }

    // Setters change nothing when old and new are both absent or equal, and
    // otherwise mark the record dirty. setIndexSort always marks it dirty.
    void setAction(const QString &value);
    void setCategory(const QString &value);
    void setNotes(const QString &value);
    void setTimer(const QString &value);
    void setEndDate(const QDateTime &value);
    void setStartDate(const QDateTime &value);
    void setRunning(const QString &value);
    void setImportance(const QString &value);
    void setIndexSort(int value);
    void setRecCode(const QString &value);
    void setOid(const QString &value);

private:
    struct Deferred
    {
    };
    Item(int primaryKey, sqlite3 *database, Deferred);
    void loadAction() const;

    sqlite3 *database_;
    int primaryKey_;
    mutable QString action_;
    mutable bool actionLoaded_ = false;
    QString category_;
    QString notes_;
    QString timer_;
    QDateTime endDate_;
    QDateTime startDate_;
    QString running_;
    QString importance_;
    int indexSort_ = 0;
    QString recCode_;
    QString oid_;
    bool hydrated_ = false;
    bool dirty_ = false;
    bool gone_ = false;
    bool isNew_ = false;
};
