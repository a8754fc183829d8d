# Application server: GetPrato over 50,000 dishes, calls over HTTP, change-log application.
add_bench(bench_server SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/bench_server.cpp LIBS server appserver db)
