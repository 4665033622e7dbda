#include "perfect_hash.h"

#include <algorithm>
#include <set>

#include "input.h"

namespace tarvogen {

namespace {

// splitmix64: small, fast, and the same on every platform, unlike the standard
// distributions.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
};

// Vertex count for n keys: about 1.23 n (just above the peeling threshold of three-vertex
// hypergraphs), a multiple of 3 so that the three vertex sets are the residues 0, 1 and 2.
uint32_t vertex_count(std::size_t n, unsigned growth) {
    auto m = static_cast<uint32_t>((n * (123 + growth) + 99) / 100);
    if (m < 3)
        m = 3;
    return m + (3 - m % 3) % 3;
}

// The vertex set of table k is the residue k modulo 3: every entry is a multiple of 3,
// except that the entries of position 0 of T1 and T2 carry the residue 1 and 2. As every
// key has a first character and m is a multiple of 3, the sums keep the residue, so a
// key's three vertices always differ.
void draw_tables(PerfectHash &h, Random &rnd) {
    const uint32_t thirds = h.vertices / 3;
    std::vector<uint32_t> *tables[] = {&h.t0, &h.t1, &h.t2};
    for (uint32_t k = 0; k < 3; ++k) {
        auto &t = *tables[k];
        t.assign(hash_table_size, 0);
        for (int i = 0; i < hash_table_size; ++i) {
            uint32_t residue = i < hash_chars ? k : 0;
            t[i] = rnd.below(thirds) * 3 + residue;
        }
    }
}

struct Edge {
    uint32_t v[3];
};

Edge vertices_of(const PerfectHash &h, std::string_view key) {
    uint32_t s0 = 0, s1 = 0, s2 = 0;
    for (std::size_t p = 0; p < key.size(); ++p) {
        std::size_t i = static_cast<std::size_t>(key[p] - hash_first_char) + hash_chars * p;
        s0 += h.t0[i];
        s1 += h.t1[i];
        s2 += h.t2[i];
    }
    return {{s0 % h.vertices, s1 % h.vertices, s2 % h.vertices}};
}

// Peels the hypergraph: repeatedly removes a key whose vertex no other remaining key
// touches. Returns the keys with their free vertex in removal order, or fewer than all
// keys when a core remains.
std::vector<std::pair<uint32_t, uint32_t>> peel(const std::vector<Edge> &edges, uint32_t m) {
    std::vector<uint32_t> degree(m, 0), incident(m, 0); // XOR of the incident edge numbers
    for (uint32_t e = 0; e < edges.size(); ++e)
        for (uint32_t v : edges[e].v) {
            ++degree[v];
            incident[v] ^= e;
        }
    std::vector<uint32_t> stack;
    for (uint32_t v = 0; v < m; ++v)
        if (degree[v] == 1)
            stack.push_back(v);
    std::vector<std::pair<uint32_t, uint32_t>> order;
    order.reserve(edges.size());
    while (!stack.empty()) {
        uint32_t v = stack.back();
        stack.pop_back();
        if (degree[v] != 1)
            continue;
        uint32_t e = incident[v];
        order.emplace_back(e, v);
        for (uint32_t u : edges[e].v) {
            --degree[u];
            incident[u] ^= e;
            if (degree[u] == 1)
                stack.push_back(u);
        }
    }
    return order;
}

void check_keys(const std::vector<std::string> &keys) {
    if (keys.empty())
        throw InputError("no keys to hash");
    std::set<std::string_view> seen;
    for (const auto &key : keys) {
        if (key.empty() || key.size() > static_cast<std::size_t>(hash_positions))
            throw InputError("key \"" + key + "\" cannot be hashed: length outside 1.." +
                             std::to_string(hash_positions));
        for (char c : key)
            if (c < hash_first_char || c >= hash_first_char + hash_chars)
                throw InputError("key \"" + key + "\" cannot be hashed: character outside '0'..'z'");
        if (!seen.insert(key).second)
            throw InputError("key \"" + key + "\" occurs twice");
    }
}

constexpr unsigned attempts_per_size = 50;

} // namespace

PerfectHash build_perfect_hash(const std::vector<std::string> &keys, uint64_t seed) {
    check_keys(keys);
    PerfectHash h;
    h.keys = static_cast<uint32_t>(keys.size());
    Random rnd{seed};
    std::vector<Edge> edges(keys.size());
    for (unsigned growth = 0;; ++growth) {
        // Small key sets peel less reliably at 1.23 n; after a run of failures the vertex
        // count grows by 1 % of n, and by at least one vertex per set.
        h.vertices = vertex_count(keys.size(), growth) + 3 * growth;
        for (unsigned a = 0; a < attempts_per_size; ++a) {
            ++h.attempts;
            draw_tables(h, rnd);
            for (std::size_t i = 0; i < keys.size(); ++i)
                edges[i] = vertices_of(h, keys[i]);
            auto order = peel(edges, h.vertices);
            if (order.size() != keys.size())
                continue;
            h.g.assign(h.vertices, -1);
            for (const auto &edge : edges)
                for (uint32_t v : edge.v)
                    h.g[v] = 0;
            // In reverse removal order each key's free vertex is still unset by any key
            // processed so far, and its other two vertices are final.
            const auto n = static_cast<int64_t>(keys.size());
            for (auto it = order.rbegin(); it != order.rend(); ++it) {
                auto [e, free_vertex] = *it;
                int64_t others = 0;
                for (uint32_t v : edges[e].v)
                    if (v != free_vertex)
                        others += h.g[v];
                h.g[free_vertex] = static_cast<int32_t>(((static_cast<int64_t>(e) - others) % n + n) % n);
            }
            return h;
        }
    }
}

int evaluate(const PerfectHash &h, std::string_view key) {
    if (key.empty() || key.size() > static_cast<std::size_t>(hash_positions))
        return -1;
    for (char c : key)
        if (c < hash_first_char || c >= hash_first_char + hash_chars)
            return -1;
    Edge e = vertices_of(h, key);
    int32_t t = h.g[e.v[1]] + h.g[e.v[0]] + h.g[e.v[2]];
    return static_cast<int>(t % static_cast<int32_t>(h.keys));
}

} // namespace tarvogen
