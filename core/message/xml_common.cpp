// Document pieces shared by the direct-debit and the credit-transfer writer.
#include "message/xml_common.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <charconv>

namespace tarvo::xml {

namespace {

constexpr std::string_view namespace_prefix = "urn:iso:std:iso:20022:tech:xsd:";
constexpr std::string_view all_tabs = "\t\t\t\t\t\t\t\t\t\t\t\t";

// Element names and tags of the structured address, in document order.
struct AddressPart {
    char *address_parts::*field;
    const char *open;
    const char *close;
};
constexpr std::array<AddressPart, 13> address_tags{{
    {&address_parts::addrDept, "\t\t\t\t\t\t<Dept>", "</Dept>\n"},
    {&address_parts::addrSubDept, "\t\t\t\t\t\t<SubDept>", "</SubDept>\n"},
    {&address_parts::addrStreet, "\t\t\t\t\t\t<StrtNm>", "</StrtNm>\n"},
    {&address_parts::addrNum, "\t\t\t\t\t\t<BldgNb>", "</BldgNb>\n"},
    {&address_parts::addrBldg, "\t\t\t\t\t\t<BldgNm>", "</BldgNm>\n"},
    {&address_parts::addrFloor, "\t\t\t\t\t\t<Flr>", "</Flr>\n"},
    {&address_parts::addrPoBox, "\t\t\t\t\t\t<PstBx>", "</PstBx>\n"},
    {&address_parts::addrRoom, "\t\t\t\t\t\t<Room>", "</Room>\n"},
    {&address_parts::addrCode, "\t\t\t\t\t\t<PstCd>", "</PstCd>\n"},
    {&address_parts::addrTown, "\t\t\t\t\t\t<TwnNm>", "</TwnNm>\n"},
    {&address_parts::addrLoc, "\t\t\t\t\t\t<TwnLctnNm>", "</TwnLctnNm>\n"},
    {&address_parts::addrDstrct, "\t\t\t\t\t\t<DstrctNm>", "</DstrctNm>\n"},
    {&address_parts::addrCtrySub, "\t\t\t\t\t\t<CtrySubDvsn>", "</CtrySubDvsn>\n"},
}};

} // namespace

Out &Out::esc(const char *value) {
    if (!ok_ || value == nullptr || *value == '\0') return *this;
    // Most values hold nothing to escape; the plain append copies them in one go.
    const size_t plain = strcspn(value, "<>&");
    if (value[plain] == '\0') return put(std::string_view(value, plain));
    // The escaping append reports no failure; a value that left no trace did not fit.
    const uint64_t before = buf_->used;
    buffer_strcat_xmlescape(buf_, value);
    if (buf_->used == before) ok_ = false;
    return *this;
}

Out &Out::number(uint64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text - 1, value).ptr;
    *end = '\0';
    return put(text);
}

Out &Out::amount(int64_t cents) {
    char text[cents_text_size];
    format_cents(cents, text);
    return put(text);
}

Out &Out::reserve(uint64_t bytes) {
    if (ok_ && buf_->size - buf_->used < bytes) grow(buf_->used + bytes);
    return *this;
}

bool Out::grow(uint64_t size) {
    size = std::max(buf_->size * 2, size);
    void *data = realloc(buf_->data, size);
    if (data == nullptr) {
        ok_ = false;
        return false;
    }
    buf_->data = static_cast<char *>(data);
    buf_->size = size;
    return true;
}

Out &Out::tabs(int depth) {
    const size_t n = std::min(static_cast<size_t>(depth), all_tabs.size());
    return put(all_tabs.substr(all_tabs.size() - n));
}

void write_root(Out &out, std::string_view variant, bool schema_location, std::string_view schema_file) {
    char line[256];
    const int ns_len = static_cast<int>(namespace_prefix.size());
    const int var_len = static_cast<int>(variant.size());
    char own_file[64];
    if (schema_file.empty()) {
        snprintf(own_file, sizeof own_file, "%.*s.xsd", var_len, variant.data());
        schema_file = own_file;
    }
    const int file_len = static_cast<int>(schema_file.size());
    if (schema_location)
        snprintf(line, sizeof line,
                 "<Document xmlns=\"%.*s%.*s\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                 " xsi:schemaLocation=\"%.*s%.*s %.*s\">\n",
                 ns_len, namespace_prefix.data(), var_len, variant.data(), ns_len, namespace_prefix.data(), var_len,
                 variant.data(), file_len, schema_file.data());
    else
        snprintf(line, sizeof line,
                 "<Document xmlns=\"%.*s%.*s\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n", ns_len,
                 namespace_prefix.data(), var_len, variant.data());
    out.put(line);
}

