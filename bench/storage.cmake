# Storage: loading and saving the standard scenario (goals: load 0.5 ms, save with syncs 2 ms).
blitzfang_add_benchmark(storage_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/StorageBench.cpp
    LIBS blitzfang_storage)
