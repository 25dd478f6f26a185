add_executable(bench_expression ${CMAKE_CURRENT_LIST_DIR}/bench_expression.cpp)
target_link_libraries(bench_expression PRIVATE blend_data benchmark::benchmark)
