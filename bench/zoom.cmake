quadrela_add_benchmark(bench_zoom SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_zoom.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zoompage.cpp
    LIBS quadrela_bench_fixtures Quadrela::page Qt6::Widgets)
quadrela_add_benchmark(bench_zoommemory SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_zoommemory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zoompage.cpp
    LIBS quadrela_bench_fixtures Quadrela::page Qt6::Widgets)
