#include "TaskRows.h"

#include <algorithm>
#include <utility>

TaskRows::TaskRows(int capacity)
    : capacity_(size_t(std::max(capacity, 2)))
{
}

void TaskRows::setKeys(QList<int> keys, sqlite3 *database)
{
    keys_ = std::move(keys);
    database_ = database;
    forgetRecords();
}

Item *TaskRows::record(int row)
{
    if (!contains(row))
        return nullptr;
    const int key = keys_.at(row);
    if (const auto found = byKey_.find(key); found != byKey_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second);
        return &recent_.front();
    }
    if (recent_.size() >= capacity_) {
        byKey_.erase(recent_.back().primaryKey());
        recent_.pop_back();
    }
    recent_.push_front(Item::deferred(key, database_));
    byKey_.emplace(key, recent_.begin());
    return &recent_.front();
}

void TaskRows::forgetRecords()
{
    byKey_.clear();
    recent_.clear();
}

void TaskRows::move(int source, int target)
{
    keys_.move(source, target);
}

void TaskRows::remove(int row)
{
    if (const auto found = byKey_.find(keys_.at(row)); found != byKey_.end()) {
        recent_.erase(found->second);
        byKey_.erase(found);
    }
    keys_.removeAt(row);
}
