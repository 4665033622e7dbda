// Payment QR codes: reading and writing a full QR-bill and an EPC payload (a few
// microseconds each), and drawing each kind as SVG and PNG (at most a millisecond).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "tarvo.h"
#include "tarvo_qr.h"

namespace {

// Every field used, the Swiss cross over a version-16 code.
const std::string bill =
    "SPC\n0200\n1\nCH4431999123000889012\nS\nRobert Schneider AG\nRue du Lac\n1268\n2501\nBiel\nCH\n\n\n\n\n\n\n\n"
    "1949.75\nCHF\nS\nPia-Maria Rutschmann-Schnyder\nGrosse Marktgasse\n28\n9400\nRorschach\nCH\nQRR\n"
    "210000000003139471430009017\nAuftrag vom 15.06.2020\nEPD\n//S1/10/10201409/11/200701\neBill/B/peter@sample.ch";
const std::string epc = "BCD\n002\n1\nSCT\nBFSWDE33BER\nWikimedia Foerdergesellschaft\nDE33100205000001194700\n"
                        "EUR123.45\nCHAR\n\nSpende fuer Wikipedia\nDanke";

void QrBillParse(benchmark::State &state) {
    for (auto _ : state) {
        tarvo_qrbill_t *b = nullptr;
        benchmark::DoNotOptimize(tarvo_qrbill_parse(bill.data(), bill.size(), &b, nullptr, 0));
        free(b);
    }
}
BENCHMARK(QrBillParse);

void QrBillMake(benchmark::State &state) {
    tarvo_qrbill_t *b = nullptr;
    if (tarvo_qrbill_parse(bill.data(), bill.size(), &b, nullptr, 0) != 1) state.SkipWithError("bill refused");
    for (auto _ : state) {
        char *payload = tarvo_qrbill_make(b, nullptr, 0);
        benchmark::DoNotOptimize(payload);
        free(payload);
    }
    free(b);
}
BENCHMARK(QrBillMake);

void EpcParse(benchmark::State &state) {
    for (auto _ : state) {
        tarvo_epcqr_t *c = nullptr;
        benchmark::DoNotOptimize(tarvo_epcqr_parse(epc.data(), epc.size(), &c, nullptr, 0));
        free(c);
    }
}
BENCHMARK(EpcParse);

void EpcMake(benchmark::State &state) {
    tarvo_epcqr_t *c = nullptr;
    if (tarvo_epcqr_parse(epc.data(), epc.size(), &c, nullptr, 0) != 1) state.SkipWithError("code refused");
    for (auto _ : state) {
        char *payload = tarvo_epcqr_make(c, nullptr, 0);
        benchmark::DoNotOptimize(payload);
        free(payload);
    }
    free(c);
}
BENCHMARK(EpcMake);

void Draw(benchmark::State &state, int kind, const std::string &payload, bool png) {
    for (auto _ : state) {
        size_t size = 0;
        void *picture = png ? static_cast<void *>(tarvo_qr_png(kind, payload.data(), payload.size(), &size, nullptr, 0))
                            : static_cast<void *>(tarvo_qr_svg(kind, payload.data(), payload.size(), nullptr, 0));
        if (picture == nullptr) state.SkipWithError("not drawn");
        benchmark::DoNotOptimize(picture);
        free(picture);
    }
}
BENCHMARK_CAPTURE(Draw, QrBillSvg, TARVO_QR_QRBILL, bill, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, QrBillPng, TARVO_QR_QRBILL, bill, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, EpcSvg, TARVO_QR_EPC, epc, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, EpcPng, TARVO_QR_EPC, epc, true)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
