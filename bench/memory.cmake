quadrela_add_benchmark(bench_memory SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_memory.cpp
    LIBS quadrela_bench_fixtures Quadrela::page Quadrela::print Qt6::PrintSupport)
