// The rows of the view on screen: the keys of its tasks in order, and the
// records of the rows drawn lately. A view of a hundred thousand tasks costs
// its keys; only the rows drawn recently hold a record, and when the cache is
// full the row drawn longest ago gives up its record and reads it again when
// it is next drawn.
//
// A view may also be read in part: its first rows at once, so that the
// window shows them without waiting for a long list, and the rest right
// after. Whatever needs the whole view (its size, its keys, a move, a
// removal) reads the rest first, so no command acts on half a view.
#pragma once

#include "Item.h"

#include <QList>
#include <functional>
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
    // The first rows of a view; readView reads the whole of it, the same
    // statement without a limit, when the rest is needed.
    void setFirstKeys(QList<int> first, sqlite3 *database, std::function<QList<int>()> readView);
    // Reads the rest of a view read in part; nothing when it is whole. When
    // the whole view no longer begins with the rows read first (the file
    // changed in between), the whole view replaces them. Raises what the
    // view query raises, and the rest then stays to be read.
    void readRest();
    // Told of the rest as it arrives: rows first to last join at the end
    // (first is -1 when every row is replaced) while change runs.
    using Arrival = std::function<void(int first, int last, const std::function<void()> &change)>;
    void setArrival(Arrival arrival) { arrival_ = std::move(arrival); }

    // The whole view: these read the rest first.
    const QList<int> &keys();
    int size();
    bool contains(int row) { return row >= 0 && row < size(); }
    int key(int row) const { return keys_.at(row); }
    // The rows read so far, which the table shows.
    int shownCount() const { return int(keys_.size()); }
    // The record that draws a row read so far: the cached one, or a new one
    // not yet read. Null outside them. Valid until capacity more rows are
    // asked for.
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
    std::function<QList<int>()> readView_;
    Arrival arrival_;
    sqlite3 *database_ = nullptr;
    size_t capacity_;
    // Most recently drawn first; byKey_ finds a task's record in it.
    std::list<Item> recent_;
    std::unordered_map<int, std::list<Item>::iterator> byKey_;
};
