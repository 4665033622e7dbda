// check-batch and convert-batch: one row per line in input order, every kind of line,
// both output formats, threads, and the exit codes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "conversions.h"
#include "run_tool.h"
#include "shared_ibans.h"
#include "statement/statement_files.h"
#include "status_text.h"
#include "tarvo.h"

using namespace cli_test;

namespace {

using stmt_test::TempFile;

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

// The check-batch row of a line the library can read, as the library answers it.
std::string check_row(int line, const std::string &input) {
    char iban[35];
    if (tarvo_iban_normalize(input.c_str(), iban) != 1)
        return std::to_string(line) + ";" + input + ";;no;Not an IBAN: 5 to 34 letters and digits expected;;;";
    tarvo_iban_info_t info;
    const bool valid = tarvo_iban_inspect(iban, &info) == 1;
    return std::to_string(line) + ";" + input + ";" + iban + ";" + (valid ? "yes;" : "no;") +
           (valid ? "" : info.error) + ";" + info.bankid + ";" + info.bic + ";" + info.name;
}

const std::string check_header = "line;input;iban;valid;error;bank_code;bic;bank_name";

TEST(CheckBatch, EveryKindOfLine) {
    const std::string overlong(1025, '1');
    const std::string input = "IBAN\n"
                              "DE89370400440532013000\n"
                              "  iban: de89 3704 0044 0532 0130 00\r\n"
                              "DE89370400440532013001\n"
                              "\n"
                              "DE89-3704\n"
                              "\x01\xff" "DE\n" +
                              overlong + "\n"
                              "GB29NWBK60161331926819";
    const TempFile file(input);
    const Output r = run(utf8_locale, {"check-batch", file.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> expected = {
        check_header,
        check_row(2, "DE89370400440532013000"),
        check_row(3, "  iban: de89 3704 0044 0532 0130 00"),
        check_row(4, "DE89370400440532013001"),
        "5;;;no;Empty line;;;",
        check_row(6, "DE89-3704"),
        "7;\xef\xbf\xbd\xef\xbf\xbd" "DE;;no;Control character or invalid UTF-8 in line;;;",
        "8;;;no;Line longer than 1024 bytes;;;",
        check_row(9, "GB29NWBK60161331926819"),
    };
    EXPECT_EQ(lines_of(r.out), expected);
    // The rows the library computes must hold what the lines are.
    EXPECT_NE(expected[1].find(";yes;;37040044;"), std::string::npos) << expected[1];
    EXPECT_EQ(expected[2].substr(expected[2].rfind(";DE89")), expected[1].substr(expected[1].rfind(";DE89")));
    EXPECT_NE(expected[3].find(";no;Invalid IBAN checksum;"), std::string::npos) << expected[3];
}

TEST(CheckBatch, JsonLinesParseBackToTheSameRows) {
    const std::string input = "DE89370400440532013000\n\"quoted\" \\ line\n\nDE89370400440532013001\n\tfoo;bar\t\n";
    const TempFile file(input);
    const Output csv = run(utf8_locale, {"check-batch", file.path()});
    const Output json = run(utf8_locale, {"check-batch", "--json", file.path()});
    EXPECT_EQ(json.status, csv.status);
    const auto rows = lines_of(json.out);
    const auto inputs = lines_of(input);
    ASSERT_EQ(rows.size(), inputs.size());
    ASSERT_EQ(lines_of(csv.out).size(), inputs.size() + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto row = nlohmann::json::parse(rows[i]);
        EXPECT_EQ(row["line"], i + 1);
        EXPECT_EQ(row.value("input", ""), inputs[i]);
        EXPECT_TRUE(row["valid"].is_boolean());
        // Empty fields are left out, so no key holds an empty text.
        for (const auto &[key, value] : row.items())
            EXPECT_FALSE(value.is_string() && value.get<std::string>().empty()) << key;
    }
    EXPECT_EQ(nlohmann::json::parse(rows[0])["bank_code"], "37040044");
    EXPECT_EQ(nlohmann::json::parse(rows[2]).contains("input"), false);
    EXPECT_EQ(nlohmann::json::parse(rows[3])["error"], "Invalid IBAN checksum");
}

TEST(CheckBatch, CsvQuotesFieldsThatNeedIt) {
    const TempFile file("a;\"b\"\n");
    const Output r = run(utf8_locale, {"check-batch", file.path()});
    EXPECT_EQ(lines_of(r.out).at(1), "1;\"a;\"\"b\"\"\";;no;Not an IBAN: 5 to 34 letters and digits expected;;;");
}

// Many chunks worked on by four threads must come out exactly as one thread writes them.
TEST(CheckBatch, FourThreadsKeepTheInputOrder) {
    const std::vector<std::string> samples = shared_ibans();
    ASSERT_FALSE(samples.empty());
    std::string input;
    constexpr int count = 100000;
    for (int i = 0; i < count; ++i) {
        // Varying lengths, so that the chunks end in different places.
        input.append(i % 7, ' ').append(samples[static_cast<size_t>(i) % samples.size()]).push_back('\n');
    }
    const TempFile file(input);
    const Output one = run("C", {"check-batch", "-j", "1", file.path()});
    const Output four = run("C", {"check-batch", "-j4", file.path()});
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(four.status, 1);
    ASSERT_EQ(four.out, one.out);
    const auto rows = lines_of(four.out);
    ASSERT_EQ(rows.size(), count + 1u);
    const auto inputs = lines_of(input);
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::string prefix = std::to_string(i) + ";" + inputs[i - 1] + ";";
        ASSERT_EQ(rows[i].rfind(prefix, 0), 0u) << rows[i];
    }
}

// A line longer than a whole chunk is cut down to one error row; the next line is intact.
TEST(CheckBatch, HugeLineGivesOneRow) {
    const std::string input = "DE89370400440532013000\n" + std::string(3 << 20, 'x') + "\nDE89370400440532013000\n";
    const TempFile file(input);
    const Output r = run("C", {"check-batch", file.path()});
    const auto rows = lines_of(r.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], "2;;;no;Line longer than 1024 bytes;;;");
    EXPECT_EQ(rows[3], "3" + rows[1].substr(1));
}

TEST(CheckBatch, ReadsStandardInput) {
    const TempFile file("DE89370400440532013000\n");
    const Output r = run("C", {"check-batch", "-"}, "", file.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines_of(r.out), (std::vector<std::string>{check_header, check_row(1, "DE89370400440532013000")}));
    const TempFile empty("");
    const Output none = run("C", {"check-batch", "-"}, "", empty.path());
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, check_header + "\n");
}

