quadrela_add_benchmark(bench_drag SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_drag.cpp
    LIBS quadrela_bench_fixtures Quadrela::page Qt6::Widgets)
