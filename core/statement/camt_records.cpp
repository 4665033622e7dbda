// The camt values of a finished scope written into the statement and transaction
// records that MT940 fills, so that callers read both formats alike. The README's
// statement section lists the mapping.
#include <string.h>

#include <algorithm>
#include <array>
#include <iterator>

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

const Fault out_of_memory{Fault::OutOfMemory, {}, {}, {}};

// Copies text into a fixed field, cut at a character boundary when it does not fit.
template <size_t N> void copy_fixed(char (&field)[N], std::string_view text) {
    size_t n = std::min(text.size(), N - 1);
    // Continuation bytes of UTF-8 are 10xxxxxx: back off to the start of a character.
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    memcpy(field, text.data(), n);
    field[n] = '\0';
}

bool debit_of(const Values &v, Slot direction) {
    bool debit = false;
    read_direction(v[direction], debit);
    return debit;
}

// The signed amount of a record: "-" before debits other than zero.
double signed_value(const Amount &a, bool debit) { return debit && a.value != 0.0 ? -a.value : a.value; }

// The signed text of an amount, in the arena. A well-formed amount has at most 18
// digits and a point.
char *signed_text(RecordArena &records, const Amount &a, bool debit) {
    if (!debit || a.value == 0.0) return records.copy(a.text.data(), a.text.size());
    char text[24] = "-";
    const size_t n = std::min(a.text.size(), sizeof text - 1);
    memcpy(text + 1, a.text.data(), n);
    return records.copy(text, n + 1);
}

} // namespace

char *RecordBuilder::copy(const std::string &text) { return records_.copy(text.data(), text.size()); }