void write_group_header(Out &out, const tarvo_t *msg, const char *root, time_t now) {
    struct tm utc {};
    gmtime_r(&now, &utc);
    char created[64];
    snprintf(created, sizeof created, "%04i-%02i-%02iT%02i:%02i:%02iZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
             utc.tm_hour, utc.tm_min, utc.tm_sec);
    out.put("\t<").put(root).put(">\n\t\t<GrpHdr>\n");
    out.elem("\t\t\t<MsgId>", msg->msgid, "</MsgId>\n");
    out.elem("\t\t\t<CreDtTm>", created, "</CreDtTm>\n");
    out.put("\t\t\t<NbOfTxs>").number(msg->tx_count).put("</NbOfTxs>\n");
    out.put("\t\t\t<CtrlSum>").amount(msg->ctrl_sum).put("</CtrlSum>\n");
    out.put("\t\t\t<InitgPty>\n");
    if (msg->name != nullptr) out.elem("\t\t\t\t<Nm>", msg->name, "</Nm>\n");
    out.put("\t\t\t</InitgPty>\n\t\t</GrpHdr>\n");
}

void write_block_head(Out &out, const BlockHead &head) {
    out.put("\t\t<PmtInf>\n\t\t\t<PmtInfId>").esc(head.msgid).put("-P").number(head.number);
    out.put("</PmtInfId>\n\t\t\t<PmtMtd>").put(head.method).put("</PmtMtd>\n");
    out.put(head.batch_booking ? "\t\t\t<BtchBookg>true</BtchBookg>\n" : "\t\t\t<BtchBookg>false</BtchBookg>\n");
    out.put("\t\t\t<NbOfTxs>").number(head.count).put("</NbOfTxs>\n");
    out.put("\t\t\t<CtrlSum>").amount(head.sum).put("</CtrlSum>\n");
}

void write_payment_type(Out &out, const PaymentType &type) {
    out.put("\t\t\t<PmtTpInf>\n");
    if (type.service_level != nullptr)
        out.elem("\t\t\t\t<SvcLvl>\n\t\t\t\t\t<Cd>", type.service_level, "</Cd>\n\t\t\t\t</SvcLvl>\n");
    if (type.local_instrument != nullptr)
        out.elem("\t\t\t\t<LclInstrm>\n\t\t\t\t\t<Cd>", type.local_instrument, "</Cd>\n\t\t\t\t</LclInstrm>\n");
    if (type.sequence != nullptr) out.elem("\t\t\t\t<SeqTp>", type.sequence, "</SeqTp>\n");
    if (type.category_purpose != nullptr)
        out.elem("\t\t\t\t<CtgyPurp>\n\t\t\t\t\t<Cd>", type.category_purpose, "</Cd>\n\t\t\t\t</CtgyPurp>\n");
    out.put("\t\t\t</PmtTpInf>\n");
}

void write_remittance(Out &out, const char *text, const char *creditor_reference, const char *qr_reference) {
    text = present(text);
    // The add lets only one of the two references in.
    const char *reference = present(qr_reference) != nullptr ? qr_reference : present(creditor_reference);
    // RmtInf is optional everywhere, but the SEPA schemas refuse it empty.
    if (text == nullptr && reference == nullptr) return;
    out.put("\t\t\t\t<RmtInf>\n");
    if (text != nullptr) out.elem("\t\t\t\t\t<Ustrd>", text, "</Ustrd>\n");
    if (reference != nullptr) {
        out.put("\t\t\t\t\t<Strd>\n\t\t\t\t\t\t<CdtrRefInf>\n\t\t\t\t\t\t\t<Tp>\n\t\t\t\t\t\t\t\t<CdOrPrtry>\n");
        out.put(reference == qr_reference ? "\t\t\t\t\t\t\t\t\t<Prtry>QRR</Prtry>\n" : "\t\t\t\t\t\t\t\t\t<Cd>SCOR</Cd>\n");
        out.elem("\t\t\t\t\t\t\t\t</CdOrPrtry>\n\t\t\t\t\t\t\t</Tp>\n\t\t\t\t\t\t\t<Ref>", reference,
                 "</Ref>\n\t\t\t\t\t\t</CdtrRefInf>\n\t\t\t\t\t</Strd>\n");
    }
    out.put("\t\t\t\t</RmtInf>\n");
}

