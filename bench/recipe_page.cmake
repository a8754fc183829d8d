# The standard ingredient list of the recipe form on a recipe of 200 ingredients: the column
# exit's recomputation, the proportional update of every row and the cleaning-loss import.
if(TARGET module_entry)
  add_bench(bench_recipe_page SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/recipe/bench_recipe_page.cpp
            $<TARGET_OBJECTS:module_entry> LIBS companions recipe host_core db Qt6::Widgets)
endif()
