add_bench(bench_filter_parse SOURCES ${CMAKE_CURRENT_LIST_DIR}/filter_parse_bench.cpp LIBS framework)
