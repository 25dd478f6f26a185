# The table engine on a 1,000,000-record work-document table: index build, shared open, key
# searches, walks and appends under the write protocol; side by side with SQLite (libsqlite3-dev)
# and python3-dbfread (run as /usr/bin/python3 when present), with a summary of the ratios.
find_package(SQLite3 REQUIRED)
add_executable(bench_table ${CMAKE_CURRENT_LIST_DIR}/bench_table.cpp)
target_link_libraries(bench_table PRIVATE blend_data benchmark::benchmark SQLite::SQLite3)
