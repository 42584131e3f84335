wendra_add_bench(bench_rows SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_rows.cpp LIBS wendra_ui wendra_benchdb)
add_executable(bare_table ${CMAKE_CURRENT_LIST_DIR}/bare_table.cpp)
target_link_libraries(bare_table PRIVATE Qt6::Widgets)
