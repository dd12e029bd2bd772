# The player's copy of the shipped standard media at an installed program's start: nothing to do,
# a first start, copies to compare and copies of an earlier release (goal: nothing to do far
# below a millisecond).
blitzfang_add_benchmark(standard_media_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/StandardMediaBench.cpp
    LIBS blitzfang_program_folder)
target_compile_definitions(standard_media_bench PRIVATE BLITZFANG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
