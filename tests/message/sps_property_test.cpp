// Random Swiss payment messages: every payment kind, both currencies, addresses with the
// Swiss character set, debtors with and without BIC, now and then a fault. Every document
// must validate against SIX's schema and every refusal must be the one the fault calls
// for. Run with TARVO_SEED=<n> to repeat a run; the seed is printed with every failure.
#include <stdlib.h>

#include <filesystem>
#include <random>

#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

constexpr int messages_per_run = 120;

const char *const debtor_ibans[] = {"CH9300762011623852957", "LI21088100002324013AA", "CH5604835012345678009"};
const char *const qr_ibans[] = {"CH4431999123000889012", "LI4430000000000000001", "CH5730000123456789012"};
const char *const swiss_ibans[] = {"CH9300762011623852957", "CH5604835012345678009", "LI21088100002324013AA"};
const char *const foreign_ibans[] = {"DE89370400440532013000", "NL91ABNA0417164300", "AT611904300234573201"};
const char *const foreign_bics[] = {"COBADEFFXXX", "ABNANL2A", "BKAUATWWXXX"};
const char *const dates[] = {"2026-12-01", "2026-12-02", "2027-01-04"};
const char *const names[] = {"Genève Services Sàrl", "Zürich <Holding> & Co", "Łódź Trading", "Ștefan Țurcanu",
                             "Café 5 € \"Chez Nous\""};
const char *const texts[] = {"Rechnung 7 & 8", "Facture n° 12/2026 - à payer", "Œuvre <1> {2} ~3~ |4|", "a"};
const char *const parts[] = {"addrDept", "addrSubDept", "addrStreet", "addrNum", "addrBldg", "addrFloor",
                             "addrPoBox", "addrRoom",   "addrCode",   "addrLoc", "addrDstrct", "addrCtrySub"};

enum class Kind { QrBill, Domestic, Sepa, Foreign };
constexpr Kind kinds[] = {Kind::QrBill, Kind::Domestic, Kind::Sepa, Kind::Foreign};
constexpr const char *kind_names[] = {"QR-bill", "domestic", "SEPA", "foreign"};

class Generator {
  public:
    explicit Generator(unsigned seed) : rng_(seed) {}
    bool chance(unsigned percent) { return rng_() % 100 < percent; }
    unsigned below(unsigned n) { return rng_() % n; }
    template <class T, size_t N> const T &pick(const T (&items)[N]) { return items[rng_() % N]; }

    // One transfer of a random kind; a fault the add must refuse goes to `fault`.
    Kv transfer(std::string &what, std::string &fault) {
        const Kind kind = pick(kinds);
        what += std::string(kind_names[static_cast<int>(kind)]) + "(";
        Kv kv{{"name", pick(names)}, {"amount", std::to_string(1 + below(999999)) + "." + std::to_string(10 + below(90))}};
        const bool euros = kind == Kind::Sepa || (kind != Kind::Foreign && chance(40));
        if (euros || chance(30)) kv.set("currency", euros ? "EUR" : "CHF");
        switch (kind) {
        case Kind::QrBill: {
            kv.set("iban", pick(qr_ibans));
            char reference[28];
            const std::string base = std::to_string(below(1000000000)) + std::to_string(below(1000000));
            EXPECT_EQ(tarvo_qrr_make(base.c_str(), reference, sizeof reference), 1);
            if (chance(8)) {
                what += "no QRR ";
                fault = "QR-IBAN requires a QR reference (qrr)";
            } else {
                kv.set("qrr", reference);
            }
            break;
        }
        case Kind::Domestic:
            kv.set("iban", pick(swiss_ibans));
            if (chance(5)) {
                kv.set("qrr", "210000000003139471430009017");
                what += "QRR to plain IBAN ";
                fault = "QR reference (qrr) requires a QR-IBAN";
            }
            break;
        case Kind::Sepa: kv.set("iban", pick(foreign_ibans)); break;
        case Kind::Foreign:
            kv.set("iban", pick(foreign_ibans));
            if (chance(8)) {
                what += "no BIC ";
                if (fault.empty()) fault = "CHF payments outside Switzerland and Liechtenstein require the creditor's BIC";
            } else {
                kv.set("bic", pick(foreign_bics));
            }
            break;
        }
        if (kind != Kind::Foreign && chance(30)) kv.set("bic", pick(foreign_bics));
        if (kind != Kind::QrBill && chance(30)) {
            char reference[26];
            const std::string base = "INV" + std::to_string(below(100000000));
            EXPECT_EQ(tarvo_creditor_reference_make(base.c_str(), reference, sizeof reference), 1);
            kv.set("cref", reference);
            what += "cref ";
        }
        if (chance(60)) {
            kv.set("ref", pick(texts));
            what += "ref ";
        }
        if (chance(50)) kv.set("id", "E2E " + std::to_string(below(1000000)));
        if (chance(20)) kv.set("purp", "SUPP");
        if (chance(25)) {
            kv.set("ultimateName", pick(names));
            what += "ultimate ";
        }
        if (chance(40)) kv.set("date", pick(dates));
        for (const char *part : parts)
            if (chance(20)) kv.set(part, std::string(pick(names)).substr(0, 16));
        const bool town = !chance(5), country = !chance(5);
        if (town) kv.set("addrTown", "Neuchâtel");
        if (country) kv.set("addrCC", kind == Kind::Sepa || kind == Kind::Foreign ? "DE" : "CH");
        if (!(town && country)) {
            what += "incomplete address ";
            fault = "Address requires town and country (addrTown and addrCC)"; // checked first
        }
        what += ")";
        return kv;
    }

