# Calls per second through HAProxy in front of 1 and 3 daemons, against a direct connection to one
# (scripts/cluster.sh starts a PostgreSQL, the daemons and HAProxy on loopback).
add_bench(bench_cluster SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/cluster/bench_cluster.cpp LIBS server appserver db)
target_compile_definitions(bench_cluster PRIVATE APPSERVER_EXE="$<TARGET_FILE:appserver_daemon>"
                                                 DEMODB_EXE="$<TARGET_FILE:demodb>"
                                                 CLUSTER_SCRIPT="${CMAKE_SOURCE_DIR}/scripts/cluster.sh")
add_dependencies(bench_cluster appserver_daemon demodb)
