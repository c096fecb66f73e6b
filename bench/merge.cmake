quadrela_add_benchmark(bench_merge SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_merge.cpp
    LIBS quadrela_bench_fixtures Quadrela::print Qt6::Widgets)
quadrela_add_benchmark(bench_mergememory SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_merge.cpp
    LIBS quadrela_bench_fixtures Quadrela::print Qt6::Widgets)
target_compile_definitions(bench_mergememory PRIVATE QUADRELA_MERGE_MEMORY)
