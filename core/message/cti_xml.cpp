// Credit-transfer initiation documents.
#include "message/xml_common.h"

namespace tarvo {
namespace {

using xml::Out;

// The payer's side: without an account and a name there is nothing a bank could book;
// where the rulebook makes agents mandatory, the payer's agent is too.
const char *debtor_problem(tarvo_t *msg, const Rulebook *rb) {
    if (msg->iban == nullptr) return "Missing debtor IBAN";
    if (msg->name == nullptr) return "Missing debtor name";
    if (msg->bic == nullptr && rb != nullptr && rb->tx_bic_mandatory) return "Missing debtor BIC";
    if (msg->tx_count == 0 || msg->tx_head == nullptr) return "No transactions available";
    if (rb == nullptr) return nullptr;
    if (msg->instant != 0 && !rb->instant) return instant_refused;
    return message_problem(msg, *rb);
}

// Every transfer needs a creditor the bank can name and an amount it can carry.
int check_transfers(tarvo_t *msg, const Rulebook *rb) {
    const bool bic_needed = rb != nullptr && rb->tx_bic_mandatory;
    uint32_t position = 1;
    for (auto *tx = static_cast<const cti_tx *>(msg->tx_head); tx != nullptr; tx = tx->next, ++position) {
        const char *missing = tx->name == nullptr                  ? "Missing creditor name"
                              : tx->iban == nullptr                ? "Missing creditor IBAN"
                              : (bic_needed && tx->bic == nullptr) ? "Missing creditor BIC"
                                                                   : nullptr;
        // The kind of payment first: a franc or QR-bill payment under another rulebook is
        // refused as such, before any of its texts.
        if (missing == nullptr && rb != nullptr) missing = rb->swiss ? swiss_problem(*tx) : non_swiss_problem(*tx);
        char detail[256];
        if (missing == nullptr && rb != nullptr) missing = transaction_problem(*tx, *rb, detail);
        if (missing == nullptr) missing = xml::amount_problem(tx->amount);
        if (missing != nullptr) return xml::refuse_transaction(msg, missing, position);
    }
    return 1;
}

// Some agent and account lines sit one TAB shallower than they nest, and the address
// block ends without a line feed: the established layout of these files, whitespace only.
void write_transfer(Out &out, const Rulebook &rb, const cti_tx &tx) {
    out.reserve(xml::transaction_room);
    out.elem("\t\t\t<CdtTrfTxInf>\n\t\t\t\t<PmtId>\n\t\t\t\t\t<EndToEndId>", tx.id != nullptr ? tx.id : "NOTPROVIDED",
             "</EndToEndId>\n\t\t\t\t</PmtId>\n");
    out.put("\t\t\t\t<Amt>\n\t\t\t\t\t<InstdAmt Ccy=\"EUR\">").amount(tx.amount).put("</InstdAmt>\n\t\t\t\t</Amt>\n");
    if (tx.bic != nullptr) {
        out.put("\t\t\t\t<CdtrAgt>\n\t\t\t\t<FinInstnId>\n");
        xml::write_bic(out, 5, rb.bicfi, tx.bic);
        out.put("\t\t\t\t</FinInstnId>\n\t\t\t\t</CdtrAgt>\n");
    }
    out.put("\t\t\t\t<Cdtr>\n");
    if (tx.name != nullptr) out.elem("\t\t\t\t\t<Nm>", tx.name, "</Nm>\n");
    xml::write_address(out, rb, {tx.addrCC, tx.addrLine1, tx.addrLine2, &tx.addr}, false);
    out.put("\t\t\t\t</Cdtr>\n\t\t\t\t<CdtrAcct>\n\t\t\t\t<Id>\n");
    if (tx.iban != nullptr) out.elem("\t\t\t\t\t<IBAN>", tx.iban, "</IBAN>\n");
    out.put("\t\t\t\t</Id>\n\t\t\t\t</CdtrAcct>\n");
    xml::write_named_party(out, 4, "UltmtCdtr", tx.ultimate);
    if (tx.purp != nullptr) out.elem("\t\t\t\t<Purp>\n\t\t\t\t\t<Cd>", tx.purp, "</Cd>\n\t\t\t\t</Purp>\n");
    xml::write_remittance(out, tx.ref, tx.cref);
    out.put("\t\t\t</CdtTrfTxInf>\n");
}

// The debtor's part of a block, after the service level.
void write_debtor(Out &out, const Rulebook &rb, const tarvo_t *msg, const char *date) {
    if (rb.execution_date_dt)
        out.elem("\t\t\t<ReqdExctnDt><Dt>", date, "</Dt></ReqdExctnDt>\n");
    else
        out.elem("\t\t\t<ReqdExctnDt>", date, "</ReqdExctnDt>\n");
    out.put("\t\t\t<Dbtr>\n");
    if (msg->name != nullptr) out.elem("\t\t\t\t<Nm>", msg->name, "</Nm>\n");
    out.put("\t\t\t</Dbtr>\n\t\t\t<DbtrAcct>\n\t\t\t\t<Id>\n");
    if (msg->iban != nullptr) out.elem("\t\t\t\t\t<IBAN>", msg->iban, "</IBAN>\n");
    out.put("\t\t\t\t</Id>\n\t\t\t</DbtrAcct>\n\t\t\t<DbtrAgt>\n\t\t\t\t<FinInstnId>\n");
    xml::write_agent_id(out, 5, rb.bicfi, msg->bic);
    out.put("\t\t\t\t</FinInstnId>\n\t\t\t</DbtrAgt>\n");
    xml::write_named_party(out, 3, "UltmtDbtr", msg->ultimate_name);
    out.put("\t\t\t<ChrgBr>SLEV</ChrgBr>\n");
}

int write_document(tarvo_t *msg, buffer_t *buf, time_t now) {
    const Rulebook *rb = message_rulebook(msg);
    if (const char *problem = debtor_problem(msg, rb)) {
        msg->error = problem;
        return 0;
    }
    if (!check_transfers(msg, rb)) return 0;
    if (!xml::ensure_msgid(msg, now, "cti_toXML: strdup() failed")) return 0;
    if (rb == nullptr) {
        msg->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }
    if (rb->swiss) return sps_write(msg, buf, now, *rb);

    const auto grouping = xml::group_transactions<1>(
        static_cast<const cti_tx *>(msg->tx_head),
        [msg](const cti_tx *tx) { return xml::date_key(tx->date, msg->date); },
        [](const cti_tx *) { return size_t{0}; });
    if (!xml::msgid_fits(msg, grouping.blocks())) {
        msg->error = "Message id too long for the payment information ids";
        return 0;
    }

    Out out(buf);
    xml::write_root(out, rb->cti_variant, rb->schema_location);
    xml::write_group_header(out, msg, "CstmrCdtTrfInitn", now);
    uint32_t block = 0;
    for (const auto &group : grouping.groups) {
        xml::write_block_head(out, {msg->msgid, ++block, "TRF", msg->batch_booking != 0, group.count[0], group.sum[0]});
        xml::write_payment_type(out, {"SEPA", msg->instant != 0 ? "INST" : nullptr, nullptr, msg->category_purpose});
        write_debtor(out, *rb, msg, group.key.data());
        for (size_t i = group.first[0]; i < group.first[0] + group.count[0]; ++i)
            write_transfer(out, *rb, *grouping.items[i]);
        out.put("\t\t</PmtInf>\n");
    }
    out.put("\t</CstmrCdtTrfInitn>\n</Document>\n");
    if (!out.ok()) msg->error = out_of_memory;
    return out.ok() ? 1 : 0;
}

} // namespace

int cti_write(tarvo_t *msg, buffer_t *out, time_t now) {
    try {
        return write_document(msg, out, now);
    } catch (...) { // only allocations throw here; nothing may cross the C interface
        msg->error = out_of_memory;
        return 0;
    }
}

} // namespace tarvo

int cti_toXML(tarvo_t *msg, buffer_t *out) { return tarvo::cti_write(msg, out, time(nullptr)); }
