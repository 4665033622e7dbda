// Reading speed of the camt reader on a generated 50 MB camt.053 with German-style
// entries, and its memory: what a load holds against the size of its records, and the
// peak while reading, which the streaming reader keeps at the records plus a fixed
// amount whatever the file's size.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "expat_alone.h"
#include "process_memory.h"
#include "tarvo.h"

namespace {

constexpr size_t target_size = size_t{50} << 20;

// Statements of 40 entries in the layout of the German banks' profile: proprietary
// transaction codes, references, counterparties with IBAN and BIC, ultimate parties,
// remittance lines and structured creditor references; every fifth entry a direct-debit
// batch of three.
std::string transaction(unsigned n, bool debit, const char *amount) {
    char buf[2048];
    snprintf(buf, sizeof buf,
             "            <TxDtls>\n"
             "              <Refs><AcctSvcrRef>2024030100%06u</AcctSvcrRef><EndToEndId>E2E-%u-RECHNUNG</EndToEndId>"
             "<MndtId>MANDAT-%05u</MndtId></Refs>\n"
             "              <AmtDtls><TxAmt><Amt Ccy=\"EUR\">%s</Amt></TxAmt></AmtDtls>\n"
             "              <RltdPties>\n"
             "                <Dbtr><Nm>%s</Nm></Dbtr>\n"
             "                <DbtrAcct><Id><IBAN>DE0212030000000020%04u</IBAN></Id></DbtrAcct>\n"
             "                <UltmtDbtr><Nm>Beispiel Handels GmbH</Nm></UltmtDbtr>\n"
             "                <Cdtr><Nm>%s</Nm><Id><PrvtId><Othr><Id>DE98ZZZ09999999999</Id></Othr></PrvtId></Id></Cdtr>\n"
             "                <CdtrAcct><Id><IBAN>DE8937040044053201%04u</IBAN></Id></CdtrAcct>\n"
             "              </RltdPties>\n"
             "              <RltdAgts><DbtrAgt><FinInstnId><BIC>BYLADEM1001</BIC></FinInstnId></DbtrAgt>"
             "<CdtrAgt><FinInstnId><BIC>COBADEFFXXX</BIC></FinInstnId></CdtrAgt></RltdAgts>\n"
             "              <Purp><Cd>GDDS</Cd></Purp>\n"
             "              <RmtInf>\n"
             "                <Ustrd>Rechnung %u vom 01.03.2024 Kundennummer 0099887766 M\xc3\xa4rz</Ustrd>\n"
             "                <Strd><CdtrRefInf><Tp><CdOrPrtry><Cd>SCOR</Cd></CdOrPrtry></Tp>"
             "<Ref>RF18539007547034</Ref></CdtrRefInf></Strd>\n"
             "              </RmtInf>\n"
             "            </TxDtls>\n",
             n, n, n % 100000, amount, debit ? "Beispielfirma GmbH" : "Mustermann, Erika Gabriele", n % 10000,
             debit ? "Stadtwerke Musterstadt GmbH" : "Beispielfirma GmbH", n % 10000, n);
    return buf;
}

std::string entry(unsigned n) {
    const bool batch = n % 5 == 4;
    const bool debit = n % 3 == 0 || batch;
    char amount[32];
    snprintf(amount, sizeof amount, "%u.%02u", 100 + n % 900, n % 100);
    std::string details;
    if (batch) {
        for (unsigned i = 0; i < 3; ++i) details += transaction(n * 3 + i, true, "10.00");
        snprintf(amount, sizeof amount, "30.00");
    } else {
        details = transaction(n, debit, amount);
    }
    char head[1024];
    snprintf(head, sizeof head,
             "        <Ntry>\n"
             "          <Amt Ccy=\"EUR\">%s</Amt>\n"
             "          <CdtDbtInd>%s</CdtDbtInd>\n"
             "          <Sts>BOOK</Sts>\n"
             "          <BookgDt><Dt>2024-03-01</Dt></BookgDt>\n"
             "          <ValDt><Dt>2024-03-01</Dt></ValDt>\n"
             "          <AcctSvcrRef>2024030100%06u</AcctSvcrRef>\n"
             "          <BkTxCd><Prtry><Cd>%s</Cd><Issr>DK</Issr></Prtry></BkTxCd>\n"
             "          <NtryDtls>\n",
             amount, debit ? "DBIT" : "CRDT", n,
             batch ? "NDDT+105+9248+992" : debit ? "NTRF+116+9310+997" : "NTRF+166+9310+997");
    return head + details + "          </NtryDtls>\n          <AddtlNtryInf>" +
           (batch ? "SEPA-Basislastschrift" : debit ? "SEPA-Ueberweisung" : "SEPA-Gutschrift") + "</AddtlNtryInf>\n"
           "        </Ntry>\n";
}

std::string balance(const char *code) {
    return std::string("        <Bal><Tp><CdOrPrtry><Cd>") + code +
           "</Cd></CdOrPrtry></Tp><Amt Ccy=\"EUR\">1000.00</Amt><CdtDbtInd>CRDT</CdtDbtInd>"
           "<Dt><Dt>2024-03-01</Dt></Dt></Bal>\n";
}

struct CamtFile {
    std::string path;
    size_t size = 0;

