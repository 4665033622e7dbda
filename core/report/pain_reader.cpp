// The pain.001 / pain.008 reader: the group header, the payment-information blocks and
// their transactions, values exactly as written. A transfer's ordering party is its
// debtor and its counterparties are creditors; a debit the other way round, so each
// message kind has a tree of its own over the same fields.
#include <stdio.h>

#include <string>

#include "report/report.h"
#include "statement/camt.h"

namespace tarvo::report {

namespace {

enum Field : uint8_t {
    NoField, MessageId, CreationTime, HeaderCount, HeaderSum, InitiatingParty,
    BlockId, Method, BatchBooking, BlockCount, BlockSum, ServiceLevel, LocalInstrument, SequenceType, Date,
    PartyName, PartyIban, PartyBic, BlockCreditorId,
    InstructionId, EndToEndId, Uetr, Amount, Name, Iban, Bic, UltimateName, MandateId, MandateDate,
    OriginalMandateId, OriginalIban, TxCreditorId, Purpose, Remittance, CreditorRef,
};

enum Scope : uint8_t { NoScope, Block, Transaction };

enum Kinds : uint8_t { Both, Transfers, Debits };

struct KindRow {
    Kinds kinds;
    Row row;
};

// Agents are identified by BIC up to the 2009 versions, by BICFI since.
constexpr KindRow rows[] = {
    {Both, {"GrpHdr/MsgId", MessageId}},
    {Both, {"GrpHdr/CreDtTm", CreationTime}},
    {Both, {"GrpHdr/NbOfTxs", HeaderCount}},
    {Both, {"GrpHdr/CtrlSum", HeaderSum}},
    {Both, {"GrpHdr/InitgPty/Nm", InitiatingParty}},
    {Both, {"PmtInf", NoField, Block}},
    {Both, {"PmtInf/PmtInfId", BlockId}},
    {Both, {"PmtInf/PmtMtd", Method}},
    {Both, {"PmtInf/BtchBookg", BatchBooking}},
    {Both, {"PmtInf/NbOfTxs", BlockCount}},
    {Both, {"PmtInf/CtrlSum", BlockSum}},
    {Both, {"PmtInf/PmtTpInf/SvcLvl/Cd", ServiceLevel}},
    {Both, {"PmtInf/PmtTpInf/LclInstrm/Cd", LocalInstrument}},
    {Both, {"PmtInf/PmtTpInf/LclInstrm/Prtry", LocalInstrument}},
    {Debits, {"PmtInf/PmtTpInf/SeqTp", SequenceType}},
    {Transfers, {"PmtInf/ReqdExctnDt", Date}},
    {Transfers, {"PmtInf/ReqdExctnDt/Dt", Date}},
    {Transfers, {"PmtInf/ReqdExctnDt/DtTm", Date}},
    {Debits, {"PmtInf/ReqdColltnDt", Date}},
    {Transfers, {"PmtInf/Dbtr/Nm", PartyName}},
    {Transfers, {"PmtInf/DbtrAcct/Id/IBAN", PartyIban}},
    {Transfers, {"PmtInf/DbtrAcct/Id/Othr/Id", PartyIban}},
    {Transfers, {"PmtInf/DbtrAgt/FinInstnId/BIC", PartyBic}},
    {Transfers, {"PmtInf/DbtrAgt/FinInstnId/BICFI", PartyBic}},
    {Debits, {"PmtInf/Cdtr/Nm", PartyName}},
    {Debits, {"PmtInf/CdtrAcct/Id/IBAN", PartyIban}},
    {Debits, {"PmtInf/CdtrAcct/Id/Othr/Id", PartyIban}},
    {Debits, {"PmtInf/CdtrAgt/FinInstnId/BIC", PartyBic}},
    {Debits, {"PmtInf/CdtrAgt/FinInstnId/BICFI", PartyBic}},
    {Debits, {"PmtInf/CdtrSchmeId/Id/PrvtId/Othr/Id", BlockCreditorId}},

    {Transfers, {"PmtInf/CdtTrfTxInf", NoField, Transaction}},
    {Transfers, {"PmtInf/CdtTrfTxInf/PmtId/InstrId", InstructionId}},
    {Transfers, {"PmtInf/CdtTrfTxInf/PmtId/EndToEndId", EndToEndId}},
    {Transfers, {"PmtInf/CdtTrfTxInf/PmtId/UETR", Uetr}},
    {Transfers, {"PmtInf/CdtTrfTxInf/Amt/InstdAmt", Amount, NoScope, true}},
    {Transfers, {"PmtInf/CdtTrfTxInf/CdtrAgt/FinInstnId/BIC", Bic}},
    {Transfers, {"PmtInf/CdtTrfTxInf/CdtrAgt/FinInstnId/BICFI", Bic}},
    {Transfers, {"PmtInf/CdtTrfTxInf/Cdtr/Nm", Name}},
    {Transfers, {"PmtInf/CdtTrfTxInf/CdtrAcct/Id/IBAN", Iban}},
    {Transfers, {"PmtInf/CdtTrfTxInf/CdtrAcct/Id/Othr/Id", Iban}},
    {Transfers, {"PmtInf/CdtTrfTxInf/UltmtCdtr/Nm", UltimateName}},
    {Transfers, {"PmtInf/CdtTrfTxInf/Purp/Cd", Purpose}},
    {Transfers, {"PmtInf/CdtTrfTxInf/RmtInf/Ustrd", Remittance}},
    {Transfers, {"PmtInf/CdtTrfTxInf/RmtInf/Strd/CdtrRefInf/Ref", CreditorRef}},

    {Debits, {"PmtInf/DrctDbtTxInf", NoField, Transaction}},
    {Debits, {"PmtInf/DrctDbtTxInf/PmtId/InstrId", InstructionId}},
    {Debits, {"PmtInf/DrctDbtTxInf/PmtId/EndToEndId", EndToEndId}},
    {Debits, {"PmtInf/DrctDbtTxInf/PmtId/UETR", Uetr}},
    {Debits, {"PmtInf/DrctDbtTxInf/InstdAmt", Amount, NoScope, true}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/MndtId", MandateId}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/DtOfSgntr", MandateDate}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/AmdmntInfDtls/OrgnlMndtId", OriginalMandateId}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/AmdmntInfDtls/OrgnlDbtrAcct/Id/IBAN", OriginalIban}},
    // "SMNDA": the same mandate with a debtor account at another bank, marked in the
    // account or (before 2016) in the agent.
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/AmdmntInfDtls/OrgnlDbtrAcct/Id/Othr/Id", OriginalIban}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/MndtRltdInf/AmdmntInfDtls/OrgnlDbtrAgt/FinInstnId/Othr/Id", OriginalIban}},
    {Debits, {"PmtInf/DrctDbtTxInf/DrctDbtTx/CdtrSchmeId/Id/PrvtId/Othr/Id", TxCreditorId}},
    {Debits, {"PmtInf/DrctDbtTxInf/DbtrAgt/FinInstnId/BIC", Bic}},
    {Debits, {"PmtInf/DrctDbtTxInf/DbtrAgt/FinInstnId/BICFI", Bic}},
    {Debits, {"PmtInf/DrctDbtTxInf/Dbtr/Nm", Name}},
    {Debits, {"PmtInf/DrctDbtTxInf/DbtrAcct/Id/IBAN", Iban}},
    {Debits, {"PmtInf/DrctDbtTxInf/DbtrAcct/Id/Othr/Id", Iban}},
    {Debits, {"PmtInf/DrctDbtTxInf/UltmtDbtr/Nm", UltimateName}},
    {Debits, {"PmtInf/DrctDbtTxInf/Purp/Cd", Purpose}},
    {Debits, {"PmtInf/DrctDbtTxInf/RmtInf/Ustrd", Remittance}},
    {Debits, {"PmtInf/DrctDbtTxInf/RmtInf/Strd/CdtrRefInf/Ref", CreditorRef}},
};

