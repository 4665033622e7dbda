// The camt values of a finished scope written into the statement and transaction
// records that MT940 fills, so that callers read both formats alike. The README's
// statement section lists the mapping.
#include <string.h>

#include <string>

#include "statement/camt.h"

namespace tarvo::camt {

namespace {

struct Required {
    Slot slot;
    std::string_view parent; // empty: the message's record element
};

constexpr Required record_required[] = {{Slot::RecordId, {}}, {Slot::AccountElement, {}}};
constexpr Required balance_required[] = {{Slot::BalanceTypeElement, "Bal"},
                                         {Slot::BalanceAmount, "Bal"},
                                         {Slot::BalanceDirection, "Bal"},
                                         {Slot::BalanceDate, "Bal"}};
constexpr Required entry_required[] = {{Slot::EntryAmount, "Ntry"}, {Slot::EntryDirection, "Ntry"}};

template <size_t N> Fault missing(const Values &v, const Required (&list)[N], std::string_view record) {
    for (const Required &r : list)
        if (!v.has(r.slot)) return Fault{Fault::Missing, slot_info(r.slot).element, r.parent.empty() ? record : r.parent, {}};
    return {};
}

} // namespace

const Fault out_of_memory{Fault::OutOfMemory, {}, {}, {}};

void copy_fixed(char *field, size_t capacity, std::string_view text) {
    const size_t n = utf8_cut(text, capacity - 1);
    memcpy(field, text.data(), n);
    field[n] = '\0';
}

bool debit_of(const Values &v, Slot direction) {
    bool debit = false;
    read_direction(v[direction], debit);
    return debit;
}

double signed_value(const Amount &a, bool debit) { return debit && a.value != 0.0 ? -a.value : a.value; }

// A well-formed amount has at most 18 significant digits and a point; leading zeros
// after the point make it longer.
char *signed_text(RecordArena &records, const Amount &a, bool debit) {
    if (!debit || a.units == 0) return records.copy(a.text.data(), a.text.size());
    std::string text = "-";
    text.append(a.text);
    return records.copy(text.data(), text.size());
}

char *RecordBuilder::copy(const std::string &text) { return records_.copy(text.data(), text.size()); }

Fault RecordBuilder::open_record() {
    statement_ = records_.make<tarvo_stmt_t>();
    if (statement_ == nullptr) return out_of_memory;
    if (*out_.last != nullptr)
        (*out_.last)->next = statement_;
    else
        *out_.first = statement_;
    *out_.last = statement_;
    opening_final_ = false;
    return {};
}

Fault RecordBuilder::close_record(const Values &v) {
    if (Fault f = missing(v, record_required, message_.record)) return f;
    if (message_.balances_required && !v.has(Slot::BalanceElement))
        return Fault{Fault::Missing, "Bal", message_.record, {}};
    tarvo_stmt_t &s = *statement_;
    if ((s.ref = copy(v[Slot::RecordId])) == nullptr) return out_of_memory;
    if (v.has(Slot::Account) && (s.account = copy(v[Slot::Account])) == nullptr) return out_of_memory;
    read_number(v[v.has(Slot::LegalNumber) ? Slot::LegalNumber : Slot::ElectronicNumber], s.number);
    read_number(v[Slot::Page], s.page);
    statement_ = nullptr;
    return {};
}

namespace {

// The balances a statement keeps besides its opening and closing one.
struct FurtherBalance {
    std::string_view type;
    tarvo_stmt_balance_t tarvo_stmt_t::*field;
};
constexpr FurtherBalance further_balances[] = {
    {"ITBD", &tarvo_stmt_t::interimBalance},
    {"ITAV", &tarvo_stmt_t::interimAvailable},
    {"CLAV", &tarvo_stmt_t::available},
};

} // namespace

Fault RecordBuilder::close_balance(const Values &v) {
    if (Fault f = missing(v, balance_required, message_.record)) return f;
    const std::string_view type = v[Slot::BalanceType];
    const bool opening = type == "OPBD" || (type == "PRCD" && !opening_final_);
    tarvo_stmt_t &s = *statement_;
    tarvo_stmt_balance_t *further = nullptr;
    for (const FurtherBalance &b : further_balances)
        if (b.type == type) further = &(s.*b.field);
    if (!opening && type != "CLBD" && further == nullptr) return {};
    const Amount &amount = v.amount(Slot::BalanceAmount);
    const bool debit = debit_of(v, Slot::BalanceDirection);
    char *text = signed_text(records_, amount, debit);
    if (text == nullptr) return out_of_memory;
    if (further != nullptr) {
        further->date = v.date(Slot::BalanceDate);
        copy_fixed(further->currency, v[Slot::BalanceCurrency]);
        further->amount = text;
    } else if (opening) {
        s.openDate = v.date(Slot::BalanceDate);
        copy_fixed(s.openCurrency, v[Slot::BalanceCurrency]);
        s.openSaldo = signed_value(amount, debit);
        s.openSaldoText = text;
        opening_final_ = opening_final_ || type == "OPBD";
    } else {
        s.closeDate = v.date(Slot::BalanceDate);
        copy_fixed(s.closeCurrency, v[Slot::BalanceCurrency]);
        s.closeSaldo = signed_value(amount, debit);
        s.closeSaldoText = text;
    }
    return {};
}

Fault missing_entry_values(const Values &v, std::string_view record) { return missing(v, entry_required, record); }

} // namespace tarvo::camt
