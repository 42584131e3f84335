wendra_add_bench(bench_calendar SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_calendar.cpp
  LIBS wendra_appcore wendra_benchdb)
wendra_add_bench(bench_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_app.cpp
  LIBS wendra_appcore wendra_benchdb)
