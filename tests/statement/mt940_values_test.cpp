// MT940 values that were once read wrongly: each row a minimal file and what one field
// of its first record must hold.
#include <gtest/gtest.h>

#include <string>

#include "statement_files.h"

namespace {

using namespace stmt_test;

// A field of the first transaction, or of the first statement, as text.
using TxField = std::string (*)(const tarvo_stmt_tx_t &);
using StatementField = std::string (*)(const tarvo_stmt_t &);

std::string utf8(const char *text) {
    std::string out(2 * strlen(text) + 1, '\0');
    out.resize(tarvo_stmt_text_utf8(text, out.data()));
    return out;
}

std::string when(const struct tm &d) { return d.tm_mday == 0 ? "absent" : date(d); }

const TxField name = [](const tarvo_stmt_tx_t &t) { return utf8(t.name); };
const TxField svwz = [](const tarvo_stmt_tx_t &t) { return t.svwz != nullptr ? utf8(t.svwz) : "(null)"; };
const TxField eref = [](const tarvo_stmt_tx_t &t) { return text(t.eref); };
const TxField kref = [](const tarvo_stmt_tx_t &t) { return text(t.kref); };
const TxField debt = [](const tarvo_stmt_tx_t &t) { return text(t.debt); };
const TxField amount = [](const tarvo_stmt_tx_t &t) { return text(t.amountText); };
const TxField valuta = [](const tarvo_stmt_tx_t &t) { return when(t.valuta); };
const TxField booked = [](const tarvo_stmt_tx_t &t) { return when(t.booked); };

struct TxCase {
    const char *what;
    const char *turnover; // the :61: value
    const char *info;     // the :86: value
    TxField field;
    const char *expected;
};

std::string file_of(const char *turnover, const char *info) {
    return crlf(std::string(":20:X\n:25:1/2\n:28C:1\n:60F:C240101EUR0,\n:61:") + turnover + "\n:86:" + info +
                "\n:62F:C240131EUR0,\n-\n");
}

const TxCase tx_cases[] = {
    // A Latin-1 letter at the end of a field is a letter, not a cut UTF-8 character.
    {"Latin-1 at the end of the name", "240101C1,00NTRF", "166?32HANS WEI\xDF", name, "HANS WEI\xC3\x9F"},
    {"Latin-1 at the end of a text", "240101C1,00NTRF", "166?20SVWZ+Miete Stra\xDF", svwz, "Miete Stra\xC3\x9F"},
    // A name cut to its 55 bytes keeps whole UTF-8 characters.
    {"UTF-8 name cut at a character", "240101C1,00NTRF",
     "166?32AAAAAAAAAAAAAAAAAAAAAAAAAAA?33BBBBBBBBBBBBBBBBBBBBBBBBB\xC3\xBC\xC3\xBC", name,
     "AAAAAAAAAAAAAAAAAAAAAAAAAAABBBBBBBBBBBBBBBBBBBBBBBBB\xC3\xBC"},
    // Keywords inside a word are text.
    {"DEBT+ inside a word", "240101C1,00NTRF", "166?20SVWZ+Rechnung MUSTER-DEBT+?21INKASSO GMBH", debt, "(null)"},
    {"its text stays", "240101C1,00NTRF", "166?20SVWZ+Rechnung MUSTER-DEBT+?21INKASSO GMBH", svwz,
     "Rechnung MUSTER-DEBT+ INKASSO GMBH"},
    {"KREF+ inside a word", "240101C1,00NTRF", "166?20SVWZ+4711 TEKREF+", kref, "(null)"},
    {"keyword after a blank", "240101C1,00NTRF", "166?20SVWZ+4711 KREF+K1", kref, "K1"},
    // No padding blank in a value still empty.
    {"empty value continued", "240101C1,00NTRF", "166?20EREF+?21E2E-0815", eref, "E2E-0815"},
    // A repeated keyword keeps both texts.
    {"repeated keyword", "240101C1,00NTRF", "166?20SVWZ+Rechnung 1?21SVWZ+Rechnung 2", svwz, "Rechnung 1 Rechnung 2"},
    {"repeated around another", "240101C1,00NTRF", "166?20SVWZ+R1?21EREF+E1?22SVWZ+R2?23weiter", svwz,
     "R1 R2 weiter"},
    {"the other stays", "240101C1,00NTRF", "166?20SVWZ+R1?21EREF+E1?22SVWZ+R2?23weiter", eref, "E1"},
    // Exact amount texts.
    {"debit amount text", "240101D1234,5NTRF", "166", amount, "-1234.50"},
    {"point as the mark", "240101C12.34NTRF", "166", amount, "12.34"},
    {"no decimals", "240101C7,NTRF", "166", amount, "7.00"},
    {"blanks before the type", "240101C7,10 NTRF", "166", amount, "7.10"},
    // Impossible dates are absent.
    {"month 13", "241301C1,00NTRF", "166", valuta, "absent"},
    {"30 February", "240230C1,00NTRF", "166", valuta, "absent"},
    {"29 February of a leap year", "240229C1,00NTRF", "166", valuta, "2024-02-29"},
    {"entry date 31 April", "2404300431C1,00NTRF", "166", booked, "absent"},
};

TEST(Mt940Values, ReadAsWritten) {
    for (const TxCase &c : tx_cases) {
        Parsed parsed(file_of(c.turnover, c.info));
        ASSERT_EQ(parsed.result(), 1) << c.what << ": " << parsed.error();
        const auto tx = parsed.transactions();
        ASSERT_EQ(tx.size(), 1u) << c.what;
        EXPECT_EQ(c.field(*tx[0]), c.expected) << c.what;
        EXPECT_EQ(parsed.statements()[0]->incomplete, 0) << c.what;
    }
}

// Amounts MT940 cannot carry end the statement as a malformed line does: the records
// read so far stay, the statement says it is incomplete.
TEST(Mt940Values, ImpossibleAmountsCutTheStatementOff) {
    const std::string amounts[] = {
        "1e5",                 // no exponent
        "-5,00",               // no sign: the mark says
        "1,000,00",            // one decimal mark
        "1234567890123456,00", // at most 15 characters
        std::string(400, '9'),
        ",5",
    };
    for (const std::string &a : amounts) {
        Parsed parsed(file_of(("240101C" + a + "NTRF").c_str(), "166"));
        ASSERT_EQ(parsed.result(), 1) << a;
        const tarvo_stmt_t &s = *parsed.statements()[0];
        EXPECT_EQ(s.incomplete, 1) << a;
        EXPECT_EQ(s.closeSaldoText, nullptr) << a << ": nothing after the line is read";
    }
}

struct StatementCase {
    const char *what;
    const char *file;
    StatementField field;
    const char *expected;
};

const StatementField open_text = [](const tarvo_stmt_t &s) { return text(s.openSaldoText); };
const StatementField close_text = [](const tarvo_stmt_t &s) { return text(s.closeSaldoText); };
const StatementField incomplete = [](const tarvo_stmt_t &s) { return std::to_string(s.incomplete); };

const StatementCase statement_cases[] = {
    {"balance texts", ":20:X\n:60F:D240101EUR5,\n:62F:C240131EUR12,3\n-\n", open_text, "-5.00"},
    {"closing text", ":20:X\n:60F:D240101EUR5,\n:62F:C240131EUR12,3\n-\n", close_text, "12.30"},
    {"trailing blanks", ":20:X\n:62F:C240131EUR12,30  \n-\n", close_text, "12.30"},
    {"absent balance", ":20:X\n:61:240101C1,00NTRF\n-\n", open_text, "(null)"},
    {"complete", ":20:X\n:60F:C240101EUR5,\n-\n", incomplete, "0"},
    {"statement without its end", ":20:X\n:60F:C240101EUR5,\n", incomplete, "0"},
    {"unreadable number", ":20:X\n:28C:ABC\n-\n", incomplete, "1"},
    {"unreadable value date", ":20:X\n:61:24AB01C1,00NTRF\n-\n", incomplete, "1"},
};

TEST(Mt940Values, Statements) {
    for (const StatementCase &c : statement_cases) {
        Parsed parsed(crlf(c.file));
        ASSERT_EQ(parsed.result(), 1) << c.what << ": " << parsed.error();
        EXPECT_EQ(c.field(*parsed.statements()[0]), c.expected) << c.what;
    }
}

// A file with no statement at all is refused, whichever the reason.
TEST(Mt940Values, NoStatementIsAnError) {
    const char *const files[] = {
        "root:x:0:0:root:/root:/bin/bash\n",
        "<?xml version=\"1.0\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"/>",
        "\n\n-\n",
    };
    for (const char *f : files) {
        Parsed parsed(f);
        EXPECT_EQ(parsed.result(), 0) << f;
        EXPECT_EQ(parsed.error(), "No MT940 statement found") << f;
        EXPECT_EQ(tarvo_stmt_parser_getStatement(parsed.parser()), nullptr);
    }
}

} // namespace