    CamtFile() {
        path = "/tmp/tarvo_bench_camt." + std::to_string(getpid()) + ".xml";
        FILE *f = fopen(path.c_str(), "wb");
        if (f == nullptr) abort();
        auto put = [&](const std::string &s) {
            fwrite(s.data(), 1, s.size(), f);
            size += s.size();
        };
        put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\">\n  <BkToCstmrStmt>\n"
            "    <GrpHdr><MsgId>BENCH</MsgId><CreDtTm>2024-03-01T18:00:00+01:00</CreDtTm></GrpHdr>\n");
        for (unsigned s = 0, n = 0; size < target_size; ++s) {
            put("    <Stmt>\n      <Id>STMT-" + std::to_string(s) + "</Id>\n      <ElctrncSeqNb>" + std::to_string(s) +
                "</ElctrncSeqNb>\n      <CreDtTm>2024-03-01T18:00:00+01:00</CreDtTm>\n"
                "      <Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>\n" +
                balance("PRCD"));
            for (unsigned i = 0; i < 40; ++i) put(entry(n++));
            put(balance("CLBD") + "    </Stmt>\n");
        }
        put("  </BkToCstmrStmt>\n</Document>\n");
        fclose(f);
    }
    ~CamtFile() { unlink(path.c_str()); }
};

const CamtFile &file() {
    static CamtFile f;
    return f;
}

size_t text_size(const char *text) { return text != nullptr ? strlen(text) + 1 : 0; }

// Bytes of the records themselves: the structs and their texts.
size_t records_size(const tarvo_stmt_t *s, size_t &transactions) {
    size_t bytes = 0;
    transactions = 0;
    for (; s != nullptr; s = s->next) {
        bytes += sizeof *s + text_size(s->ref) + text_size(s->account) + text_size(s->openSaldoText) +
                 text_size(s->closeSaldoText);
        for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next) {
            ++transactions;
            bytes += sizeof *t;
            // Texts shared between the transactions of a batch are counted once each.
            for (const char *text : {t->bankref, t->txtext, t->primanota, t->eref, t->mref, t->cred, t->purp, t->svwz,
                                     t->abwa, t->abwe, t->amountText, t->creditorRef, t->partyName})
                bytes += text_size(text);
        }
    }
    return bytes;
}

void BM_LoadCamtFile(benchmark::State &state) {
    const CamtFile &f = file();
    double held = 0, peak = 0, records = 0;
    size_t transactions = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reset_peak();
        const double before = status_mib("VmRSS");
        state.ResumeTiming();
        tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
        if (tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_CAMT, f.path.c_str()) != 1) {
            state.SkipWithError(tarvo_stmt_parser_getError(p));
            tarvo_stmt_parser_free(p);
            break;
        }
        state.PauseTiming();
        held = status_mib("VmRSS") - before;
        peak = status_mib("VmHWM") - before;
        records = static_cast<double>(records_size(tarvo_stmt_parser_getStatement(p), transactions)) / (1 << 20);
        state.ResumeTiming();
        tarvo_stmt_parser_free(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.size));
    state.counters["file_MiB"] = static_cast<double>(f.size) / (1 << 20);
    state.counters["records_MiB"] = records;
    state.counters["held_MiB"] = held;
    state.counters["peak_MiB"] = peak;
    state.counters["beyond_records_MiB"] = peak - records;
    state.counters["transactions"] = static_cast<double>(transactions);
}
BENCHMARK(BM_LoadCamtFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ExpatAlone(benchmark::State &state) { expat_alone(state, file().path, file().size); }
BENCHMARK(BM_ExpatAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
