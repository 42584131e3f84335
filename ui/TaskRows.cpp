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
    readView_ = nullptr;
    forgetRecords();
}

void TaskRows::setFirstKeys(QList<int> first, sqlite3 *database,
                            std::function<QList<int>()> readView)
{
    setKeys(std::move(first), database);
    readView_ = std::move(readView);
}

void TaskRows::readRest()
{
    if (!readView_)
        return;
    QList<int> whole = readView_();
    readView_ = nullptr;
    const bool sameStart = whole.size() >= keys_.size()
        && std::equal(keys_.begin(), keys_.end(), whole.begin());
    const int first = sameStart ? int(keys_.size()) : -1;
    const auto change = [&] {
        if (!sameStart)
            forgetRecords();
        keys_ = std::move(whole);
    };
    if (arrival_)
        arrival_(first, int(whole.size()) - 1, change);
    else
        change();
}

const QList<int> &TaskRows::keys()
{
    readRest();
    return keys_;
}

int TaskRows::size()
{
    readRest();
    return int(keys_.size());
}

Item *TaskRows::record(int row)
{
    if (row < 0 || row >= keys_.size())
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
    readRest();
    keys_.move(source, target);
}

void TaskRows::remove(int row)
{
    readRest();
    if (const auto found = byKey_.find(keys_.at(row)); found != byKey_.end()) {
        recent_.erase(found->second);
        byKey_.erase(found);
    }
    keys_.removeAt(row);
}
