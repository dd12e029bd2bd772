# Start-up: time to the painted menu screen against a bare Qt window, resident memory, CPU while
# the menu idles, a game's start (goals: 1.15 x the bare window, 40 MiB, no CPU, 33 ms). Run:
# build/bench/startup_bench (offscreen) or, with QT_QPA_PLATFORM=xcb,
# xvfb-run -a -s -noreset build/bench/startup_bench
# (-noreset: a server that resets after each program refuses the next start now and then).
add_executable(startup_bare_window ${CMAKE_CURRENT_LIST_DIR}/StartupBareWindow.cpp)
target_link_libraries(startup_bare_window PRIVATE Qt6::Widgets)

if(TARGET blitzfang_windows)
    add_executable(startup_program_probe ${CMAKE_CURRENT_LIST_DIR}/StartupProgramProbe.cpp)
    target_link_libraries(startup_program_probe PRIVATE blitzfang_windows)

    blitzfang_add_benchmark(startup_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp)
    add_dependencies(startup_bench startup_bare_window startup_program_probe standard_data)
    target_compile_definitions(startup_bench PRIVATE
        STARTUP_PROGRAM_PROBE="$<TARGET_FILE:startup_program_probe>"
        STARTUP_BARE_WINDOW="$<TARGET_FILE:startup_bare_window>"
        STARTUP_STANDARD_DIR="${CMAKE_BINARY_DIR}/Standard")
endif()
