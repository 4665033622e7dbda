// Where the values the mapping reads stand in a camt document, relative to the element
// of their scope, for every known version: where versions moved an element (the party
// name below Pty since version 8, the BIC renamed BICFI, the report entries of
// camt.052.001.01 without NtryDtls), each place is listed.
#include <array>

#include "statement/camt.h"

namespace tarvo::camt {

namespace {

struct SlotRow {
    Slot slot;
    SlotInfo info;
};

constexpr std::array<SlotRow, slot_count> slot_rows{{
    {Slot::RecordId, {"Id", Kind::Text}},
    {Slot::LegalNumber, {"LglSeqNb", Kind::Number}},
    {Slot::ElectronicNumber, {"ElctrncSeqNb", Kind::Number}},
    {Slot::Page, {"PgNb", Kind::Number}},
    {Slot::Account, {"Acct", Kind::Text}},
    {Slot::AccountElement, {"Acct", Kind::Mark}},
    {Slot::BalanceElement, {"Bal", Kind::Mark}},
    {Slot::BalanceType, {"Cd", Kind::Text}},
    {Slot::BalanceTypeElement, {"Tp", Kind::Mark}},
    {Slot::BalanceAmount, {"Amt", Kind::Amount}},
    {Slot::BalanceCurrency, {"Ccy", Kind::Text}},
    {Slot::BalanceDirection, {"CdtDbtInd", Kind::Direction}},
    {Slot::BalanceDate, {"Dt", Kind::Date}},
    {Slot::EntryAmount, {"Amt", Kind::Amount}},
    {Slot::EntryCurrency, {"Ccy", Kind::Text}},
    {Slot::EntryDirection, {"CdtDbtInd", Kind::Direction}},
    {Slot::Reversal, {"RvslInd", Kind::Flag}},
    {Slot::BookingDate, {"BookgDt", Kind::Date}},
    {Slot::ValueDate, {"ValDt", Kind::Date}},
    {Slot::EntryBankRef, {"AcctSvcrRef", Kind::Text}},
    {Slot::EntryCode, {"Cd", Kind::Text}},
    {Slot::EntryInfo, {"AddtlNtryInf", Kind::Text}},
    {Slot::EntryStatus, {"Sts", Kind::Text}},
    {Slot::EntryReference, {"NtryRef", Kind::Text}},
    {Slot::BatchPaymentInformationId, {"PmtInfId", Kind::Text}},
    {Slot::BatchMessageId, {"MsgId", Kind::Text}},
    {Slot::EntryInstructedAmount, {"Amt", Kind::Amount}},
    {Slot::EntryInstructedCurrency, {"Ccy", Kind::Text}},
    {Slot::EntryDomain, {"Cd", Kind::Text}},
    {Slot::EntryFamily, {"Cd", Kind::Text}},
    {Slot::EntrySubFamily, {"SubFmlyCd", Kind::Text}},
    {Slot::EntryTruncated, {"Ntry", Kind::Mark}},
    {Slot::TxBankRef, {"AcctSvcrRef", Kind::Text}},
    {Slot::EndToEndId, {"EndToEndId", Kind::Text}},
    {Slot::MandateId, {"MndtId", Kind::Text}},
    {Slot::Uetr, {"UETR", Kind::Text}},
    {Slot::TxAmount, {"Amt", Kind::Amount}},
    {Slot::TxCurrency, {"Ccy", Kind::Text}},
    {Slot::DetailsAmount, {"Amt", Kind::Amount}},
    {Slot::DetailsCurrency, {"Ccy", Kind::Text}},
    {Slot::TxDirection, {"CdtDbtInd", Kind::Direction}},
    {Slot::TxCode, {"Cd", Kind::Text}},
    {Slot::DebtorName, {"Nm", Kind::Text}},
    {Slot::DebtorAccount, {"DbtrAcct", Kind::Text}},
    {Slot::DebtorBank, {"BIC", Kind::Text}},
    {Slot::UltimateDebtor, {"Nm", Kind::Text}},
    {Slot::CreditorName, {"Nm", Kind::Text}},
    {Slot::CreditorAccount, {"CdtrAcct", Kind::Text}},
    {Slot::CreditorBank, {"BIC", Kind::Text}},
    {Slot::UltimateCreditor, {"Nm", Kind::Text}},
    {Slot::CreditorId, {"Id", Kind::Text}},
    {Slot::PurposeCode, {"Purp", Kind::Text}},
    {Slot::Remittance, {"Ustrd", Kind::Text}},
    {Slot::CreditorRef, {"Ref", Kind::Text}},
    {Slot::TxInfo, {"AddtlTxInf", Kind::Text}},
    {Slot::InstructedAmount, {"Amt", Kind::Amount}},
    {Slot::InstructedCurrency, {"Ccy", Kind::Text}},
    {Slot::ReturnReason, {"Rsn", Kind::Text}},
    {Slot::ReturnInfo, {"AddtlInf", Kind::Text}},
    {Slot::TxDomain, {"Cd", Kind::Text}},
    {Slot::TxFamily, {"Cd", Kind::Text}},
    {Slot::TxSubFamily, {"SubFmlyCd", Kind::Text}},
    {Slot::TxTruncated, {"TxDtls", Kind::Mark}},
    {Slot::ChargeAmount, {"Amt", Kind::Amount}},
    {Slot::ChargeCurrency, {"Ccy", Kind::Text}},
    {Slot::ChargeIncluded, {"ChrgInclInd", Kind::Flag}},
}};

constexpr bool rows_in_slot_order() {
    for (size_t i = 0; i < slot_rows.size(); ++i)
        if (static_cast<size_t>(slot_rows[i].slot) != i) return false;
    return true;
}
static_assert(rows_in_slot_order());

constexpr std::array<SlotRange, 5> scope_ranges{{
    {Slot::RecordId, Slot::BalanceType},
    {Slot::BalanceType, Slot::EntryAmount},
    {Slot::EntryAmount, Slot::TxBankRef},
    {Slot::TxBankRef, Slot::ChargeAmount},
    {Slot::ChargeAmount, Slot::None},
}};

struct PathRow {
    Scope scope;
    std::string_view path;
    Slot slot;
    Take take;
};

constexpr PathRow path_rows[] = {
    {Scope::Record, "Id", Slot::RecordId, Take::Text},
    {Scope::Record, "LglSeqNb", Slot::LegalNumber, Take::Text},
    {Scope::Record, "ElctrncSeqNb", Slot::ElectronicNumber, Take::Text},
    {Scope::Record, "StmtPgntn/PgNb", Slot::Page, Take::Text},
    {Scope::Record, "RptPgntn/PgNb", Slot::Page, Take::Text},
    {Scope::Record, "NtfctnPgntn/PgNb", Slot::Page, Take::Text},
    {Scope::Record, "Acct", Slot::AccountElement, Take::Mark},
    {Scope::Record, "Acct/Id/IBAN", Slot::Account, Take::Text},
    {Scope::Record, "Acct/Id/Othr/Id", Slot::Account, Take::Text},
    {Scope::Record, "Acct/Id/BBAN", Slot::Account, Take::Text},
    {Scope::Record, "Acct/Id/UPIC", Slot::Account, Take::Text},
    {Scope::Record, "Acct/Id/PrtryAcct/Id", Slot::Account, Take::Text},
    {Scope::Record, "Bal", Slot::BalanceElement, Take::Mark},

    {Scope::Balance, "Tp", Slot::BalanceTypeElement, Take::Mark},
    {Scope::Balance, "Tp/CdOrPrtry/Cd", Slot::BalanceType, Take::Text},
    {Scope::Balance, "Tp/Cd", Slot::BalanceType, Take::Text},
    {Scope::Balance, "Amt", Slot::BalanceAmount, Take::Amount},
    {Scope::Balance, "CdtDbtInd", Slot::BalanceDirection, Take::Text},
    {Scope::Balance, "Dt/Dt", Slot::BalanceDate, Take::Text},
    {Scope::Balance, "Dt/DtTm", Slot::BalanceDate, Take::Text},

    {Scope::Entry, "Amt", Slot::EntryAmount, Take::Amount},
    {Scope::Entry, "CdtDbtInd", Slot::EntryDirection, Take::Text},
    {Scope::Entry, "RvslInd", Slot::Reversal, Take::Text},
    {Scope::Entry, "BookgDt/Dt", Slot::BookingDate, Take::Text},
    {Scope::Entry, "BookgDt/DtTm", Slot::BookingDate, Take::Text},
    {Scope::Entry, "ValDt/Dt", Slot::ValueDate, Take::Text},
    {Scope::Entry, "ValDt/DtTm", Slot::ValueDate, Take::Text},
    {Scope::Entry, "AcctSvcrRef", Slot::EntryBankRef, Take::Text},
    {Scope::Entry, "BkTxCd/Prtry/Cd", Slot::EntryCode, Take::Text},
    {Scope::Entry, "AddtlNtryInf", Slot::EntryInfo, Take::Text},
    {Scope::Entry, "NtryRef", Slot::EntryReference, Take::Text},
    // A text up to version 6, a code element from version 7.
    {Scope::Entry, "Sts", Slot::EntryStatus, Take::Text},
    {Scope::Entry, "Sts/Cd", Slot::EntryStatus, Take::Text},
    {Scope::Entry, "NtryDtls/Btch/PmtInfId", Slot::BatchPaymentInformationId, Take::Text},
    {Scope::Entry, "NtryDtls/Btch/MsgId", Slot::BatchMessageId, Take::Text},
    {Scope::Entry, "AmtDtls/InstdAmt/Amt", Slot::EntryInstructedAmount, Take::Amount},
    {Scope::Entry, "BkTxCd/Domn/Cd", Slot::EntryDomain, Take::Text},
    {Scope::Entry, "BkTxCd/Domn/Fmly/Cd", Slot::EntryFamily, Take::Text},
    {Scope::Entry, "BkTxCd/Domn/Fmly/SubFmlyCd", Slot::EntrySubFamily, Take::Text},

    {Scope::Transaction, "Refs/AcctSvcrRef", Slot::TxBankRef, Take::Text},
    {Scope::Transaction, "Refs/EndToEndId", Slot::EndToEndId, Take::Text},
    {Scope::Transaction, "Refs/MndtId", Slot::MandateId, Take::Text},
    {Scope::Transaction, "Refs/UETR", Slot::Uetr, Take::Text},
    {Scope::Transaction, "Amt", Slot::TxAmount, Take::Amount},
    {Scope::Transaction, "AmtDtls/TxAmt/Amt", Slot::DetailsAmount, Take::Amount},
    {Scope::Transaction, "CdtDbtInd", Slot::TxDirection, Take::Text},
    {Scope::Transaction, "BkTxCd/Prtry/Cd", Slot::TxCode, Take::Text},
    {Scope::Transaction, "RltdPties/Dbtr/Nm", Slot::DebtorName, Take::Text},
    {Scope::Transaction, "RltdPties/Dbtr/Pty/Nm", Slot::DebtorName, Take::Text},
    {Scope::Transaction, "RltdPties/DbtrAcct/Id/IBAN", Slot::DebtorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/DbtrAcct/Id/Othr/Id", Slot::DebtorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/DbtrAcct/Id/BBAN", Slot::DebtorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/UltmtDbtr/Nm", Slot::UltimateDebtor, Take::Text},
    {Scope::Transaction, "RltdPties/UltmtDbtr/Pty/Nm", Slot::UltimateDebtor, Take::Text},
    {Scope::Transaction, "RltdPties/Cdtr/Nm", Slot::CreditorName, Take::Text},
    {Scope::Transaction, "RltdPties/Cdtr/Pty/Nm", Slot::CreditorName, Take::Text},
    {Scope::Transaction, "RltdPties/Cdtr/Id/PrvtId/Othr/Id", Slot::CreditorId, Take::Text},
    {Scope::Transaction, "RltdPties/Cdtr/Pty/Id/PrvtId/Othr/Id", Slot::CreditorId, Take::Text},
    {Scope::Transaction, "RltdPties/CdtrAcct/Id/IBAN", Slot::CreditorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/CdtrAcct/Id/Othr/Id", Slot::CreditorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/CdtrAcct/Id/BBAN", Slot::CreditorAccount, Take::Text},
    {Scope::Transaction, "RltdPties/UltmtCdtr/Nm", Slot::UltimateCreditor, Take::Text},
    {Scope::Transaction, "RltdPties/UltmtCdtr/Pty/Nm", Slot::UltimateCreditor, Take::Text},
    {Scope::Transaction, "RltdAgts/DbtrAgt/FinInstnId/BIC", Slot::DebtorBank, Take::Text},
    {Scope::Transaction, "RltdAgts/DbtrAgt/FinInstnId/BICFI", Slot::DebtorBank, Take::Text},
    {Scope::Transaction, "RltdAgts/CdtrAgt/FinInstnId/BIC", Slot::CreditorBank, Take::Text},
    {Scope::Transaction, "RltdAgts/CdtrAgt/FinInstnId/BICFI", Slot::CreditorBank, Take::Text},
    {Scope::Transaction, "Purp/Cd", Slot::PurposeCode, Take::Text},
    {Scope::Transaction, "Purp/Prtry", Slot::PurposeCode, Take::Text},
    {Scope::Transaction, "RmtInf/Ustrd", Slot::Remittance, Take::Join},
    {Scope::Transaction, "RmtInf/Strd/CdtrRefInf/Ref", Slot::CreditorRef, Take::First},
    {Scope::Transaction, "RmtInf/Strd/CdtrRefInf/CdtrRef", Slot::CreditorRef, Take::First},
    {Scope::Transaction, "AddtlTxInf", Slot::TxInfo, Take::Text},
    {Scope::Transaction, "AmtDtls/InstdAmt/Amt", Slot::InstructedAmount, Take::Amount},
    {Scope::Transaction, "RtrInf/Rsn/Cd", Slot::ReturnReason, Take::Text},
    {Scope::Transaction, "RtrInf/Rsn/Prtry", Slot::ReturnReason, Take::Text},
    {Scope::Transaction, "RtrInf/AddtlInf", Slot::ReturnInfo, Take::Join},
    {Scope::Transaction, "BkTxCd/Domn/Cd", Slot::TxDomain, Take::Text},
    {Scope::Transaction, "BkTxCd/Domn/Fmly/Cd", Slot::TxFamily, Take::Text},
    {Scope::Transaction, "BkTxCd/Domn/Fmly/SubFmlyCd", Slot::TxSubFamily, Take::Text},

    {Scope::Charge, "Amt", Slot::ChargeAmount, Take::Amount},
    {Scope::Charge, "ChrgInclInd", Slot::ChargeIncluded, Take::Text},
};

// Elements that open a scope, below the element of the enclosing one.
struct OpeningRow {
    Scope parent;
    std::string_view path;
    Scope scope;
};

constexpr OpeningRow opening_rows[] = {
    {Scope::Record, "Bal", Scope::Balance},
    {Scope::Record, "Ntry", Scope::Entry},
    {Scope::Entry, "NtryDtls/TxDtls", Scope::Transaction},
    {Scope::Entry, "TxDtls", Scope::Transaction},
    // Up to version 2 each Chrgs is one charge, later each Chrgs/Rcrd.
    {Scope::Entry, "Chrgs", Scope::Charge},
    {Scope::Entry, "Chrgs/Rcrd", Scope::Charge},
    {Scope::Transaction, "Chrgs", Scope::Charge},
    {Scope::Transaction, "Chrgs/Rcrd", Scope::Charge},
};

} // namespace

const SlotInfo &slot_info(Slot slot) { return slot_rows[static_cast<size_t>(slot)].info; }

SlotRange scope_slots(Scope scope) { return scope_ranges[static_cast<size_t>(scope)]; }

Scope scope_of(Slot s) {
    for (size_t i = 0; i < scope_ranges.size(); ++i)
        if (s >= scope_ranges[i].first && s < scope_ranges[i].end) return static_cast<Scope>(i);
    return Scope::None;
}

const Paths &Paths::get() {
    static const Paths paths;
    return paths;
}

Paths::Paths() {
    // Node 0 is the record element; the other scope elements are found through it.
    nodes_[0].opens = Scope::Record;
    std::array<uint16_t, 5> scope_node{0, 0, 0, 0, 0};
    for (const OpeningRow &o : opening_rows) {
        const uint16_t node = tree_.walk(scope_node[static_cast<size_t>(o.parent)], o.path);
        nodes_[node].opens = o.scope;
        uint16_t &known = scope_node[static_cast<size_t>(o.scope)];
        if (known == 0) known = node;
    }
    for (const PathRow &p : path_rows) {
        const uint16_t node = tree_.walk(scope_node[static_cast<size_t>(p.scope)], p.path);
        nodes_[node].slot = p.slot;
        nodes_[node].take = p.take;
    }
    // A second way into a scope (camt.052.001.01 lists TxDtls right in Ntry) leads to
    // the same children as the first.
    for (const OpeningRow &o : opening_rows) {
        const uint16_t node = tree_.walk(scope_node[static_cast<size_t>(o.parent)], o.path);
        const uint16_t known = scope_node[static_cast<size_t>(o.scope)];
        tree_.share_children(node, known);
    }
    tree_.seal();
    for (uint16_t i = 0; i < tree_.size(); ++i) {
        Node &node = nodes_[i];
        node.name = tree_.name(i);
        actions_[i] = node.slot == Slot::None && node.opens == Scope::None ? Plain : Other;
        if (node.slot == Slot::None) continue;
        node.kind = slot_info(node.slot).kind;
        if (node.kind == Kind::Text && node.take != Take::Mark && node.opens == Scope::None) actions_[i] = Text;
        const Scope scope = scope_of(node.slot);
        node.truncated = scope == Scope::Entry ? Slot::EntryTruncated : scope == Scope::Transaction ? Slot::TxTruncated : Slot::None;
    }
}

} // namespace tarvo::camt
