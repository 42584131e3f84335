// Build-time tool: creates the template database from schema.sql.
// Usage: make_template <schema.sql> <output.dbz>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sqlite3.h>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s schema.sql output.dbz\n", argv[0]);
        return 2;
    }
    std::ifstream schemaFile(argv[1]);
    if (!schemaFile) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << schemaFile.rdbuf();
    std::remove(argv[2]);

    sqlite3 *database = nullptr;
    char *error = nullptr;
    int result = sqlite3_open(argv[2], &database);
    if (result == SQLITE_OK)
        result = sqlite3_exec(database, schema.str().c_str(), nullptr, nullptr, &error);
    if (result != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error ? error : sqlite3_errmsg(database));
        sqlite3_free(error);
        sqlite3_close(database);
        std::remove(argv[2]);
        return 1;
    }
    sqlite3_close(database);
    return 0;
}
