// Rec codes come from the file and from other programs: any text must load
// into the recurrence editor, come back out of it, and give a next due date
// without a fault or work without end. The clock is part of the input, kept
// within a few centuries, and so are the due date and its time zone.
#include "RecOptions.h"
#include "Recurrence.h"

#include <QTimeZone>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

class Bytes
{
public:
    Bytes(const uint8_t *data, size_t size)
        : data_(data), size_(size)
    {
    }
    template <class T> T take()
    {
        T value{};
        const size_t n = std::min(sizeof(T), size_);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    QString rest() const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(data_), qsizetype(size_));
    }

private:
    const uint8_t *data_;
    size_t size_;
};

constexpr qint64 msPerYear = 31'556'952'000;

// A moment within `years` of 2000 in one of the four kinds of time
// representation; the zones are those with odd daylight-saving rules.
QDateTime moment(Bytes &in, qint64 years)
{
    const auto raw = in.take<int64_t>();
    const qint64 span = 2 * years * msPerYear;
    const qint64 ms = 946'684'800'000 + (raw % span + span) % span - years * msPerYear;
    static const QTimeZone zones[] = {
        QTimeZone("Europe/Berlin"), QTimeZone("Australia/Lord_Howe"),
        QTimeZone("America/Sao_Paulo"), QTimeZone("Pacific/Apia")};
    const auto kind = in.take<uint8_t>();
    switch (kind % 4) {
    case 0:
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
    case 1:
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    case 2:
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, (kind / 4 - 32) * 900);
    default:
        return QDateTime::fromMSecsSinceEpoch(ms, zones[(kind / 4) % 4]);
    }
}

// A broken promise is a fault like a crash: say which, and stop.
#define require(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "failed: %s\n", #condition), std::abort()))

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Local time with daylight saving, whatever the machine's zone.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Bytes in(data, size);
    const QDateTime now = moment(in, 150);
    const QDateTime due = moment(in, 3000);
    const QString code = in.rest();

    // A code the editor understands comes back out of it in one normal form,
    // and that form is a fixed point of loading and building.
    RecOptions loaded;
    loaded.setRecOptions(code);
    const QString built = loaded.createRecCode();
    RecOptions reloaded;
    reloaded.setRecOptions(built);
    const QString kind = code.section(QLatin1Char(':'), 0, 0);
    if (QStringList{"D", "E", "W", "M", "N"}.contains(kind))
        require(reloaded.createRecCode() == built);

    // The result is always a date, in the representation of the one given.
    for (const QDateTime &next : {Recurrence().getNextDueDate(due, code, now),
                                  Recurrence::rollForward(due, code, now)}) {
        require(next.isValid());
        require(next.timeSpec() == due.timeSpec());
    }
    Recurrence::integerValue(code);
    return 0;
}
