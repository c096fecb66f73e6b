quadrela_add_benchmark(bench_textrender SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_textrender.cpp
    LIBS quadrela_bench_fixtures Quadrela::imaging)
