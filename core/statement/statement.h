// Internal interface of the statement parser: the handle, the record arena and the
// MT940 reader that cuts a loaded file text into statement and transaction records.
#ifndef TARVO_STATEMENT_H
#define TARVO_STATEMENT_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "tarvo.h"

namespace tarvo {

// Statement and transaction records of one load, carved from large zero-filled blocks:
// a big file holds hundreds of thousands of records, and they all die together.
class RecordArena {
public:
    RecordArena() = default;
    RecordArena(const RecordArena &) = delete;
    RecordArena &operator=(const RecordArena &) = delete;
    ~RecordArena();

    // A zero-filled record, or null when memory is exhausted.
    template <class T> T *make() { return static_cast<T *>(allocate(sizeof(T), record_alignment)); }
    // count zero-filled records in a row, or null.
    template <class T> T *make_array(size_t count) {
        if (count > SIZE_MAX / sizeof(T)) return nullptr;
        return static_cast<T *>(allocate(count * sizeof(T), record_alignment));
    }
    // A NUL-terminated copy of text[0, length), or null when memory is exhausted.
    char *copy(const char *text, size_t length) {
        auto *out = static_cast<char *>(allocate(length + 1, 1));
        if (out == nullptr) return nullptr;
        memcpy(out, text, length);
        out[length] = '\0';
        return out;
    }

    struct Block;

private:
    static constexpr size_t record_alignment = 16;
    // Inline: a load makes a record or text for every few bytes of its file.
    void *allocate(size_t size, size_t alignment) {
        if (next_ != nullptr) {
            const uintptr_t at = (reinterpret_cast<uintptr_t>(next_) + alignment - 1) & ~(uintptr_t{alignment} - 1);
            const auto end = reinterpret_cast<uintptr_t>(end_);
            if (at <= end && size <= end - at) {
                next_ = reinterpret_cast<char *>(at + size);
                return reinterpret_cast<void *>(at);
            }
        }
        return allocate_in_new_block(size, alignment);
    }
    void *allocate_in_new_block(size_t size, size_t alignment);
    Block *head_ = nullptr;
    char *next_ = nullptr; // free room of the newest block
    char *end_ = nullptr;
};

// What one load owns: the records and their texts.
struct StatementState {
    RecordArena records;

    StatementState() = default;
    StatementState(const StatementState &) = delete;
    StatementState &operator=(const StatementState &) = delete;
};

// Where the reader appends the statements it finds, in file order.
struct StatementList {
    tarvo_stmt_t **first;
    tarvo_stmt_t **last;
};

// Opens the file at path for reading when it is a regular file that is not empty, and
// puts its size in size. Either format reads only what this opened: a FIFO or device
// would block or never end. -1 with the reason in error otherwise.
int open_input(const char *path, size_t &size, char (&error)[256]);

// Where a statement file comes from: a file (fd >= 0, size bytes when opened) or size
// bytes at data.
struct Input {
    int fd;
    const char *data;
    size_t size;
};

// Reads a camt.052, camt.053 or camt.054 document, streaming. False with the reason in
// error when it cannot be read completely; the statements in the list are then
// incomplete and must not be handed out.
bool read_camt(const Input &input, RecordArena &records, StatementList out, char (&error)[256]);

// Reads MT940 statements, piece by piece: the records keep copies of their texts, not the
// file. piece is where the read buffer starts; it grows for fields that do not fit. False
// with the reason in error when the input cannot be read or memory is exhausted; the
// statements in the list may then point into freed memory and must not be handed out.
constexpr size_t mt940_piece = size_t{1} << 18;
bool read_mt940(const Input &input, RecordArena &records, StatementList out, char (&error)[256],
                size_t piece = mt940_piece);

} // namespace tarvo

// The handle. The error text is the first member: bindings read it at the handle's
// own address.
struct tarvo_stmt_parser_s {
    char error[256];
    int format;
    tarvo::StatementState *state;
    tarvo_stmt_t *first;
    tarvo_stmt_t *last;
};

#endif
