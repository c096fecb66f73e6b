quadrela_add_benchmark(bench_project SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_project.cpp
    LIBS quadrela_bench_fixtures Quadrela::storage Quadrela::print Quadrela::codecs Qt6::PrintSupport)
