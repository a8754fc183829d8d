# Recipe page loaders and list updates: GetReceitaPad of a group of 2,000 dishes with 10
# ingredients each, UpdProdPrat of 1,000 changed rows against the same statements run bare.
add_bench(bench_recipe_lists SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/bench_recipe_lists.cpp LIBS server appserver db)
