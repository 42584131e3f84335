// Writes a database of many tasks, for measuring start-up by hand:
//   make_big_database ~/.local/share/Wendra/wendra.dbz 100000
#include "BenchDatabase.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file> <number of open tasks>\n", argv[0]);
        return 2;
    }
    return BenchDatabase::create(QString::fromLocal8Bit(argv[1]), atoi(argv[2])) ? 0 : 1;
}
