quadrela_add_benchmark(bench_archive SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_archive.cpp
    LIBS quadrela_bench_fixtures Quadrela::zip)
