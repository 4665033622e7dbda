// Payment files: adding and rendering direct debits (20 dates, four sequence types) and
// credit transfers, at two sizes so that a rendering cost that is not linear in the
// number of transactions shows. Peak memory (maximum resident set) is reported too.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>

#include <array>
#include <string>
#include <vector>

#include "tarvo.h"

namespace {

constexpr std::array<const char *, 4> debtor_ibans{"DE89370400440532013000", "NL91ABNA0417164300",
                                                   "AT611904300234573201", "CH9300762011623852957"};
constexpr std::array<const char *, 4> sequence_types{"FRST", "RCUR", "OOFF", "FNAL"};
constexpr int date_count = 20;

// Key/value lists prepared once, so that the measured time is the library's alone.
struct Batch {
    std::vector<std::string> texts;
    std::vector<std::vector<const char *>> lists;
};

Batch make_batch(int count, bool direct_debit) {
    Batch b;
    b.texts.reserve(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i) {
        b.texts.push_back("2024-07-" + std::to_string(10 + (i * 7) % date_count));
        b.texts.push_back("E2E-" + std::to_string(i));
        b.texts.push_back(std::to_string(1 + i % 997) + "." + std::to_string(10 + i % 90));
        b.texts.push_back("Invoice " + std::to_string(i) + " & fees");
    }
    for (int i = 0; i < count; ++i) {
        const std::string *t = &b.texts[static_cast<size_t>(i) * 4];
        std::vector<const char *> kv{"name", "Erika Mustermann", "iban",   debtor_ibans[static_cast<size_t>(i) % 4],
                                     "bic",  "COBADEFFXXX",      "amount", t[2].c_str(),
                                     "date", t[0].c_str(),       "id",     t[1].c_str(),
                                     "ref",  t[3].c_str()};
        if (direct_debit) {
            for (const char *extra :
                 {"seq", sequence_types[static_cast<size_t>(i / 3) % 4], "mref", "MANDATE-0815", "mdate", "2023-04-01"})
                kv.push_back(extra);
        }
        kv.push_back(nullptr);
        b.lists.push_back(std::move(kv));
    }
    return b;
}

tarvo_t *new_message(bool direct_debit) {
    tarvo_init(TARVO_INIT_RULEBOOK, "DE-3.7");
    tarvo_t *h = tarvo_new(direct_debit ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI);
    tarvo_setIBAN(h, "AT611904300234573201");
    tarvo_setBIC(h, "BKAUATWWXXX");
    tarvo_setName(h, "Stadtwerke Musterstadt");
    if (direct_debit) tarvo_setCreditorIdentifier(h, "DE98ZZZ09999999999");
    tarvo_setMessageId(h, "BENCH-0001");
    return h;
}

tarvo_t *filled_message(const Batch &b, bool direct_debit, benchmark::State &state) {
    tarvo_t *h = new_message(direct_debit);
    for (const auto &kv : b.lists) {
        if (tarvo_add(h, kv.data()) != 1) {
            state.SkipWithError(tarvo_getError(h));
            break;
        }
    }
    return h;
}

void report(benchmark::State &state, int count) {
    state.SetItemsProcessed(state.iterations() * count);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    // Time per transaction, printed with an SI prefix (u for microseconds).
    state.counters["s_per_tx"] = benchmark::Counter(static_cast<double>(state.iterations()) * count,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void add(benchmark::State &state, bool direct_debit) {
    const int count = static_cast<int>(state.range(0));
    const Batch b = make_batch(count, direct_debit);
    for (auto _ : state) {
        tarvo_t *h = filled_message(b, direct_debit, state);
        state.PauseTiming();
        tarvo_free(h);
        state.ResumeTiming();
    }
    report(state, count);
}

void render(benchmark::State &state, bool direct_debit) {
    const int count = static_cast<int>(state.range(0));
    const Batch b = make_batch(count, direct_debit);
    tarvo_t *h = filled_message(b, direct_debit, state);
    size_t bytes = 0;
    for (auto _ : state) {
        char *doc = tarvo_toXML(h);
        if (doc == nullptr) {
            state.SkipWithError(tarvo_getError(h));
            break;
        }
        benchmark::DoNotOptimize(doc);
        state.PauseTiming();
        bytes = strlen(doc);
        free(doc);
        state.ResumeTiming();
    }
    state.counters["doc_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    tarvo_free(h);
    report(state, count);
}

void BM_DirectDebitAdd(benchmark::State &state) { add(state, true); }
void BM_DirectDebitRender(benchmark::State &state) { render(state, true); }
void BM_CreditTransferAdd(benchmark::State &state) { add(state, false); }
void BM_CreditTransferRender(benchmark::State &state) { render(state, false); }

BENCHMARK(BM_DirectDebitAdd)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectDebitRender)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreditTransferAdd)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreditTransferRender)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
