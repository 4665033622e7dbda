// IBAN validation: verdicts and messages step by step, the published examples, the
// country table read back through the checker, and the life cycle of the compiled
// patterns.
#include <gtest/gtest.h>
#include <regex.h>

#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "ident/ident.h"

namespace tarvo {
// The compiled country pattern applied by the C library (iban.cpp).
int iban_regex_match(const char *iban);
} // namespace tarvo
namespace ident_test {
// Bank codes of the Bundesbank's file (lookup_test.cpp).
std::vector<std::string> german_bank_codes();
} // namespace ident_test

namespace {

constexpr const char *kCountry = "Invalid or unknown IBAN country code";
constexpr const char *kLength = "Wrong IBAN length";
constexpr const char *kFormat = "Invalid IBAN format";
constexpr const char *kChecksum = "Invalid IBAN checksum";
constexpr const char *kBank = "Invalid bank ID (BLZ) in IBAN";
constexpr const char *kAccount = "Invalid account number in IBAN";

// The message of a failed check, or "" for a valid IBAN.
std::string verdict(const char *iban) {
    const char *message = "untouched";
    const int result = tarvo::iban_check(iban, &message);
    if (result == 1) {
        EXPECT_STREQ(message, "untouched") << "success must not set the message";
        return "";
    }
    EXPECT_EQ(result, 0);
    return message;
}

// Check digits computed on the decimal expansion of the rearranged IBAN, long division
// in the test's own terms.
std::string with_check_digits(const std::string &country, const std::string &bban) {
    std::string digits;
    for (char c : bban + country + "00") {
        if (c >= '0' && c <= '9') digits += c;
        else digits += std::to_string(c - 'A' + 10);
    }
    int remainder = 0;
    for (char d : digits) remainder = (remainder * 10 + (d - '0')) % 97;
    const int check = 98 - remainder;
    return country + (check < 10 ? "0" : "") + std::to_string(check) + bban;
}

TEST(IbanCheck, WorkedExampleAndItsCheckDigits) {
    EXPECT_EQ(verdict("DE89370400440532013000"), "");
    EXPECT_EQ(verdict("DE88370400440532013000"), kChecksum);
    EXPECT_EQ(with_check_digits("DE", "370400440532013000"), "DE89370400440532013000");
}

TEST(IbanCheck, StepsReportInTheirOrder) {
    EXPECT_EQ(verdict(nullptr), "Invalid IBAN (NULL)");
    EXPECT_EQ(verdict("de89370400440532013000"), kFormat); // country found, pattern is upper case
    EXPECT_EQ(verdict("DE89 3704 0044 0532 0130 00"), kLength);
    for (const char *unknown : {"XX89370400440532013000", "US12345678901234567890", "", "D", "1E89370400440532013000"})
        EXPECT_EQ(verdict(unknown), kCountry) << unknown;
    EXPECT_EQ(verdict("DE8937040044053201300A"), kFormat);
    EXPECT_EQ(verdict("DE8937040044053201300\xC3"), kFormat);
    // A length error wins over a format error in the same string.
    EXPECT_EQ(verdict("DEAA3704004405320130"), kLength);
}

TEST(IbanCheck, ExactLengthPerCountry) {
    const std::string norway = with_check_digits("NO", "86011117947");
    const std::string malta = with_check_digits("MT", "MALT011000012345MTLCAST001S");
    ASSERT_EQ(norway.size(), 15u);
    ASSERT_EQ(malta.size(), 31u);
    EXPECT_EQ(verdict(norway.c_str()), "");
    EXPECT_EQ(verdict(malta.c_str()), "");
    for (const std::string &iban : {norway, malta}) {
        EXPECT_EQ(verdict((iban + "0").c_str()), kLength);
        EXPECT_EQ(verdict(iban.substr(0, iban.size() - 1).c_str()), kLength);
    }
}

TEST(IbanCheck, CheckDigitsOutsideTheIsoRangeAreRefused) {
    // 00, 01 and 99 leave the same MOD 97 remainder as 97, 98 and 02; find bodies whose
    // check digits are those three and swap in the alias.
    const std::map<std::string, std::string> alias = {{"97", "00"}, {"98", "01"}, {"02", "99"}};
    std::set<std::string> seen;
    for (int n = 0; n < 100000 && seen.size() < alias.size(); ++n) {
        const std::string iban = with_check_digits("NO", std::to_string(10000000000LL + n));
        const auto it = alias.find(iban.substr(2, 2));
        if (it == alias.end() || !seen.insert(it->first).second) continue;
        EXPECT_EQ(verdict(iban.c_str()), "") << iban;
        const std::string aliased = iban.substr(0, 2) + it->second + iban.substr(4);
        EXPECT_EQ(verdict(aliased.c_str()), kChecksum) << aliased;
    }
    EXPECT_EQ(seen.size(), alias.size());
}

TEST(IbanCheck, GermanDirectoryAndAccount) {
    EXPECT_EQ(verdict(with_check_digits("DE", "123456780532013000").c_str()), kBank);
    EXPECT_EQ(verdict(with_check_digits("DE", "370400440532013100").c_str()), kAccount);

    // A bank whose method has no check digit takes accounts that a checked bank refuses.
    std::string exempt;
    for (const std::string &code : ident_test::german_bank_codes()) {
        tarvo::bank_record bank;
        if (tarvo::lookup_bank("DE", code.c_str(), &bank) == 1 && bank.method == 0x09) {
            exempt = code;
            break;
        }
    }
    ASSERT_FALSE(exempt.empty()) << "no bank with method 09 in the directory";
    int refused = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        const std::string account = std::string("0532013") + digit + "00";
        EXPECT_EQ(verdict(with_check_digits("DE", exempt + account).c_str()), "") << exempt << account;
        refused += verdict(with_check_digits("DE", "37040044" + account).c_str()) == kAccount;
    }
    EXPECT_GT(refused, 0);
}

