// Documents the library writes read back to exactly what was added: random messages of
// both kinds under every rulebook, the same generator as the writer's own property test.
// Run with TARVO_SEED=<n> to repeat a run.
#include <set>
#include <string>
#include <vector>

#include "message/message_generator.h"
#include "pain_text.h"

namespace tarvo::test {
namespace {

constexpr int messages_per_run = 200;

using Values = std::map<std::string, std::string>;

std::string value_or(const Values &v, const char *key, const char *otherwise = nullptr) {
    const auto found = v.find(key);
    if (found != v.end()) return found->second;
    return otherwise != nullptr ? otherwise : "";
}

void put(std::string &out, const char *key, const std::string &value) {
    if (!value.empty()) report_test::put(out, key, value.c_str());
}

// What a transaction read back must show, with its block's date and sequence type.
std::string expected_tx(const Generated &g, const Values &kv) {
    std::string out = "tx";
    put(out, "date", value_or(kv, "date", g.own.at("date").c_str()));
    put(out, "seq", value_or(kv, "seq"));
    put(out, "e2e", value_or(kv, "id", "NOTPROVIDED"));
    put(out, "amount", value_or(kv, "amount") + " EUR");
    put(out, "name", value_or(kv, "name"));
    put(out, "iban", value_or(kv, "iban"));
    put(out, "bic", value_or(kv, "bic"));
    put(out, "mref", value_or(kv, "mref"));
    put(out, "mdate", value_or(kv, "mdate"));
    put(out, "old_mref", value_or(kv, "old_mref"));
    // The marker of a debtor that moved to another bank stands in place of the old IBAN.
    put(out, "old_iban", kv.count("smnda") != 0 ? "SMNDA" : value_or(kv, "old_iban"));
    put(out, "purp", value_or(kv, "purp"));
    put(out, "ref", value_or(kv, "ref"));
    return out;
}

std::string text(const char *value) { return value != nullptr ? value : ""; }

std::string read_tx(const tarvo_pain_block_t &b, const tarvo_pain_tx_t &t) {
    std::string out = "tx";
    put(out, "date", text(b.date));
    put(out, "seq", text(b.sequenceType));
    put(out, "e2e", text(t.endToEndId));
    put(out, "amount", text(t.amount) + " " + t.currency);
    put(out, "name", text(t.name));
    put(out, "iban", text(t.iban));
    put(out, "bic", text(t.bic));
    put(out, "mref", text(t.mandateId));
    put(out, "mdate", text(t.mandateDate));
    put(out, "old_mref", text(t.originalMandateId));
    put(out, "old_iban", text(t.originalIban));
    put(out, "purp", text(t.purpose));
    put(out, "ref", text(t.remittance));
    return out;
}

TEST(PainRoundTrip, WrittenDocumentsReadBackToWhatWasAdded) {
    const unsigned seed = run_seed();
    SCOPED_TRACE("TARVO_SEED=" + std::to_string(seed));
    Generator gen(seed);
    int documents = 0;
    for (int n = 0; n < messages_per_run; ++n) {
        Generated g;
        g.rulebook = gen.pick(all_rulebooks);
        g.type = gen.chance(50) ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI;
        g.description = "message " + std::to_string(n) + " " + g.rulebook;
        RulebookScope rulebook(g.rulebook.c_str());
        Message h = gen.build(g);
        const auto doc = render_at(h.get());
        if (!doc) continue;
        ++documents;
        SCOPED_TRACE(g.description);

        tarvo_pain_parser_t *p = tarvo_pain_parser_new();
        ASSERT_EQ(tarvo_pain_parser_loadMemory(p, doc->data(), doc->size()), 1) << tarvo_pain_parser_getError(p);
        const Rulebook &rb = *current_rulebook();
        const bool ddi = g.type == TARVO_MSGTYPE_DDI;
        EXPECT_EQ(text(tarvo_pain_parser_getVersion(p)), ddi ? rb.ddi_variant : rb.cti_variant);
        if (g.own.count("msgid") != 0) {
            EXPECT_EQ(text(tarvo_pain_parser_getMessageId(p)), g.own.at("msgid"));
        }
        EXPECT_EQ(text(tarvo_pain_parser_getNumberOfTransactions(p)), std::to_string(g.added.size()));

        std::multiset<std::string> expected, read;
        for (const Values &kv : g.added) expected.insert(expected_tx(g, kv));
        for (const tarvo_pain_block_t *b = tarvo_pain_parser_getBlock(p); b != nullptr; b = b->next) {
            EXPECT_EQ(text(b->name), g.own.at("name"));
            EXPECT_EQ(text(b->iban), g.own.at("iban"));
            EXPECT_EQ(text(b->bic), value_or(g.own, "bic"));
            EXPECT_EQ(text(b->creditorId), value_or(g.own, "ci"));
            EXPECT_EQ(text(b->method), ddi ? "DD" : "TRF");
            for (const tarvo_pain_tx_t *t = b->tx; t != nullptr; t = t->next) read.insert(read_tx(*b, *t));
        }
        EXPECT_EQ(read, expected);
        tarvo_pain_parser_free(p);
    }
    EXPECT_GT(documents, messages_per_run / 4);
}

} // namespace
} // namespace tarvo::test
