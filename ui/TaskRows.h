// The rows of the view on screen: the keys of its tasks in order, and the
// records of the rows drawn lately. A view of a hundred thousand tasks costs
// its keys; only the rows drawn recently hold a record, and when the cache is
// full the row drawn longest ago gives up its record and reads it again when
// it is next drawn.
#pragma once

#include "Item.h"

#include <QList>
#include <list>
#include <unordered_map>

class TaskRows
{
public:
    // capacity is the most records kept: a few screens of rows.
    explicit TaskRows(int capacity = 256);

    // The rows of a view just read. Every cached record goes: a row is read
    // again when next drawn, as the file has it now.
    void setKeys(QList<int> keys, sqlite3 *database);
    const QList<int> &keys() const { return keys_; }
    int size() const { return int(keys_.size()); }
    bool contains(int row) const { return row >= 0 && row < keys_.size(); }
    int key(int row) const { return keys_.at(row); }
    // The record that draws row: the cached one, or a new one not yet read.
    // Null outside the rows. Valid until capacity more rows are asked for.
    Item *record(int row);
    int cachedRecords() const { return int(recent_.size()); }
    // Drops every cached record, so that rows are read again when drawn.
    void forgetRecords();

    // The row at source goes to target (its row afterwards); the records
    // stay, as they belong to tasks, not to row numbers.
    void move(int source, int target);
    void remove(int row);

private:
    QList<int> keys_;
    sqlite3 *database_ = nullptr;
    size_t capacity_;
    // Most recently drawn first; byKey_ finds a task's record in it.
    std::list<Item> recent_;
    std::unordered_map<int, std::list<Item>::iterator> byKey_;
};
