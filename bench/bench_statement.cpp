// Parsing speed of the MT940 reader on a generated 50 MB statement file, with the memory
// one load holds and its peak, against the file's size, and the part of that the record
// structs take whatever is done with the texts.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "process_memory.h"
#include "tarvo.h"

namespace {

constexpr size_t target_size = size_t{50} << 20;

// Statements of 40 transactions each, in the layout German banks export: entry dates,
// structured :86: fields broken into lines of at most 65 characters, SEPA keywords.
std::string statement(unsigned number) {
    std::string s;
    char line[256];
    snprintf(line, sizeof line, ":20:STARTUMS\r\n:25:50880050/0194787400888\r\n:28C:%05u/001\r\n:60F:C240301EUR1000,00\r\n",
             number);
    s += line;
    for (unsigned i = 0; i < 40; ++i) {
        snprintf(line, sizeof line, ":61:2403010301%s%u,%02uNTRFNONREF//07247103%08u\r\n", i % 3 ? "CR" : "DR",
                 100 + i * 7, i % 100, number * 40 + i);
        s += line;
        const std::string info = "166?00SEPA-UEBERWEISUNG?109310?20EREF+E2E-" + std::to_string(number) + "-" +
                                 std::to_string(i) + "?21KREF+BATCH 2024-03 NR 445?22SVWZ+Rechnung " +
                                 std::to_string(number * 40 + i) + " vom 01.03.20?2324 Kundennummer 0099887766?24" +
                                 "ABWA+Beispiel Handels GmbH?30DRESDEFF508?31DE14508800500194785000" +
                                 "?32Mustermann, Erika Gabriele?33Beispielstrasse 12?34000";
        s += ":86:";
        for (size_t at = 0; at < info.size(); at += 65) {
            if (at) s += "\r\n";
            s += info.substr(at, 65);
        }
        s += "\r\n";
    }
    s += ":62F:C240301EUR1000,00\r\n-\r\n";
    return s;
}

struct StatementFile {
    std::string path;
    size_t size = 0;

    StatementFile() {
        path = "/tmp/tarvo_bench_statement." + std::to_string(getpid()) + ".sta";
        FILE *f = fopen(path.c_str(), "wb");
        if (f == nullptr) abort();
        for (unsigned n = 0; size < target_size; ++n) {
            const std::string s = statement(n);
            fwrite(s.data(), 1, s.size(), f);
            size += s.size();
        }
        fclose(f);
    }
    ~StatementFile() { unlink(path.c_str()); }
};

const StatementFile &file() {
    static StatementFile f;
    return f;
}

void BM_LoadStatementFile(benchmark::State &state) {
    const StatementFile &f = file();
    double held = 0, peak = 0;
    size_t transactions = 0, statements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reset_peak();
        const double before = status_mib("VmRSS");
        state.ResumeTiming();
        tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
        if (tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_MT940, f.path.c_str()) != 1) {
            state.SkipWithError(tarvo_stmt_parser_getError(p));
            tarvo_stmt_parser_free(p);
            break;
        }
        state.PauseTiming();
        held = status_mib("VmRSS") - before;
        peak = status_mib("VmHWM") - before;
        transactions = statements = 0;
        for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(p); s != nullptr; s = s->next, ++statements)
            for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next) ++transactions;
        state.ResumeTiming();
        tarvo_stmt_parser_free(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.size));
    const double file_mib = static_cast<double>(f.size) / (1 << 20);
    const double structs_mib =
        static_cast<double>(transactions * sizeof(tarvo_stmt_tx_t) + statements * sizeof(tarvo_stmt_t)) / (1 << 20);
    state.counters["file_MiB"] = file_mib;
    state.counters["held_MiB"] = held;
    state.counters["peak_MiB"] = peak;
    state.counters["peak_x_file"] = peak / file_mib;
    state.counters["structs_x_file"] = structs_mib / file_mib;
    state.counters["transactions"] = static_cast<double>(transactions);
}
BENCHMARK(BM_LoadStatementFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
