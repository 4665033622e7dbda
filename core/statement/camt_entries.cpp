// camt entries as transaction records. An entry is one booking; its details describe
// what the booking consists of. The records of a statement must add up to its
// entries, so an entry becomes one record per detail only when the details carry
// amounts that add up to the entry's; otherwise it stays one record that counts its
// details.
#include <string.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "statement/camt.h"

namespace tarvo::camt {

namespace {

// A text field of a transaction and the slot it comes from.
struct TextField {
    char *tarvo_stmt_tx_t::*field;
    Slot slot;
};

constexpr TextField transaction_texts[] = {
    {&tarvo_stmt_tx_t::bankref, Slot::TxBankRef},       {&tarvo_stmt_tx_t::eref, Slot::EndToEndId},
    {&tarvo_stmt_tx_t::mref, Slot::MandateId},          {&tarvo_stmt_tx_t::uetr, Slot::Uetr},
    {&tarvo_stmt_tx_t::cred, Slot::CreditorId},         {&tarvo_stmt_tx_t::purp, Slot::PurposeCode},
    {&tarvo_stmt_tx_t::svwz, Slot::Remittance},         {&tarvo_stmt_tx_t::creditorRef, Slot::CreditorRef},
    {&tarvo_stmt_tx_t::abwa, Slot::UltimateDebtor},     {&tarvo_stmt_tx_t::abwe, Slot::UltimateCreditor},
    {&tarvo_stmt_tx_t::txtext, Slot::TxInfo},           {&tarvo_stmt_tx_t::returnReason, Slot::ReturnReason},
    {&tarvo_stmt_tx_t::returnInfo, Slot::ReturnInfo},
};

// Entry values that stand for every record of the entry that has no own.
constexpr TextField entry_texts[] = {
    {&tarvo_stmt_tx_t::bankref, Slot::EntryBankRef},
    {&tarvo_stmt_tx_t::txtext, Slot::EntryInfo},
    {&tarvo_stmt_tx_t::entryReference, Slot::EntryReference},
    {&tarvo_stmt_tx_t::batchPaymentInformationId, Slot::BatchPaymentInformationId},
    {&tarvo_stmt_tx_t::batchMessageId, Slot::BatchMessageId},
};

// The parts of the ISO bank transaction code at either level.
struct CodeSlots {
    Slot domain, family, subfamily;
};
constexpr CodeSlots entry_code{Slot::EntryDomain, Slot::EntryFamily, Slot::EntrySubFamily};
constexpr CodeSlots transaction_code{Slot::TxDomain, Slot::TxFamily, Slot::TxSubFamily};

// The parties of a transaction.
struct Party {
    Slot name, account, bank;
};
constexpr Party debtor{Slot::DebtorName, Slot::DebtorAccount, Slot::DebtorBank};
constexpr Party creditor{Slot::CreditorName, Slot::CreditorAccount, Slot::CreditorBank};

// The slot after an amount's holds its currency.
Slot currency_of(Slot amount) { return static_cast<Slot>(static_cast<size_t>(amount) + 1); }

__int128 signed_units(const Values &v, Slot amount, Slot direction) {
    const __int128 units = v.amount(amount).units;
    return debit_of(v, direction) ? -units : units;
}

// "PMNT-RDDT-ESDD" from the parts given; null when there is no domain or memory ran out
// (ok tells which).
char *bank_transaction_code(RecordArena &records, const Values &v, const CodeSlots &slots, bool &ok) {
    ok = true;
    if (!v.has(slots.domain)) return nullptr;
    std::string code = v[slots.domain];
    for (Slot part : {slots.family, slots.subfamily})
        if (v.has(part)) code.append("-").append(v[part]);
    char *out = records.copy(code.data(), code.size());
    ok = out != nullptr;
    return out;
}

} // namespace

tarvo_stmt_tx_t *RecordBuilder::append_transaction() {
    auto *tx = records_.make<tarvo_stmt_tx_t>();
    if (tx == nullptr) return nullptr;
    if (entry_first_ == nullptr) {
        before_entry_ = statement_->last;
        entry_first_ = tx;
    }
    if (statement_->last != nullptr)
        statement_->last->next = tx;
    else
        statement_->tx = tx;
    statement_->last = tx;
    return tx;
}

Fault RecordBuilder::fill_amount(tarvo_stmt_tx_t &tx, const Values &v, Slot amount_slot, Slot direction) {
    const Amount &amount = v.amount(amount_slot);
    const bool debit = debit_of(v, direction);
    tx.amount = signed_value(amount, debit);
    if ((tx.amountText = signed_text(records_, amount, debit)) == nullptr) return out_of_memory;
    copy_fixed(tx.currency, v[currency_of(amount_slot)]);
    return {};
}

// The instructed amount is kept where the bank names one that differs from what it
// booked: another currency, or before charges.
Fault RecordBuilder::fill_instructed(tarvo_stmt_tx_t &tx, const Values &v, Slot amount_slot) {
    if (!v.has(amount_slot)) return {};
    const Amount &instructed = v.amount(amount_slot);
    const std::string &currency = v[currency_of(amount_slot)];
    if (instructed.units == v.amount(Slot::EntryAmount).units && currency == tx.currency) return {};
    if ((tx.instructedAmount = records_.copy(instructed.text.data(), instructed.text.size())) == nullptr)
        return out_of_memory;
    copy_fixed(tx.instructedCurrency, currency);
    return {};
}

// A detail's instructed amount, kept only where it differs from the booked one.
static void drop_same_instructed(tarvo_stmt_tx_t &tx) {
    if (tx.instructedAmount == nullptr || strcmp(tx.instructedCurrency, tx.currency) != 0) return;
    const char *booked_text = tx.amountText[0] == '-' ? tx.amountText + 1 : tx.amountText;
    // Mostly written alike; otherwise compared by value ("10.5" and "10.50").
    bool same = strcmp(tx.instructedAmount, booked_text) == 0;
    if (!same) {
        Amount instructed{}, booked{};
        same = read_amount(tx.instructedAmount, instructed) && read_amount(booked_text, booked) &&
               instructed.units == booked.units;
    }
    if (same) {
        tx.instructedAmount = nullptr;
        tx.instructedCurrency[0] = '\0';
    }
}

Fault RecordBuilder::fill_charges(tarvo_stmt_tx_t &tx, std::vector<tarvo_stmt_charge_t> &charges) {
    if (charges.empty() || tx.charges != nullptr) return {};
    auto *list = records_.make_array<tarvo_stmt_charge_t>(charges.size());
    if (list == nullptr) return out_of_memory;
    std::copy(charges.begin(), charges.end(), list);
    tx.charges = list;
    tx.chargeCount = charges.size();
    charges.clear();
    return {};
}

Fault RecordBuilder::close_charge(const Values &v) {
    if (!v.has(Slot::ChargeAmount)) return {};
    const Amount &amount = v.amount(Slot::ChargeAmount);
    tarvo_stmt_charge_t charge{};
    if ((charge.amount = records_.copy(amount.text.data(), amount.text.size())) == nullptr) return out_of_memory;
    copy_fixed(charge.currency, v[Slot::ChargeCurrency]);
    bool included = false;
    read_flag(v[Slot::ChargeIncluded], included);
    charge.included = included ? 1 : 0;
    (in_transaction_ ? tx_charges_ : entry_charges_).push_back(charge);
    return {};
}

Fault RecordBuilder::fill_texts(tarvo_stmt_tx_t &tx, const Values &v, bool transaction) {
    const TextField *first = transaction ? std::begin(transaction_texts) : std::begin(entry_texts);
    const TextField *end = transaction ? std::end(transaction_texts) : std::end(entry_texts);
    for (const TextField *t = first; t != end; ++t)
        if (tx.*t->field == nullptr && v.has(t->slot) && (tx.*t->field = copy(v[t->slot])) == nullptr)
            return out_of_memory;
    bool ok = true;
    if (tx.bankTransactionCode == nullptr)
        tx.bankTransactionCode = bank_transaction_code(records_, v, transaction ? transaction_code : entry_code, ok);
    if (!ok) return out_of_memory;
    if (v.has(transaction ? Slot::TxTruncated : Slot::EntryTruncated)) tx.truncated = 1;
    return {};
}

Fault RecordBuilder::close_transaction(const Values &v) {
    in_transaction_ = false;
    // The entry's amount and direction stand before its details in every version.
    if (Fault f = missing_entry_values(v, message_.record)) return f;
    tarvo_stmt_tx_t *tx = append_transaction();
    if (tx == nullptr) return out_of_memory;
    const Slot direction = v.has(Slot::TxDirection) ? Slot::TxDirection : Slot::EntryDirection;
    const Slot own = v.has(Slot::TxAmount) ? Slot::TxAmount : v.has(Slot::DetailsAmount) ? Slot::DetailsAmount : Slot::None;
    const bool own_in_entry_currency = own != Slot::None && v[currency_of(own)] == v[Slot::EntryCurrency];
    details_.push_back(Detail{tx, own_in_entry_currency,
                              own_in_entry_currency ? signed_units(v, own, direction) : __int128{0}});
    if (Fault f = fill_amount(*tx, v, own_in_entry_currency ? own : Slot::EntryAmount,
                              own_in_entry_currency ? direction : Slot::EntryDirection))
        return f;
    if (Fault f = fill_texts(*tx, v, true)) return f;
    // The counterparty is the debtor of a credit and the creditor of a debit; a
    // reversal keeps the roles of the payment it reverses.
    bool reversal = false;
    read_flag(v[Slot::Reversal], reversal);
    const Party &party = debit_of(v, direction) != reversal ? creditor : debtor;
    copy_fixed(tx->name, v[party.name]);
    copy_fixed(tx->account, v[party.account]);
    copy_fixed(tx->bank, v[party.bank]);
    if (v.has(party.name) && (tx->partyName = copy(v[party.name])) == nullptr) return out_of_memory;
    if (v.has(Slot::TxCode) && !apply_code(*tx, v[Slot::TxCode])) return out_of_memory;
    // Where an own amount was booked, the instructed amount is compared with it;
    // otherwise close_entry does so with the entry's.
    const Slot instructed = v.has(Slot::InstructedAmount) ? Slot::InstructedAmount : Slot::DetailsAmount;
    if (v.has(instructed)) {
        const Amount &a = v.amount(instructed);
        if ((tx->instructedAmount = records_.copy(a.text.data(), a.text.size())) == nullptr) return out_of_memory;
        copy_fixed(tx->instructedCurrency, v[currency_of(instructed)]);
    }
    return fill_charges(*tx, tx_charges_);
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

bool RecordBuilder::details_add_up(const Values &v) const {
    __int128 sum = 0;
    for (const Detail &d : details_) {
        if (!d.own) return false;
        sum += d.units;
    }
    return sum == signed_units(v, Slot::EntryAmount, Slot::EntryDirection);
}

// Replaces the records of the entry's details by one record for the whole entry.
Fault RecordBuilder::whole_entry(const Values &v) {
    std::vector<tarvo_stmt_charge_t> charges;
    size_t ids = 0;
    for (const Detail &d : details_) {
        charges.insert(charges.end(), d.record->charges, d.record->charges + d.record->chargeCount);
        if (d.record->eref != nullptr) ++ids;
    }
    statement_->last = before_entry_;
    if (before_entry_ != nullptr)
        before_entry_->next = nullptr;
    else
        statement_->tx = nullptr;
    entry_first_ = nullptr;
    tarvo_stmt_tx_t *tx = append_transaction();
    if (tx == nullptr) return out_of_memory;
    if (Fault f = fill_amount(*tx, v, Slot::EntryAmount, Slot::EntryDirection)) return f;
    tx->details = static_cast<uint32_t>(details_.size());
    if (ids > 0) {
        char **list = records_.make_array<char *>(ids + 1);
        if (list == nullptr) return out_of_memory;
        tx->endToEndIds = list;
        for (const Detail &d : details_)
            if (d.record->eref != nullptr) *list++ = d.record->eref;
    }
    if (Fault f = fill_instructed(*tx, v, Slot::EntryInstructedAmount)) return f;
    charges.insert(charges.end(), entry_charges_.begin(), entry_charges_.end());
    entry_charges_.swap(charges);
    return {};
}

Fault RecordBuilder::close_entry(const Values &v) {
    if (Fault f = missing_entry_values(v, message_.record)) return f;
    if (entry_first_ == nullptr) {
        tarvo_stmt_tx_t *tx = append_transaction();
        if (tx == nullptr) return out_of_memory;
        if (Fault f = fill_amount(*tx, v, Slot::EntryAmount, Slot::EntryDirection)) return f;
        if (Fault f = fill_instructed(*tx, v, Slot::EntryInstructedAmount)) return f;
    } else if (details_.size() == 1) {
        // One detail: the booked amount is the entry's, in the account's currency.
        tarvo_stmt_tx_t &tx = *entry_first_;
        if (Fault f = fill_amount(tx, v, Slot::EntryAmount, Slot::EntryDirection)) return f;
        drop_same_instructed(tx);
    } else if (!details_add_up(v)) {
        if (Fault f = whole_entry(v)) return f;
    } else {
        for (const Detail &d : details_) drop_same_instructed(*d.record);
    }
    const struct tm &booked = v.date(Slot::BookingDate);
    const struct tm &valuta = v.date(Slot::ValueDate);
    bool reversal = false;
    read_flag(v[Slot::Reversal], reversal);
    // The entry's code is read once; the details without their own share it.
    const tarvo_stmt_tx_t *entry_coded = nullptr;
    for (tarvo_stmt_tx_t *tx = entry_first_; tx != nullptr; tx = tx->next) {
        tx->booked = booked;
        tx->valuta = valuta;
        tx->reversal = reversal ? 1 : 0;
        copy_fixed(tx->status, v[Slot::EntryStatus]);
        if (Fault f = fill_texts(*tx, v, false)) return f;
        if (tx->code[0] != '\0' || !v.has(Slot::EntryCode)) continue;
        if (entry_coded != nullptr) {
            memcpy(tx->code, entry_coded->code, sizeof tx->code);
            tx->gvc = entry_coded->gvc;
            tx->extcode = entry_coded->extcode;
            tx->primanota = entry_coded->primanota;
        } else if (!apply_code(*tx, v[Slot::EntryCode])) {
            return out_of_memory;
        } else {
            entry_coded = tx;
        }
    }
    if (Fault f = fill_charges(*entry_first_, entry_charges_)) return f;
    entry_first_ = before_entry_ = nullptr;
    details_.clear();
    entry_charges_.clear();
    return {};
}

} // namespace tarvo::camt
