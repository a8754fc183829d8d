# The replication of recipes to many services: a 20-ingredient recipe to 1,000 services, and 100
# such recipes to 100 services, each in one call (SQLite, and PostgreSQL when BENCH_PG_CONN names
# a server).
add_bench(bench_replica SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/bench_replica.cpp LIBS appserver db)
