// The pain.002 reader: group, payment and transaction records of a customer payment
// status report, each with the ids of the levels around it.
#include <stdio.h>

#include <algorithm>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "report/report.h"
#include "statement/camt.h"

namespace tarvo::report {

namespace {

enum Field : uint8_t {
    NoField, MessageId, MessageName, NumberOfTransactions, ControlSum, PaymentId, InstructionId, EndToEndId, Uetr,
    Status, Reason, Info, CountNumber, CountStatus, Amount, CreditorName, CreditorIban, DebtorName, DebtorIban,
};

enum Scope : uint8_t { NoScope, Group, Payment, Transaction, Count };

constexpr std::string_view group_path = "OrgnlGrpInfAndSts";
constexpr std::string_view payment_path = "OrgnlPmtInfAndSts";
constexpr std::string_view transaction_path = "OrgnlPmtInfAndSts/TxInfAndSts";

// What every level states about itself, below its element.
constexpr Row status_rows[] = {
    {"StsRsnInf/Rsn/Cd", Reason},
    {"StsRsnInf/Rsn/Prtry", Reason},
    {"StsRsnInf/AddtlInf", Info},
    {"NbOfTxsPerSts", NoField, Count},
    {"NbOfTxsPerSts/DtldNbOfTxs", CountNumber},
    {"NbOfTxsPerSts/DtldSts", CountStatus},
};

constexpr Row group_rows[] = {
    {"", NoField, Group},
    {"OrgnlMsgId", MessageId},
    {"OrgnlMsgNmId", MessageName},
    {"OrgnlNbOfTxs", NumberOfTransactions},
    {"OrgnlCtrlSum", ControlSum},
    {"GrpSts", Status},
};

constexpr Row payment_rows[] = {
    {"", NoField, Payment},
    {"OrgnlPmtInfId", PaymentId},
    {"OrgnlNbOfTxs", NumberOfTransactions},
    {"OrgnlCtrlSum", ControlSum},
    {"PmtInfSts", Status},
};

// The party names moved below Pty in later versions.
constexpr Row transaction_rows[] = {
    {"", NoField, Transaction},
    {"OrgnlInstrId", InstructionId},
    {"OrgnlEndToEndId", EndToEndId},
    {"OrgnlUETR", Uetr},
    {"TxSts", Status},
    {"OrgnlTxRef/Amt/InstdAmt", Amount, NoScope, true},
    {"OrgnlTxRef/Cdtr/Nm", CreditorName},
    {"OrgnlTxRef/Cdtr/Pty/Nm", CreditorName},
    {"OrgnlTxRef/CdtrAcct/Id/IBAN", CreditorIban},
    {"OrgnlTxRef/Dbtr/Nm", DebtorName},
    {"OrgnlTxRef/Dbtr/Pty/Nm", DebtorName},
    {"OrgnlTxRef/DbtrAcct/Id/IBAN", DebtorIban},
};

const Paths &status_paths() {
    static const Paths paths = [] {
        Paths p;
        for (const auto &[prefix, rows, count] :
             {std::tuple{group_path, group_rows, std::size(group_rows)},
              std::tuple{payment_path, payment_rows, std::size(payment_rows)},
              std::tuple{transaction_path, transaction_rows, std::size(transaction_rows)}}) {
            for (size_t i = 0; i < count; ++i) p.add(prefix, rows[i]);
            for (const Row &row : status_rows) p.add(prefix, row);
        }
        p.tree.seal();
        return p;
    }();
    return paths;
}

constexpr std::string_view versions[] = {
    "pain.002.001.03", "pain.002.001.04", "pain.002.001.05", "pain.002.001.06", "pain.002.001.07", "pain.002.001.08",
    "pain.002.001.09", "pain.002.001.10", "pain.002.001.11", "pain.002.001.12", "pain.002.001.13", "pain.002.001.14",
};
constexpr std::string_view swiss_namespace = "http://www.six-interbank-clearing.com/de/pain.002.001.03.ch.02.xsd";

// One open record and what it collects until its end.
struct Open {
    tarvo_status_t *record = nullptr;
    std::vector<char *> reasons;
    std::string info;
    std::vector<tarvo_status_count_t> counts;
    std::string_view creditor_name, creditor_iban, debtor_name, debtor_iban;

