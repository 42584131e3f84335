# Included from bench/CMakeLists.txt; the list's own folder also works when included from
# elsewhere.
wendra_add_bench(bench_recurrence SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_recurrence.cpp LIBS wendra_recurrence)
