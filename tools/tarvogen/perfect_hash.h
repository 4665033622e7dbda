// Order-preserving minimal perfect hash over a three-vertex hypergraph: each key gets three
// vertices from table sums over its characters; g is chosen so that the vertex values of
// the key with index i add up to i modulo the number of keys.
#ifndef TARVOGEN_PERFECT_HASH_H
#define TARVOGEN_PERFECT_HASH_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvogen {

inline constexpr int hash_positions = 15;
inline constexpr int hash_chars = 75; // '0' .. 'z'
inline constexpr char hash_first_char = '0';
inline constexpr int hash_table_size = hash_positions * hash_chars;

struct PerfectHash {
    uint32_t vertices = 0; // m
    uint32_t keys = 0;     // n
    std::vector<uint32_t> t0, t1, t2; // hash_table_size entries each, below m
    std::vector<int32_t> g;           // m entries: -1 untouched, else 0..n-1
    unsigned attempts = 0;            // tables drawn until the hypergraph peeled
};

// Builds the tables for keys (index = position in the vector). Same keys and seed give the
// same tables. Throws InputError for keys that cannot be hashed or repeat.
PerfectHash build_perfect_hash(const std::vector<std::string> &keys, uint64_t seed);

// The lookup formula, as the library computes it: index or -1.
int evaluate(const PerfectHash &h, std::string_view key);

} // namespace tarvogen

#endif
