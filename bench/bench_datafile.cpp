// Lookups through a loaded bank data file against the compiled-in tables (target: within
// 10 %), loading a file (target: at most 50 ms), and the file's size against the
// compiled-in tables (target: at most 1.2 times). The file is built from the same sources
// as the compiled-in tables, so both answer every lookup alike.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file.h"
#include "directory_data.h"
#include "ident/data_tables.h"
#include "ident/ident.h"
#include "tarvo.h"

namespace {

const std::string &data_file() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / ("tarvo_bench_" + std::to_string(getpid()) + ".tdat");
        tarvogen::write_data_file(tarvogen::default_sources(TARVO_SHARED_DIR "/data"), file, 0);
        std::atexit([] { std::filesystem::remove(data_file()); });
        return file.string();
    }();
    return path;
}

// Runs the lookup with the compiled-in tables (from_file false) or the file loaded.
template <typename Lookup>
void run(benchmark::State &state, bool from_file, Lookup lookup) {
    if (from_file && tarvo_data_load(data_file().c_str(), nullptr) != 1) {
        state.SkipWithError("the data file was refused");
        return;
    }
    for (auto _ : state)
        lookup();
    tarvo_data_unload();
}

void BM_LookupBank(benchmark::State &state, bool from_file, const char *code) {
    tarvo::bank_record r;
    run(state, from_file, [&] {
        benchmark::DoNotOptimize(tarvo::lookup_bank("DE", code, &r));
        benchmark::DoNotOptimize(r);
    });
}
BENCHMARK_CAPTURE(BM_LookupBank, compiled_found, false, "37040044");
BENCHMARK_CAPTURE(BM_LookupBank, file_found, true, "37040044");
BENCHMARK_CAPTURE(BM_LookupBank, compiled_second_version, false, "37060193");
BENCHMARK_CAPTURE(BM_LookupBank, file_second_version, true, "37060193");
BENCHMARK_CAPTURE(BM_LookupBank, compiled_not_found, false, "99999999");
BENCHMARK_CAPTURE(BM_LookupBank, file_not_found, true, "99999999");

void BM_GermanMethod(benchmark::State &state, bool from_file) {
    run(state, from_file, [] { benchmark::DoNotOptimize(tarvo::german_method("37040044")); });
}
BENCHMARK_CAPTURE(BM_GermanMethod, compiled, false);
BENCHMARK_CAPTURE(BM_GermanMethod, file, true);

void BM_BicExists(benchmark::State &state, bool from_file) {
    run(state, from_file, [] { benchmark::DoNotOptimize(tarvo_bic_getBank("AACSDE33XXX", nullptr)); });
}
BENCHMARK_CAPTURE(BM_BicExists, compiled, false);
BENCHMARK_CAPTURE(BM_BicExists, file, true);

void BM_IbanCheck(benchmark::State &state, bool from_file) {
    run(state, from_file, [] { benchmark::DoNotOptimize(tarvo_iban_check("DE89370400440532013000")); });
}
BENCHMARK_CAPTURE(BM_IbanCheck, compiled, false);
BENCHMARK_CAPTURE(BM_IbanCheck, file, true);

// Every German bank code and every BIC of the directory in turn, as a batch of mixed
// payments looks them up: single keys measure the branch predictor and the code's
// alignment as much as the tables.
const std::vector<std::string> &directory_keys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> out;
        for (int i = tarvo::compiled_tables::de_first; i < tarvo::compiled_tables::records; ++i)
            out.push_back(std::to_string(tarvo::compiled_tables::code(i - tarvo::compiled_tables::de_first)));
        for (int i = 0; i < tarvo::compiled_tables::at_first; ++i)
            out.emplace_back(tarvo::compiled_tables::record(i), 11);
        return out;
    }();
    return keys;
}

void BM_MixedLookups(benchmark::State &state, bool from_file) {
    const auto &keys = directory_keys();
    tarvo::bank_record r;
    run(state, from_file, [&] {
        for (const std::string &key : keys) {
            if (key.size() == 8)
                benchmark::DoNotOptimize(tarvo::lookup_bank("DE", key.c_str(), &r));
            else
                benchmark::DoNotOptimize(tarvo_bic_getBank(key.c_str(), nullptr));
        }
    });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * keys.size()));
}
BENCHMARK_CAPTURE(BM_MixedLookups, compiled, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MixedLookups, file, true)->Unit(benchmark::kMicrosecond);

// Every check of the whole file, the mapping and the switch; then back.
void BM_Load(benchmark::State &state) {
    const std::string &file = data_file();
    for (auto _ : state) {
        if (tarvo_data_load(file.c_str(), nullptr) != 1)
            state.SkipWithError("the data file was refused");
        tarvo_data_unload();
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_FileSize(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(std::filesystem::file_size(data_file()));
    const auto file = static_cast<double>(std::filesystem::file_size(data_file()));
    // The compiled-in tables: the same record bytes (read from the file), their pointers,
    // the hash and the German method and code tables.
    double records = 0;
    {
        FILE *f = fopen(data_file().c_str(), "rb");
        tarvo::data_format::header h;
        if (f && fread(&h, sizeof h, 1, f) == 1)
            records = h.sections[tarvo::data_format::record_text].size;
        if (f)
            fclose(f);
    }
    const double german = tarvo::db_records - tarvo::db_de_first;
    const double compiled = records + sizeof(tarvo::DB) + 3 * sizeof(tarvo::T0) + sizeof(tarvo::g) + german * 6;
    state.counters["file_bytes"] = file;
    state.counters["compiled_bytes"] = compiled;
    state.counters["ratio"] = file / compiled;
}
BENCHMARK(BM_FileSize)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
