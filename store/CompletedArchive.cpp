#include "CompletedArchive.h"

#include "ClassStatement.h"

#include <QFile>
#include <QTimeZone>
#include <cerrno>
#include <iconv.h>
#include <sqlite3.h>

namespace CompletedArchive {

QString formatDate(double secondsSince1970)
{
    const QDateTime local = sql::dateFromSeconds(secondsSince1970).toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
        + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        + QStringLiteral("%1%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString archiveText(sqlite3 *database)
{
    QString text;
    Query query(database,
                "SELECT action, category, startDate, endDate, notes, importance FROM item where "
                "completed=1 order by endDate",
                "AppController::archiveCompletedTasks");
    sqlite3_stmt *row = query.statement();
    while (query.next()) {
        text += sql::columnText(row, 0) + QLatin1Char(',') + sql::columnText(row, 1)
            + QLatin1Char(',') + formatDate(sqlite3_column_double(row, 2)) + QLatin1Char(',')
            + formatDate(sqlite3_column_double(row, 3)) + QLatin1Char(',')
            + sql::columnText(row, 4) + QLatin1Char(',') + sql::columnText(row, 5)
            + QLatin1Char('\n');
    }
    return text;
}

std::optional<QByteArray> toMacRoman(const QString &text)
{
    iconv_t converter = iconv_open("MACINTOSH", "UTF-8");
    if (converter == iconv_t(-1))
        return std::nullopt;
    QByteArray input = text.toUtf8();
    // Mac OS Roman never needs more bytes than UTF-8 for the same text.
    QByteArray output(input.size() + 1, '\0');
    char *in = input.data();
    char *out = output.data();
    size_t inLeft = size_t(input.size());
    size_t outLeft = size_t(output.size());
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == size_t(-1) || inLeft != 0)
        return std::nullopt;
    output.truncate(int(output.size() - qsizetype(outLeft)));
    return output;
}

bool appendToFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("The file \"%1\" cannot be written: %2.")
                     .arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = QStringLiteral("The archive could not be written completely to \"%1\": %2.")
                     .arg(path, file.errorString());
        return false;
    }
    return true;
}

void clearCompletedTasks(sqlite3 *database)
{
    const char *where = "AppController::clearCompletedTasks";
    Query query(database, "delete FROM item where completed=1", where);
    sql::stepToDone(query.statement(), database,
                    "Error: failed to delete from database with message '%s'.", where);
}

} // namespace CompletedArchive