// A byte-order mark counts only at the very start of the input: there it is dropped, so that
// the header after it is still skipped and the first IBAN still reads; anywhere else it is
// part of its line.
TEST(CheckBatch, ByteOrderMarkAtTheStartIsDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string iban = "DE89370400440532013000";
    struct Case {
        std::string input;
        std::vector<std::string> rows; // after the header row
    };
    const Case cases[] = {
        {bom + "IBAN\r\n" + iban + "\r\n", {check_row(2, iban)}},
        {bom + iban + "\n", {check_row(1, iban)}},
        {bom + iban, {check_row(1, iban)}},
        {bom, {}},
        {bom + "\n" + iban + "\n", {"1;;;no;Empty line;;;", check_row(2, iban)}},
        {iban + "\n" + bom + iban + "\n", {check_row(1, iban), check_row(2, bom + iban)}},
        {bom + bom + iban + "\n", {check_row(1, bom + iban)}},
    };
    for (const Case &c : cases) {
        const TempFile file(c.input);
        for (const char *source : {"file", "stdin"}) {
            const Output r = std::string(source) == "file" ? run("C", {"check-batch", file.path()})
                                                           : run("C", {"check-batch", "-"}, "", file.path());
            std::vector<std::string> expected = {check_header};
            expected.insert(expected.end(), c.rows.begin(), c.rows.end());
            EXPECT_EQ(lines_of(r.out), expected) << source << ": " << c.input;
        }
    }
}

// Exit code and message for each way a run can end.
TEST(Batch, ExitCodes) {
    const TempFile valid("DE89370400440532013000\n");
    const TempFile invalid("DE89370400440532013000\nDE89370400440532013001\n");
    char dir[] = "/tmp/tarvotool-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/input";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> words;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"check-batch", valid.path()}, 0, ""},
        {{"check-batch", "--json", invalid.path()}, 1, ""},
        {{"check-batch", "/nonexistent/file"}, 2, "tarvotool: cannot open '/nonexistent/file': No such file or directory\n"},
        {{"check-batch", "/dev/zero"}, 2, "tarvotool: '/dev/zero' is not a regular file\n"},
        {{"convert-batch", fifo}, 2, "tarvotool: '" + fifo + "' is not a regular file\n"},
        {{"check-batch"}, 2, "Usage: " + std::string(TARVOTOOL_PATH) + " check-batch [--json] [-j N] <file|->\n"},
        {{"check-batch", "-j", "0", valid.path()}, 2, ""},
        {{"convert-batch", "--csv", valid.path()}, 2, ""},
        {{"convert-batch", valid.path(), invalid.path()}, 2, ""},
    };
    for (const Case &c : cases) {
        Output r;
        switch (c.words.size()) {
        case 1: r = run("C", {c.words[0]}); break;
        case 2: r = run("C", {c.words[0], c.words[1]}); break;
        case 3: r = run("C", {c.words[0], c.words[1], c.words[2]}); break;
        default: r = run("C", {c.words[0], c.words[1], c.words[2], c.words[3]}); break;
        }
        EXPECT_EQ(r.status, c.status) << c.words.back();
        const bool usage = c.status == 2 && c.err.empty();
        EXPECT_EQ(usage ? r.err.substr(0, 7) : r.err, usage ? "Usage: " : c.err) << c.words.back();
    }
    unlink(fifo.c_str());
    rmdir(dir);
}

