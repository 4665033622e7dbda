// expat's memory for one load of an XML reader, capped: each block carries its size, so that what
// is freed and grown is charged exactly.
#include <stdlib.h>
#include <string.h>

#include "statement/xml_stream.h"

namespace tarvo::xml {

namespace {

thread_local ParserBudget *current = nullptr;

// Each block starts with its size, padded to keep the caller's part aligned.
constexpr size_t header = alignof(max_align_t);

size_t size_of(const unsigned char *block) {
    size_t size;
    memcpy(&size, block, sizeof size);
    return size;
}

void *budget_malloc(size_t size) {
    ParserBudget &b = *current;
    if (size > ParserBudget::limit - b.used) {
        b.exceeded = true;
        return nullptr;
    }
    auto *block = static_cast<unsigned char *>(malloc(header + size));
    if (block == nullptr) return nullptr;
    memcpy(block, &size, sizeof size);
    b.used += size;
    return block + header;
}

void budget_free(void *p) {
    if (p == nullptr) return;
    unsigned char *block = static_cast<unsigned char *>(p) - header;
    current->used -= size_of(block);
    free(block);
}

void *budget_realloc(void *p, size_t size) {
    if (p == nullptr) return budget_malloc(size);
    unsigned char *block = static_cast<unsigned char *>(p) - header;
    const size_t old = size_of(block);
    ParserBudget &b = *current;
    if (size > old && size - old > ParserBudget::limit - b.used) {
        b.exceeded = true;
        return nullptr;
    }
    auto *grown = static_cast<unsigned char *>(realloc(block, header + size));
    if (grown == nullptr) return nullptr;
    memcpy(grown, &size, sizeof size);
    b.used = b.used - old + size;
    return grown + header;
}

} // namespace

const XML_Memory_Handling_Suite ParserBudget::memory_suite{budget_malloc, budget_realloc, budget_free};

ParserBudget::Scope::Scope(ParserBudget &budget) : previous_(current) { current = &budget; }

ParserBudget::Scope::~Scope() { current = previous_; }

} // namespace tarvo::xml
