// The matching step of reconciliation on records already loaded: N payments of a
// credit transfer file in blocks of 100 against N statement entries (most of them
// bookings by end-to-end id, some returns, a batch booking per 50 blocks, some entries
// of other payments) and a status record per block. Reports the memory the run adds
// per payment, which stays flat from the small to the large size when it grows
// linearly.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <memory>
#include <string>

#include "process_memory.h"
#include "reconcile/reconcile.h"

namespace {

using namespace tarvo::reconcile;

constexpr unsigned block_size = 100;

std::string_view keep(Reconciliation &r, const char *format, unsigned n) {
    char buf[64];
    snprintf(buf, sizeof buf, format, n);
    return r.texts.keep(buf);
}

void load(Reconciliation &r, unsigned n) {
    r.payments.reserve(n);
    r.entries.reserve(n);
    const std::string_view file = r.texts.keep("payments-2026-12.xml");
    const std::string_view statement = r.texts.keep("statement-2026-12.xml");
    const std::string_view report = r.texts.keep("status-2026-12.xml");
    for (unsigned i = 0; i < n; ++i) {
        Payment p;
        p.message_id = keep(r, "MSG-%u", i / (block_size * 50));
        p.payment_information_id = keep(r, "PMT-%u", i / block_size);
        p.end_to_end_id = keep(r, "E2E-%08u-RECHNUNG", i);
        p.iban = keep(r, "DE89370400440532%06u", i % 1000000);
        p.currency = "EUR";
        p.source = file;
        p.cents = 1000 + i % 90000;
        r.payments.push_back(p);
        if (i % block_size == 0) {
            Status s;
            s.level = Level::Payment;
            s.message_id = p.message_id;
            s.payment_information_id = p.payment_information_id;
            s.status = i % 700 == 0 ? "PART" : "ACCP";
            s.source = report;
            s.element = keep(r, "OrgnlPmtInfAndSts[%u]", i / block_size + 1);
            r.statuses.push_back(s);
        }
    }
    for (unsigned i = 0; i < n; ++i) {
        Entry e;
        e.source = statement;
        e.element = keep(r, "statement 1 entry %u", i + 1);
        e.currency = "EUR";
        const Payment &p = r.payments[(i * 7919u) % n]; // entries in another order than the payments
        if (i % 50 == 49) {
            e.end_to_end_id = keep(r, "FOREIGN-%u", i); // someone else's payment
            e.cents = 4711;
            e.credit = true;
        } else {
            e.end_to_end_id = p.end_to_end_id;
            e.cents = p.cents;
            e.credit = i % 40 == 7;
            if (e.credit) e.return_reason = "AC04";
        }
        r.entries.push_back(e);
    }
}

void BM_Reconcile(benchmark::State &state) {
    const unsigned n = static_cast<unsigned>(state.range(0));
    double added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto owned = std::make_unique<Reconciliation>();
        Reconciliation &r = *owned;
        load(r, n);
        reset_peak();
        const double before = status_mib("VmRSS");
        state.ResumeTiming();
        const bool ok = r.run();
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        added = status_mib("VmHWM") - before;
        if (!ok || r.outcomes.size() < n) state.SkipWithError("the run failed");
        owned.reset(); // not part of the matching
        state.ResumeTiming();
    }
    state.counters["bytes_per_payment"] = added * 1024 * 1024 / n;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_Reconcile)->Arg(250000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
