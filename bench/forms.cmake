add_bench(bench_forms
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/forms_main.cpp ${CMAKE_CURRENT_LIST_DIR}/forms_grid.cpp
          ${CMAKE_CURRENT_LIST_DIR}/forms_tree.cpp ${CMAKE_CURRENT_LIST_DIR}/forms_bench.h
  LIBS framework Qt6::Widgets)
