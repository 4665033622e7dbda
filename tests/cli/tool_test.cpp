// tarvotool's command line, the lookup commands and their texts in the user's locale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "conversions.h"
#include "run_tool.h"
#include "status_text.h"
#include "tarvo.h"

using namespace cli_test;

namespace {

const std::string program = TARVOTOOL_PATH;

TEST(CommandLine, NoCommandPrintsTheSummary) {
    const Output r = run(utf8_locale, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const std::string p = program;
    EXPECT_EQ(r.err, p + ": missing command\nUsage:\n  " + p + " bankid <country> <bank_id>\n  " + p +
                         " convert <country> <bank_id> <account>\n  " + p + " getbic <iban>\n  " + p +
                         " check <iban>\n  " + p + " bic <bic>\n  " + p + " mt940 <file>\n  " + p + " camt053 <file>\n  " + p +
                         " account <account> <bank_id>\n");
}

TEST(CommandLine, UnknownCommandFails) {
    for (const char *word : {"frobnicate", "CHECK", "Mt940", ""}) {
        const Output r = run(utf8_locale, {word});
        EXPECT_NE(r.status, 0) << word;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, program + ": unknown command '" + word + "'\n");
    }
}

TEST(CommandLine, WrongWordCountPrintsTheCommandUsage) {
    struct Case {
        std::vector<std::string> words;
        const char *usage;
    };
    const Case cases[] = {
        {{"bic"}, "bic <bic>"},
        {{"bankid", "DE"}, "bankid <country> <bank_id>"},
        {{"convert", "DE", "37040044"}, "convert <country> <bank_id> <account>"},
        {{"getbic", "a", "b"}, "getbic <iban>"},
        {{"check"}, "check <iban>"},
        {{"mt940"}, "mt940 <file>"},
        {{"camt053", "a", "b"}, "camt053 <file>"},
        {{"account", "532013000"}, "account <account> <bank_id>"},
    };
    for (const Case &c : cases) {
        Output r;
        switch (c.words.size()) {
        case 1: r = run(utf8_locale, {c.words[0]}); break;
        case 2: r = run(utf8_locale, {c.words[0], c.words[1]}); break;
        default: r = run(utf8_locale, {c.words[0], c.words[1], c.words[2]}); break;
        }
        EXPECT_EQ(r.status, 1) << c.usage;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Usage: " + program + " " + c.usage + "\n");
    }
}

TEST(CommandLine, ReferencesAreCheckedOrMade) {
    struct Case {
        std::vector<std::string> words;
        int status;
        const char *out;
    };
    const Case cases[] = {
        {{"rf", "rf18 5390 0754 7034"}, 0, "Creditor reference ok.\n"},
        {{"rf", "RF19539007547034"}, 1, "Invalid creditor reference\n"},
        {{"rf", "--make", "5390 0754 7034"}, 0, "RF18539007547034\n"},
        {{"rf", "--make", "5390-0754"}, 1, "Invalid base for a creditor reference: '5390-0754'\n"},
        {{"qrr", "21 00000 00003 13947 14300 09017"}, 0, "QR reference ok.\n"},
        {{"qrr", "18 78583"}, 1, "Invalid QR reference\n"},
        {{"qrr", "--make", "1878583"}, 0, "000000000000000000018785830\n"},
    };
    for (const Case &c : cases) {
        const Output r = c.words.size() == 2 ? run(utf8_locale, {c.words[0], c.words[1]})
                                             : run(utf8_locale, {c.words[0], c.words[1], c.words[2]});
        EXPECT_EQ(r.status, c.status) << c.words[1];
        EXPECT_EQ(r.out, c.out) << c.words[1];
    }
}

// German IBANs from the shared examples, with the library's own verdict on their
// electronic form: the check accepts IBANs as typed.
struct Iban {
    std::string text;
    bool valid;
};

std::vector<Iban> german_ibans() {
    std::vector<Iban> out;
    std::ifstream in(TARVO_SHARED_DIR "/testdata/ibans.csv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("DE,DE", 0) != 0) continue;
        const std::string iban = line.substr(3, line.find(',', 3) - 3);
        char electronic[35];
        const bool normalised = tarvo_iban_normalize(iban.c_str(), electronic) == 1;
        out.push_back({iban, tarvo_iban_check(normalised ? electronic : iban.c_str()) == 1});
    }
    return out;
}

TEST(Check, AnswersAsTheLibrary) {
    const auto ibans = german_ibans();
    ASSERT_FALSE(ibans.empty());
    int valid = 0;
    for (const Iban &i : ibans) {
        const Output r = run(utf8_locale, {"check", i.text});
        if (i.valid) {
            EXPECT_EQ(r.out, "IBAN ok.\n") << i.text;
        } else {
            // The reason is the library's, never an empty one.
            EXPECT_EQ(r.out.rfind("Invalid IBAN: ", 0), 0u) << i.text;
            EXPECT_GT(r.out.size(), sizeof "Invalid IBAN: \n") << i.text;
        }
        EXPECT_EQ(r.status, i.valid ? 0 : 1) << i.text;
        valid += i.valid;
    }
    EXPECT_GT(valid, 0);
}

TEST(Check, WrongCheckDigits) {
    const Output r = run("C", {"check", "DE89370400440532013001"});
    EXPECT_EQ(r.out, "Invalid IBAN: Invalid IBAN checksum\n");
    EXPECT_EQ(r.status, 1);
}

// Every answer of the library has its line, and only an accepted account exits 0.
TEST(Account, AnswersAsTheLibrary) {
    const struct {
        const char *account, *bankid, *out;
    } cases[] = {
        {"532013000", "37040044", "Account ok.\n"},
        {"9290702", "37040044", "Invalid account\n"},
        {"532013000", "37040045", "Unknown bank ID\n"},
        {"53201300a", "37040044", "Invalid account\n"},
    };
    for (const auto &c : cases) {
        const int verdict = tarvo_account_check_bank(c.account, c.bankid);
        const Output r = run(utf8_locale, {"account", c.account, c.bankid});
        EXPECT_EQ(r.out, c.out) << c.account << " @ " << c.bankid;
        EXPECT_EQ(r.status, verdict >= 1 ? 0 : 1) << c.account << " @ " << c.bankid;
        EXPECT_EQ(r.err, "");
    }
}

std::string or_empty(const char *s) { return s != nullptr ? s : ""; }

// The Name..Country lines as printed in a UTF-8 locale.
std::string address_lines(const tarvo_bank_t &b) {
    return "     Name: '" + or_empty(b.name) + "'\n      ZIP: '" + or_empty(b.zip) + "'\n     City: '" + or_empty(b.city) +
           "'\n  Country: '" + or_empty(b.country) + "'\n";
}

TEST(Getbic, PrintsTheBankOfAValidIban) {
    const char *iban = "DE89370400440532013000";
    char bic[16] = "";
    tarvo_bank_t *bank = nullptr;
    ASSERT_EQ(tarvo_iban_getBIC(iban, bic), 1);
    ASSERT_EQ(tarvo_iban_getBank(iban, &bank), 1);
    const std::string expected = std::string("     IBAN: '") + iban + "'\n      BIC: '" + bic + "'\n" + address_lines(*bank);
    free(bank);
    const Output r = run(utf8_locale, {"getbic", iban});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");

}

TEST(Bankid, PrintsTheDirectoryRecord) {
    tarvo_bank_t *bank = nullptr;
    ASSERT_EQ(tarvo_bankid_check("DE", "37040044", &bank), 1);
    const std::string expected = address_lines(*bank) + "      BIC: '" + or_empty(bank->bic) + "'\n";
    const bool has_umlaut = !ascii_only(expected);
    free(bank);
    const Output r = run(utf8_locale, {"bankid", "DE", "37040044"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
    for (const char *locale : ascii_locales) {
        const Output a = run(locale, {"bankid", "DE", "37040044"});
        EXPECT_EQ(a.status, 0);
        EXPECT_EQ(a.err, "") << "conversion failed in " << locale;
        EXPECT_TRUE(ascii_only(a.out)) << a.out;
        EXPECT_EQ(a.out.size() < r.out.size(), has_umlaut);
    }
}

TEST(Bic, PrintsNameCountryAndSchemes) {
    tarvo_bank_t *bank = nullptr;
    ASSERT_EQ(tarvo_bic_getBank("COBADEFFXXX", &bank), 1);
    const auto yes = [&](int flag) { return std::string((bank->flags & flag) ? "YES" : "NO"); };
    const std::string expected = "      BIC: '" + or_empty(bank->bic) + "'\n     Name: '" + or_empty(bank->name) +
                                 "'\n  Country: '" + or_empty(bank->country) +
                                 "'\n      SCL: SCT  (cash transfer): " + yes(TARVO_SCL_SCT) +
                                 "\n           SDD  (direct debit): " + yes(TARVO_SCL_SDD) +
                                 "\n           COR1 (direct debit COR1): " + yes(TARVO_SCL_COR1) +
                                 "\n           B2B  (direct debit B2B): " + yes(TARVO_SCL_B2B) + "\n";
    free(bank);
    const Output r = run(utf8_locale, {"bic", "COBADEFFXXX"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
}

TEST(Convert, ReplacedAccountEndsWithTheStatusLine) {
    const auto all = conversions();
    const Conversion *c = find(all, true, 1);
    ASSERT_NE(c, nullptr) << "no account replacement among the examples";
    char bic[16] = "";
    tarvo_bank_t *bank = nullptr;
    ASSERT_EQ(tarvo_iban_getBIC(c->iban.c_str(), bic), 1);
    ASSERT_EQ(tarvo_iban_getBank(c->iban.c_str(), &bank), 1);
    const std::string expected = "     IBAN: '" + c->iban + "'\n      BIC: '" + bic + "'\n" + address_lines(*bank) +
                                 "   Status: 1 (Kontonummer wurde ersetzt)\n";
    free(bank);
    const Output r = run(utf8_locale, {"convert", "DE", c->bank_code, c->account});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
}

TEST(Convert, RefusalWithStatusNamesIt) {
    const auto all = conversions();
    const Conversion *c = find(all, false, 11);
    ASSERT_NE(c, nullptr) << "no invalid account among the examples";
    const Output r = run(utf8_locale, {"convert", "DE", c->bank_code, c->account});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "conversion failed (Kontonummer ung\xc3\xbcltig)\n");
    for (const char *locale : ascii_locales) {
        const Output a = run(locale, {"convert", "DE", c->bank_code, c->account});
        EXPECT_EQ(a.status, 1);
        EXPECT_EQ(a.err, "");
        EXPECT_TRUE(ascii_only(a.out)) << a.out;
        EXPECT_EQ(a.out.rfind("conversion failed (Kontonummer ung", 0), 0u) << a.out;
        EXPECT_EQ(a.out.substr(a.out.size() - 6), "ltig)\n");
    }
}

Output run_words(const std::vector<std::string> &w) {
    switch (w.size()) {
    case 2: return run("C", {w[0], w[1]});
    case 3: return run("C", {w[0], w[1], w[2]});
    default: return run("C", {w[0], w[1], w[2], w[3]});
    }
}

// Each failure keeps its first words, which scripts look for, and names its reason.
TEST(Failures, NameTheirReason) {
    struct Case {
        std::vector<std::string> words;
        const char *out;
    };
    const Case cases[] = {
        {{"bankid", "XX", "123"}, "lookup failed: no bank directory for this country\n"},
        {{"bankid", "DE", "00000000"}, "lookup failed: bank code not in the directory\n"},
        {{"bankid", "CH", "99999"}, "lookup failed: bank code not in the directory\n"},
        {{"getbic", "DE89370400440532013001"}, "Invalid IBAN: Invalid IBAN checksum\n"},
        {{"getbic", "XX89370400440532013000"}, "Invalid IBAN: Invalid or unknown IBAN country code\n"},
        {{"getbic", "FR1420041010050500013M02606"}, "lookup failed: no bank directory for this country\n"},
        {{"getbic", "CH4299999000000000001"}, "lookup failed: bank code not in the directory\n"},
        {{"check", "DE89 3704 0044 0532 0130 01"}, "Invalid IBAN: Invalid IBAN checksum\n"},
        {{"bic", "ZZZZZZZZ"}, "Bank lookup failed: BIC malformed or not in the directory\n"},
        {{"bic", "COBA"}, "Bank lookup failed: BIC malformed or not in the directory\n"},
        {{"convert", "XX", "5678", "1234"}, "conversion failed: only German accounts are converted (country DE)\n"},
        {{"convert", "DE", "3704004", "532013000"},
         "conversion failed: bank code of 8 digits and account of up to 10 digits expected\n"},
        {{"convert", "DE", "37040044", "12345678901"},
         "conversion failed: bank code of 8 digits and account of up to 10 digits expected\n"},
    };
    for (const Case &c : cases) {
        const Output r = run_words(c.words);
        EXPECT_EQ(r.out, c.out) << c.words[0] << " " << c.words[1];
        EXPECT_EQ(r.status, 1) << c.words[0] << " " << c.words[1];
        EXPECT_EQ(r.err, "");
    }
}

// Swiss institutions, which the directory lists without a country, print as CH; foreign
// holders of a Swiss clearing number keep their own.
TEST(Failures, SwissBanksNameTheirCountry) {
    struct Case {
        std::vector<std::string> words;
        const char *country;
    };
    const Case cases[] = {
        {{"bankid", "CH", "100"}, "CH"},
        {{"getbic", "CH3300100000000000001"}, "CH"},
        {{"bankid", "LI", "30172"}, "LI"},
        {{"bankid", "CH", "193"}, "DE"},
        {{"bankid", "AT", "10000"}, "AT"},
    };
    for (const Case &c : cases) {
        const Output r = run_words(c.words);
        EXPECT_EQ(r.status, 0) << c.words[1] << r.out;
        EXPECT_NE(r.out.find(std::string("  Country: '") + c.country + "'\n"), std::string::npos) << r.out;
    }
}

// A German locale with a plain ASCII character set, compiled for the test into a
// directory of its own: its transliteration table spells umlauts out, which the C
// locale's table cannot, so the output shows whether the user's locale is in force.
class GermanAsciiLocale {
public:
    GermanAsciiLocale() {
        char dir[] = "/tmp/tarvotool-locale-XXXXXX";
        if (mkdtemp(dir) == nullptr) return;
        dir_ = dir;
        const std::string command =
            "localedef -i de_DE -f ANSI_X3.4-1968 " + quoted(dir_ + "/de_DE.ASCII") + " >/dev/null 2>&1";
        if (system(command.c_str()) != -1) ready_ = std::filesystem::exists(dir_ + "/de_DE.ASCII/LC_CTYPE");
    }
    GermanAsciiLocale(const GermanAsciiLocale &) = delete;
    GermanAsciiLocale &operator=(const GermanAsciiLocale &) = delete;
    ~GermanAsciiLocale() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    bool ready() const { return ready_; }
    std::string environment() const { return "LOCPATH=" + quoted(dir_); }

private:
    std::string dir_;
    bool ready_ = false;
};

// German umlauts as that locale writes them in ASCII.
std::string spelled_out(const std::string &utf8) {
    static const std::pair<const char *, const char *> table[] = {
        {"\xc3\xa4", "ae"}, {"\xc3\xb6", "oe"}, {"\xc3\xbc", "ue"}, {"\xc3\x84", "AE"},
        {"\xc3\x96", "OE"}, {"\xc3\x9c", "UE"}, {"\xc3\x9f", "ss"},
    };
    std::string out = utf8;
    for (const auto &[from, to] : table)
        for (size_t at = out.find(from); at != std::string::npos; at = out.find(from, at + 1))
            out.replace(at, 2, to);
    return out;
}

TEST(Transliteration, FollowsTheUsersLocale) {
    const GermanAsciiLocale german;
    if (!german.ready()) GTEST_SKIP() << "localedef cannot build de_DE with an ASCII character set";
    tarvo_bank_t *bank = nullptr;
    ASSERT_EQ(tarvo_bankid_check("DE", "37050198", &bank), 1);
    const std::string utf8 = address_lines(*bank) + "      BIC: '" + or_empty(bank->bic) + "'\n";
    free(bank);
    ASSERT_FALSE(ascii_only(utf8)) << "the bank's name or city should carry an umlaut";
    const Output r = run("de_DE.ASCII", {"bankid", "DE", "37050198"}, german.environment());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, spelled_out(utf8));

    const auto all = conversions();
    const Conversion *c = find(all, false, 11);
    ASSERT_NE(c, nullptr);
    const Output refused = run("de_DE.ASCII", {"convert", "DE", c->bank_code, c->account}, german.environment());
    EXPECT_EQ(refused.out, "conversion failed (Kontonummer ungueltig)\n");
    EXPECT_EQ(refused.status, 1);
}

} // namespace
