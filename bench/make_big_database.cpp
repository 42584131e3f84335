// Writes a database of many tasks, for measuring start-up by hand:
//   make_big_database ~/.local/share/Wendra/wendra.dbz 100000 [completed tasks]
#include "BenchDatabase.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <file> <number of open tasks> [completed tasks]\n", argv[0]);
        return 2;
    }
    const int completed = argc == 4 ? atoi(argv[3]) : -1;
    return BenchDatabase::create(QString::fromLocal8Bit(argv[1]), atoi(argv[2]), completed) ? 0 : 1;
}
