// A hash index over the positions of records in a vector: the join side of matching.
// Open addressing in one flat array, so that a million payments cost two arrays of
// integers and no allocation per key; keys that occur more than once are all found.
#ifndef TARVO_RECONCILE_KEY_INDEX_H
#define TARVO_RECONCILE_KEY_INDEX_H

#include <stdint.h>

#include <bit>
#include <string_view>
#include <vector>

namespace tarvo::reconcile {

// FNV-1a over the key's parts, each followed by a separator so that ("ab","c") and
// ("a","bc") differ; the final mix spreads the low bits used for the slot.
class KeyHash {
public:
    KeyHash &add(std::string_view part) {
        for (unsigned char c : part) value_ = (value_ ^ c) * prime;
        value_ = (value_ ^ 0xFFu) * prime;
        return *this;
    }
    KeyHash &add(int64_t number) {
        value_ = (value_ ^ static_cast<uint64_t>(number)) * prime;
        return *this;
    }
    uint64_t value() const { return value_ ^ (value_ >> 29); }

private:
    static constexpr uint64_t prime = 0x100000001B3ull;
    uint64_t value_ = 0xCBF29CE484222325ull;
};

class KeyIndex {
public:
    KeyIndex() { reset(0); }

    // Room for count keys without growing; more grow it.
    void reset(size_t count) {
        const size_t slots = std::bit_ceil(count + count / 2 + 2);
        mask_ = slots - 1;
        used_ = 0;
        positions_.assign(slots, empty);
        hashes_.assign(slots, 0);
    }

    void insert(uint64_t hash, uint32_t position) {
        // At most two thirds of the slots full, which keeps probes short.
        if ((used_ + 1) * 3 > (mask_ + 1) * 2) grow();
        place(hash, position);
        ++used_;
    }

    // Calls visit(position) for each position inserted with this hash until visit
    // returns true; returns whether one did.
    template <class Visit> bool find(uint64_t hash, Visit &&visit) const {
        for (size_t slot = hash & mask_; positions_[slot] != empty; slot = (slot + 1) & mask_)
            if (hashes_[slot] == hash && visit(positions_[slot])) return true;
        return false;
    }

private:
    void place(uint64_t hash, uint32_t position) {
        size_t slot = hash & mask_;
        while (positions_[slot] != empty) slot = (slot + 1) & mask_;
        positions_[slot] = position;
        hashes_[slot] = hash;
    }

    void grow() {
        std::vector<uint32_t> positions(std::move(positions_));
        std::vector<uint64_t> hashes(std::move(hashes_));
        mask_ = positions.size() * 2 - 1;
        positions_.assign(positions.size() * 2, empty);
        hashes_.assign(positions.size() * 2, 0);
        for (size_t i = 0; i < positions.size(); ++i)
            if (positions[i] != empty) place(hashes[i], positions[i]);
    }

    static constexpr uint32_t empty = UINT32_MAX;
    size_t mask_ = 0;
    size_t used_ = 0;
    std::vector<uint32_t> positions_;
    std::vector<uint64_t> hashes_;
};

} // namespace tarvo::reconcile

#endif
