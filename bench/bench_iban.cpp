// IBAN check over a million mixed IBANs: German ones through the directory and the
// account check, foreign ones, and every kind of invalid one. Reports nanoseconds per
// check and the allocations made after the first check.
#include <benchmark/benchmark.h>
#include <stddef.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "iban_text.h"
#include "ident/ident.h"

namespace tarvo {
int iban_regex_match(const char *iban);
}

// Every allocation of the process passes here, so the benchmark can show that a check
// allocates nothing once the patterns are compiled.
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
}
namespace {
size_t allocations = 0;
}
extern "C" void *malloc(size_t n) {
    ++allocations;
    return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t size) {
    ++allocations;
    return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, size_t n) {
    ++allocations;
    return __libc_realloc(p, n);
}

namespace {

constexpr size_t sample_size = 1'000'000;

// Published examples (valid and invalid of every country) and German IBANs of real
// banks with random accounts, which pass or fail their bank's method.
std::vector<std::string> distinct_ibans(bool german_only) {
    std::vector<std::string> ibans;
    std::mt19937 random(20);
    std::ifstream blz(TARVO_SHARED_DIR "/data/de/blz_2025_09_08.txt", std::ios::binary);
    std::set<std::string> codes;
    for (std::string line; std::getline(blz, line);)
        if (line.size() >= 8) codes.insert(line.substr(0, 8));
    for (const auto &code : codes)
        for (int n = 0; n < 2; ++n) {
            std::string account = std::to_string(random() % 10'000'000'000ULL);
            ibans.push_back(with_check_digits("DE", code + std::string(10 - account.size(), '0') + account));
        }
    if (german_only) return ibans;
    std::ifstream examples(TARVO_SHARED_DIR "/testdata/ibans.csv", std::ios::binary);
    std::string line;
    std::getline(examples, line);
    while (std::getline(examples, line)) {
        const size_t start = line.find(',') + 1;
        const std::string iban = line.substr(start, line.find(',', start) - start);
        // Weighted so that foreign and invalid IBANs make up about half of the mix.
        for (int n = 0; n < 25; ++n) ibans.push_back(iban);
    }
    return ibans;
}

std::vector<std::string> sample(bool german_only) {
    const auto distinct = distinct_ibans(german_only);
    std::vector<std::string> ibans;
    ibans.reserve(sample_size);
    std::mt19937 random(13616);
    for (size_t i = 0; i < sample_size; ++i) ibans.push_back(distinct[random() % distinct.size()]);
    return ibans;
}

template <typename Check>
void run(benchmark::State &state, bool german_only, Check check) {
    const auto ibans = sample(german_only);
    tarvo::iban_check(ibans[0].c_str(), nullptr); // compiles the patterns
    size_t valid = 0;
    size_t i = 0;
    const size_t before = allocations;
    for (auto _ : state) {
        valid += check(ibans[i].c_str()) == 1;
        if (++i == ibans.size()) i = 0;
    }
    state.counters["allocations"] = static_cast<double>(allocations - before);
    state.counters["valid_share"] = static_cast<double>(valid) / static_cast<double>(state.iterations());
}

void BM_IbanCheckMixed(benchmark::State &state) {
    run(state, false, [](const char *iban) { return tarvo::iban_check(iban, nullptr); });
}
void BM_IbanCheckGerman(benchmark::State &state) {
    run(state, true, [](const char *iban) { return tarvo::iban_check(iban, nullptr); });
}
// The C library's matcher on the same mix, for comparison with the position table
// that the check uses.
void BM_CountryPatternRegexec(benchmark::State &state) {
    run(state, false, tarvo::iban_regex_match);
}

BENCHMARK(BM_IbanCheckMixed)->Iterations(sample_size);
BENCHMARK(BM_IbanCheckGerman)->Iterations(sample_size);
BENCHMARK(BM_CountryPatternRegexec)->Iterations(sample_size);

} // namespace

BENCHMARK_MAIN();
