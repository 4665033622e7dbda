// The exported reconciliation functions: a handle that collects the records of the
// files added, runs the matching and hands out its rows.
#include <new>
#include <string>

#include "reconcile/inputs.h"
#include "tarvo.h"

using namespace tarvo::reconcile;

struct tarvo_reconcile_s {
    Reconciliation work;
    std::string error;
    Row current; // what the last row handed out points into
    tarvo_reconcile_row_t view{};
};

namespace {

const char *source_name(const char *name) { return name != nullptr ? name : "(memory)"; }

// Runs an adder; a refused or failed one leaves the handle as it was, apart from the
// error, and no exception leaves the library.
template <class Add> int guarded(tarvo_reconcile_t *r, const char *what, Add &&add) {
    if (r == nullptr) return -1;
    const size_t payments = r->work.payments.size();
    const size_t statuses = r->work.statuses.size();
    const size_t entries = r->work.entries.size();
    std::string error;
    bool added = false;
    try {
        added = add(error);
    } catch (const std::bad_alloc &) {
        error = "out of memory";
    }
    if (added) return 1;
    r->work.payments.resize(payments);
    r->work.statuses.resize(statuses);
    r->work.entries.resize(entries);
    try {
        r->error = std::string(what) + ": " + error;
    } catch (const std::bad_alloc &) {
        r->error.clear();
    }
    return -1;
}

const char *or_null(const std::string &text) { return text.empty() ? nullptr : text.c_str(); }

} // namespace

extern "C" {

tarvo_reconcile_t *tarvo_reconcile_new(void) { return new (std::nothrow) tarvo_reconcile_s(); }

void tarvo_reconcile_free(tarvo_reconcile_t *r) { delete r; }

int tarvo_reconcile_addPayments(tarvo_reconcile_t *r, const char *path) {
    return guarded(r, path != nullptr ? path : "(null)",
                   [&](std::string &error) { return add_payments(r->work, path, nullptr, 0, path, error); });
}

int tarvo_reconcile_addPaymentsMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name) {
    return guarded(r, source_name(name), [&](std::string &error) {
        return add_payments(r->work, nullptr, data, size, source_name(name), error);
    });
}

int tarvo_reconcile_addStatus(tarvo_reconcile_t *r, const char *path) {
    return guarded(r, path != nullptr ? path : "(null)",
                   [&](std::string &error) { return add_status(r->work, path, nullptr, 0, path, error); });
}

int tarvo_reconcile_addStatusMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name) {
    return guarded(r, source_name(name), [&](std::string &error) {
        return add_status(r->work, nullptr, data, size, source_name(name), error);
    });
}

int tarvo_reconcile_addStatements(tarvo_reconcile_t *r, const char *path) {
    return guarded(r, path != nullptr ? path : "(null)",
                   [&](std::string &error) { return add_statements(r->work, path, nullptr, 0, path, error); });
}

int tarvo_reconcile_addStatementsMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name) {
    return guarded(r, source_name(name), [&](std::string &error) {
        return add_statements(r->work, nullptr, data, size, source_name(name), error);
    });
}

int tarvo_reconcile_run(tarvo_reconcile_t *r) {
    if (r == nullptr) return -1;
    try {
        if (r->work.run()) return 1;
        r->error = r->work.error;
    } catch (const std::bad_alloc &) {
        r->work.outcomes.clear();
        r->work.warnings.clear();
        r->error = "out of memory";
    }
    return -1;
}

size_t tarvo_reconcile_count(tarvo_reconcile_t *r) { return r != nullptr ? r->work.outcomes.size() : 0; }

const tarvo_reconcile_row_t *tarvo_reconcile_row(tarvo_reconcile_t *r, size_t index) {
    if (r == nullptr || index >= r->work.outcomes.size()) return nullptr;
    try {
        r->current = r->work.row(index);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    const Row &c = r->current;
    r->view = {or_null(c.message_id), or_null(c.payment_information_id), or_null(c.end_to_end_id),
               or_null(c.amount),     or_null(c.currency),               c.state.c_str(),
               or_null(c.reason),     or_null(c.vop),                    or_null(c.evidence),
               c.unmatched ? 1 : 0};
    return &r->view;
}

size_t tarvo_reconcile_warningCount(tarvo_reconcile_t *r) { return r != nullptr ? r->work.warnings.size() : 0; }

const char *tarvo_reconcile_warning(tarvo_reconcile_t *r, size_t index) {
    if (r == nullptr || index >= r->work.warnings.size()) return nullptr;
    return r->work.warnings[index].c_str();
}

const char *tarvo_reconcile_getError(tarvo_reconcile_t *r) {
    return r != nullptr && !r->error.empty() ? r->error.c_str() : nullptr;
}

} // extern "C"