TEST(IbanCheck, ForeignIbansNeedNoDirectoryEntry) {
    for (const auto &[country, bban] : std::vector<std::pair<std::string, std::string>>{
             {"AT", "9999900000012345"}, {"CH", "9999900012345678A"}, {"LI", "9999900012345678B"}}) {
        tarvo::bank_record bank;
        ASSERT_EQ(tarvo::lookup_bank(country == "LI" ? "CH" : country.c_str(), "99999", &bank), 0);
        EXPECT_EQ(verdict(with_check_digits(country, bban).c_str()), "") << country;
    }
}

TEST(IbanCheck, ExportedFormAndNullMessage) {
    EXPECT_EQ(tarvo_iban_check("DE89370400440532013000"), 1);
    EXPECT_EQ(tarvo_iban_check("DE88370400440532013000"), -1);
    EXPECT_EQ(tarvo_iban_check(nullptr), -1);
    EXPECT_EQ(tarvo::iban_check("DE89370400440532013000", nullptr), 1);
    EXPECT_EQ(tarvo::iban_check("DE88370400440532013000", nullptr), 0);
    EXPECT_EQ(tarvo::iban_check(nullptr, nullptr), 0);
}

// ---- Published examples ------------------------------------------------------------

std::vector<std::string> csv_fields(const std::string &line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

struct example {
    std::string iban;
    bool valid;
    std::string reason;
};

std::vector<example> published_examples() {
    std::vector<example> rows;
    std::ifstream in(TARVO_SHARED_DIR "/testdata/ibans.csv", std::ios::binary);
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        const auto f = csv_fields(line);
        if (f.size() < 4 || (f[2] != "valid" && f[2] != "invalid")) {
            ADD_FAILURE() << "malformed row: " << line;
            continue;
        }
        rows.push_back({f[1], f[2] == "valid", f[3]});
    }
    return rows;
}

TEST(IbanCheck, PublishedExamples) {
    const std::map<std::string, std::string> messages = {
        {"country", kCountry}, {"length", kLength}, {"format", kFormat}, {"checksum", kChecksum},
        {"bank", kBank},       {"account", kAccount}};
    const auto rows = published_examples();
    EXPECT_EQ(rows.size(), 307u);
    for (const auto &row : rows) {
        ASSERT_TRUE(row.valid || messages.count(row.reason)) << row.iban << " " << row.reason;
        EXPECT_EQ(verdict(row.iban.c_str()), row.valid ? "" : messages.at(row.reason)) << row.iban;
        EXPECT_EQ(tarvo_iban_check(row.iban.c_str()), row.valid ? 1 : -1) << row.iban;
    }
}

