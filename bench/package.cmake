# Scenario packages: the import of one with 10000 hit sounds (goal: at most 2 s), the check of the
# worst package within the limits (goal: at most 10 s) and of 40 unnamed 8K JPEGs (refused).
# Run: build/bench/package_bench [SOUNDS]
if(TARGET blitzfang_windows)
    add_executable(package_bench ${CMAKE_CURRENT_LIST_DIR}/PackageBench.cpp)
    target_link_libraries(package_bench PRIVATE blitzfang_windows blitzfang_media_fixtures)
    target_compile_definitions(package_bench PRIVATE BLITZFANG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
