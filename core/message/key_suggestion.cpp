// The nearest known keys to a key the caller misspelled, so that a refusal says what was
// probably meant instead of leaving the caller to search the documentation.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <array>

#include "message/message.h"

namespace tarvo {
namespace {

constexpr char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Keys callers write for a field that has another name here.
struct Alias {
    std::string_view alias;
    std::string_view key;
};
constexpr Alias aliases[] = {
    {"purpose", "ref"},    {"remittance", "ref"}, {"reference", "ref"}, {"text", "ref"},
    {"creditor", "name"},  {"beneficiary", "name"}, {"value", "amount"}, {"sum", "amount"},
    {"rf", "cref"},        {"ultimate", "ultimateName"}, {"country", "addrCC"}, {"town", "addrTown"},
    {"city", "addrTown"},  {"street", "addrStreet"}, {"zip", "addrCode"},
};

// Edit distance with adjacent transpositions, without regard to case; long keys are cut,
// since a key that long is close to none of ours anyway.
size_t distance(std::string_view a, std::string_view b) {
    constexpr size_t cap = 31;
    a = a.substr(0, cap);
    b = b.substr(0, cap);
    std::array<std::array<size_t, cap + 1>, cap + 1> d{};
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

bool starts_with(std::string_view text, std::string_view prefix) {
    return prefix.size() >= 3 && text.size() > prefix.size() && distance(text.substr(0, prefix.size()), prefix) == 0;
}

// Close enough to be a slip of the keyboard, not merely a short key that shares letters.
bool close(std::string_view typed, std::string_view key) {
    const size_t limit = std::min<size_t>(2, key.size() / 3);
    return distance(typed, key) <= limit || starts_with(typed, key);
}

} // namespace

const char *suggest_keys(std::string_view typed, std::span<const std::string_view> known, char (&out)[80]) {
    std::array<std::string_view, 2> found{};
    size_t count = 0;
    auto take = [&](std::string_view key) {
        if (count < found.size() && std::find(found.begin(), found.begin() + count, key) == found.begin() + count)
            found[count++] = key;
    };
    for (std::string_view key : known)
        if (close(typed, key)) take(key);
    for (const Alias &a : aliases)
        if (distance(typed, a.alias) <= a.alias.size() / 4 &&
            std::find(known.begin(), known.end(), a.key) != known.end())
            take(a.key);
    out[0] = '\0';
    if (count == 1) snprintf(out, sizeof out, " (did you mean '%.*s'?)", static_cast<int>(found[0].size()), found[0].data());
    if (count == 2)
        snprintf(out, sizeof out, " (did you mean '%.*s' or '%.*s'?)", static_cast<int>(found[0].size()),
                 found[0].data(), static_cast<int>(found[1].size()), found[1].data());
    return out;
}

} // namespace tarvo
