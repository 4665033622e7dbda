// The kinds of payment the Swiss Payment Standards know, decided from a transfer's data,
// and what each kind demands before a Swiss bank takes it.
#include "message/sps_kind.h"

#include <string.h>

#include "ident/ident.h"

namespace tarvo {

SwissKind swiss_kind(const cti_tx &tx) {
    if (is_qr_iban(tx.iban)) return SwissKind::QrBill;
    char iid[6];
    if (swiss_institution_id(tx.iban, iid)) return SwissKind::Domestic;
    return tx.currency == Currency::EUR ? SwissKind::Sepa : SwissKind::Foreign;
}

const char *swiss_problem(const cti_tx &tx) {
    if (tx.currency != Currency::CHF && tx.currency != Currency::EUR) return "Invalid currency (CHF or EUR)";
    // Swiss banks refuse payments whose creditor address lacks these since November 2025.
    if (tx.addr.addrTown == nullptr || tx.addrCC == nullptr) return "Address requires town and country (addrTown and addrCC)";
    const SwissKind kind = swiss_kind(tx);
    // A QR-IBAN names the invoice by its QR reference and nothing else; an ordinary
    // account cannot carry one, the creditor's bank would not match it.
    if (kind == SwissKind::QrBill && tx.qrr == nullptr) return "QR-IBAN requires a QR reference (qrr)";
    if (kind != SwissKind::QrBill && tx.qrr != nullptr) return "QR reference (qrr) requires a QR-IBAN";
    if (tx.qrr != nullptr && tx.cref != nullptr)
        return "QR reference (qrr) and creditor reference (cref) exclude each other";
    // Francs abroad travel through correspondent banks, which need the creditor's bank.
    if (kind == SwissKind::Foreign && tx.bic == nullptr)
        return "CHF payments outside Switzerland and Liechtenstein require the creditor's BIC";
    return nullptr;
}

const char *non_swiss_problem(const cti_tx &tx) {
    if (tx.currency == Currency::CHF) return "CHF payments require rulebook CH-SPS";
    if (tx.qrr != nullptr) return "QR reference (qrr) requires rulebook CH-SPS";
    return nullptr;
}

} // namespace tarvo
