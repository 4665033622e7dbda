// tarvotool qrbill and epcqr: the JSON keys, the round trip from payload to fields and back,
// the pictures written (and decoded again), and refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "run_tool.h"

namespace {

using namespace cli_test;
using nlohmann::json;

const std::string swiss_dir = TARVO_SHARED_DIR "/samples/qr/swiss/";

// Every key found at any depth must be one the command documents.
void expect_keys(const json &j, const std::set<std::string> &allowed, const std::string &where) {
    for (auto it = j.begin(); it != j.end(); ++it) {
        EXPECT_TRUE(allowed.count(it.key())) << where << ": key " << it.key();
        EXPECT_FALSE(it->is_string() && it->get<std::string>().empty()) << where << ": empty " << it.key();
        if (it->is_object()) expect_keys(*it, allowed, where);
    }
}

TEST(QrCommands, BillsDecodeToJsonAndAreMadeBackFromIt) {
    const std::set<std::string> keys = {"iban", "amount", "currency", "referenceType", "reference", "message",
                                        "billInformation", "alternativeSchemes", "creditor", "ultimateDebtor",
                                        "name", "street", "buildingNumber", "postalCode", "town", "country"};
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(swiss_dir)) {
        if (entry.path().extension() != ".txt") continue;
        ++files;
        const std::string path = entry.path().string();
        const Output decoded = run(utf8_locale, {"qrbill", "--json", path});
        ASSERT_EQ(decoded.status, 0) << path << decoded.err;
        const json fields = json::parse(decoded.out);
        expect_keys(fields, keys, path);
        const Output made = run(utf8_locale, {"qrbill", "--make", fields.dump()});
        ASSERT_EQ(made.status, 0) << path << made.err;
        EXPECT_EQ(made.out, slurp(path) + "\n") << path;
    }
    EXPECT_EQ(files, 14);
}

TEST(QrCommands, EpcCodesDecodeAndAreMade) {
    const Output decoded =
        run(utf8_locale, {"epcqr", "--json", TARVO_SHARED_DIR "/samples/qr/epc/py-epc-qr_qr_version_001.txt"});
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    const json j = json::parse(decoded.out);
    expect_keys(j, {"version", "charset", "bic", "name", "iban", "amount", "purpose", "reference", "text", "information"},
                "epc");
    EXPECT_EQ(j.value("amount", ""), "123.45");
    const Output made = run(utf8_locale, {"epcqr", "--name", j["name"], "--iban", j["iban"], "--bic", j["bic"], "--amount",
                                          "123.45", "--text", j["text"], "--version", "001"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, slurp(TARVO_SHARED_DIR "/samples/qr/epc/py-epc-qr_qr_version_001.txt"));
}

TEST(QrCommands, PicturesAreWrittenWholeOrNotAtAll) {
    const std::string base = "/tmp/tarvotool-qr." + std::to_string(getpid());
    json fields = json::parse(run(utf8_locale, {"qrbill", "--json", swiss_dir + "qr-full-set.txt"}).out);
    const std::string bill = fields.dump();
    fields["currency"] = "USD";
    const std::string dollar_bill = fields.dump();
    struct Case {
        std::vector<std::string> words;
        int status;
        const char *err; // start of the reason, or "" for none
    } cases[] = {
        {{"qrbill", "--make", bill, "--png", base + ".png"}, 0, ""},
        {{"qrbill", "--make", bill, "--svg", base + ".svg"}, 0, ""},
        {{"epcqr", "--name", "A", "--iban", "DE33100205000001194700", "--svg", base + ".svg"}, 0, ""},
        {{"qrbill", "--make", dollar_bill, "--png", base + ".png"}, 1,
         "tarvotool: invalid QR-bill: currency:"},
        {{"epcqr", "--name", "A", "--iban", "DE33100205000001194700", "--amount", "1,50", "--png", base + ".png"}, 1,
         "tarvotool: invalid EPC code: amount:"},
        {{"epcqr", "--name", "A", "--iban", "DE33100205000001194700", "--ref", "RF18539007547034", "--text", "T"}, 1,
         "tarvotool: invalid EPC code: reference:"},
    };
    for (const Case &c : cases) {
        unlink((base + ".png").c_str());
        unlink((base + ".svg").c_str());
        Output r;
        switch (c.words.size()) {
        case 5: r = run(utf8_locale, {c.words[0], c.words[1], c.words[2], c.words[3], c.words[4]}); break;
        case 7: r = run(utf8_locale, {c.words[0], c.words[1], c.words[2], c.words[3], c.words[4], c.words[5], c.words[6]}); break;
        default:
            r = run(utf8_locale, {c.words[0], c.words[1], c.words[2], c.words[3], c.words[4], c.words[5], c.words[6],
                                  c.words[7], c.words[8]});
        }
        EXPECT_EQ(r.status, c.status) << c.words[0] << " " << r.err;
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        const std::string picture = c.words[c.words.size() - 2] == "--svg" ? base + ".svg" : base + ".png";
        if (c.status != 0) {
            EXPECT_FALSE(std::filesystem::exists(picture)) << "a refused code left a picture";
            continue;
        }
        std::string png = picture;
        if (picture.ends_with(".svg")) {
            png = base + ".svg.png";
            ASSERT_EQ(system(("rsvg-convert -z 4 -o " + png + " " + picture + " 2>/dev/null").c_str()), 0);
        }
        const std::string payload = r.out.substr(0, r.out.size() - 1);
        FILE *p = popen(("zbarimg -q --raw -Sbinary " + png).c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string decoded;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) decoded.append(buffer, n);
        pclose(p);
        EXPECT_EQ(decoded, payload) << picture;
        unlink(png.c_str());
    }
    unlink((base + ".png").c_str());
    unlink((base + ".svg").c_str());
}

} // namespace