    void reset(tarvo_status_t *r) {
        record = r;
        reasons.clear();
        info.clear();
        counts.clear();
        creditor_name = creditor_iban = debtor_name = debtor_iban = {};
    }
};

class StatusReader final : public TreeReader {
public:
    StatusReader(Loaded &loaded, StatusList &out, char (&error)[256])
        : TreeReader(error, sizeof(tarvo_status_t), &status_paths()), loaded_(loaded), out_(out) {}

private:
    const char *kind() const override { return "status report"; }
    std::string_view message() const override { return "CstmrPmtStsRpt"; }

    bool identify(const char *ns) override {
        if (ns == nullptr) {
            out_.version = "unversioned";
            return true;
        }
        for (std::string_view v : versions)
            if (is_iso_namespace(ns, v)) {
                out_.version = v.data();
                return true;
            }
        if (ns == swiss_namespace) {
            out_.version = "pain.002.001.03.ch.02";
            return true;
        }
        char what[256];
        snprintf(what, sizeof what, "Unknown namespace '%.160s'", ns);
        fail(what);
        return false;
    }

    void open_scope(uint8_t scope) override {
        if (scope == Count) {
            count_ = {};
            return;
        }
        auto *record = loaded_.make<tarvo_status_t>();
        record->level = scope;
        *(out_.first == nullptr ? &out_.first : &out_.last->next) = record;
        out_.last = record;
        levels_[scope - 1].reset(record);
        innermost_ = scope;
        if (scope == Group) saw_group_ = true;
    }

    void close_scope(uint8_t scope) override;
    void value(uint8_t field, std::string_view name, const std::string &text, std::string_view currency) override;
    void finish() override;

