# Many scenarios in the load window: "&Suchen" and "&Hinzufügen" with 20000 listed and 20000
# unlisted scenario files (goal: each within a second).
if(TARGET blitzfang_windows)
    blitzfang_add_benchmark(scenario_list_bench
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScenarioListBench.cpp
        LIBS blitzfang_windows)
endif()

# Peak memory of loading the worst scenario files the loader admits or refuses (goal: under
# 100 MB for any file). Run: build/bench/scenario_memory_probe KIND, KIND one of its list.
add_executable(scenario_memory_probe ${CMAKE_CURRENT_LIST_DIR}/ScenarioMemoryProbe.cpp)
target_link_libraries(scenario_memory_probe PRIVATE blitzfang_storage)
