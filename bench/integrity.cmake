# Data path under load: deleting a dish among 50,000, applying 1,000 changed rows against the
# same statements run bare (SQLite, and PostgreSQL when BENCH_PG_CONN names a server).
add_bench(bench_integrity SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/integrity/bench_integrity.cpp LIBS server appserver db)
