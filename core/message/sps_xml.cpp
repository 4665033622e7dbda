// Credit-transfer documents under the Swiss Payment Standards: SIX's edition of
// pain.001.001.09. A block holds one date and one currency, and SEPA payments get blocks
// of their own, since the service level and the charge bearer are block-wide.
#include "ident/ident.h"
#include "message/sps_kind.h"
#include "message/xml_common.h"

namespace tarvo {
namespace {

using xml::Out;

constexpr std::string_view schema_file = "pain.001.001.09.ch.03.xsd";

// The block kinds of a date, in the order they are written.
enum Slot : size_t { Francs, Euros, SepaEuros, slot_count };
constexpr const char *slot_currency[slot_count] = {"CHF", "EUR", "EUR"};

size_t slot_of(const cti_tx &tx) {
    if (swiss_kind(tx) == SwissKind::Sepa) return SepaEuros;
    return tx.currency == Currency::EUR ? Euros : Francs;
}

// The debtor's bank: its BIC when the caller gave one, else the clearing number that
// every Swiss and Liechtenstein IBAN carries. SIX's schema has no NOTPROVIDED here.
void write_debtor_agent(Out &out, const tarvo_t *msg, const char (&iid)[6]) {
    out.put("\t\t\t<DbtrAgt>\n\t\t\t\t<FinInstnId>\n");
    if (msg->bic != nullptr)
        out.elem("\t\t\t\t\t<BICFI>", msg->bic, "</BICFI>\n");
    else
        out.put("\t\t\t\t\t<ClrSysMmbId>\n\t\t\t\t\t\t<ClrSysId>\n\t\t\t\t\t\t\t<Cd>CHBCC</Cd>\n"
                "\t\t\t\t\t\t</ClrSysId>\n")
            .elem("\t\t\t\t\t\t<MmbId>", iid, "</MmbId>\n\t\t\t\t\t</ClrSysMmbId>\n");
    out.put("\t\t\t\t</FinInstnId>\n\t\t\t</DbtrAgt>\n");
}

void write_block(Out &out, const tarvo_t *msg, const xml::BlockHead &head, size_t slot, const char *date,
                 const char (&iid)[6]) {
    xml::write_block_head(out, head);
    // Only SEPA blocks name a service level; the others have a payment type only for the
    // category purpose.
    const char *service_level = slot == SepaEuros ? "SEPA" : nullptr;
    if (service_level != nullptr || msg->category_purpose != nullptr)
        xml::write_payment_type(out, {service_level, nullptr, nullptr, msg->category_purpose});
    out.elem("\t\t\t<ReqdExctnDt>\n\t\t\t\t<Dt>", date, "</Dt>\n\t\t\t</ReqdExctnDt>\n");
    out.elem("\t\t\t<Dbtr>\n\t\t\t\t<Nm>", msg->name, "</Nm>\n\t\t\t</Dbtr>\n");
    out.elem("\t\t\t<DbtrAcct>\n\t\t\t\t<Id>\n\t\t\t\t\t<IBAN>", msg->iban, "</IBAN>\n\t\t\t\t</Id>\n\t\t\t</DbtrAcct>\n");
    write_debtor_agent(out, msg, iid);
    xml::write_named_party(out, 3, "UltmtDbtr", msg->ultimate_name);
    if (slot == SepaEuros) out.put("\t\t\t<ChrgBr>SLEV</ChrgBr>\n");
}

void write_transfer(Out &out, const Rulebook &rb, const cti_tx &tx, size_t slot) {
    out.reserve(xml::transaction_room);
    out.elem("\t\t\t<CdtTrfTxInf>\n\t\t\t\t<PmtId>\n\t\t\t\t\t<EndToEndId>", tx.id != nullptr ? tx.id : "NOTPROVIDED",
             "</EndToEndId>\n\t\t\t\t</PmtId>\n");
    out.put("\t\t\t\t<Amt>\n\t\t\t\t\t<InstdAmt Ccy=\"").put(slot_currency[slot]).put("\">");
    out.amount(tx.amount).put("</InstdAmt>\n\t\t\t\t</Amt>\n");
    if (tx.bic != nullptr) {
        out.put("\t\t\t\t<CdtrAgt>\n\t\t\t\t\t<FinInstnId>\n");
        xml::write_bic(out, 6, rb.bicfi, tx.bic);
        out.put("\t\t\t\t\t</FinInstnId>\n\t\t\t\t</CdtrAgt>\n");
    }
    out.elem("\t\t\t\t<Cdtr>\n\t\t\t\t\t<Nm>", tx.name, "</Nm>\n");
    xml::write_address(out, rb, {tx.addrCC, tx.addrLine1, tx.addrLine2, &tx.addr}, true);
    out.elem("\t\t\t\t</Cdtr>\n\t\t\t\t<CdtrAcct>\n\t\t\t\t\t<Id>\n\t\t\t\t\t\t<IBAN>", tx.iban,
             "</IBAN>\n\t\t\t\t\t</Id>\n\t\t\t\t</CdtrAcct>\n");
    xml::write_named_party(out, 4, "UltmtCdtr", tx.ultimate);
    if (tx.purp != nullptr) out.elem("\t\t\t\t<Purp>\n\t\t\t\t\t<Cd>", tx.purp, "</Cd>\n\t\t\t\t</Purp>\n");
    // SIX's schema takes the text in Ustrd beside the reference in Strd.
    xml::write_remittance(out, tx.ref, tx.cref, tx.qrr);
    out.put("\t\t\t</CdtTrfTxInf>\n");
}

} // namespace

int sps_write(tarvo_t *msg, buffer_t *buf, time_t now, const Rulebook &rb) {
    // The debtor is the message's own account, held at a Swiss or Liechtenstein bank.
    char iid[6];
    if (!swiss_institution_id(msg->iban, iid)) {
        msg->error = "Debtor IBAN must be Swiss or from Liechtenstein under CH-SPS";
        return 0;
    }
    const auto grouping = xml::group_transactions<slot_count>(
        static_cast<const cti_tx *>(msg->tx_head),
        [msg](const cti_tx *tx) { return xml::date_key(tx->date, msg->date); },
        [](const cti_tx *tx) { return slot_of(*tx); });
    if (!xml::msgid_fits(msg, grouping.blocks())) {
        msg->error = "Message id too long for the payment information ids";
        return 0;
    }

    Out out(buf);
    xml::write_root(out, rb.cti_variant, true, schema_file);
    xml::write_group_header(out, msg, "CstmrCdtTrfInitn", now);
    uint32_t block = 0;
    for (const auto &group : grouping.groups) {
        for (size_t slot = 0; slot < slot_count; ++slot) {
            if (group.count[slot] == 0) continue;
            write_block(out, msg, {msg->msgid, ++block, "TRF", msg->batch_booking != 0, group.count[slot], group.sum[slot]},
                        slot, group.key.data(), iid);
            const size_t first = group.first[slot];
            for (size_t i = first; i < first + group.count[slot]; ++i)
                write_transfer(out, rb, *grouping.items[i], slot);
            out.put("\t\t</PmtInf>\n");
        }
    }
    out.put("\t</CstmrCdtTrfInitn>\n</Document>\n");
    if (!out.ok()) msg->error = out_of_memory;
    return out.ok() ? 1 : 0;
}

} // namespace tarvo
