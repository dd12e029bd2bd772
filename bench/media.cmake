# Media: picture decoding times and the sound start-up latency / mixer buffer size.
blitzfang_add_benchmark(media_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MediaBench.cpp
    LIBS blitzfang_media blitzfang_media_fixtures SDL2_mixer::SDL2_mixer SDL2::SDL2)
target_compile_definitions(media_bench PRIVATE SDL_MAIN_HANDLED
    BLITZFANG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# Peak memory of the largest pictures and sounds the limits admit, one step a process (see the
# file's head for its use).
add_executable(media_memory_probe ${CMAKE_CURRENT_LIST_DIR}/MediaMemoryProbe.cpp)
target_link_libraries(media_memory_probe PRIVATE blitzfang_windows blitzfang_media_fixtures)
