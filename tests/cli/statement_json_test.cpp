// mt940 --json: every sample parses back as JSON and says what the parsed records say.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "run_tool.h"
#include "statement/statement_files.h"

using namespace cli_test;
using nlohmann::json;

namespace {

std::string sample(const char *name) { return std::string(TARVO_SHARED_DIR "/samples/mt940/") + name; }

std::vector<json> parsed_lines(const std::string &out) {
    std::vector<json> docs;
    size_t start = 0;
    for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        docs.push_back(json::parse(out.substr(start, nl - start)));
    EXPECT_EQ(start, out.size()) << "output does not end with a line end";
    return docs;
}

std::string iso_date(const struct tm &d) {
    char out[32];
    snprintf(out, sizeof out, "%04d-%02d-%02d", d.tm_year + 1900, d.tm_mon + 1, d.tm_mday);
    return d.tm_mday == 0 ? "" : out;
}

// The key's text, "" when the key is absent; a key present with an empty text fails.
std::string field(const json &object, const char *key) {
    if (!object.contains(key)) return "";
    const std::string value = object[key].get<std::string>();
    EXPECT_FALSE(value.empty()) << key;
    return value;
}

std::string text(const char *s) { return s != nullptr ? s : ""; }

double amount(const json &object, const char *key) {
    const std::string value = object.at(key).get<std::string>();
    EXPECT_LE(value.size() - value.find('.'), value.size()) << value;
    EXPECT_GE(value.size() - value.find('.'), 3u) << value; // at least two decimals
    return strtod(value.c_str(), nullptr);
}

// A record text as the JSON must hold it: unchanged from a UTF-8 file, else read as
// ISO-8859-1.
std::string in_utf8(const std::string &raw, bool utf8) {
    if (utf8) return raw;
    std::string out;
    for (const char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

void expect_transaction(const json &j, const tarvo_stmt_tx_t &t, bool utf8) {
    EXPECT_EQ(field(j, "valuta"), iso_date(t.valuta));
    EXPECT_EQ(field(j, "booked"), iso_date(t.booked));
    EXPECT_EQ(amount(j, "amount"), t.amount);
    EXPECT_EQ(j.contains("reversal"), t.reversal != 0);
    EXPECT_EQ(j.value("gvc", 0u), t.gvc);
    EXPECT_EQ(j.value("extcode", 0u), t.extcode);
    EXPECT_EQ(field(j, "code"), t.code);
    const std::pair<const char *, std::string> texts[] = {
        {"ref", text(t.ref)},   {"bankref", text(t.bankref)}, {"txtext", text(t.txtext)}, {"primanota", text(t.primanota)},
        {"bank", t.bank},       {"account", t.account},       {"name", t.name},           {"purpose", text(t.purpose)},
        {"eref", text(t.eref)}, {"kref", text(t.kref)},       {"mref", text(t.mref)},     {"cred", text(t.cred)},
        {"debt", text(t.debt)}, {"purp", text(t.purp)},       {"coam", text(t.coam)},     {"oamt", text(t.oamt)},
        {"svwz", text(t.svwz)}, {"abwa", text(t.abwa)},       {"abwe", text(t.abwe)},
    };
    for (const auto &[key, value] : texts) EXPECT_EQ(field(j, key), in_utf8(value, utf8)) << key;
}

TEST(Mt940Json, EverySampleSaysWhatTheRecordsSay) {
    int files = 0;
    for (const char *name : {"betterplace-sepa_snippet.txt", "cmxl-mt940-deutsche_bank.txt", "cmxl-mt940-iso8859-1.txt",
                             "hbci4java-test-mt940-001.sta", "jejik-abnamro.txt", "jejik-deutschebank.txt",
                             "jejik-postfinance.txt", "jejik-sparkasse.txt", "jejik-sparkasse2.txt",
                             "jejik-volksbankenraiffeisenbanken.txt", "mt940-js-ing-1.mta", "php-mt940-Spk-sample.txt"}) {
        const std::string path = sample(name);
        stmt_test::Parsed parsed(stmt_test::Path{path.c_str()});
        if (parsed.result() != 1) continue;
        const Output r = run("C", {"mt940", "--json", path});
        ASSERT_EQ(r.status, 0) << path;
        EXPECT_EQ(r.err, "");
        const std::vector<json> docs = parsed_lines(r.out); // throws on anything but valid UTF-8 JSON
        const bool utf8 = path.find("iso8859") == std::string::npos;
        size_t at = 0;
        for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(parsed.parser()); s != nullptr; s = s->next, ++at) {
            ASSERT_LT(at, docs.size()) << path;
            const json &d = docs[at];
            EXPECT_EQ(field(d, "ref"), in_utf8(text(s->ref), utf8));
            EXPECT_EQ(field(d, "account"), in_utf8(text(s->account), utf8));
            EXPECT_EQ(d.value("number", 0u), s->number);
            EXPECT_EQ(d.value("page", 0u), s->page);
            EXPECT_EQ(field(d, "openDate"), iso_date(s->openDate));
            EXPECT_EQ(field(d, "closeDate"), iso_date(s->closeDate));
            EXPECT_EQ(amount(d, "openSaldo"), s->openSaldo);
            EXPECT_EQ(amount(d, "closeSaldo"), s->closeSaldo);
            EXPECT_EQ(field(d, "openCurrency"), s->openCurrency);
            size_t tx = 0;
            for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next, ++tx) {
                ASSERT_LT(tx, d["transactions"].size());
                expect_transaction(d["transactions"][tx], *t, utf8);
            }
            EXPECT_EQ(tx, d.contains("transactions") ? d["transactions"].size() : 0u);
        }
        EXPECT_EQ(at, docs.size()) << path;
        ++files;
    }
    EXPECT_EQ(files, 12); // every sample loads
}

TEST(Mt940Json, Latin1FileComesOutInUtf8) {
    const Output r = run("C", {"mt940", "--json", sample("cmxl-mt940-iso8859-1.txt")});
    ASSERT_EQ(r.status, 0);
    const std::vector<json> docs = parsed_lines(r.out);
    ASSERT_FALSE(docs.empty());
    const json &second = docs[0]["transactions"][1];
    EXPECT_EQ(second["txtext"], "\xc3\x9c" "BERWEISUNG");
    EXPECT_EQ(second["name"], "M\xc3\x9cLLER");
    EXPECT_EQ(second["purpose"], "Gehalt Oktober\nFirmaM\xc3\xbcstermannGmbH");
    EXPECT_EQ(second["amount"], "3000.00");
}

TEST(Mt940Json, AmountsAreExactDecimals) {
    const std::string statement = stmt_test::crlf(":20:R\n:25:1/2\n:28C:1\n:60F:C240101EUR0,1\n"
                                                  ":61:240102C1234567,89NTRFNONREF\n:61:2401020103RD0,07NTRFNONREF\n"
                                                  ":62F:D240102EUR1234567,72\n-\n");
    const stmt_test::TempFile file(statement);
    const Output r = run("C", {"mt940", "--json", file.path()});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::vector<json> docs = parsed_lines(r.out);
    ASSERT_EQ(docs.size(), 1u);
    EXPECT_EQ(docs[0]["openSaldo"], "0.10");
    EXPECT_EQ(docs[0]["closeSaldo"], "-1234567.72");
    EXPECT_EQ(docs[0]["transactions"][0]["amount"], "1234567.89");
    EXPECT_EQ(docs[0]["transactions"][0].contains("booked"), false); // no entry date in the line
    EXPECT_EQ(docs[0]["transactions"][1]["amount"], "0.07"); // reversal of a debit: a credit
    EXPECT_EQ(docs[0]["transactions"][1]["reversal"], true);
    EXPECT_EQ(docs[0]["transactions"][1]["booked"], "2024-01-03");
}

// camt keeps amounts as written, so three decimals come out as three, and the fields only
// camt has appear.
TEST(CamtJson, AmountsAsWrittenAndCamtFields) {
    const std::string dir = TARVO_SHARED_DIR "/samples/camt/";
    const Output five = run("C", {"camt053", "--json", dir + "camt053.v2.five.decimals.xml"});
    ASSERT_EQ(five.status, 0) << five.err;
    const std::vector<json> statements = parsed_lines(five.out);
    ASSERT_FALSE(statements.empty());
    const json &tx = statements[0]["transactions"];
    ASSERT_FALSE(tx.empty());
    bool as_written = false;
    for (const json &t : tx) {
        const std::string a = t["amount"].get<std::string>();
        as_written = as_written || a == "8.850" || a == "-8.850";
        EXPECT_EQ(t["currency"], "EUR");
    }
    EXPECT_TRUE(as_written) << five.out;

    const Output uetr = run("C", {"camt053", "--json", dir + "camt054.v8-with-UETR.xml"});
    ASSERT_EQ(uetr.status, 0) << uetr.err;
    const std::vector<json> notes = parsed_lines(uetr.out);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0]["transactions"][0]["uetr"].get<std::string>().size(), 36u);
    EXPECT_EQ(notes[0]["transactions"][0]["currency"], "SEK");
}

