// The statement parser handle: opening the input and handing it to the reader of its format.
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>

#include "frame/frame.h"
#include "statement/statement.h"

namespace tarvo {

struct RecordArena::Block {
    Block *previous;
    size_t capacity;
    bool mapped; // from mmap, else from calloc
};

namespace {
// After a first small block for small files, blocks of huge pages: a large statement
// file fills thousands of small pages otherwise, and taking each on first touch costs as
// much as reading the records.
constexpr size_t first_block_size = size_t{64} << 10;
constexpr size_t block_size = size_t{2} << 20;
constexpr size_t block_alignment = 16;
constexpr size_t block_header = (sizeof(RecordArena::Block) + block_alignment - 1) & ~(block_alignment - 1);
} // namespace

namespace {

// A zero-filled block of bytes (a multiple of unit), or null. Large blocks are mapped
// afresh, aligned to a huge page: the kernel hands them over zero-filled, so the records
// are not cleared twice, and a huge page is taken in one fault instead of 512.
RecordArena::Block *new_block(size_t bytes, size_t unit) {
    if (unit != block_size) return static_cast<RecordArena::Block *>(calloc(1, bytes));
    if (bytes > SIZE_MAX - block_size) return nullptr;
    void *mapping = mmap(nullptr, bytes + block_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapping);
    const uintptr_t aligned = (start + block_size - 1) & ~(uintptr_t{block_size} - 1);
    if (aligned > start) munmap(mapping, aligned - start);
    const uintptr_t end = start + bytes + block_size;
    if (end > aligned + bytes) munmap(reinterpret_cast<void *>(aligned + bytes), end - (aligned + bytes));
    madvise(reinterpret_cast<void *>(aligned), bytes, MADV_HUGEPAGE);
    auto *block = reinterpret_cast<RecordArena::Block *>(aligned);
    block->mapped = true;
    return block;
}

void free_block(RecordArena::Block *block) {
    if (block->mapped)
        munmap(block, block_header + block->capacity);
    else
        free(block);
}

} // namespace

void *RecordArena::allocate_in_new_block(size_t size, size_t alignment) {
    const size_t unit = head_ == nullptr ? first_block_size : block_size;
    if (size > SIZE_MAX - block_header - unit || alignment > block_alignment) return nullptr;
    const size_t bytes = (block_header + size + unit - 1) / unit * unit;
    Block *block = new_block(bytes, unit);
    if (block == nullptr) return nullptr;
    block->previous = head_;
    block->capacity = bytes - block_header;
    head_ = block;
    char *record = reinterpret_cast<char *>(block) + block_header;
    next_ = record + size;
    end_ = record + block->capacity;
    return record;
}

RecordArena::~RecordArena() {
    while (head_ != nullptr) {
        Block *previous = head_->previous;
        free_block(head_);
        head_ = previous;
    }
}

int open_input(const char *path, size_t &size, char (&error)[256]) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer before it can be refused; on a
    // regular file the flag changes nothing.
    const int fd = path != nullptr ? open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK) : (errno = EINVAL, -1);
    if (fd < 0) {
        format_error(error, "Can't open input file: %s", strerror(errno));
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        format_error(error, "Can't stat input file: %s", strerror(errno));
    } else if (!S_ISREG(st.st_mode)) {
        // Devices, pipes and directories have no size to read up to (/dev/zero never ends).
        format_error(error, "Input is not a regular file");
    } else if (st.st_size == 0) {
        format_error(error, "Input file is empty");
    } else {
        size = static_cast<size_t>(st.st_size);
        return fd;
    }
    close(fd);
    return -1;
}

namespace {

constexpr int format_mt940 = TARVO_STMT_FORMAT_MT940;
constexpr int format_camt = TARVO_STMT_FORMAT_CAMT;

bool read_mt940_input(tarvo_stmt_parser_t *p, StatementState &state, const Input &input) {
    if (!read_mt940(input, state.records, StatementList{&p->first, &p->last}, p->error)) return false;
    if (p->first == nullptr) {
        format_error(p->error, "No MT940 statement found");
        return false;
    }
    return true;
}

// Records point into each other and into their arena: all of it goes.
void discard_records(tarvo_stmt_parser_t *p) {
    p->first = p->last = nullptr;
    delete p->state;
    p->state = nullptr;
}

} // namespace
} // namespace tarvo

extern "C" tarvo_stmt_parser_t *tarvo_stmt_parser_new(void) {
    return static_cast<tarvo_stmt_parser_t *>(calloc(1, sizeof(tarvo_stmt_parser_t)));
}

extern "C" void tarvo_stmt_parser_free(tarvo_stmt_parser_t *p) {
    if (p == nullptr) return;
    delete p->state;
    free(p);
}

extern "C" const char *tarvo_stmt_parser_getError(tarvo_stmt_parser_t *p) {
    return p != nullptr ? p->error : "invalid tarvo_stmt_parser_t handle";
}

extern "C" tarvo_stmt_t *tarvo_stmt_parser_getStatement(tarvo_stmt_parser_t *p) {
    return p != nullptr ? p->first : nullptr;
}

namespace tarvo {
namespace {

// The checks both routes share; the state of the load, or null with the error set.
StatementState *begin_load(tarvo_stmt_parser_t *p, int format) {
    if (p->format != 0) {
        format_error(p->error, "Parser already used");
        return nullptr;
    }
    p->format = format;
    if (format != format_mt940 && format != format_camt) {
        format_error(p->error, "Format not (yet) supported");
        return nullptr;
    }
    auto *state = new (std::nothrow) StatementState;
    if (state == nullptr)
        format_error(p->error, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(StatementState)),
                     strerror(ENOMEM));
    p->state = state;
    return state;
}

int end_load(tarvo_stmt_parser_t *p, bool ok) {
    if (ok) return 1;
    discard_records(p);
    return 0;
}

} // namespace
} // namespace tarvo

extern "C" int tarvo_stmt_parser_load(tarvo_stmt_parser_t *p, int format, const char *path) {
    using namespace tarvo;
    if (p == nullptr) return 0;
    StatementState *state = begin_load(p, format);
    if (state == nullptr) return 0;
    size_t size = 0;
    const int fd = open_input(path, size, p->error);
    if (fd < 0) return 0;
    const bool ok = format == format_camt
                        ? read_camt(Input{fd, nullptr, size}, state->records, StatementList{&p->first, &p->last}, p->error)
                        : read_mt940_input(p, *state, Input{fd, nullptr, size});
    close(fd);
    return end_load(p, ok);
}

extern "C" int tarvo_stmt_parser_loadMemory(tarvo_stmt_parser_t *p, int format, const void *data, size_t size) {
    using namespace tarvo;
    if (p == nullptr) return 0;
    StatementState *state = begin_load(p, format);
    if (state == nullptr) return 0;
    if (data == nullptr || size == 0) {
        format_error(p->error, "Input is empty");
        return 0;
    }
    const char *bytes = static_cast<const char *>(data);
    const bool ok = format == format_camt
                        ? read_camt(Input{-1, bytes, size}, state->records, StatementList{&p->first, &p->last}, p->error)
                        : read_mt940_input(p, *state, Input{-1, bytes, size});
    return end_load(p, ok);
}
