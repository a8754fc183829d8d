add_bench(bench_rtf SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_bench.cpp LIBS framework)
