# Shared by the db, appserver and server test folders.
include_guard(GLOBAL)

# Fresh test databases on SQLite and PostgreSQL.
add_library(test_db_support STATIC ${CMAKE_CURRENT_LIST_DIR}/testdatabase.h ${CMAKE_CURRENT_LIST_DIR}/testdatabase.cpp)
target_include_directories(test_db_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(test_db_support PUBLIC db Qt6::Sql)

# add_backend_suites(NAME [LIBS ...]): the .cpp of the calling folder compiled once, run as NAME
# (SQLite) and as NAME_pg (PostgreSQL, label postgres; its tests skip without TEST_PG_CONN).
function(add_backend_suites name)
  cmake_parse_arguments(S "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name}_objects OBJECT ${sources})
  target_link_libraries(${name}_objects PUBLIC test_common test_db_support ${S_LIBS})
  set(libs test_db_support ${S_LIBS})
  add_test_suite(${name} SOURCES $<TARGET_OBJECTS:${name}_objects> LIBS ${libs} FILTER -*Postgres*)
  add_test_suite(${name}_pg SOURCES $<TARGET_OBJECTS:${name}_objects> LIBS ${libs} LABELS postgres FILTER *Postgres*)
endfunction()
