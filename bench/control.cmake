# The plant bus: one indicator or I/O box exchange against plantsim over a pseudo-terminal.
add_executable(bench_control ${CMAKE_CURRENT_LIST_DIR}/bench_control.cpp)
target_link_libraries(bench_control PRIVATE blend_control benchmark::benchmark)
target_compile_definitions(bench_control PRIVATE PLANTSIM_PATH="$<TARGET_FILE:plantsim>")
add_dependencies(bench_control plantsim)