template <Kinds kinds> const Paths &paths() {
    static const Paths built = [] {
        Paths p;
        for (const KindRow &r : rows)
            if (r.kinds == Both || r.kinds == kinds) p.add("", r.row);
        p.tree.seal();
        return p;
    }();
    return built;
}

struct Version {
    std::string_view name;
    bool debits;
};

constexpr Version versions[] = {
    {"pain.001.001.03", false}, {"pain.001.001.04", false}, {"pain.001.001.05", false}, {"pain.001.001.06", false},
    {"pain.001.001.07", false}, {"pain.001.001.08", false}, {"pain.001.001.09", false}, {"pain.001.001.10", false},
    {"pain.001.001.11", false}, {"pain.001.001.12", false}, {"pain.001.002.03", false}, {"pain.001.003.03", false},
    {"pain.008.001.02", true},  {"pain.008.001.03", true},  {"pain.008.001.04", true},  {"pain.008.001.05", true},
    {"pain.008.001.06", true},  {"pain.008.001.07", true},  {"pain.008.001.08", true},  {"pain.008.001.09", true},
    {"pain.008.001.10", true},  {"pain.008.001.11", true},  {"pain.008.002.02", true},  {"pain.008.003.02", true},
};

// Swiss banks publish pain.001 under a namespace of their own.
constexpr std::string_view swiss_namespace = "http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd";

bool amount_text(std::string_view text) {
    camt::Amount amount;
    return camt::read_amount(text, amount);
}

