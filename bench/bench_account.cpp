// German account checks: time per check over every method code, the check for a bank code
// through the directory, and proof that a check never allocates (every malloc of the
// process, operator new included, is counted).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "directory_data.h"
#include "ident/ident.h"
#include "tarvo.h"

extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);

namespace {
std::atomic<long> allocations{0};
} // namespace

extern "C" void *malloc(size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}

namespace {

struct Case {
    std::string account, bankid;
    int code;
};

// The published example accounts with their methods, followed by random accounts under
// every one of the 256 codes, so the mix covers all methods and the empty entries.
const std::vector<Case> &cases() {
    static const std::vector<Case> all = [] {
        std::vector<Case> out;
        std::ifstream in(TARVO_SHARED_DIR "/testdata/account_methods.csv");
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            const size_t c1 = line.find(','), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1),
                         c4 = line.find(',', c3 + 1);
            if (c4 == std::string::npos) continue;
            std::string bank = line.substr(c3 + 1, c4 - c3 - 1);
            out.push_back({line.substr(c1 + 1, c2 - c1 - 1), bank.empty() ? "37040044" : bank,
                           static_cast<int>(strtol(line.substr(0, c1).c_str(), nullptr, 16))});
        }
        std::mt19937 gen(42);
        std::uniform_int_distribution<int> digit(0, 9);
        for (int round = 0; round < 8; ++round)
            for (int code = 0; code < 256; ++code) {
                std::string a(10, '0');
                for (char &ch : a) ch = static_cast<char>('0' + digit(gen));
                out.push_back({a, "37040044", code});
            }
        return out;
    }();
    return all;
}

// Random accounts at random bank codes that the directory in force lists, as a bulk
// check of customer data meets them.
const std::vector<Case> &bank_cases() {
    static const std::vector<Case> all = [] {
        std::vector<std::string> codes;
        for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i) {
            std::string code(tarvo::DB[i] + 3, 8);
            if (tarvo::german_method(code.c_str()) >= 0) codes.push_back(code);
        }
        std::vector<Case> out;
        std::mt19937 gen(7);
        std::uniform_int_distribution<int> digit(0, 9);
        for (int n = 0; n < 100000; ++n) {
            std::string a(10, '0');
            for (char &ch : a) ch = static_cast<char>('0' + digit(gen));
            out.push_back({a, codes[gen() % codes.size()], 0});
        }
        return out;
    }();
    return all;
}

template <typename Check> void run(benchmark::State &state, Check check, const std::vector<Case> &all = cases()) {
    // Building the cases allocated; a counter that saw nothing would prove nothing.
    if (allocations.load() == 0) {
        state.SkipWithError("allocation counter is not wired to malloc");
        return;
    }
    size_t i = 0;
    long checks = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        const Case &c = all[i];
        benchmark::DoNotOptimize(check(c));
        if (++i == all.size()) i = 0;
        ++checks;
    }
    const long allocated = allocations.load() - before;
    state.SetItemsProcessed(checks);
    // Inverted rate: seconds per check, printed with its unit (ns).
    state.counters["per_check"] =
        benchmark::Counter(static_cast<double>(checks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocations"] = static_cast<double>(allocated);
    state.counters["cases"] = static_cast<double>(all.size());
}

void BM_account_check(benchmark::State &state) {
    run(state, [](const Case &c) { return tarvo_account_check(c.account.c_str(), c.code); });
}

void BM_account_check2(benchmark::State &state) {
    run(state, [](const Case &c) { return tarvo_account_check2(c.account.c_str(), c.bankid.c_str(), c.code); });
}

void BM_account_check_bank(benchmark::State &state) {
    run(state, [](const Case &c) { return tarvo_account_check_bank(c.account.c_str(), c.bankid.c_str()); },
        bank_cases());
}

} // namespace

BENCHMARK(BM_account_check);
BENCHMARK(BM_account_check2);
BENCHMARK(BM_account_check_bank);
BENCHMARK_MAIN();
