#include "PrintCommand.h"

#include "Category.h"
#include "DatabaseFile.h"
#include "InternalError.h"
#include "PrintDocument.h"
#include "ViewQuery.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstring>
#include <sqlite3.h>

namespace PrintCommand {
namespace {

const char *const printOption = "--print-pdf";

struct Request
{
    QString pdfPath;
    QString viewName;
};

// Null pdfPath when the arguments are not "--print-pdf FILE [--view NAME]".
Request parse(const QStringList &arguments)
{
    Request request;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
            return {};
        if (arguments[i] == QLatin1String(printOption) && request.pdfPath.isNull())
            request.pdfPath = arguments[i + 1];
        else if (arguments[i] == QLatin1String("--view") && request.viewName.isNull())
            request.viewName = arguments[i + 1];
        else
            return {};
    }
    return request;
}

// Owns the connection for the run; the records' class-wide statements must
// be gone before it can close.
class Connection
{
public:
    explicit Connection(const QString &path)
        : database_(DatabaseFile::open(path))
    {
    }
    ~Connection()
    {
        Item::finalizeStatements();
        Category::finalizeStatements();
        sqlite3_close(database_);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    sqlite3 *get() const { return database_; }

private:
    sqlite3 *database_;
};

// The view to print: the one named, when it exists, else the first list by
// name; null when a name was given that is neither a list nor a view.
QString viewToPrint(const Request &request, const QStringList &lists)
{
    if (request.viewName.isNull())
        return lists.isEmpty() ? QStringLiteral("") : lists.first();
    if (ViewQuery::isBuiltInView(request.viewName) || lists.contains(request.viewName))
        return request.viewName;
    return QString();
}

int print(const Request &request, const Connection &database, QTextStream &errors)
{
    QStringList lists;
    for (int key : ViewQuery::categoryKeysByName(database.get()))
        lists << Category(key, database.get()).name();
    const QString view = viewToPrint(request, lists);
    if (view.isNull()) {
        errors << "Wendra cannot print: there is no list or view named \"" << request.viewName
               << "\".\n";
        return 1;
    }
    const auto [dayStart, dayEnd] = ViewQuery::dayBounds(QDate::currentDate());
    std::vector<Item> tasks;
    for (int key :
        ViewQuery::taskKeys(database.get(), view, ViewQuery::manualSort, dayStart, dayEnd))
        tasks.push_back(Item::deferred(key, database.get()));

    // The printer only says that it failed; opening the file first says why.
    QFile file(request.pdfPath);
    if (!file.open(QIODevice::WriteOnly)) {
        errors << "Wendra cannot write " << request.pdfPath << ": " << file.errorString() << "\n";
        return 1;
    }
    file.close();
    if (!PrintDocument::printToPdf(tasks, int(lists.size()), request.pdfPath)) {
        errors << "Wendra cannot write " << request.pdfPath << ".\n";
        return 1;
    }
    return 0;
}

} // namespace

bool isRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], printOption) == 0)
            return true;
    return false;
}

int main(int argc, char **argv)
{
    // A script may run where there is no display at all.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTextStream errors(stderr);
    return run(application.arguments().mid(1), errors);
}

int run(const QStringList &arguments, QTextStream &errors)
{
    const Request request = parse(arguments);
    if (request.pdfPath.isNull()) {
        errors << "Usage: wendra --print-pdf FILE [--view NAME]\n";
        return 1;
    }
    const QString path = DatabaseFile::pathForDBFile();
    try {
        const Connection database(path);
        return print(request, database, errors);
    } catch (const InternalError &error) {
        errors << "Wendra cannot print: " << error.description() << "\nDatabase file: " << path
               << "\n";
        return 1;
    }
}

} // namespace PrintCommand
