quadrela_add_benchmark(bench_rotate SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_rotate.cpp
    LIBS Quadrela::rotate Qt6::Gui)
