// One transaction around many record writes. A drop in a view of thousands
// of tasks rewrites every shown task's position; one commit instead of one
// per row keeps that quick and makes it all-or-nothing.
#pragma once

struct sqlite3;

class Transaction
{
public:
    // Begins a transaction, unless one is already open on the connection.
    explicit Transaction(sqlite3 *database);
    // Rolls back unless commit() ran (an internal error left the writes half done).
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    sqlite3 *database_;
    bool open_ = false;
};
