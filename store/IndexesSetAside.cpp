#include "IndexesSetAside.h"

#include "ClassStatement.h"

#include <sqlite3.h>

namespace {

constexpr qsizetype minimumRows = 256;

// Runs one statement that returns no rows; raises when it fails.
void execute(sqlite3 *database, const QByteArray &sql, const char *where)
{
    Query query(database, sql, where);
    while (query.next()) {
    }
}

// The connection may zero every page it frees (Debian's SQLite does so by
// default), which doubles the cost of dropping an index. Nothing in an index
// set aside is deleted: the rebuild in the same transaction writes the same
// entries again, mostly onto the same pages. So while one lives, only the
// pages kept are cleaned ("fast"); the setting comes back afterwards.
class FastSecureDelete
{
public:
    explicit FastSecureDelete(sqlite3 *database)
        : database_(database)
    {
        Query query(database, "PRAGMA secure_delete", "IndexesSetAside");
        previous_ = query.next() ? sqlite3_column_int(query.statement(), 0) : 1;
        set(fast);
    }
    ~FastSecureDelete() { set(previous_); }
    FastSecureDelete(const FastSecureDelete &) = delete;
    FastSecureDelete &operator=(const FastSecureDelete &) = delete;

private:
    // The pragma reads every number but 0 as on (1): fast goes by its name.
    static constexpr int fast = 2;
    void set(int value)
    {
        const QByteArray pragma = "PRAGMA secure_delete="
            + (value == fast ? QByteArray("FAST") : QByteArray::number(value));
        sqlite3_exec(database_, pragma.constData(), nullptr, nullptr, nullptr);
    }

    sqlite3 *database_;
    int previous_;
};

} // namespace

IndexesSetAside::IndexesSetAside(sqlite3 *database, const QByteArray &column, const char *where)
    : database_(database)
    , where_(where)
{
    {
        Query query(database, "SELECT name, sql FROM sqlite_master WHERE type='index' "
                              "AND tbl_name='item' AND sql IS NOT NULL AND sql LIKE ?1", where);
        const QByteArray pattern = '%' + column + '%';
        sqlite3_bind_text(query.statement(), 1, pattern.constData(), int(pattern.size()),
                          SQLITE_TRANSIENT);
        while (query.next())
            indexes_.append({sql::columnText(query.statement(), 0).toUtf8(),
                             sql::columnText(query.statement(), 1).toUtf8()});
    }
    const FastSecureDelete fast(database);
    for (const auto &[name, definition] : indexes_)
        execute(database, "DROP INDEX \"" + QByteArray(name).replace('"', "\"\"") + '"', where);
}

void IndexesSetAside::restore()
{
    for (const auto &[name, definition] : indexes_)
        execute(database_, definition, where_);
    indexes_.clear();
}

bool IndexesSetAside::pays(qsizetype rows, qsizetype tableRows)
{
    // A few rows never pay for the schema change: every prepared statement
    // is prepared again after it.
    return rows >= minimumRows && rows * 4 > tableRows;
}

bool IndexesSetAside::pays(sqlite3 *database, qsizetype rows, const char *where)
{
    if (rows < minimumRows)
        return false;
    Query query(database, "SELECT count(*) FROM item", where);
    return query.next() && pays(rows, sqlite3_column_int64(query.statement(), 0));
}
