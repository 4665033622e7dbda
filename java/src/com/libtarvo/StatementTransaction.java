package com.libtarvo;

import java.math.BigDecimal;
import java.time.LocalDate;
import java.util.List;

/**
 * One booking of a {@link Statement}. Texts are null when the file has none, dates when
 * it has none or one no calendar has (a 31 November); the amount is negative for debits
 * and has the decimals the file writes (camt: exactly as written, in {@code currency}).
 * The names are the library's field names (for MT940: {@code gvc} the business transaction
 * code, {@code eref} ... {@code abwe} the SEPA keywords' texts; {@code currency},
 * {@code uetr}, {@code creditorRef} and {@code partyName}, the counterparty's full name
 * where {@code name} holds its first 55 bytes, come from camt only). The booking fields
 * from {@code instructedAmount} on are camt's too: {@code status} BOOK, PDNG (not booked
 * yet) or INFO; {@code details} and {@code endToEndIds} for one record standing for a whole
 * batch entry; {@code truncated} when a text was cut to 16 KiB.
 */
public record StatementTransaction(
        LocalDate valuta,
        LocalDate booked,
        boolean reversal,
        BigDecimal amount,
        String code,
        String ref,
        String bankref,
        String txtext,
        String primanota,
        long gvc,
        long extcode,
        String bank,
        String account,
        String name,
        String purpose,
        String eref,
        String kref,
        String mref,
        String cred,
        String debt,
        String purp,
        String coam,
        String oamt,
        String svwz,
        String abwa,
        String abwe,
        String currency,
        String uetr,
        String creditorRef,
        String partyName,
        BigDecimal instructedAmount,
        String instructedCurrency,
        List<Charge> charges,
        String status,
        String returnReason,
        String returnInfo,
        String bankTransactionCode,
        String entryReference,
        String batchPaymentInformationId,
        String batchMessageId,
        long details,
        List<String> endToEndIds,
        boolean truncated) {
    public StatementTransaction {
        charges = charges != null ? List.copyOf(charges) : List.of();
        endToEndIds = endToEndIds != null ? List.copyOf(endToEndIds) : List.of();
    }
}
