// The data file writer: the same inputs give the same bytes, and the editions and their
// validity come out as the publishers date them.
#include <gtest/gtest.h>

#include <cstring>

#include "data_file.h"
#include "temp_dir.h"

namespace {

namespace format = tarvo::data_format;
using tarvogen::FileDate;

std::string read_all(const std::filesystem::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

format::header header_of(const std::string &bytes) {
    format::header h{};
    std::memcpy(&h, bytes.data(), std::min(bytes.size(), sizeof h));
    return h;
}

class DataFileWriter : public TempDir {
protected:
    tarvogen::SourceFiles sources() const {
        auto s = tarvogen::default_sources(std::filesystem::path(TARVO_SHARED_DIR) / "data");
        s.blz.erase(s.blz.begin() + 1, s.blz.end());
        return s;
    }
};

TEST_F(DataFileWriter, SameInputsGiveTheSameBytes_SharedEdition) {
    const auto s = sources();
    const struct {
        std::optional<int64_t> epoch;
        int64_t recorded;
    } cases[] = {
        {std::nullopt, 1759708800}, // the newest edition (OeNB and SIX, 2025-10-06), 00:00 UTC
        {int64_t{1700000000}, 1700000000},
    };
    std::string previous;
    for (const auto &c : cases) {
        tarvogen::write_data_file(s, dir() / "a.tdat", c.epoch);
        tarvogen::write_data_file(s, dir() / "b.tdat", c.epoch);
        const std::string a = read_all(dir() / "a.tdat"), b = read_all(dir() / "b.tdat");
        ASSERT_GT(a.size(), sizeof(format::header));
        EXPECT_EQ(a, b);
        EXPECT_EQ(header_of(a).build_time, c.recorded);
        EXPECT_FALSE(std::filesystem::exists(dir() / "a.tdat.partial"));
        if (!previous.empty()) {
            // Only the build time and the checksum over it differ.
            std::size_t differing = 0;
            for (std::size_t i = 0; i < a.size(); ++i)
                differing += a[i] != previous[i];
            EXPECT_LE(differing, 8u + 4u);
        }
        previous = a;
    }
}

TEST(DataFileEditions, BundesbankValidityEndsTheDayBeforeTheNextEdition) {
    const auto with = [](std::vector<FileDate> blz) {
        tarvogen::SourceFiles s;
        for (const auto &d : blz)
            s.blz.push_back({"blz.txt", d, false});
        s.scl = {"scl.csv", FileDate{2016, 12, 1}, true};
        return tarvogen::editions_of(s);
    };
    const auto date = [](const format::date &d) {
        return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
    };
    const struct {
        std::vector<FileDate> blz;
        const char *first_until, *next_issued, *next_until;
    } cases[] = {
        {{{2025, 6, 9}}, "2025-9-7", "0-0-0", "0-0-0"},
        {{{2025, 6, 9}, {2025, 9, 8}}, "2025-9-7", "2025-9-8", "2025-12-7"},
        {{{2025, 12, 8}}, "2026-3-8", "0-0-0", "0-0-0"}, // over the turn of the year
        {{{2024, 12, 9}}, "2025-3-9", "0-0-0", "0-0-0"},
        {{{2024, 3, 4}}, "2024-6-2", "0-0-0", "0-0-0"}, // over a leap day
    };
    for (const auto &c : cases) {
        const auto e = with(c.blz);
        EXPECT_EQ(date(e[format::bundesbank].valid_until), c.first_until);
        EXPECT_EQ(date(e[format::bundesbank_next].issued), c.next_issued);
        EXPECT_EQ(date(e[format::bundesbank_next].valid_until), c.next_until);
        // A monthly edition keeps no day; no other source states a validity.
        EXPECT_EQ(date(e[format::scl].issued), "2016-12-0");
        EXPECT_EQ(date(e[format::scl].valid_until), "0-0-0");
    }
}

} // namespace
