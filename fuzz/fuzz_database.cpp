// Any file may sit where the database belongs: a damaged one, a foreign one,
// one another tool has half rewritten. Start-up on it must end either with
// the first view read or with the message that refuses the file, never with
// a fault. This runs what start-up runs, minus the window: open and check the
// file, load the lists by name, take the open tasks of the first list, and
// read and summarise the rows a window would draw first.
#include "Category.h"
#include "DatabaseFile.h"
#include "InternalError.h"
#include "Item.h"
#include "TaskSummary.h"
#include "ViewQuery.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <sqlite3.h>

namespace {

QString path;
// The rows of a first screen, and some beyond.
constexpr qsizetype rowsDrawn = 40;

void startUp(sqlite3 *database)
{
    std::vector<Category> lists;
    for (int key : ViewQuery::categoryKeysByName(database))
        lists.emplace_back(key, database);
    if (lists.empty())
        return;
    const QString firstList = lists.front().name();
    const QList<int> keys = ViewQuery::openTaskKeysOfList(database, firstList);
    for (int key : keys.first(std::min(rowsDrawn, keys.size()))) {
        Item task = Item::deferred(key, database);
        task.action();
        task.hydrate();
        TaskSummary::summaryText(firstList, task, QLocale::c());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    path = (new QTemporaryDir)->path() + QStringLiteral("/wendra.dbz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    sqlite3 *database = nullptr;
    try {
        database = DatabaseFile::open(path);
        startUp(database);
    } catch (const InternalError &) {
        // The refusal start-up shows; what matters is that it came.
    }
    Item::finalizeStatements();
    Category::finalizeStatements();
    sqlite3_close(database);
    return 0;
}
