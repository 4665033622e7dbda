// What the C++ drivers of `make bench-peers` share: reading the generated inputs, timing
// a pass over them (the best of a few, in CPU time), and the lines the report reads:
// "RESULT <work> <side> <figure>" on stdout, one verdict per input line in
// <out>/<work>.<side>.
#ifndef TARVO_BENCH_PEERS_DRIVER_H
#define TARVO_BENCH_PEERS_DRIVER_H

#include <stdio.h>
#include <time.h>

#include <fstream>
#include <functional>
#include <map>
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

inline double process_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU seconds of the fastest of `rounds` runs of pass(). CPU time rather than wall time:
// on a shared machine the drivers run at different loads, and what is compared is the
// work each library does.
template <typename Pass> double best_seconds(int rounds, Pass pass) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const double start = process_seconds();
        pass();
        const double took = process_seconds() - start;
        if (took < best) best = took;
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

// A driver's main: runs the works named on the command line after the input and verdict
// folders, each of them one entry of `works`.
using Work = std::function<void(const std::string &in, const std::string &out)>;
inline int run_works(int argc, char **argv, const std::map<std::string, Work> &works) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s <input folder> <verdict folder> <work>...\n", argv[0]);
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        const auto w = works.find(argv[i]);
        if (w == works.end()) {
            fprintf(stderr, "%s: no work '%s'\n", argv[0], argv[i]);
            return 2;
        }
        w->second(argv[1], argv[2]);
    }
    return 0;
}

} // namespace peers

#endif
