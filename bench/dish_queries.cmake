# Dish cost and nutrition queries: GetProduto and GetNutriente on a large demo database.
add_bench(bench_dish_queries SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dish_queries_bench.cpp LIBS server appserver db)