// A full disk ends the run with 2, for the batch commands and the single ones alike.
TEST(Batch, FailedWriteFailsTheRun) {
    const TempFile file("DE89370400440532013000\n");
    const std::string tool = quoted(TARVOTOOL_PATH);
    for (const std::string &words : {"check-batch " + quoted(file.path()), "convert-batch --json " + quoted(file.path()),
                                     std::string("check DE89370400440532013000"), std::string("--help")}) {
        const int raw = system((tool + " " + words + " >/dev/full 2>/dev/null").c_str());
        ASSERT_TRUE(WIFEXITED(raw));
        EXPECT_EQ(WEXITSTATUS(raw), 2) << words;
    }
}

// A shared conversion example with the given outcome.
Conversion example(bool converted, uint8_t status) {
    static const std::vector<Conversion> all = conversions();
    const Conversion *found = find(all, converted, status);
    return found != nullptr ? *found : Conversion{};
}

TEST(ConvertBatch, EveryKindOfLine) {
    const Conversion ok = example(true, 0);
    const Conversion replaced = example(true, 1);
    const Conversion refused = example(false, 11);
    ASSERT_FALSE(ok.iban.empty());
    ASSERT_FALSE(replaced.iban.empty());
    ASSERT_FALSE(refused.bank_code.empty());
    const std::string ok_line = "DE;" + ok.bank_code + ";" + ok.account;
    const std::string replaced_line = " DE ; " + replaced.bank_code + " ;" + replaced.account;
    const std::string refused_line = "DE;" + refused.bank_code + ";" + refused.account;
    const std::string input = "Land;BLZ;Konto\n" + ok_line + "\n" + replaced_line + "\r\n" + refused_line +
                              "\nXX;1234;5678\nDE;1;2;3\nDE;1\n\n\x80\n";
    const TempFile file(input);
    const Output r = run(utf8_locale, {"convert-batch", file.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    char ok_bic[16] = "", replaced_bic[16] = "";
    tarvo_iban_getBIC(ok.iban.c_str(), ok_bic);
    tarvo_iban_getBIC(replaced.iban.c_str(), replaced_bic);
    const std::vector<std::string> expected = {
        "line;input;country;bank_code;account;iban;bic;valid;status;status_text;error",
        "2;\"" + ok_line + "\";DE;" + ok.bank_code + ";" + ok.account + ";" + ok.iban + ";" + ok_bic + ";yes;0;-;",
        "3;\"" + replaced_line + "\";DE;" + replaced.bank_code + ";" + replaced.account + ";" + replaced.iban + ";" +
            replaced_bic + ";yes;1;" + tarvotool::status_text(1) + ";",
        "4;\"" + refused_line + "\";DE;" + refused.bank_code + ";" + refused.account + ";;;no;11;" +
            tarvotool::status_text(11) + ";Conversion refused",
        "5;\"XX;1234;5678\";XX;1234;5678;;;no;0;-;No IBAN conversion for this country",
        "6;\"DE;1;2;3\";DE;1;2;;;no;;;\"Expected 3 fields: country;bank code;account\"",
        "7;\"DE;1\";DE;1;;;;no;;;\"Expected 3 fields: country;bank code;account\"",
        "8;;;;;;;no;;;Empty line",
        "9;\xef\xbf\xbd;;;;;;no;;;Control character or invalid UTF-8 in line",
    };
    EXPECT_EQ(lines_of(r.out), expected);

    const Output json = run(utf8_locale, {"convert-batch", "--json", "-j", "2", file.path()});
    const auto rows = lines_of(json.out);
    ASSERT_EQ(rows.size(), expected.size() - 1);
    const auto first = nlohmann::json::parse(rows[0]);
    EXPECT_EQ(first["iban"], ok.iban);
    EXPECT_EQ(first["valid"], true);
    EXPECT_EQ(first["status"], 0);
    EXPECT_EQ(nlohmann::json::parse(rows[2])["status_text"], tarvotool::status_text(11));
    for (const std::string &row : rows) EXPECT_NO_THROW(nlohmann::json::parse(row)) << row;
}

TEST(ConvertBatch, AllConvertedExitsZero) {
    const Conversion ok = example(true, 0);
    const TempFile file("country;bank code;account\nDE;" + ok.bank_code + ";" + ok.account + "\n");
    const Output r = run("C", {"convert-batch", file.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines_of(r.out).size(), 2u);
}

TEST(ConvertBatch, ByteOrderMarkBeforeTheHeaderIsDropped) {
    const Conversion ok = example(true, 0);
    const TempFile file("\xEF\xBB\xBF" "country;bank code;account\nDE;" + ok.bank_code + ";" + ok.account + "\n");
    const Output r = run("C", {"convert-batch", file.path()});
    EXPECT_EQ(r.status, 0);
    const auto rows = lines_of(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].rfind("2;", 0), 0u) << rows[1];
}

} // namespace
