// Throughput of tarvotool check-batch and convert-batch from a file to a file: a
// generated file of 10 million IBAN lines (the shared examples over and over, valid and
// invalid, a tenth of them typed with spaces), and one of a million conversion lines.
// The target is 5 million IBAN lines per second with two threads.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tarvo.h"

namespace {

// The second comma-separated column of a shared CSV file with a header.
std::vector<std::string> column(const char *path, int index) {
    std::vector<std::string> out;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        size_t start = 0;
        for (int i = 0; i < index; ++i) start = line.find(',', start) + 1;
        out.push_back(line.substr(start, line.find(',', start) - start));
    }
    return out;
}

struct InputFile {
    std::string path;
    size_t lines;

    InputFile(const std::string &name, size_t count, const std::vector<std::string> &samples) : lines(count) {
        path = "/tmp/tarvo_bench_" + name + "." + std::to_string(getpid());
        FILE *f = fopen(path.c_str(), "w");
        if (f == nullptr || samples.empty()) abort();
        for (size_t i = 0; i < count; ++i) {
            fputs(samples[i % samples.size()].c_str(), f);
            fputc('\n', f);
        }
        if (fclose(f) != 0) abort();
    }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;
    ~InputFile() { unlink(path.c_str()); }
};

const InputFile &ibans() {
    static const InputFile file("ibans", 10'000'000, [] {
        std::vector<std::string> samples = column(TARVO_SHARED_DIR "/testdata/ibans.csv", 1);
        const size_t plain = samples.size();
        for (size_t i = 0; i < plain; i += 10) {
            char printed[43];
            if (tarvo_iban_format(samples[i].c_str(), printed) == 1) samples[i] = printed;
        }
        return samples;
    }());
    return file;
}

const InputFile &conversions() {
    static const InputFile file("conversions", 1'000'000, [] {
        const auto bank_codes = column(TARVO_SHARED_DIR "/testdata/iban_convert.csv", 0);
        const auto accounts = column(TARVO_SHARED_DIR "/testdata/iban_convert.csv", 1);
        std::vector<std::string> samples;
        for (size_t i = 0; i < bank_codes.size(); ++i) samples.push_back("DE;" + bank_codes[i] + ";" + accounts[i]);
        return samples;
    }());
    return file;
}

void run_tool(benchmark::State &state, const char *command, const InputFile &input) {
    const std::string out = "/tmp/tarvo_bench_out." + std::to_string(getpid());
    const std::string line = std::string(TARVOTOOL_PATH) + " " + command + " -j " + std::to_string(state.range(0)) + " " +
                             input.path + " >" + out;
    for (auto _ : state) {
        const int raw = system(line.c_str());
        if (raw == -1 || !WIFEXITED(raw) || WEXITSTATUS(raw) == 2) state.SkipWithError("tarvotool failed");
    }
    unlink(out.c_str());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(input.lines) * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_CheckBatch(benchmark::State &state) { run_tool(state, "check-batch", ibans()); }
void BM_ConvertBatch(benchmark::State &state) { run_tool(state, "convert-batch", conversions()); }

BENCHMARK(BM_CheckBatch)->Arg(1)->Arg(2)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertBatch)->Arg(2)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
