add_bench(bench_dataset SOURCES ${CMAKE_CURRENT_LIST_DIR}/dataset_bench.cpp LIBS framework)
