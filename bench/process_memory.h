// Memory figures of the running process from /proc/self/status, for the benchmarks
// that report what a load holds.
#ifndef TARVO_BENCH_PROCESS_MEMORY_H
#define TARVO_BENCH_PROCESS_MEMORY_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
inline double status_mib(const char *key) {
    FILE *f = fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    double kib = 0;
    const size_t n = strlen(key);
    while (fgets(line, sizeof line, f) != nullptr)
        if (strncmp(line, key, n) == 0 && line[n] == ':') kib = atof(line + n + 1);
    fclose(f);
    return kib / 1024.0;
}

// Starts VmHWM over from the current resident size.
inline void reset_peak() {
    FILE *f = fopen("/proc/self/clear_refs", "w");
    if (f == nullptr) return;
    fputs("5", f);
    fclose(f);
}

#endif