// ---- The country table, read back through the checker --------------------------------

// Every code the checker knows, with the one length it accepts.
std::map<std::string, std::size_t> known_countries() {
    std::map<std::string, std::size_t> lengths;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b) {
            const std::string code{a, b};
            if (verdict(code.c_str()) == kCountry) continue;
            for (std::size_t length = 2; length <= 40; ++length)
                if (verdict((code + std::string(length - 2, '0')).c_str()) != kLength) {
                    EXPECT_TRUE(lengths.emplace(code, length).second) << code << " has two lengths";
                }
        }
    return lengths;
}

TEST(IbanFormats, ThirtySevenCountriesOneLengthEach) {
    auto lengths = known_countries();
    const std::set<std::string> expected = {"AT", "BE", "BG", "HR", "CY", "CZ", "DK", "FO", "GL", "EE",
                                            "FI", "FR", "DE", "GI", "GR", "HU", "IS", "IE", "IT", "LV",
                                            "LI", "LT", "LU", "MT", "MC", "NL", "NO", "PL", "PT", "RO",
                                            "SM", "SK", "SI", "ES", "SE", "CH", "GB"};
    std::set<std::string> codes;
    for (const auto &[code, length] : lengths) codes.insert(code);
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(lengths["NO"], 15u);
    EXPECT_EQ(lengths["MT"], 31u);
    EXPECT_EQ(lengths["DE"], 22u);
    EXPECT_EQ(lengths["FR"], 27u);
    EXPECT_EQ(lengths["BE"], 16u);
    // Lower-case codes find the same rows.
    EXPECT_EQ(verdict("no"), kLength);
}

// The position table must read each pattern exactly as the C library does: mutate
// strings of each country at every position and compare the two verdicts.
TEST(IbanFormats, PositionTableAgreesWithTheCompiledPatterns) {
    ASSERT_EQ(verdict("DE89370400440532013000"), ""); // compiles the patterns
    const auto lengths = known_countries();
    ASSERT_EQ(lengths.size(), 37u);
    std::map<std::string, std::vector<std::string>> bases;
    for (const auto &[code, length] : lengths) {
        bases[code].push_back(code + std::string(length - 2, '0'));
        bases[code].push_back(code + std::string(length - 2, 'A'));
    }
    // The examples give every country strings that match its pattern.
    for (const auto &row : published_examples()) {
        const auto it = lengths.find(row.iban.substr(0, 2));
        if (it != lengths.end() && row.iban.size() == it->second) bases[it->first].push_back(row.iban);
    }
    const std::string replacements = "09AOZaz -/\x7F\x80\xC3\xFF";
    std::set<std::string> matching_countries;
    int compared = 0;
    auto compare = [&](const std::string &candidate) {
        const int regex = tarvo::iban_regex_match(candidate.c_str());
        const std::string v = verdict(candidate.c_str());
        if (regex < 0) {
            EXPECT_EQ(v, kCountry) << candidate;
        } else if (v != kLength) { // another country's code with another length
            EXPECT_EQ(v == kFormat, regex == 0) << candidate;
            if (regex == 1) matching_countries.insert(candidate.substr(0, 2));
            ++compared;
        }
    };
    for (const auto &[code, strings] : bases)
        for (const auto &base : strings) {
            compare(base);
            for (std::size_t i = 0; i < base.size(); ++i)
                for (char c : replacements) {
                    std::string s = base;
                    s[i] = c;
                    compare(s);
                }
        }
    EXPECT_GT(compared, 37 * 2 * 20 * 10);
    EXPECT_EQ(matching_countries.size(), 37u);
}

// Runs of digits are read eight at a time; the remainder must be the one of reading
// character by character, with a foreign character anywhere in or around such a run.
TEST(IbanMod97, AgreesWithReadingOneCharacterAtATime) {
    const auto one_at_a_time = [](const std::string &s) {
        int r = 0;
        const std::string moved = s.substr(4) + s.substr(0, 4);
        for (char c : moved) {
            int n;
            if (c >= '0' && c <= '9') n = c - '0';
            else if (c >= 'A' && c <= 'Z') n = c - 'A' + 10;
            else if (c >= 'a' && c <= 'z') n = c - 'a' + 10;
            else return -1;
            r = (n < 10 ? r * 10 + n : r * 100 + n) % 97;
        }
        return r;
    };
    std::mt19937 rnd(4711);
    const std::string alphabet = "0123456789012345678901234567890123456789AZaz -\x80\xFF/";
    for (int k = 0; k < 200000; ++k) {
        std::string s(5 + rnd() % 30, '0');
        const bool mostly_digits = k % 2 == 0;
        for (char &c : s) c = mostly_digits && rnd() % 16 ? static_cast<char>('0' + rnd() % 10) : alphabet[rnd() % alphabet.size()];
        ASSERT_EQ(tarvo::iban_mod97(s.c_str(), s.size()), one_at_a_time(s)) << s;
    }
}

