# Shared by the db, appserver and server test folders.
include_guard(GLOBAL)

# Fresh test databases on SQLite and PostgreSQL.
add_library(test_db_support STATIC ${CMAKE_CURRENT_LIST_DIR}/testdatabase.h ${CMAKE_CURRENT_LIST_DIR}/testdatabase.cpp)
target_include_directories(test_db_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(test_db_support PUBLIC db Qt6::Sql)

# add_backend_suites(NAME [LIBS ...]): the .cpp of the calling folder compiled once, into
# NAME_objects, and run as NAME: its tests named Postgres on PostgreSQL (label postgres; they skip
# without TEST_PG_CONN), the others on SQLite.
function(add_backend_suites name)
  cmake_parse_arguments(S "" "" "LIBS" ${ARGN})
  add_test_suite(${name} LIBS test_db_support ${S_LIBS} BACKENDS)
endfunction()