  private:
    std::mt19937 rng_;
};

unsigned run_seed() {
    if (const char *given = getenv("TARVO_SEED")) return static_cast<unsigned>(strtoul(given, nullptr, 10));
    return std::random_device{}();
}

TEST(RandomSwissMessages, EveryDocumentValidatesAgainstSixSchema) {
    const unsigned seed = run_seed();
    SCOPED_TRACE("TARVO_SEED=" + std::to_string(seed));
    Generator gen(seed);
    RulebookScope rulebook("CH-SPS");
    char dir[] = "/tmp/tarvo-sps-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    struct RemoveAfterwards {
        const char *dir;
        ~RemoveAfterwards() { std::filesystem::remove_all(dir); }
    } remove_afterwards{dir};

    std::vector<std::string> paths;
    std::map<std::string, std::string> description_of;
    for (int n = 0; n < messages_per_run; ++n) {
        std::string description = "message " + std::to_string(n);
        Message h(tarvo_new(TARVO_MSGTYPE_CTI));
        EXPECT_EQ(tarvo_setIBAN(h.get(), gen.pick(debtor_ibans)), 1);
        EXPECT_EQ(tarvo_setName(h.get(), gen.pick(names)), 1) << error_of(h.get());
        if (gen.chance(50)) {
            EXPECT_EQ(tarvo_setBIC(h.get(), "UBSWCHZH80A"), 1);
        }
        EXPECT_EQ(tarvo_setDate(h.get(), gen.pick(dates)), 1);
        if (gen.chance(30)) {
            EXPECT_EQ(tarvo_setBatchBooking(h.get(), 0), 1);
        }
        if (gen.chance(30)) {
            EXPECT_EQ(tarvo_setCategoryPurpose(h.get(), gen.chance(50) ? "SALA" : "SUPP"), 1) << error_of(h.get());
            description += " category purpose";
        }
        if (gen.chance(30)) {
            EXPECT_EQ(tarvo_setUltimateName(h.get(), gen.pick(names)), 1) << error_of(h.get());
            description += " ultimate debtor";
        }
        const unsigned count = 1 + gen.below(6);
        for (unsigned i = 0; i < count; ++i) {
            std::string fault;
            Kv kv = gen.transfer(description += " ", fault);
            const int added = tarvo_add(h.get(), kv.list());
            if (!fault.empty()) {
                EXPECT_EQ(added, 0) << description;
                EXPECT_EQ(error_of(h.get()), fault) << description;
            } else {
                EXPECT_EQ(added, 1) << description << ": " << error_of(h.get());
            }
        }
        const auto doc = render_at(h.get());
        if (h->tx_count == 0) {
            EXPECT_FALSE(doc) << description;
            continue;
        }
        ASSERT_TRUE(doc) << description << ": " << error_of(h.get());
        const std::string path = std::string(dir) + "/doc-" + std::to_string(n) + ".xml";
        FILE *file = fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        fwrite(doc->data(), 1, doc->size(), file);
        fclose(file);
        paths.push_back(path);
        description_of[path] = description;
    }
    EXPECT_GT(paths.size(), messages_per_run / 2U);
    for (const auto &[path, report] : invalid_files(paths, "ch/pain.001.001.09.ch.03"))
        ADD_FAILURE() << (path.empty() ? "xmllint" : description_of[path]) << " not valid:\n" << report;
}

} // namespace
} // namespace tarvo::test