void write_named_party(Out &out, int depth, std::string_view tag, const char *name) {
    if (present(name) == nullptr) return;
    out.tabs(depth).put("<").put(tag).put(">\n").tabs(depth + 1).elem("<Nm>", name, "</Nm>\n");
    out.tabs(depth).put("</").put(tag).put(">\n");
}

void write_bic(Out &out, int depth, bool bicfi, const char *bic) {
    out.tabs(depth).elem(bicfi ? "<BICFI>" : "<BIC>", bic, bicfi ? "</BICFI>\n" : "</BIC>\n");
}

void write_address(Out &out, const Rulebook &rb, const Address &addr, bool end_with_newline) {
    const address_parts &parts = *addr.parts;
    if (addr.country == nullptr && parts.addrTown == nullptr && addr.line1 == nullptr && addr.line2 == nullptr) return;
    out.put("\t\t\t\t\t<PstlAdr>\n");
    if (rb.structured_address) {
        for (const AddressPart &part : address_tags)
            if (parts.*part.field != nullptr) out.elem(part.open, parts.*part.field, part.close);
        if (addr.country != nullptr) out.elem("\t\t\t\t\t\t<Ctry>", addr.country, "</Ctry>\n");
        // Hybrid: the lines follow the structured parts; the add refused them elsewhere.
        if (rb.hybrid_address && addr.line1 != nullptr) out.elem("\t\t\t\t\t\t<AdrLine>", addr.line1, "</AdrLine>\n");
        if (rb.hybrid_address && addr.line2 != nullptr) out.elem("\t\t\t\t\t\t<AdrLine>", addr.line2, "</AdrLine>\n");
    } else {
        if (addr.country != nullptr) out.elem("\t\t\t\t\t\t<Ctry>", addr.country, "</Ctry>\n");
        if (addr.line1 != nullptr) out.elem("\t\t\t\t\t\t<AdrLine>", addr.line1, "</AdrLine>\n");
        if (addr.line2 != nullptr) out.elem("\t\t\t\t\t\t<AdrLine>", addr.line2, "</AdrLine>\n");
    }
    out.put(end_with_newline ? "\t\t\t\t\t</PstlAdr>\n" : "\t\t\t\t\t</PstlAdr>");
}

void write_agent_id(Out &out, int depth, bool bicfi, const char *bic) {
    if (bic != nullptr) {
        write_bic(out, depth, bicfi, bic);
        return;
    }
    out.tabs(depth).put("<Othr>\n").tabs(depth + 1).put("<Id>NOTPROVIDED</Id>\n").tabs(depth).put("</Othr>\n");
}

int ensure_msgid(tarvo_t *msg, time_t now, const char *copy_failure) {
    if (msg->msgid != nullptr) return 1;
    struct tm local {};
    localtime_r(&now, &local);
    // One atomic step, so that threads rendering at once never take the same number; the
    // counter wraps at its largest value.
    const uint32_t count = static_cast<uint32_t>(__tarvo_idcount.fetch_add(1, std::memory_order_relaxed));
    const uint32_t sequence = (count + static_cast<uint32_t>(getpid()) * 100U) % 10000000U;
    char id[64];
    snprintf(id, sizeof id, "SEPA-%04i%02i%02i%02i%02i%02i-%07i", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(sequence));
    msg->msgid = copy_text(id);
    if (msg->msgid == nullptr) {
        msg->error = copy_failure;
        return 0;
    }
    return 1;
}

bool msgid_fits(const tarvo_t *msg, size_t blocks) {
    size_t digits = 1;
    for (size_t n = blocks; n >= 10; n /= 10) ++digits;
    return strlen(msg->msgid) + 2 + digits <= max_id_length;
}

const char *amount_problem(int64_t cents) {
    if (cents <= 0) return "Invalid amount";
    if (cents > max_amount_cents) return amount_too_large;
    return nullptr;
}

int refuse_transaction(tarvo_t *msg, const char *what, uint32_t position) {
    msg->error = format_error(msg->errbuf, "%s in transaction %u", what, position);
    return 0;
}

} // namespace tarvo::xml
