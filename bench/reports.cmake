# The two reports on a large demo database, to PDF and CSV.
add_bench(bench_reports SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/reports_bench.cpp LIBS framework db Qt6::Widgets)
target_compile_definitions(bench_reports PRIVATE REPORTS_DIR="${CMAKE_SOURCE_DIR}/reports")
