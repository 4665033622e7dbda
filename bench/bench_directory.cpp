// Directory lookups (target: under 50 ns without a result, no allocation) and the
// generator's run over the reference data (target: under 5 s); the table-size benchmark
// reports the bytes the compiled-in directory takes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "directory_data.h"
#include "ident/ident.h"
#include "modules.h"

namespace {

void BM_LookupBank(benchmark::State &state, const char *code) {
    tarvo::bank_record r;
    for (auto _ : state) {
        int found = tarvo::lookup_bank("DE", code, &r);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK_CAPTURE(BM_LookupBank, found, "37040044");
// Reads the clock and both versions.
BENCHMARK_CAPTURE(BM_LookupBank, second_version, "37060193");
BENCHMARK_CAPTURE(BM_LookupBank, not_found, "99999999");

// with_result: a tarvo_bank_t is allocated and freed; otherwise an existence test.
void BM_BicGetBank(benchmark::State &state, const char *bic, bool with_result) {
    for (auto _ : state) {
        tarvo_bank_t *bank = nullptr;
        int found = tarvo_bic_getBank(bic, with_result ? &bank : nullptr);
        benchmark::DoNotOptimize(found);
        free(bank);
    }
}
BENCHMARK_CAPTURE(BM_BicGetBank, with_result, "AACSDE33XXX", true);
BENCHMARK_CAPTURE(BM_BicGetBank, existence_only, "AACSDE33XXX", false);
BENCHMARK_CAPTURE(BM_BicGetBank, not_found, "AACSDE33ABC", true);

void BM_GeneratorRun(benchmark::State &state) {
    const auto out = std::filesystem::temp_directory_path() / "tarvo_bench_directory";
    for (auto _ : state)
        tarvogen::write_directory(TARVO_SHARED_DIR "/data", out);
    std::filesystem::remove_all(out);
}
BENCHMARK(BM_GeneratorRun)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableSize(benchmark::State &state) {
    size_t text = 0;
    for (auto _ : state) {
        text = 0;
        for (int i = 0; i < tarvo::db_records; ++i) {
            // German records hold NUL bytes inside; walk them by their versions' ends.
            const char *p = tarvo::DB[i];
            size_t n = strlen(p) + 1;
            if (i >= tarvo::db_de_first) {
                n = 11;
                for (;;) {
                    n += 4;
                    size_t len = strlen(p + n);
                    size_t bars = 0, k = 0;
                    for (; k < len && bars < 6; ++k)
                        bars += p[n + k] == '|';
                    n += k;
                    if (bars < 6) {
                        n += 1;
                        break;
                    }
                }
            }
            text += n;
        }
        benchmark::DoNotOptimize(text);
    }
    state.counters["records"] = tarvo::db_records;
    state.counters["record_bytes"] = static_cast<double>(text);
    state.counters["pointer_bytes"] = sizeof(tarvo::DB);
    state.counters["hash_bytes"] = 3 * sizeof(tarvo::T0) + sizeof(tarvo::g);
    state.counters["total_bytes"] = static_cast<double>(text + sizeof(tarvo::DB) + 3 * sizeof(tarvo::T0) + sizeof(tarvo::g));
}
BENCHMARK(BM_TableSize)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
