# The service recipes as percentages of an origin recipe: a 20-ingredient recipe applied to 500
# services of one branch in one call (SQLite, and PostgreSQL when BENCH_PG_CONN names a server).
add_bench(bench_percentual SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/bench_percentual.cpp LIBS appserver db)
