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

void BM_LookupBank_Found(benchmark::State &state) {
    tarvo::bank_record r;
    for (auto _ : state) {
        int found = tarvo::lookup_bank("DE", "37040044", &r);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_LookupBank_Found);

void BM_LookupBank_SecondVersion(benchmark::State &state) {
    tarvo::bank_record r;
    for (auto _ : state) {
        int found = tarvo::lookup_bank("DE", "37060193", &r);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_LookupBank_SecondVersion);

void BM_LookupBank_NotFound(benchmark::State &state) {
    tarvo::bank_record r;
    for (auto _ : state) {
        int found = tarvo::lookup_bank("DE", "99999999", &r);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LookupBank_NotFound);

void BM_BicGetBank_WithResult(benchmark::State &state) {
    for (auto _ : state) {
        tarvo_bank_t *bank = nullptr;
        int found = tarvo_bic_getBank("AACSDE33XXX", &bank);
        benchmark::DoNotOptimize(found);
        free(bank);
    }
}
BENCHMARK(BM_BicGetBank_WithResult);

void BM_BicGetBank_ExistenceOnly(benchmark::State &state) {
    for (auto _ : state) {
        int found = tarvo_bic_getBank("AACSDE33XXX", nullptr);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BicGetBank_ExistenceOnly);

void BM_BicGetBank_NotFound(benchmark::State &state) {
    for (auto _ : state) {
        tarvo_bank_t *bank = nullptr;
        int found = tarvo_bic_getBank("AACSDE33ABC", &bank);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BicGetBank_NotFound);

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
