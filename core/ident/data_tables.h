// The directory as the lookups see it: the compiled-in tables, or the tables of a loaded
// data file. Lookups are templates over both, so the compiled-in path keeps its constant
// sizes and a file's path pays only for divisors known at run time.
#ifndef TARVO_DATA_TABLES_H
#define TARVO_DATA_TABLES_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include "directory_data.h"
#include "ident/data_format.h"
#include "tarvo.h"

namespace tarvo {

struct compiled_tables {
    static constexpr int records = db_records, at_first = db_at_first, de_first = db_de_first;
    static constexpr time_t switch_instant = directory_switch_instant;
    static const char *record(int i) { return DB[i]; }
    static uint32_t t0(unsigned i) { return T0[i]; }
    static uint32_t t1(unsigned i) { return T1[i]; }
    static uint32_t t2(unsigned i) { return T2[i]; }
    static int32_t g_of(uint32_t sum) { return g[sum % hash_vertices]; }
    static int index_of(int32_t sum) { return sum % db_records; }
    static uint8_t method_older(int i) { return german_method_older[i]; }
    static uint8_t method_newer(int i) { return german_method_newer[i]; }
    static uint32_t code(int i) { return german_code[i]; }
};

// a % d for a divisor fixed at load time, by one multiplication (d > 0).
struct fast_modulus {
    uint32_t d = 1;
    uint64_t m = 0;
    void set(uint32_t divisor) {
        d = divisor;
        m = UINT64_MAX / divisor + 1;
    }
    uint32_t of(uint32_t a) const {
        const uint64_t low = m * a;
        return static_cast<uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
    }
};

// Every pointer points into a checked mapping; see check_data_file.
struct file_tables {
    int records = 0, at_first = 0, de_first = 0;
    time_t switch_instant = 0;
    fast_modulus vertices, record_count;
    const uint32_t *T0_ = nullptr, *T1_ = nullptr, *T2_ = nullptr;
    const int32_t *g_ = nullptr;
    const uint8_t *older = nullptr, *newer = nullptr;
    const uint32_t *codes = nullptr, *offsets = nullptr;
    const char *text = nullptr;

    const char *record(int i) const { return text + offsets[i]; }
    uint32_t t0(unsigned i) const { return T0_[i]; }
    uint32_t t1(unsigned i) const { return T1_[i]; }
    uint32_t t2(unsigned i) const { return T2_[i]; }
    int32_t g_of(uint32_t sum) const { return g_[vertices.of(sum)]; }
    int index_of(int32_t sum) const { return static_cast<int>(record_count.of(static_cast<uint32_t>(sum))); }
    uint8_t method_older(int i) const { return older[i]; }
    uint8_t method_newer(int i) const { return newer[i]; }
    uint32_t code(int i) const { return codes[i]; }
};

// A data file in memory: its tables, and what it says about itself.
struct data_file {
    file_tables tables;
    int64_t build_time = 0;
    data_format::edition editions[data_format::source_count] = {};
};

// Record index for a key in either tables (see hash in ident.h).
template <typename Tables>
int hash_in(const Tables &tables, const char *key);

struct bank_record;
// lookup_bank_at and german_method_at on the given file's tables, for checking a file.
int lookup_bank_in(const file_tables &tables, const char *country, const char *bankcode, bank_record *out,
                   time_t now);
int german_method_in(const file_tables &tables, const char *bankcode, time_t now);
// tarvo_bic_getBank on the given tables.
template <typename Tables>
int bic_get_bank(const Tables &tables, const char *bic, tarvo_bank_t **bank);

// Checks bytes (a whole file, 8-byte aligned) as a data file: null when every check
// passes and out is filled, else the message naming the failed check.
const char *check_data_file(const unsigned char *bytes, size_t size, data_file &out);

// The file whose tables the lookups of this thread use, held from construction to
// destruction so that no loader releases it meanwhile; null: the compiled-in tables.
class data_pin {
public:
    data_pin();
    ~data_pin();
    data_pin(const data_pin &) = delete;
    data_pin &operator=(const data_pin &) = delete;
    const data_file *file() const { return file_; }

private:
    const data_file *file_;
};

// Runs f with the tables in use: f(compiled_tables{}) or f(file_tables const &).
template <typename F>
auto with_tables(F &&f) {
    data_pin pin;
    if (const data_file *file = pin.file())
        return f(file->tables);
    return f(compiled_tables{});
}

} // namespace tarvo

#endif
