// What the C++ drivers of `make bench-peers` share: reading the generated inputs, timing
// a pass over them (the best of a few, so that a busy neighbour costs less), and the
// lines the report reads: "RESULT <work> <side> <figure>" on stdout, one verdict per
// input line in <out>/<work>.<side>.
#ifndef TARVO_BENCH_PEERS_DRIVER_H
#define TARVO_BENCH_PEERS_DRIVER_H

#include <stdio.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace peers {

inline std::vector<std::string> read_lines(const std::string &path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.empty()) fprintf(stderr, "no input in %s\n", path.c_str());
    return lines;
}

// Seconds of the fastest of `rounds` runs of pass().
template <typename Pass> double best_seconds(int rounds, Pass pass) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        pass();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

inline void result(const char *work, const char *side, double figure) {
    printf("RESULT %s %s %.6g\n", work, side, figure);
    fflush(stdout);
}

inline void write_verdicts(const std::string &out, const char *work, const char *side,
                           const std::vector<std::string> &verdicts) {
    std::ofstream file(out + "/" + work + "." + side);
    for (const std::string &v : verdicts) file << v << '\n';
}

} // namespace peers

#endif
