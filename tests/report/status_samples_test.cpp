// Every shared status report read record by record as the document states it: the ids
// carried down to every level, reasons, the joined information lines, the counts per
// status, the counterparty of the original transaction and the version.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report_text.h"

using report_test::describe_all;

namespace {

std::string sample(const std::string &name) { return std::string(TARVO_SHARED_DIR "/samples/pain002/") + name; }

const std::string vop_info =
    "RVNM Der Name des Empfaengers und die angegebene IBAN wurde abgeglichen (Empfaengerueberpruefung). Der "
    "RVNM Name des oder der Kontoinhaber(s) zur angegebenen IBAN stimmt nicht ueberein. Beachte: die "
    "RVNM Autorisierung der Ueberweisung kann dazu fuehren, dass das Geld an eine falsche Person ueberwiesen "
    "RVNM wird.";
const std::string vop_counts = " RCVC=0 RVNM=1 RVMC=0 RVNA=0 PDNG=0";
const std::string vop_msg = "msg=2025-10-20T23:33:49:0045";

const std::vector<std::string> vop_records = {
    "group " + vop_msg + " name=pain.001 n=1 sum=100.00 status=RVMC info=" + vop_info + vop_counts,
    "payment " + vop_msg + " pmt=2025-10-20T23:33:49:0045 n=1 sum=100.00 status=RVMC" + vop_counts,
    "transaction " + vop_msg +
        " pmt=2025-10-20T23:33:49:0045 e2e=NOTPROVIDED uetr=a34743b9-fb22-4ec6-9947-03b7e191584e status=RVNM"
        " cpty=Max Mustermann iban=DE12345678901234567890",
};

struct Sample {
    const char *file;
    const char *version;
    std::vector<std::string> records;
};

const Sample samples[] = {
    {"hbci4java_test-pain-parse-0020110-01.xml", "unversioned", vop_records},
    {"hbci4java_test-pain-parse-0020110-02.xml", "pain.002.001.10", vop_records},
    {"hbci4java_test-pain-parse-0020110-03.xml",
     "pain.002.001.10",
     {"group msg=2025-11-02T18:33:03:0287 name=pain.001 n=2 sum=488 status=RCVC info=RCVC Der angegebene "
      "Empfaengername stimmt mit dem Namen des Kontoinhabers ueberein. RCVC Hier besteht kein Handlungsbedarf. RCVC=2",
      "payment msg=2025-11-02T18:33:03:0287 pmt=2025-11-02T18:33:03:0287 n=2 sum=488 status=RCVC RCVC=2"}},
    {"sepa_file_parser_pain002_valid_example.xml",
     "pain.002.001.03",
     {"group msg=Message-ID-12345 name=pain.008",
      "payment msg=Message-ID-12345 pmt=Payment-Information-ID-12345",
      "transaction msg=Message-ID-12345 pmt=Payment-Information-ID-12345 instr=InstrIDValue e2e=Source1234 "
      "status=RJCT reason=AC01 amount=6543.14 EUR cpty=Debtor Name iban=DE89370400440532013000"}},
    {"sepa_file_parser_pain002_valid_example_001.03.xml",
     "pain.002.001.03.ch.02",
     {"group msg=bd381007c00627bb0e5adabd37fbb4 name=pain.001.001.03.ch.02 status=ACTC"}},
    {"sepa_file_parser_pain002_valid_example_001.10.xml",
     "pain.002.001.10",
     {"group msg=Message-ID-4711 name=pain.008.001.08",
      "payment msg=Message-ID-4711 pmt=Sammlerreferenz-4710",
      "transaction msg=Message-ID-4711 pmt=Sammlerreferenz-4710 e2e=OriginatorID1234 status=RJCT reason=AC01 "
      "amount=6543.14 EUR cpty=Debtor Name iban=DE87200500001234567890"}},
};

TEST(StatusSamples, EveryRecordAsTheReportStatesIt) {
    for (const Sample &s : samples) {
        SCOPED_TRACE(s.file);
        tarvo_status_parser_t *p = tarvo_status_parser_new();
        ASSERT_EQ(tarvo_status_parser_load(p, sample(s.file).c_str()), 1) << tarvo_status_parser_getError(p);
        EXPECT_STREQ(tarvo_status_parser_getVersion(p), s.version);
        EXPECT_EQ(describe_all(p), s.records);
        tarvo_status_parser_free(p);
    }
}

// The same bytes from memory give the same records: the file is read in pieces, memory
// in one.
TEST(StatusSamples, MemoryGivesWhatTheFileGives) {
    for (const Sample &s : samples) {
        SCOPED_TRACE(s.file);
        std::ifstream in(sample(s.file), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const std::string text = bytes.str();
        tarvo_status_parser_t *p = tarvo_status_parser_new();
        ASSERT_EQ(tarvo_status_parser_loadMemory(p, text.data(), text.size()), 1) << tarvo_status_parser_getError(p);
        EXPECT_EQ(describe_all(p), s.records);
        tarvo_status_parser_free(p);
    }
}

} // namespace
