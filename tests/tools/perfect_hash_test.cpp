// The perfect-hash builder on key sets of its own: every key finds its index, the tables
// keep the limits the library's formula relies on, and the same input gives the same tables.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "input.h"
#include "perfect_hash.h"
#include "temp_dir.h"

namespace {

using namespace tarvogen;

std::vector<std::string> random_keys(std::size_t n, unsigned seed, std::size_t min_len = 6) {
    std::mt19937 rnd(seed);
    std::set<std::string> seen;
    std::vector<std::string> keys;
    while (keys.size() < n) {
        std::string key;
        std::size_t length = min_len + rnd() % (hash_positions - min_len + 1);
        for (std::size_t p = 0; p < length; ++p)
            key += static_cast<char>('0' + rnd() % hash_chars);
        if (seen.insert(key).second)
            keys.push_back(key);
    }
    return keys;
}

// Keys that differ in few positions, like the bank codes of one region.
std::vector<std::string> bank_code_keys(std::size_t n) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < n; ++i)
        keys.push_back("_DE" + pad_left(std::to_string(10000000 + i * 37), 8, '0'));
    return keys;
}

void expect_valid(const PerfectHash &h, const std::vector<std::string> &keys) {
    ASSERT_EQ(h.keys, keys.size());
    ASSERT_EQ(h.g.size(), h.vertices);
    for (const auto *t : {&h.t0, &h.t1, &h.t2}) {
        ASSERT_EQ(t->size(), static_cast<std::size_t>(hash_table_size));
        for (uint32_t v : *t)
            ASSERT_LT(v, h.vertices);
    }
    std::vector<bool> touched(h.vertices, false);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ASSERT_EQ(evaluate(h, keys[i]), static_cast<int>(i)) << keys[i];
        uint32_t s[3] = {0, 0, 0};
        for (std::size_t p = 0; p < keys[i].size(); ++p) {
            std::size_t idx = static_cast<std::size_t>(keys[i][p] - '0') + hash_chars * p;
            s[0] += h.t0[idx];
            s[1] += h.t1[idx];
            s[2] += h.t2[idx];
        }
        for (uint32_t &v : s)
            v %= h.vertices;
        ASSERT_TRUE(s[0] != s[1] && s[1] != s[2] && s[0] != s[2]) << keys[i];
        for (uint32_t v : s)
            touched[v] = true;
    }
    for (uint32_t v = 0; v < h.vertices; ++v) {
        if (touched[v]) {
            ASSERT_GE(h.g[v], 0);
            ASSERT_LT(h.g[v], static_cast<int32_t>(keys.size()));
        } else {
            ASSERT_EQ(h.g[v], -1);
        }
    }
}

TEST(PerfectHash, EveryKeyFindsItsIndexAtManySizes) {
    for (std::size_t n : {1u, 2u, 7u, 100u, 1000u, 12000u}) {
        auto keys = random_keys(n, static_cast<unsigned>(n));
        auto h = build_perfect_hash(keys, 99);
        expect_valid(h, keys);
    }
}

TEST(PerfectHash, StructuredKeysPeelAtAboutOnePointTwoThreeVerticesPerKey) {
    auto keys = bank_code_keys(10000);
    auto h = build_perfect_hash(keys, 1);
    expect_valid(h, keys);
    EXPECT_LE(h.vertices, static_cast<uint32_t>(1.26 * keys.size()));
    EXPECT_EQ(h.vertices % 3, 0u);
}

TEST(PerfectHash, SameKeysAndSeedGiveTheSameTables) {
    auto keys = random_keys(500, 5);
    auto a = build_perfect_hash(keys, 42), b = build_perfect_hash(keys, 42), c = build_perfect_hash(keys, 43);
    EXPECT_EQ(a.t0, b.t0);
    EXPECT_EQ(a.t1, b.t1);
    EXPECT_EQ(a.t2, b.t2);
    EXPECT_EQ(a.g, b.g);
    EXPECT_NE(a.t0, c.t0);
    expect_valid(c, keys);
}

TEST(PerfectHash, NonKeysAreRejectedOrMissTheirRecord) {
    auto keys = random_keys(2000, 8);
    auto h = build_perfect_hash(keys, 3);
    std::set<std::string> set(keys.begin(), keys.end());
    for (const auto &other : random_keys(2000, 9)) {
        if (set.count(other))
            continue;
        int i = evaluate(h, other);
        ASSERT_LT(i, static_cast<int>(keys.size()));
        if (i >= 0) {
            EXPECT_NE(keys[static_cast<std::size_t>(i)], other);
        }
    }
    EXPECT_EQ(evaluate(h, ""), -1);
    EXPECT_EQ(evaluate(h, "0123456789012345"), -1);
    EXPECT_EQ(evaluate(h, "abc def"), -1);
}

TEST(PerfectHash, RefusesKeysItCannotHash) {
    EXPECT_NE(error_of([] { build_perfect_hash({"AACSDE33XXX", "AACSDE33XXX"}, 1); }).find("occurs twice"),
              std::string::npos);
    EXPECT_NE(error_of([] { build_perfect_hash({"AACS DE33"}, 1); }).find("outside '0'..'z'"), std::string::npos);
    EXPECT_NE(error_of([] { build_perfect_hash({"AACSDE33XXX{"}, 1); }).find("outside '0'..'z'"), std::string::npos);
    EXPECT_NE(error_of([] { build_perfect_hash({"0123456789012345"}, 1); }).find("length"), std::string::npos);
    EXPECT_NE(error_of([] { build_perfect_hash({}, 1); }).find("no keys"), std::string::npos);
}

} // namespace
