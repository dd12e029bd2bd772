# Game: Figure ticks per second at the 2 ms interval (goal: 95 % of 500), click waits, and the
# CPU share of one core per second of play at 100 ms (goal: under 10 %).
blitzfang_add_benchmark(game_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/GameBench.cpp
    LIBS blitzfang_windows)
target_compile_definitions(game_bench PRIVATE BLITZFANG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
