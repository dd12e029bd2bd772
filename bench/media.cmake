# Media: picture decoding times and the sound start-up latency / mixer buffer size.
blitzfang_add_benchmark(media_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MediaBench.cpp
    LIBS blitzfang_media SDL2_mixer::SDL2_mixer SDL2::SDL2)
target_compile_definitions(media_bench PRIVATE SDL_MAIN_HANDLED
    BLITZFANG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
