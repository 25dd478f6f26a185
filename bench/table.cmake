# The table engine on a 1,000,000-record work-document table: index build, shared open, key
# searches, a walk in index order, appends under the write protocol.
add_executable(bench_table ${CMAKE_CURRENT_LIST_DIR}/bench_table.cpp)
target_link_libraries(bench_table PRIVATE blend_data benchmark::benchmark)
