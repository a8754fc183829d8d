# The recipe copy between levels: the standard recipes of 10,000 dishes of 10 ingredients each
# replacing a branch's, against the same statements run bare (SQLite, and PostgreSQL when
# BENCH_PG_CONN names a server).
add_bench(bench_imp_prato SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/bench_imp_prato.cpp LIBS appserver db)
