# Photo-like fixture files, timing of outside programs and a main() with a QApplication,
# shared by the benchmark programs.
add_library(quadrela_bench_fixtures STATIC EXCLUDE_FROM_ALL
    ${CMAKE_CURRENT_LIST_DIR}/fixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/fixtures.h)
target_include_directories(quadrela_bench_fixtures PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quadrela_bench_fixtures PUBLIC benchmark::benchmark Qt6::Widgets)
