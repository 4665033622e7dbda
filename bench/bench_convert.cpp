// German IBAN conversion over the whole German directory: every bank code with accounts
// of every length, so that each bank's rule and check method take part in proportion to
// the directory. One conversion per iteration, so the time per iteration is the time per
// conversion; converted_share is the part that gave an IBAN.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "directory_data.h"
#include "tarvo.h"

namespace {

struct Input {
    std::string bankid, account;
};

std::vector<Input> directory_inputs() {
    std::mt19937_64 rng(20261208);
    std::vector<Input> inputs;
    for (int i = tarvo::db_de_first; i < tarvo::db_records; ++i) {
        const std::string bankid(tarvo::DB[i] + 3, 8);
        for (int digits = 1; digits <= 10; ++digits) {
            std::string account = std::to_string(rng() % 9 + 1);
            while (static_cast<int>(account.size()) < digits) account += static_cast<char>('0' + rng() % 10);
            inputs.push_back({bankid, account});
        }
    }
    std::shuffle(inputs.begin(), inputs.end(), rng);
    return inputs;
}

void BM_IbanConvert(benchmark::State &state) {
    const std::vector<Input> inputs = directory_inputs();
    size_t i = 0, converted = 0, calls = 0;
    char iban[35];
    uint8_t status;
    for (auto _ : state) {
        const Input &in = inputs[i];
        converted += tarvo_iban_convert("DE", in.account.c_str(), in.bankid.c_str(), iban, &status) == 1;
        benchmark::DoNotOptimize(iban);
        ++calls;
        if (++i == inputs.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(calls));
    state.counters["converted_share"] = calls ? static_cast<double>(converted) / static_cast<double>(calls) : 0;
}
BENCHMARK(BM_IbanConvert);

} // namespace

BENCHMARK_MAIN();
