// A message object for tests that frees itself, adds key/value lists given inline (values
// may be null) and reads its error text.
#ifndef TARVO_TESTS_MESSAGE_HANDLE_H
#define TARVO_TESTS_MESSAGE_HANDLE_H

#include <initializer_list>
#include <string>
#include <vector>

#include "message/message.h"

namespace tarvo::test {

struct MessageHandle {
    explicit MessageHandle(int type) : h(tarvo_new(type)) {}
    ~MessageHandle() { tarvo_free(h); }
    MessageHandle(const MessageHandle &) = delete;
    MessageHandle &operator=(const MessageHandle &) = delete;
    tarvo_t *operator->() const { return h; }
    operator tarvo_t *() const { return h; }

    // key, value, key, value ...; the list's end marker is appended here.
    int add(std::initializer_list<const char *> pairs) const {
        std::vector<const char *> kv(pairs);
        kv.push_back(nullptr);
        return tarvo_add(h, kv.data());
    }
    std::string error() const {
        const char *e = tarvo_getError(h);
        return e != nullptr ? e : "(none)";
    }
    const ddi_tx *last_ddi() const { return static_cast<const ddi_tx *>(h->tx_tail); }
    const cti_tx *last_cti() const { return static_cast<const cti_tx *>(h->tx_tail); }

    tarvo_t *h;
};

} // namespace tarvo::test

#endif