Fault RecordBuilder::open_record() {
    statement_ = records_.make<tarvo_stmt_t>();
    if (statement_ == nullptr) return out_of_memory;
    if (*out_.last != nullptr)
        (*out_.last)->next = statement_;
    else
        *out_.first = statement_;
    *out_.last = statement_;
    have_opening_ = opening_final_ = false;
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

Fault RecordBuilder::close_balance(const Values &v) {
    if (Fault f = missing(v, balance_required, message_.record)) return f;
    const std::string_view type = v[Slot::BalanceType];
    const bool opening = type == "OPBD" || (type == "PRCD" && !opening_final_);
    if (!opening && type != "CLBD") return {};
    tarvo_stmt_t &s = *statement_;
    Amount amount;
    read_amount(v[Slot::BalanceAmount], amount);
    const bool debit = debit_of(v, Slot::BalanceDirection);
    char *text = signed_text(records_, amount, debit);
    if (text == nullptr) return out_of_memory;
    if (opening) {
        read_date(v[Slot::BalanceDate], s.openDate);
        copy_fixed(s.openCurrency, v[Slot::BalanceCurrency]);
        s.openSaldo = signed_value(amount, debit);
        s.openSaldoText = text;
        have_opening_ = true;
        opening_final_ = opening_final_ || type == "OPBD";
    } else {
        read_date(v[Slot::BalanceDate], s.closeDate);
        copy_fixed(s.closeCurrency, v[Slot::BalanceCurrency]);
        s.closeSaldo = signed_value(amount, debit);
        s.closeSaldoText = text;
    }
    return {};
}

tarvo_stmt_tx_t *RecordBuilder::append_transaction() {
    auto *tx = records_.make<tarvo_stmt_tx_t>();
    if (tx == nullptr) return nullptr;
    if (statement_->last != nullptr)
        statement_->last->next = tx;
    else
        statement_->tx = tx;
    statement_->last = tx;
    if (entry_first_ == nullptr) entry_first_ = tx;
    return tx;
}

Fault RecordBuilder::fill_amount(tarvo_stmt_tx_t &tx, const Values &v, Slot amount_slot, Slot direction) {
    Amount amount;
    read_amount(v[amount_slot], amount);
    const bool debit = debit_of(v, direction);
    tx.amount = signed_value(amount, debit);
    if ((tx.amountText = signed_text(records_, amount, debit)) == nullptr) return out_of_memory;
    // The currency is the slot after the amount's.
    copy_fixed(tx.currency, v[static_cast<Slot>(static_cast<size_t>(amount_slot) + 1)]);
    return {};
}

namespace {

// A text field of a transaction and the slot it comes from.
struct TextField {
    char *tarvo_stmt_tx_t::*field;
    Slot slot;
};

constexpr TextField transaction_texts[] = {
    {&tarvo_stmt_tx_t::bankref, Slot::TxBankRef},     {&tarvo_stmt_tx_t::eref, Slot::EndToEndId},
    {&tarvo_stmt_tx_t::mref, Slot::MandateId},        {&tarvo_stmt_tx_t::uetr, Slot::Uetr},
    {&tarvo_stmt_tx_t::cred, Slot::CreditorId},       {&tarvo_stmt_tx_t::purp, Slot::PurposeCode},
    {&tarvo_stmt_tx_t::svwz, Slot::Remittance},       {&tarvo_stmt_tx_t::creditorRef, Slot::CreditorRef},
    {&tarvo_stmt_tx_t::abwa, Slot::UltimateDebtor},   {&tarvo_stmt_tx_t::abwe, Slot::UltimateCreditor},
    {&tarvo_stmt_tx_t::txtext, Slot::TxInfo},
};

// Entry values that stand for every transaction of the entry that has no own.
constexpr TextField entry_texts[] = {
    {&tarvo_stmt_tx_t::bankref, Slot::EntryBankRef},
    {&tarvo_stmt_tx_t::txtext, Slot::EntryInfo},
};

// The counterparty: the debtor of a credit, the creditor of a debit.
struct Party {
    Slot name, account, bank;
};
constexpr Party debtor{Slot::DebtorName, Slot::DebtorAccount, Slot::DebtorBank};
constexpr Party creditor{Slot::CreditorName, Slot::CreditorAccount, Slot::CreditorBank};

} // namespace

Fault RecordBuilder::close_transaction(const Values &v) {
    // The entry's amount and direction stand before its details in every version.
    if (Fault f = missing(v, entry_required, message_.record)) return f;
    tarvo_stmt_tx_t *tx = append_transaction();
    if (tx == nullptr) return out_of_memory;
    const Slot direction = v.has(Slot::TxDirection) ? Slot::TxDirection : Slot::EntryDirection;
    const Slot amount = v.has(Slot::TxAmount)        ? Slot::TxAmount
                        : v.has(Slot::DetailsAmount) ? Slot::DetailsAmount
                                                     : Slot::EntryAmount;
    if (Fault f = fill_amount(*tx, v, amount, direction)) return f;
    for (const TextField &t : transaction_texts)
        if (v.has(t.slot) && (tx->*t.field = copy(v[t.slot])) == nullptr) return out_of_memory;
    const Party &party = debit_of(v, direction) ? creditor : debtor;
    copy_fixed(tx->name, v[party.name]);
    copy_fixed(tx->account, v[party.account]);
    copy_fixed(tx->bank, v[party.bank]);
    if (v.has(party.name) && (tx->partyName = copy(v[party.name])) == nullptr) return out_of_memory;
    if (v.has(Slot::TxCode) && !apply_code(*tx, v[Slot::TxCode])) return out_of_memory;
    return {};
}

bool RecordBuilder::apply_code(tarvo_stmt_tx_t &tx, std::string_view text) {
    TransactionCode code;
    if (!split_transaction_code(text, code)) return true;
    copy_fixed(tx.code, code.swift);
    tx.gvc = code.gvc;
    tx.extcode = code.extension;
    if (!code.primanota.empty() && (tx.primanota = records_.copy(code.primanota.data(), code.primanota.size())) == nullptr)
        return false;
    return true;
}

Fault RecordBuilder::close_entry(const Values &v) {
    if (Fault f = missing(v, entry_required, message_.record)) return f;
    if (entry_first_ == nullptr) {
        tarvo_stmt_tx_t *tx = append_transaction();
        if (tx == nullptr) return out_of_memory;
        if (Fault f = fill_amount(*tx, v, Slot::EntryAmount, Slot::EntryDirection)) return f;
    }
    std::array<char *, std::size(entry_texts)> shared{};
    for (size_t i = 0; i < shared.size(); ++i)
        if (v.has(entry_texts[i].slot) && (shared[i] = copy(v[entry_texts[i].slot])) == nullptr) return out_of_memory;
    struct tm booked{}, valuta{};
    read_date(v[Slot::BookingDate], booked);
    read_date(v[Slot::ValueDate], valuta);
    bool reversal = false;
    read_flag(v[Slot::Reversal], reversal);
    for (tarvo_stmt_tx_t *tx = entry_first_; tx != nullptr; tx = tx->next) {
        tx->booked = booked;
        tx->valuta = valuta;
        tx->reversal = reversal ? 1 : 0;
        for (size_t i = 0; i < shared.size(); ++i)
            if (tx->*entry_texts[i].field == nullptr) tx->*entry_texts[i].field = shared[i];
        if (tx->code[0] == '\0' && v.has(Slot::EntryCode) && !apply_code(*tx, v[Slot::EntryCode])) return out_of_memory;
    }
    entry_first_ = nullptr;
    return {};
}

} // namespace tarvo::camt
