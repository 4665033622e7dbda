// Every picture drawn is read again by a real decoder (zbarimg; SVG rasterised by
// rsvg-convert) and must give back the payload; refused payloads give no picture.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tarvo_qr.h"
#include "tarvo.h"

namespace {

std::string run(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
    return out;
}

// The bytes zbarimg reads from a picture file, as they are: unconverted (it would otherwise
// guess at a character set for short UTF-8 texts) and without a line end added.
std::string decoded(const std::string &path) { return run("zbarimg -q --raw -Sbinary '" + path + "' 2>/dev/null"); }

void write(const std::string &path, const void *data, size_t size) {
    std::ofstream(path, std::ios::binary).write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
}

struct Payload {
    int kind;
    std::string text;
};

std::vector<Payload> payloads() {
    std::vector<Payload> out;
    std::ifstream swiss(TARVO_SHARED_DIR "/samples/qr/swiss/payloads.json");
    const nlohmann::json bills = nlohmann::json::parse(swiss);
    for (const auto &c : bills["cases"]) out.push_back({TARVO_QR_QRBILL, c["payload"]});
    std::ifstream epc(TARVO_SHARED_DIR "/samples/qr/epc/cases.json");
    const nlohmann::json codes = nlohmann::json::parse(epc);
    for (const auto &c : codes["cases"])
        if (c["valid"].get<bool>()) out.push_back({TARVO_QR_EPC, c["payload"]});
    // The largest EPC code: 331 bytes in UTF-8 with three-byte characters.
    std::string euros;
    for (int i = 0; i < 70; ++i) euros += "\xE2\x82\xAC";
    out.push_back({TARVO_QR_EPC, "BCD\n002\n1\nSCT\n\nX\nDE33100205000001194700\nEUR1.00\n\n\n" + euros + "\n" +
                                     std::string(37, 'i')});
    return out;
}

TEST(Draw, PicturesDecodeToThePayload) {
    if (system("command -v zbarimg >/dev/null && command -v rsvg-convert >/dev/null") != 0)
        GTEST_FAIL() << "zbar-tools and librsvg2-bin are needed (scripts/install-deps.sh)";
    char folder[] = "/tmp/tarvo-draw-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string base = folder;
    const std::vector<Payload> cases = payloads();
    ASSERT_GT(cases.size(), 16u);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Payload &p = cases[i];
        char error[256] = "";
        char *svg = tarvo_qr_svg(p.kind, p.text.data(), p.text.size(), error, sizeof error);
        ASSERT_NE(svg, nullptr) << error;
        const std::string svg_path = base + "/" + std::to_string(i) + ".svg";
        write(svg_path, svg, strlen(svg));
        free(svg);
        run("rsvg-convert -z 4 -o '" + svg_path + ".png' '" + svg_path + "' 2>/dev/null");
        EXPECT_EQ(decoded(svg_path + ".png"), p.text) << "SVG of case " << i;
        size_t size = 0;
        unsigned char *png = tarvo_qr_png(p.kind, p.text.data(), p.text.size(), &size, error, sizeof error);
        ASSERT_NE(png, nullptr) << error;
        const std::string png_path = base + "/" + std::to_string(i) + ".png";
        write(png_path, png, size);
        free(png);
        EXPECT_EQ(decoded(png_path), p.text) << "PNG of case " << i;
    }
    run("rm -rf '" + base + "'");
}

TEST(Draw, RefusedPayloadsGiveNoPicture) {
    struct Case {
        int kind;
        std::string payload;
        const char *field;
    } cases[] = {
        {TARVO_QR_QRBILL, "SPC\n0200\n1\nCH4431999123000889012", "payload:"},
        {TARVO_QR_EPC, "BCD\n002\n1\nSCT\n\nX\nDE33100205000001194701", "iban:"},
        {TARVO_QR_EPC, "SPC\n0200\n1", "serviceTag:"},
        {7, "BCD", "kind:"},
    };
    for (const Case &c : cases) {
        char error[256] = "";
        size_t size = 99;
        unsigned char *png = tarvo_qr_png(c.kind, c.payload.data(), c.payload.size(), &size, error, sizeof error);
        EXPECT_EQ(png, nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(std::string(error).rfind(c.field, 0), 0u) << error;
        char *svg = tarvo_qr_svg(c.kind, c.payload.data(), c.payload.size(), nullptr, 0);
        EXPECT_EQ(svg, nullptr);
        free(png);
        free(svg);
    }
}

} // namespace
