#pragma once
// A file manager runs the thumbnailer on whatever file it finds, often without a person
// watching: whatever a package's checks let through, the process ends within seconds and within
// a bounded amount of memory, and leaves nothing behind when a bound ends it.

// Bounds the running process: processor and wall-clock time, address space, no core file; a
// write beyond a file-size limit fails instead of ending the process.
void boundThisProcess();

// The work is done: from here on neither bound's signal may cut the output's writing short.
void holdBoundSignals();