TEST(Mt940Json, FailuresGoToStandardError) {
    const Output r = run("C", {"mt940", "--json", "/dev/zero"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "MT940: Input is not a regular file\n");
    for (const auto &words : {std::vector<std::string>{"mt940", "--json", "a", "b"}, {"mt940", "--json"}}) {
        const Output usage = words.size() == 4 ? run("C", {words[0], words[1], words[2], words[3]})
                                               : run("C", {words[0], words[1]});
        EXPECT_EQ(usage.status, 1);
        EXPECT_EQ(usage.err, "Usage: " + std::string(TARVOTOOL_PATH) + " mt940 <file>\n");
    }
}

// A FIFO without a writer must be refused at once, not wait for one.
TEST(Mt940, FifoIsRefusedWithoutBlocking) {
    char dir[] = "/tmp/tarvotool-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/statement.sta";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string command = "timeout 10 " + quoted(TARVOTOOL_PATH) + " mt940 " + quoted(fifo) + " >/dev/null";
    const int raw = system(command.c_str());
    unlink(fifo.c_str());
    rmdir(dir);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1); // 124 would be the time-out
}

} // namespace

namespace {

// What accountants reconcile with, as the JSON carries it: a file, a JSON pointer into
// its first line, and the value there (null: the key is absent).
TEST(CamtJson, BookingFields) {
    const std::string dir = TARVO_SHARED_DIR "/samples/camt/";
    const struct {
        const char *file;
        const char *pointer;
        json expected;
    } rows[] = {
        // One booking of 200000 SEK with three details that carry no amount.
        {"camt054.v2.xml", "/transactions/0/amount", "-200000.00"},
        {"camt054.v2.xml", "/transactions/0/details", 3},
        {"camt054.v2.xml", "/transactions/0/endToEndIds/2", "MUELL/FINP/RA12345"},
        {"camt054.v2.xml", "/transactions/1", nullptr},
        {"camt054.v2.xml", "/openSaldo", nullptr}, // a notification states no balances
        {"camt054.v2.xml", "/openDate", nullptr},
        {"camt054.v2.xml", "/complete", true},
        {"camt054.v2.xml", "/transactions/0/status", "BOOK"},
        {"returns/sepa_file_parser_camt054_valid_example.xml", "/transactions/3/returnReason", "MD06"},
        {"returns/sepa_file_parser_camt054_valid_example.xml", "/transactions/3/returnInfo",
         "Lastschrift-Widerspruch durch den Zahlungspflichtigen"},
        {"returns/sepa_file_parser_camt054_valid_example.xml", "/transactions/0/bankTransactionCode", "PMNT-RDDT-PMDD"},
        {"returns/sepa_file_parser_camt054_valid_example.xml", "/transactions/0/entryReference", "41107767420881932"},
        {"camt053.v2.all-balance-types.xml", "/available/currency", "EUR"},
        {"camt053.v2.minimal.xml", "/transactions/0/truncated", nullptr},
    };
    for (const auto &row : rows) {
        const Output r = run("C", {"camt053", "--json", dir + row.file});
        ASSERT_EQ(r.status, 0) << row.file << r.err;
        const std::vector<json> docs = parsed_lines(r.out);
        ASSERT_FALSE(docs.empty());
        const json::json_pointer at(row.pointer);
        EXPECT_EQ(docs[0].contains(at) ? docs[0][at] : json(), row.expected) << row.file << row.pointer;
    }
}

TEST(Mt940Json, IncompleteStatementSaysSoAndFails) {
    const stmt_test::TempFile file(stmt_test::crlf(":20:R\n:61:240102C1e5NTRFNONREF\n-\n:20:S\n:60F:C240101EUR0,\n-\n"));
    const Output r = run("C", {"mt940", "--json", file.path()});
    EXPECT_EQ(r.status, 1);
    const std::vector<json> docs = parsed_lines(r.out);
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0]["complete"], false);
    EXPECT_EQ(docs[1]["complete"], true);
    const Output listing = run("C", {"mt940", file.path()});
    EXPECT_EQ(listing.status, 1);
    EXPECT_NE(listing.out.find("Warning: the statement breaks off at a line that cannot be read\n"), std::string::npos);
}

} // namespace
