// Random payment messages of both kinds under every rulebook, each optional field on or
// off, with what went into each: shared by the tests of the writer and of the reader.
#ifndef TARVO_TESTS_MESSAGE_GENERATOR_H
#define TARVO_TESTS_MESSAGE_GENERATOR_H

#include <stdlib.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "message/xml_test_support.h"

namespace tarvo::test {

inline const char *const transaction_ibans[] = {"NL91ABNA0417164300", "DE89370400440532013000", "AT611904300234573201",
                                         "CH9300762011623852957"};
inline const char *const eea_bics[] = {"COBADEFFXXX", "ABNANL2A", "BKAUATWWXXX", "GENODEF1"};
inline constexpr const char *non_eea_bic = "UBSWCHZH80A";
inline const char *const dates[] = {"2026-12-01", "2026-12-02", "2027-01-04", "2026-11-16"};
inline const char *const structured_parts[] = {"addrDept", "addrSubDept", "addrStreet", "addrNum",
                                        "addrBldg", "addrFloor",   "addrPoBox",  "addrRoom",
                                        "addrCode", "addrLoc",     "addrDstrct", "addrCtrySub"};

// The texts a rulebook's character set takes, with "&", "<", ">" and umlauts wherever the
// set has them, so that escaping and UTF-8 are exercised.
struct Texts {
    std::vector<std::string> names, refs, lines;
};

inline Texts texts_for(const std::string &rb) {
    if (rb == "DE-2.6")
        return {{"Alpha Beta (Ltd.)", "O'Neil + Partner"}, {"Invoice 1/2024", "Rent: 06.2024?"}, {"Main St. 1"}};
    if (rb == "AT-6")
        return {{party_name(rb),
                 "Gr\xC3\xBC\xC3\x9F"
                 "e <A&B>",
                 "M\xC3\xBCller & S\xC3\xB6hne"},
                {"\xC2\xA7 3 <x> & y = 20 \xC2\xB0"
                 "C",
                 "Miete 10 \xE2\x82\xAC {Juni}"},
                {"Stra\xC3\x9F"
                 "e 1 [Hof]",
                 "1010 Wien"}};
    return {{party_name(rb), "Anna Berg", "\xC3\x84rzte & Co *Nord*"},
            {"Rechnung 7 & 8 (50% *bar*)",
             "Gr\xC3\xB6\xC3\x9F"
             "e: 1/2024",
             std::string(140, 'r')},
            {"Hauptstra\xC3\x9F"
             "e 7a",
             "10115 Berlin & Umland"}};
}

// A generated message: how to build it, and what the library must answer.
struct Generated {
    std::string rulebook;
    int type = TARVO_MSGTYPE_DDI;
    std::string description; // for failure reports
    std::string expected_refusal; // of an add or of the render; empty: a document
    // What went into the message: its own side, and each transaction the add took.
    std::map<std::string, std::string> own;
    std::vector<std::map<std::string, std::string>> added;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    bool chance(unsigned percent) { return rng_() % 100 < percent; }
    template <class T, size_t N> const T &pick(const T (&items)[N]) { return items[rng_() % N]; }
    const std::string &pick(const std::vector<std::string> &items) { return items[rng_() % items.size()]; }
    unsigned below(unsigned n) { return rng_() % n; }

