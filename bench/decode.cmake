quadrela_add_benchmark(bench_decode SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_decode.cpp
    LIBS quadrela_bench_fixtures Quadrela::codecs PNG::PNG JPEG::JPEG)
