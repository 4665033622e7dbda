package com.libtarvo;

import java.math.BigDecimal;
import java.time.LocalDate;

/**
 * One booking of a {@link Statement}. Texts are null when the file has none, dates when
 * it has none or one no calendar has (a 31 November); the amount is negative for debits.
 * The names are the library's field names (for MT940: {@code gvc} the business transaction
 * code, {@code eref} ... {@code abwe} the SEPA keywords' texts).
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
        String abwe) {}
