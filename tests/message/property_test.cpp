// Random payment messages of both kinds under every rulebook, each optional field on or
// off: every document the library hands out is well-formed UTF-8 without control bytes
// and valid against its variant's schema (the German ones against the DK edition too);
// every refusal is the one the generated fault calls for. Run with TARVO_SEED=<n> to
// repeat a run; the seed is printed with every failure.
#include <stdlib.h>

#include <filesystem>
#include <random>

#include "message/message_generator.h"

namespace tarvo::test {
namespace {

constexpr int messages_per_run = 300;

// Well-formed as far as bytes go: UTF-8 throughout, no C0 control byte but TAB, LF, CR.
std::string byte_fault(const std::string &doc) {
    const auto *p = reinterpret_cast<const unsigned char *>(doc.data());
    const auto *end = p + doc.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return "control byte at " + std::to_string(p - reinterpret_cast<const unsigned char *>(doc.data()));
        const int tail = b < 0x80                          ? 0
                         : (b & 0xE0) == 0xC0 && b >= 0xC2 ? 1
                         : (b & 0xF0) == 0xE0              ? 2
                         : (b & 0xF8) == 0xF0 && b <= 0xF4 ? 3
                                                           : -1;
        if (tail < 0 || end - p <= tail) return "invalid UTF-8 lead byte";
        for (int i = 1; i <= tail; ++i)
            if ((p[i] & 0xC0) != 0x80) return "invalid UTF-8 continuation";
        p += tail + 1;
    }
    return "";
}

TEST(RandomMessages, EveryDocumentValidatesAndEveryRefusalIsTheExpectedOne) {
    const unsigned seed = run_seed();
    SCOPED_TRACE("TARVO_SEED=" + std::to_string(seed));
    Generator gen(seed);
    char dir[] = "/tmp/tarvo-property-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    struct RemoveAfterwards {
        const char *dir;
        ~RemoveAfterwards() { std::filesystem::remove_all(dir); }
    } remove_afterwards{dir};

    std::map<std::string, std::vector<std::string>> files_by_schema;
    std::map<std::string, std::string> description_of;
    std::map<std::string, int> documents_of; // per rulebook and kind, so every one is seen
    for (int n = 0; n < messages_per_run; ++n) {
        Generated g;
        g.rulebook = gen.pick(all_rulebooks);
        g.type = gen.chance(50) ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI;
        g.description = "message " + std::to_string(n) + " " + g.rulebook +
                        (g.type == TARVO_MSGTYPE_DDI ? " debits" : " transfers");
        // A pinned message is built and rendered while the process has another rulebook.
        const bool pinned = gen.chance(30);
        RulebookScope process(pinned ? gen.pick(all_rulebooks) : g.rulebook.c_str());
        if (pinned) g.description += ", pinned under " + std::string(current_rulebook()->id);
        Message h = gen.build(g, pinned);
        const auto doc = render_at(h.get());
        if (!g.expected_refusal.empty()) {
            EXPECT_FALSE(doc) << g.description;
            EXPECT_EQ(error_of(h.get()), g.expected_refusal) << g.description;
            continue;
        }
        ASSERT_TRUE(doc) << g.description << ": " << error_of(h.get());
        EXPECT_EQ(byte_fault(*doc), "") << g.description;
        ++documents_of[g.rulebook + (g.type == TARVO_MSGTYPE_DDI ? " DDI" : " CTI")];

        const std::string path = std::string(dir) + "/doc-" + std::to_string(n) + ".xml";
        FILE *file = fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        fwrite(doc->data(), 1, doc->size(), file);
        fclose(file);
        description_of[path] = g.description;
        const Rulebook &rb = *rulebook(rulebook_number(g.rulebook));
        const std::string variant(g.type == TARVO_MSGTYPE_DDI ? rb.ddi_variant : rb.cti_variant);
        for (const std::string &schema : schemas_of(variant, g.rulebook)) files_by_schema[schema].push_back(path);
    }
    EXPECT_EQ(documents_of.size(), 2 * std::size(all_rulebooks)) << "some rulebook and kind rendered nothing";

    for (const auto &[schema, paths] : files_by_schema)
        for (const auto &[path, report] : invalid_files(paths, schema))
            ADD_FAILURE() << (path.empty() ? "xmllint" : description_of[path]) << " not valid against " << schema
                          << ":\n"
                          << report;
}

} // namespace
} // namespace tarvo::test