class PainReader final : public TreeReader {
public:
    PainReader(Loaded &loaded, PainDocument &out, char (&error)[256])
        : TreeReader(error, sizeof(tarvo_pain_tx_t), nullptr), loaded_(loaded), out_(out) {}

private:
    const char *kind() const override { return "payment file"; }
    std::string_view message() const override { return debits_ ? "CstmrDrctDbtInitn" : "CstmrCdtTrfInitn"; }
    bool identify(const char *ns) override {
        char what[256];
        if (ns == nullptr) {
            fail("Not a payment file: <Document> has no namespace");
            return false;
        }
        const Version *found = nullptr;
        for (const Version &v : versions)
            if (is_iso_namespace(ns, v.name)) found = &v;
        static constexpr Version swiss{"pain.001.001.03.ch.02", false};
        if (ns == swiss_namespace) found = &swiss;
        if (found == nullptr) {
            snprintf(what, sizeof what, "Unknown namespace '%.160s'", ns);
            fail(what);
            return false;
        }
        out_.version = found->name.data();
        debits_ = found->debits;
        use(debits_ ? paths<Debits>() : paths<Transfers>());
        return true;
    }

    void open_scope(uint8_t scope) override {
        if (scope == Block) {
            block_ = loaded_.make<tarvo_pain_block_t>();
            *(out_.first == nullptr ? &out_.first : &out_.last->next) = block_;
            out_.last = block_;
            last_tx_ = nullptr;
            remittance_.clear();
            return;
        }
        if (block_ == nullptr) return;
        tx_ = loaded_.make<tarvo_pain_tx_t>();
        *(last_tx_ == nullptr ? &block_->tx : &last_tx_->next) = tx_;
        last_tx_ = tx_;
        remittance_.clear();
    }

    void close_scope(uint8_t scope) override {
        if (scope == Block) {
            if (block_->paymentInformationId == nullptr)
                return fail(xml::Fault{xml::Fault::Missing, "PmtInfId", "PmtInf", {}});
            block_ = nullptr;
            return;
        }
        if (tx_ == nullptr) return;
        if (tx_->amount == nullptr)
            return fail(xml::Fault{xml::Fault::Missing, debits_ ? "InstdAmt" : "Amt", transaction_element(), {}});
        if (!remittance_.empty()) tx_->remittance = loaded_.copy(remittance_);
        tx_ = nullptr;
    }

    std::string_view transaction_element() const { return debits_ ? "DrctDbtTxInf" : "CdtTrfTxInf"; }

    void value(uint8_t field, std::string_view name, const std::string &text, std::string_view currency) override;
    void finish() override {
        if (out_.first == nullptr) fail(xml::Fault{xml::Fault::Missing, "PmtInf", message(), {}});
    }

    Loaded &loaded_;
    PainDocument &out_;
    bool debits_ = false;
    tarvo_pain_block_t *block_ = nullptr;
    tarvo_pain_tx_t *tx_ = nullptr;
    tarvo_pain_tx_t *last_tx_ = nullptr;
    std::string remittance_;
};

void PainReader::value(uint8_t field, std::string_view name, const std::string &text, std::string_view currency) {
    const auto f = static_cast<Field>(field);
    if ((f == HeaderSum || f == BlockSum || f == Amount) && !amount_text(text))
        return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
    if ((f == HeaderCount || f == BlockCount) && !is_count(text))
        return fail(xml::Fault{xml::Fault::Malformed, name, {}, text});
    if (f <= InitiatingParty) {
        char **header[] = {nullptr, &out_.message_id, &out_.creation_time, &out_.number_of_transactions,
                           &out_.control_sum, &out_.initiating_party};
        *header[f] = loaded_.copy(text);
        return;
    }
    if (f <= BlockCreditorId) {
        if (block_ == nullptr) return;
        tarvo_pain_block_t &b = *block_;
        char **fields[] = {&b.paymentInformationId, &b.method, &b.batchBooking, &b.numberOfTransactions,
                           &b.controlSum, &b.serviceLevel, &b.localInstrument, &b.sequenceType, &b.date,
                           &b.name, &b.iban, &b.bic, &b.creditorId};
        *fields[f - BlockId] = loaded_.copy(text);
        return;
    }
    if (tx_ == nullptr) return;
    tarvo_pain_tx_t &t = *tx_;
    if (f == Remittance) {
        if (!remittance_.empty()) remittance_.push_back('\n');
        remittance_.append(text);
        if (remittance_.size() > xml::max_text) {
            char what[128];
            snprintf(what, sizeof what, "Text of <Ustrd> longer than %zu bytes", xml::max_text);
            fail(what);
        }
        return;
    }
    if (f == Amount) currency.copy(t.currency, 3);
    char **fields[] = {&t.instructionId, &t.endToEndId, &t.uetr, &t.amount, &t.name, &t.iban, &t.bic,
                       &t.ultimateName, &t.mandateId, &t.mandateDate, &t.originalMandateId, &t.originalIban,
                       &t.creditorId, &t.purpose, nullptr, &t.creditorRef};
    static_assert(CreditorRef - InstructionId + 1 == 16);
    *fields[f - InstructionId] = loaded_.copy(text);
}

} // namespace

bool read_pain(Loaded &loaded, PainDocument &out, const xml::Input &in, char (&error)[256]) {
    PainReader reader(loaded, out, error);
    return reader.run<TreeReader>(in);
}

} // namespace tarvo::report
