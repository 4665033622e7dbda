// Reading speed of the status report and payment file readers: a generated 40 MB
// status report with a status for every transaction, and a credit-transfer file the
// library writes itself, each loaded from a file as the tool does.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "expat_alone.h"
#include "tarvo.h"

namespace {

constexpr size_t status_size = size_t{40} << 20;
constexpr int payments = 60000;

struct TempFile {
    std::string path;
    size_t size = 0;
    explicit TempFile(const char *name) : path("/tmp/tarvo_bench_" + std::string(name) + std::to_string(getpid())) {}
    void write(const std::string &text) {
        FILE *f = fopen(path.c_str(), "wb");
        if (f == nullptr || fwrite(text.data(), 1, text.size(), f) != text.size()) abort();
        fclose(f);
        size = text.size();
    }
    ~TempFile() { unlink(path.c_str()); }
};

// Blocks of 100 transactions, every tenth rejected with a reason, as a bank answers a
// large file of transfers.
const TempFile &status_file() {
    static TempFile f = [] {
        TempFile file("pain002");
        std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.10\">\n<CstmrPmtStsRpt>\n"
                           "  <GrpHdr><MsgId>STS-1</MsgId><CreDtTm>2026-03-01T10:00:00</CreDtTm></GrpHdr>\n"
                           "  <OrgnlGrpInfAndSts><OrgnlMsgId>MSG-1</OrgnlMsgId><OrgnlMsgNmId>pain.001.001.09"
                           "</OrgnlMsgNmId><GrpSts>PART</GrpSts></OrgnlGrpInfAndSts>\n";
        char buf[1024];
        for (unsigned n = 0; text.size() < status_size; ++n) {
            if (n % 100 == 0) {
                if (n > 0) text += "  </OrgnlPmtInfAndSts>\n";
                snprintf(buf, sizeof buf,
                         "  <OrgnlPmtInfAndSts><OrgnlPmtInfId>PMT-%u</OrgnlPmtInfId><PmtInfSts>PART</PmtInfSts>\n"
                         "    <NbOfTxsPerSts><DtldNbOfTxs>90</DtldNbOfTxs><DtldSts>ACCP</DtldSts></NbOfTxsPerSts>\n"
                         "    <NbOfTxsPerSts><DtldNbOfTxs>10</DtldNbOfTxs><DtldSts>RJCT</DtldSts></NbOfTxsPerSts>\n",
                         n / 100);
                text += buf;
            }
            snprintf(buf, sizeof buf,
                     "    <TxInfAndSts><StsId>S%u</StsId><OrgnlInstrId>INSTR-%u</OrgnlInstrId>"
                     "<OrgnlEndToEndId>E2E-%u-RECHNUNG</OrgnlEndToEndId>"
                     "<OrgnlUETR>eb6305c9-1f7f-49de-aed0-%012u</OrgnlUETR><TxSts>%s</TxSts>%s\n"
                     "      <OrgnlTxRef><Amt><InstdAmt Ccy=\"EUR\">%u.%02u</InstdAmt></Amt>"
                     "<Cdtr><Pty><Nm>Mustermann, Erika</Nm></Pty></Cdtr>"
                     "<CdtrAcct><Id><IBAN>DE8937040044053201%04u</IBAN></Id></CdtrAcct></OrgnlTxRef></TxInfAndSts>\n",
                     n, n, n, n, n % 10 == 9 ? "RJCT" : "ACCP",
                     n % 10 == 9 ? "<StsRsnInf><Rsn><Cd>AC04</Cd></Rsn><AddtlInf>Konto aufgeloest</AddtlInf>"
                                   "</StsRsnInf>"
                                 : "",
                     100 + n % 900, n % 100, n % 10000);
            text += buf;
        }
        text += "  </OrgnlPmtInfAndSts>\n</CstmrPmtStsRpt>\n</Document>\n";
        file.write(text);
        return file;
    }();
    return f;
}

// A credit-transfer file of the rulebook in force, as the library writes it.
const TempFile &payment_file() {
    static TempFile f = [] {
        TempFile file("pain001");
        tarvo_init(TARVO_INIT_RULEBOOK, "DE-3.7");
        tarvo_t *h = tarvo_new(TARVO_MSGTYPE_CTI);
        tarvo_setIBAN(h, "DE89370400440532013000");
        tarvo_setBIC(h, "COBADEFFXXX");
        tarvo_setName(h, "Beispielfirma GmbH");
        tarvo_setDate(h, "2026-12-01");
        for (int n = 0; n < payments; ++n) {
            const std::string id = "E2E-" + std::to_string(n) + "-RECHNUNG";
            const std::string amount = std::to_string(100 + n % 900) + ".5" + std::to_string(n % 10);
            const std::string ref = "Rechnung " + std::to_string(n) + " vom 01.03.2026 Kundennummer 0099887766";
            const char *kv[] = {"name", "Mustermann, Erika", "iban", "DE02120300000000202051", "bic", "BYLADEM1001",
                                "amount", amount.c_str(), "id", id.c_str(), "ref", ref.c_str(), nullptr};
            if (tarvo_add(h, kv) != 1) abort();
        }
        char *doc = tarvo_toXML(h);
        if (doc == nullptr) abort();
        file.write(doc);
        free(doc);
        tarvo_free(h);
        return file;
    }();
    return f;
}

void BM_LoadStatusReport(benchmark::State &state) {
    const TempFile &f = status_file();
    for (auto _ : state) {
        tarvo_status_parser_t *p = tarvo_status_parser_new();
        if (tarvo_status_parser_load(p, f.path.c_str()) != 1) {
            state.SkipWithError(tarvo_status_parser_getError(p));
            tarvo_status_parser_free(p);
            break;
        }
        tarvo_status_parser_free(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.size));
    state.counters["file_MiB"] = static_cast<double>(f.size) / (1 << 20);
}
BENCHMARK(BM_LoadStatusReport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ExpatAloneStatusReport(benchmark::State &state) { expat_alone(state, status_file().path, status_file().size); }
BENCHMARK(BM_ExpatAloneStatusReport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadPaymentFile(benchmark::State &state) {
    const TempFile &f = payment_file();
    for (auto _ : state) {
        tarvo_pain_parser_t *p = tarvo_pain_parser_new();
        if (tarvo_pain_parser_load(p, f.path.c_str()) != 1) {
            state.SkipWithError(tarvo_pain_parser_getError(p));
            tarvo_pain_parser_free(p);
            break;
        }
        tarvo_pain_parser_free(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.size));
    state.counters["file_MiB"] = static_cast<double>(f.size) / (1 << 20);
}
BENCHMARK(BM_LoadPaymentFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ExpatAlonePaymentFile(benchmark::State &state) { expat_alone(state, payment_file().path, payment_file().size); }
BENCHMARK(BM_ExpatAlonePaymentFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