    Loaded &loaded_;
    StatusList &out_;
    Open levels_[3];
    uint8_t innermost_ = NoScope;
    tarvo_status_count_t count_{};
    bool saw_group_ = false;
};

void StatusReader::value(uint8_t field, std::string_view name, const std::string &text, std::string_view currency) {
    if (innermost_ == NoScope) return;
    Open &open = levels_[innermost_ - 1];
    tarvo_status_t &r = *open.record;
    switch (static_cast<Field>(field)) {
    case MessageId: r.originalMessageId = loaded_.copy(text); break;
    case MessageName: r.originalMessageName = loaded_.copy(text); break;
    case NumberOfTransactions:
        if (!is_count(text)) return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
        r.originalNumberOfTransactions = loaded_.copy(text);
        break;
    case ControlSum: {
        camt::Amount amount;
        if (!camt::read_amount(text, amount)) return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
        r.originalControlSum = loaded_.copy(text);
        break;
    }
    case PaymentId: r.originalPaymentInformationId = loaded_.copy(text); break;
    case InstructionId: r.originalInstructionId = loaded_.copy(text); break;
    case EndToEndId: r.originalEndToEndId = loaded_.copy(text); break;
    case Uetr: r.originalUETR = loaded_.copy(text); break;
    case Status: r.status = loaded_.copy(text); break;
    case Reason: open.reasons.push_back(loaded_.copy(text)); break;
    case Info:
        if (!open.info.empty()) open.info.push_back(' ');
        open.info.append(text);
        if (open.info.size() > xml::max_text) {
            char what[128];
            snprintf(what, sizeof what, "Text of <AddtlInf> longer than %zu bytes", xml::max_text);
            return fail(what);
        }
        break;
    case CountNumber:
        if (!is_count(text)) return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
        count_.count = loaded_.copy(text);
        break;
    case CountStatus: count_.status = loaded_.copy(text); break;
    case Amount: {
        camt::Amount amount;
        if (!camt::read_amount(text, amount)) return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
        r.amount = loaded_.copy(text);
        currency.copy(r.currency, 3);
        break;
    }
    case CreditorName: open.creditor_name = loaded_.copy(text); break;
    case CreditorIban: open.creditor_iban = loaded_.copy(text); break;
    case DebtorName: open.debtor_name = loaded_.copy(text); break;
    case DebtorIban: open.debtor_iban = loaded_.copy(text); break;
    case NoField: break;
    }
}

void StatusReader::close_scope(uint8_t scope) {
    if (scope == Count) {
        if (count_.count == nullptr) return fail(xml::Fault{xml::Fault::Missing, "DtldNbOfTxs", "NbOfTxsPerSts", {}});
        if (count_.status == nullptr) return fail(xml::Fault{xml::Fault::Missing, "DtldSts", "NbOfTxsPerSts", {}});
        if (innermost_ != NoScope) levels_[innermost_ - 1].counts.push_back(count_);
        return;
    }
    Open &open = levels_[scope - 1];
    tarvo_status_t &r = *open.record;
    if (scope == Group && r.originalMessageId == nullptr)
        return fail(xml::Fault{xml::Fault::Missing, "OrgnlMsgId", group_path, {}});
    if (scope == Payment && r.originalPaymentInformationId == nullptr)
        return fail(xml::Fault{xml::Fault::Missing, "OrgnlPmtInfId", payment_path, {}});
    if (!open.reasons.empty()) {
        r.reasons = loaded_.array<char *>(open.reasons.size() + 1);
        std::copy(open.reasons.begin(), open.reasons.end(), r.reasons);
        r.reasonCount = open.reasons.size();
    }
    if (!open.info.empty()) r.additionalInfo = loaded_.copy(open.info);
    if (!open.counts.empty()) {
        r.counts = loaded_.array<tarvo_status_count_t>(open.counts.size());
        std::copy(open.counts.begin(), open.counts.end(), r.counts);
        r.countCount = open.counts.size();
    }
    if (scope == Transaction) {
        // The counterparty of a debit is its debtor, of a transfer its creditor.
        const char *name_of = levels_[Group - 1].record != nullptr ? levels_[Group - 1].record->originalMessageName : nullptr;
        const bool debit = name_of != nullptr && std::string_view(name_of).substr(0, 8) == "pain.008";
        std::string_view name = debit ? open.debtor_name : open.creditor_name;
        std::string_view iban = debit ? open.debtor_iban : open.creditor_iban;
        if (name.empty()) name = debit ? open.creditor_name : open.debtor_name;
        if (iban.empty()) iban = debit ? open.creditor_iban : open.debtor_iban;
        r.name = name.empty() ? nullptr : const_cast<char *>(name.data());
        r.iban = iban.empty() ? nullptr : const_cast<char *>(iban.data());
        // A close match returns the payee's name as the payee's bank holds it in place
        // of the name the payer gave.
        if (r.status != nullptr && std::string_view(r.status) == "RVMC" && !open.creditor_name.empty())
            r.payeeBankName = const_cast<char *>(open.creditor_name.data());
    }
    innermost_ = scope - 1;
}

// The ids of the surrounding levels, wherever in their level the document put them.
void StatusReader::finish() {
    if (!saw_group_) return fail(xml::Fault{xml::Fault::Missing, group_path, message(), {}});
    const char *message_id = nullptr;
    for (const tarvo_status_t *r = out_.first; r != nullptr && message_id == nullptr; r = r->next)
        if (r->level == Group) message_id = r->originalMessageId;
    const char *payment_id = nullptr;
    for (tarvo_status_t *r = out_.first; r != nullptr; r = r->next) {
        if (r->level == Group) message_id = r->originalMessageId;
        if (r->level == Payment) payment_id = r->originalPaymentInformationId;
        if (r->originalMessageId == nullptr) r->originalMessageId = const_cast<char *>(message_id);
        if (r->level == Transaction && r->originalPaymentInformationId == nullptr)
            r->originalPaymentInformationId = const_cast<char *>(payment_id);
    }
}

} // namespace

bool read_status(Loaded &loaded, StatusList &out, const xml::Input &in, char (&error)[256]) {
    StatusReader reader(loaded, out, error);
    return reader.run<TreeReader>(in);
}

} // namespace tarvo::report
