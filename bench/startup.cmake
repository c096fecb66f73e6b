# The program itself is started, beside a minimal Widgets program as its peer.
add_executable(peer_minimal_window EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp)
target_link_libraries(peer_minimal_window PRIVATE Qt6::Widgets)
set_target_properties(peer_minimal_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

quadrela_add_benchmark(bench_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp
    LIBS quadrela_bench_fixtures)
target_compile_definitions(bench_startup PRIVATE
    QUADRELA_PROGRAM="$<TARGET_FILE:quadrela>"
    QUADRELA_MINIMAL_WINDOW="$<TARGET_FILE:peer_minimal_window>")
add_dependencies(bench_startup quadrela peer_minimal_window)
