// Direct-debit initiation documents, and the exported rendering entry for both kinds.
#include <stdlib.h>
#include <string.h>

#include "message/xml_common.h"

namespace tarvo {
namespace {

using xml::Out;

constexpr std::array<const char *, 3> local_instruments{"CORE", "COR1", "B2B"};
constexpr size_t sequence_slots = 4;

constexpr std::string_view xml_declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// COR1 exists only where the setter admits it and the writer may still write it; a
// schema without the code would refuse the document.
bool cor1_allowed(const Rulebook *rb) { return rb == nullptr || (rb->cor1_written && rb->cor1_settable); }

// The creditor's side of the message, first fault first.
const char *creditor_problem(tarvo_t *msg, const Rulebook *rb) {
    if (msg->iban == nullptr) return "Missing creditor IBAN";
    // IBAN-only collections need no BIC where the schema lets the agent go unnamed.
    if (msg->bic == nullptr && (rb == nullptr || !rb->creditor_agent_optional)) return "Missing creditor BIC";
    if (msg->name == nullptr) return "Missing creditor name";
    if (msg->creditor_id == nullptr) return "Missing creditor identifier";
    if (msg->tx_count == 0 || msg->tx_head == nullptr) return "No transactions available";
    if (msg->ddtype < 0 || msg->ddtype > 2 || (msg->ddtype == TARVO_DDTYPE_COR1 && !cor1_allowed(rb)))
        return "Unknown/unsupported LocalInstrumentCode (setDDType)";
    if (rb == nullptr) return nullptr;
    if (strlen(msg->creditor_id) < rb->creditor_id_min)
        return "Creditor Identifier too short for the selected SEPA rulebook (at least 8 characters)";
    return message_problem(msg, *rb);
}

// Every debit must name its debtor and its mandate; a document without them would be
// refused by the bank as a whole, so the writer refuses it here, naming the debit. A
// debit added under a rulebook without mandatory agents may meet one that has them.
int check_debits(tarvo_t *msg, const Rulebook *rb) {
    const bool bic_needed = rb != nullptr && rb->tx_bic_mandatory;
    uint32_t position = 1;
    for (auto *tx = static_cast<const ddi_tx *>(msg->tx_head); tx != nullptr; tx = tx->next, ++position) {
        const char *missing = tx->name == nullptr                  ? "Missing debtor name"
                              : tx->mref == nullptr                ? "Missing mandate reference"
                              : tx->mdate == nullptr               ? "Missing mandate signature date"
                              : tx->iban == nullptr                ? "Missing debtor IBAN"
                              : (bic_needed && tx->bic == nullptr) ? "Missing debtor BIC"
                              : (tx->seq < 1 || tx->seq > 4)       ? "Missing sequence type"
                                                                   : nullptr;
        char detail[256];
        if (missing == nullptr && rb != nullptr) missing = transaction_problem(*tx, *rb, detail);
        if (missing == nullptr) missing = xml::amount_problem(tx->amount);
        if (missing != nullptr) return xml::refuse_transaction(msg, missing, position);
    }
    return 1;
}

void write_amendment(Out &out, const Rulebook &rb, const ddi_tx &tx) {
    if (tx.old_mref == nullptr && tx.old_iban == nullptr && tx.smnda == 0) return;
    out.put("\t\t\t\t\t\t<AmdmntInd>true</AmdmntInd>\n\t\t\t\t\t\t<AmdmntInfDtls>\n");
    if (tx.old_mref != nullptr) out.elem("\t\t\t\t\t\t\t<OrgnlMndtId>", tx.old_mref, "</OrgnlMndtId>\n");
    if (tx.smnda != 0 && rb.smnda_in_debtor_account)
        out.put("\t\t\t\t\t\t\t<OrgnlDbtrAcct>\n\t\t\t\t\t\t\t\t<Id>\n\t\t\t\t\t\t\t\t\t<Othr>\n"
                "\t\t\t\t\t\t\t\t\t\t<Id>SMNDA</Id>\n\t\t\t\t\t\t\t\t\t</Othr>\n\t\t\t\t\t\t\t\t</Id>\n"
                "\t\t\t\t\t\t\t</OrgnlDbtrAcct>\n");
    else if (tx.smnda != 0)
        out.put("\t\t\t\t\t\t\t<OrgnlDbtrAgt>\n\t\t\t\t\t\t\t\t<FinInstnId>\n\t\t\t\t\t\t\t\t\t<Othr>\n"
                "\t\t\t\t\t\t\t\t\t\t<Id>SMNDA</Id>\n\t\t\t\t\t\t\t\t\t</Othr>\n\t\t\t\t\t\t\t\t</FinInstnId>\n"
                "\t\t\t\t\t\t\t</OrgnlDbtrAgt>\n");
    else if (tx.old_iban != nullptr)
        out.put("\t\t\t\t\t\t\t<OrgnlDbtrAcct>\n\t\t\t\t\t\t\t\t<Id>\n")
            .elem("\t\t\t\t\t\t\t\t\t<IBAN>", tx.old_iban, "</IBAN>\n")
            .put("\t\t\t\t\t\t\t\t</Id>\n\t\t\t\t\t\t\t</OrgnlDbtrAcct>\n");
    out.put("\t\t\t\t\t\t</AmdmntInfDtls>\n");
}

void write_debit(Out &out, const Rulebook &rb, const ddi_tx &tx) {
    out.reserve(xml::transaction_room);
    out.elem("\t\t\t<DrctDbtTxInf>\n\t\t\t\t<PmtId>\n\t\t\t\t\t<EndToEndId>", tx.id != nullptr ? tx.id : "NOTPROVIDED",
             "</EndToEndId>\n\t\t\t\t</PmtId>\n");
    out.put("\t\t\t\t<InstdAmt Ccy=\"EUR\">").amount(tx.amount).put("</InstdAmt>\n");
    out.elem("\t\t\t\t<DrctDbtTx>\n\t\t\t\t\t<MndtRltdInf>\n\t\t\t\t\t\t<MndtId>", tx.mref, "</MndtId>\n");
    out.elem("\t\t\t\t\t\t<DtOfSgntr>", tx.mdate, "</DtOfSgntr>\n");
    write_amendment(out, rb, tx);
    out.put("\t\t\t\t\t</MndtRltdInf>\n\t\t\t\t</DrctDbtTx>\n\t\t\t\t<DbtrAgt>\n\t\t\t\t\t<FinInstnId>\n");
    xml::write_agent_id(out, 6, rb.bicfi, tx.bic);
    out.put("\t\t\t\t\t</FinInstnId>\n\t\t\t\t</DbtrAgt>\n");
    out.elem("\t\t\t\t<Dbtr>\n\t\t\t\t\t<Nm>", tx.name, "</Nm>\n");
    xml::write_address(out, rb, {tx.addrCC, tx.addrLine1, tx.addrLine2, &tx.addr}, true);
    out.elem("\t\t\t\t</Dbtr>\n\t\t\t\t<DbtrAcct>\n\t\t\t\t\t<Id>\n\t\t\t\t\t\t<IBAN>", tx.iban,
             "</IBAN>\n\t\t\t\t\t</Id>\n\t\t\t\t</DbtrAcct>\n");
    xml::write_named_party(out, 4, "UltmtDbtr", tx.ultimate);
    xml::write_remittance(out, tx.ref, tx.cref);
    out.put("\t\t\t</DrctDbtTxInf>\n");
}

// The creditor's part of a block, after the sequence type's payment type.
void write_creditor(Out &out, const Rulebook &rb, const tarvo_t *msg, const char *date) {
    out.elem("\t\t\t<ReqdColltnDt>", date, "</ReqdColltnDt>\n");
    out.elem("\t\t\t<Cdtr>\n\t\t\t\t<Nm>", msg->name, "</Nm>\n\t\t\t</Cdtr>\n");
    out.elem("\t\t\t<CdtrAcct>\n\t\t\t\t<Id>\n\t\t\t\t\t<IBAN>", msg->iban,
             "</IBAN>\n\t\t\t\t</Id>\n\t\t\t</CdtrAcct>\n\t\t\t<CdtrAgt>\n\t\t\t\t<FinInstnId>\n");
    xml::write_agent_id(out, 5, rb.bicfi, msg->bic);
    out.put("\t\t\t\t</FinInstnId>\n\t\t\t</CdtrAgt>\n");
    xml::write_named_party(out, 3, "UltmtCdtr", msg->ultimate_name);
    out.put("\t\t\t<ChrgBr>SLEV</ChrgBr>\n");
    out.elem("\t\t\t<CdtrSchmeId>\n\t\t\t\t<Id>\n\t\t\t\t\t<PrvtId>\n\t\t\t\t\t\t<Othr>\n\t\t\t\t\t\t\t<Id>",
             msg->creditor_id,
             "</Id>\n\t\t\t\t\t\t\t<SchmeNm>\n\t\t\t\t\t\t\t\t<Prtry>SEPA</Prtry>\n\t\t\t\t\t\t\t</SchmeNm>\n"
             "\t\t\t\t\t\t</Othr>\n\t\t\t\t\t</PrvtId>\n\t\t\t\t</Id>\n\t\t\t</CdtrSchmeId>\n");
}

int write_document(tarvo_t *msg, buffer_t *buf, time_t now) {
    const Rulebook *rb = message_rulebook(msg);
    if (rb != nullptr && rb->swiss) {
        msg->error = swiss_direct_debits;
        return 0;
    }
    if (const char *problem = creditor_problem(msg, rb)) {
        msg->error = problem;
        return 0;
    }
    if (!check_debits(msg, rb)) return 0;
    const char *instrument = local_instruments[static_cast<size_t>(msg->ddtype)];
    if (!xml::ensure_msgid(msg, now, "ddi_toXML: strdup() failed")) return 0;
    if (rb == nullptr) {
        msg->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }

    const auto grouping = xml::group_transactions<sequence_slots>(
        static_cast<const ddi_tx *>(msg->tx_head),
        [msg](const ddi_tx *tx) { return xml::date_key(tx->date, msg->date); },
        [](const ddi_tx *tx) { return static_cast<size_t>(tx->seq - 1); });
    if (!xml::msgid_fits(msg, grouping.blocks())) {
        msg->error = "Message id too long for the payment information ids";
        return 0;
    }

    Out out(buf);
    xml::write_root(out, rb->ddi_variant, rb->schema_location);
    xml::write_group_header(out, msg, "CstmrDrctDbtInitn", now);
    uint32_t block = 0;
    for (const auto &group : grouping.groups) {
        for (size_t slot = 0; slot < sequence_slots; ++slot) {
            if (group.count[slot] == 0) continue;
            xml::write_block_head(
                out, {msg->msgid, ++block, "DD", msg->batch_booking != 0, group.count[slot], group.sum[slot]});
            xml::write_payment_type(out, {"SEPA", instrument, ddi_seq_types[slot], msg->category_purpose});
            write_creditor(out, *rb, msg, group.key.data());
            const size_t first = group.first[slot];
            for (size_t i = first; i < first + group.count[slot]; ++i) write_debit(out, *rb, *grouping.items[i]);
            out.put("\t\t</PmtInf>\n");
        }
    }
    out.put("\t</CstmrDrctDbtInitn>\n</Document>\n");
    if (!out.ok()) msg->error = out_of_memory;
    return out.ok() ? 1 : 0;
}

// The default collection or execution date: today in local time, kept in the message.
int ensure_date(tarvo_t *msg, time_t now) {
    if (msg->date != nullptr) return 1;
    struct tm local {};
    localtime_r(&now, &local);
    char *date = static_cast<char *>(malloc(11));
    if (date == nullptr) {
        msg->error = "malloc() failed";
        return 0;
    }
    if (strftime(date, 11, "%Y-%m-%d", &local) == 0) date[0] = '\0';
    msg->date = date;
    return 1;
}

} // namespace

int ddi_write(tarvo_t *msg, buffer_t *out, time_t now) {
    try {
        return write_document(msg, out, now);
    } catch (...) { // only allocations throw here; nothing may cross the C interface
        msg->error = out_of_memory;
        return 0;
    }
}

char *render(tarvo_t *msg, time_t now) {
    if (msg == nullptr) return nullptr;
    buffer_t buf{static_cast<char *>(malloc(256)), 0, 256};
    if (buf.data == nullptr) {
        msg->error = out_of_memory;
        return nullptr;
    }
    int ok = ensure_date(msg, now);
    if (ok && buffer_strappend(&buf, xml_declaration.data()) == 0) {
        msg->error = out_of_memory;
        ok = 0;
    }
    if (ok && msg->msgtype == TARVO_MSGTYPE_DDI)
        ok = ddi_write(msg, &buf, now);
    else if (ok && msg->msgtype == TARVO_MSGTYPE_CTI)
        ok = cti_write(msg, &buf, now);
    else
        ok = 0;
    if (ok) return buf.data;
    free(buf.data);
    return nullptr;
}

} // namespace tarvo

int ddi_toXML(tarvo_t *msg, buffer_t *out) { return tarvo::ddi_write(msg, out, time(nullptr)); }

extern "C" char *tarvo_toXML(tarvo_t *h) { return tarvo::render(h, time(nullptr)); }