    // Builds one message under the rulebook now in force; fills g.expected_refusal when
    // it gives the message a fault the library must refuse.
    // A pinned message carries g.rulebook itself, whatever the process has in force.
    Message build(Generated &g, bool pinned = false) {
        const Rulebook &rb = *rulebook(rulebook_number(g.rulebook));
        const Texts texts = texts_for(g.rulebook);
        Message h(tarvo_new(g.type));
        const bool ddi = g.type == TARVO_MSGTYPE_DDI;
        if (pinned) {
            EXPECT_EQ(tarvo_setRulebook(h.get(), g.rulebook.c_str()), 1);
        }
        EXPECT_EQ(tarvo_setIBAN(h.get(), creditor_iban), 1);
        g.own["iban"] = creditor_iban;
        g.own["name"] = pick(texts.names);
        EXPECT_EQ(tarvo_setName(h.get(), g.own["name"].c_str()), 1) << error_of(h.get());
        if (chance(30)) {
            g.own["ctgypurp"] = chance(50) ? "SALA" : "SUPP";
            EXPECT_EQ(tarvo_setCategoryPurpose(h.get(), g.own["ctgypurp"].c_str()), 1) << error_of(h.get());
            note(g, "category purpose");
        }
        if (!ddi && rb.instant && chance(40)) {
            EXPECT_EQ(tarvo_setInstant(h.get(), 1), 1) << error_of(h.get());
            g.own["instant"] = "1";
            note(g, "instant");
        }
        if (rb.ultimate_parties && chance(30)) {
            g.own["ultimateName"] = pick(texts.names);
            EXPECT_EQ(tarvo_setUltimateName(h.get(), g.own["ultimateName"].c_str()), 1) << error_of(h.get());
            note(g, "ultimate party");
        }
        const bool own_bic = (ddi && !(rb.creditor_agent_optional && chance(20))) || chance(70);
        if (own_bic) {
            EXPECT_EQ(tarvo_setBIC(h.get(), creditor_bic), 1);
            g.own["bic"] = creditor_bic;
        }
        if (!own_bic && rb.tx_bic_mandatory) g.expected_refusal = "Missing debtor BIC";
        note(g, own_bic ? "own BIC" : "no own BIC");
        if (ddi) {
            g.own["ci"] = chance(50) ? creditor_id : "AT61ZZZ01234567890";
            EXPECT_EQ(tarvo_setCreditorIdentifier(h.get(), g.own["ci"].c_str()), 1);
            const int ddtype = rb.cor1_settable ? static_cast<int>(below(3)) : (chance(50) ? 0 : 2);
            EXPECT_EQ(tarvo_setDDType(h.get(), ddtype), 1) << error_of(h.get());
            note(g, "ddtype " + std::to_string(ddtype));
        }
        g.own["date"] = pick(dates);
        EXPECT_EQ(tarvo_setDate(h.get(), g.own["date"].c_str()), 1);
        if (chance(30)) {
            EXPECT_EQ(tarvo_setBatchBooking(h.get(), 0), 1);
            note(g, "no batch booking");
        }
        if (chance(50)) {
            g.own["msgid"] = "MSG " + std::to_string(below(100000));
            EXPECT_EQ(tarvo_setMessageId(h.get(), g.own["msgid"].c_str()), 1);
        }

        const unsigned count = 1 + below(5);
        for (unsigned i = 0; i < count; ++i) {
            std::string fault;
            Kv kv = transaction(g, rb, texts, fault);
            const int added = tarvo_add(h.get(), kv.list());
            if (!fault.empty()) {
                EXPECT_EQ(added, 0) << g.description;
                EXPECT_EQ(error_of(h.get()), fault) << g.description;
                continue;
            }
            EXPECT_EQ(added, 1) << g.description << ": " << error_of(h.get());
            if (added == 1) g.added.push_back(kv.pairs());
        }
        if (h->tx_count == 0 && g.expected_refusal.empty()) g.expected_refusal = "No transactions available";
        return h;
    }

  private:
    static void note(Generated &g, const std::string &what) { g.description += ", " + what; }

