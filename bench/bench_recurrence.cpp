// Cost of one next-due-date computation per rule, and of the check-off roll-forward for a
// task a year overdue. Local time, as the check-off uses it.
#include "Recurrence.h"

#include <benchmark/benchmark.h>

namespace {

const QDateTime now(QDate(2024, 6, 5), QTime(12, 0));

void nextDueDate(benchmark::State &state, const char *code, QDateTime due)
{
    const Recurrence recurrence;
    const QString recCode = QString::fromLatin1(code);
    for (auto _ : state)
        benchmark::DoNotOptimize(recurrence.getNextDueDate(due, recCode, now));
}

void rollForward(benchmark::State &state, const char *code)
{
    const QDateTime due = now.addYears(-1);
    const QString recCode = QString::fromLatin1(code);
    for (auto _ : state)
        benchmark::DoNotOptimize(Recurrence::rollForward(due, recCode, now));
}

const QDateTime yesterday = now.addDays(-1);

} // namespace

BENCHMARK_CAPTURE(nextDueDate, D, "D:1", yesterday);
BENCHMARK_CAPTURE(nextDueDate, E, "E", yesterday);
BENCHMARK_CAPTURE(nextDueDate, W_one_day, "W:1:8:8:2:8:8:8:8", yesterday);
BENCHMARK_CAPTURE(nextDueDate, W_two_days, "W:1:0:8:8:3:8:8:8", yesterday);
BENCHMARK_CAPTURE(nextDueDate, M, "M:15:1", yesterday);
BENCHMARK_CAPTURE(nextDueDate, N, "N:2:1:Tuesday", yesterday);

BENCHMARK_CAPTURE(rollForward, D_year_overdue, "D:1");
BENCHMARK_CAPTURE(rollForward, E_year_overdue, "E");
BENCHMARK_CAPTURE(rollForward, W_one_day_year_overdue, "W:1:8:8:2:8:8:8:8");
BENCHMARK_CAPTURE(rollForward, W_two_days_year_overdue, "W:1:0:8:8:3:8:8:8");
BENCHMARK_CAPTURE(rollForward, W_damaged_year_overdue, "W:1:3:0:8:8:8:8:8");
BENCHMARK_CAPTURE(rollForward, M_year_overdue, "M:15:1");
BENCHMARK_CAPTURE(rollForward, N_year_overdue, "N:2:1:Tuesday");

BENCHMARK_MAIN();