// ---- Compiled patterns: cleanup, binding and compile failures ------------------------

int fake_regcomp_calls = 0;
int fake_regcomp_fail_at = 0; // the call that fails (1-based); 0 never
int fake_regfree_calls = 0;
decltype(libc_regcomp) real_regcomp;
decltype(libc_regfree) real_regfree;

int fake_regcomp(regex_t *preg, const char *pattern, int flags) {
    if (++fake_regcomp_calls == fake_regcomp_fail_at) return REG_ESPACE;
    return real_regcomp(preg, pattern, flags);
}
void fake_regfree(regex_t *preg) {
    ++fake_regfree_calls;
    real_regfree(preg);
}

class CompiledPatterns : public ::testing::Test {
protected:
    void SetUp() override {
        libc_regex_init();
        ASSERT_NE(libc_regcomp, nullptr);
        real_regcomp = libc_regcomp;
        real_regfree = libc_regfree;
        saved_regexec = libc_regexec;
        tarvo_cleanup();
        fake_regcomp_calls = fake_regcomp_fail_at = fake_regfree_calls = 0;
    }
    void TearDown() override {
        tarvo_cleanup();
        libc_regcomp = real_regcomp;
        libc_regexec = saved_regexec;
        libc_regfree = real_regfree;
    }
    decltype(libc_regexec) saved_regexec = nullptr;
};

TEST_F(CompiledPatterns, CleanupThenCheckCompilesAgain) {
    libc_regcomp = fake_regcomp;
    libc_regfree = fake_regfree;
    EXPECT_EQ(verdict("DE89370400440532013000"), "");
    EXPECT_EQ(fake_regcomp_calls, 37);
    EXPECT_EQ(verdict("GB82WEST12345698765432"), "");
    EXPECT_EQ(fake_regcomp_calls, 37) << "compiled once until cleanup";
    tarvo_cleanup();
    EXPECT_EQ(fake_regfree_calls, 37);
    tarvo_cleanup();
    EXPECT_EQ(fake_regfree_calls, 37) << "a second cleanup releases nothing";
    EXPECT_EQ(tarvo::iban_regex_match("DE89370400440532013000"), -1);
    EXPECT_EQ(verdict("DE89370400440532013000"), "");
    EXPECT_EQ(verdict("DE88370400440532013000"), kChecksum);
    EXPECT_EQ(fake_regcomp_calls, 74);
}

TEST_F(CompiledPatterns, UnboundFunctionsAreNeverCalled) {
    libc_regcomp = fake_regcomp;
    libc_regexec = nullptr;
    EXPECT_EQ(verdict("DE89370400440532013000"), "Error while initializing regular expressions");
    EXPECT_EQ(tarvo_iban_check("DE89370400440532013000"), -1);
    EXPECT_EQ(fake_regcomp_calls, 0);
    // The NULL check comes first.
    EXPECT_EQ(verdict(nullptr), "Invalid IBAN (NULL)");
}

TEST_F(CompiledPatterns, FailedCompileKeepsNothingAndRetries) {
    libc_regcomp = fake_regcomp;
    libc_regfree = fake_regfree;
    fake_regcomp_fail_at = 5;
    EXPECT_EQ(verdict("DE89370400440532013000"), "Error while initializing regular expressions");
    EXPECT_EQ(fake_regfree_calls, 4) << "the rows compiled before the failure are released";
    EXPECT_EQ(tarvo::iban_regex_match("DE89370400440532013000"), -1);
    fake_regcomp_fail_at = 0;
    EXPECT_EQ(verdict("DE89370400440532013000"), "");
    EXPECT_EQ(fake_regcomp_calls, 5 + 37);
}

} // namespace