    // One transaction; a fault the add must refuse goes to `fault` as its message.
    Kv transaction(Generated &g, const Rulebook &rb, const Texts &texts, std::string &fault) {
        const bool ddi = g.type == TARVO_MSGTYPE_DDI;
        Kv kv{{"name", pick(texts.names)},
              {"iban", pick(transaction_ibans)},
              {"amount", std::to_string(1 + below(99999)) + "." + std::to_string(10 + below(90))}};
        std::string what = "tx(";
        const bool foreign = ddi && chance(10);
        const bool no_bic_where_required = !foreign && rb.tx_bic_mandatory && chance(5);
        if (no_bic_where_required) {
            what += "no BIC where required ";
        } else if (foreign) {
            kv.set("bic", non_eea_bic);
            what += "non-EEA BIC ";
        } else if (rb.tx_bic_mandatory || chance(60)) {
            kv.set("bic", pick(eea_bics));
            what += "BIC ";
        }
        if (chance(50)) kv.set("id", "E2E-" + std::to_string(below(1000000)));
        const bool cref = rb.creditor_reference && chance(30);
        if (cref) {
            kv.set("cref", chance(50) ? "RF18 5390 0754 7034" : "rf18539007547034");
            what += "cref ";
        }
        if ((!cref || rb.reference_and_text) && chance(70)) {
            kv.set("ref", pick(texts.refs));
            what += "ref ";
        }
        if (rb.ultimate_parties && chance(30)) {
            kv.set("ultimateName", pick(texts.names));
            what += "ultimate ";
        }
        if (chance(40)) kv.set("date", pick(dates));
        if (ddi) {
            kv.set("seq", pick(ddi_seq_types)).set("mdate", "2023-05-01");
            kv.set("mref", (rb.mandate_ref_text && chance(50) ? "M " : "M-") + std::to_string(below(1000)));
            if (chance(15)) kv.set("old_mref", "OLD-" + std::to_string(below(100)));
            if (chance(15)) kv.set("old_iban", "DE89370400440532013000");
            if (chance(15)) kv.set("smnda", "1");
        } else if (chance(30)) {
            kv.set("purp", chance(50) ? "SALA" : "GDDS");
        }
        what += address(kv, rb, texts, foreign, fault);
        if (no_bic_where_required) fault = "BIC missing"; // checked before the address
        note(g, what + ")");
        return kv;
    }

    // The address in the form the rulebook writes, sometimes left out, sometimes with a
    // fault; returns its description.
    std::string address(Kv &kv, const Rulebook &rb, const Texts &texts, bool foreign, std::string &fault) {
        if (!foreign && chance(35)) return "no address";
        if (rb.structured_address) {
            std::string parts;
            for (const char *part : structured_parts) {
                if (chance(25)) {
                    kv.set(part, std::string(part).substr(4) + " & Co");
                    parts += std::string(part) + " ";
                }
            }
            const bool town = !chance(8), country = !chance(8);
            if (town) kv.set("addrTown", "M\xC3\xBCnchen");
            if (country) kv.set("addrCC", "DE");
            const bool hybrid = rb.hybrid_address && chance(40);
            if (hybrid) kv.set("addrLine1", pick(texts.lines));
            if (hybrid && chance(50)) kv.set("addrLine2", pick(texts.lines));
            if (hybrid) parts += "lines ";
            const bool any = town || country || !parts.empty();
            if (foreign && !(town && country))
                fault = "Structured address required for BICs outside EEA (at least town and country)";
            else if (any && !(town && country))
                fault = "Address requires town and country (addrTown and addrCC)";
            return "structured " + parts + (town ? "town " : "") + (country ? "country" : "");
        }
        std::string what = "lines ";
        if (chance(60)) {
            kv.set("addrCC", "DE");
            what += "country ";
        }
        const bool line1 = chance(70), line2 = chance(50);
        if (line1) kv.set("addrLine1", pick(texts.lines));
        if (line2) kv.set("addrLine2", pick(texts.lines));
        if (foreign && !line1 && !line2 && rb.non_eea_address == NonEeaAddress::AddressLine)
            fault = "Address required for BICs outside EEA";
        return what + (line1 ? "1 " : "") + (line2 ? "2" : "");
    }

    std::mt19937 rng_;
};

// TARVO_SEED=<n> repeats a run.
inline unsigned run_seed() {
    if (const char *given = getenv("TARVO_SEED")) return static_cast<unsigned>(strtoul(given, nullptr, 10));
    return std::random_device{}();
}

} // namespace tarvo::test

#endif
