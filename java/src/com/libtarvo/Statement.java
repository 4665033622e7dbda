package com.libtarvo;

import java.math.BigDecimal;
import java.time.LocalDate;
import java.util.List;

/**
 * One account statement as the library read it. Texts are null when the file has none,
 * dates when it has none or one no calendar has (a 31 November); balances carry the
 * decimals the file writes (MT940 cents, camt exactly as written) and are null, with their
 * date and currency, when the file states none. {@code complete} is false when a line that
 * could not be read cut the statement off.
 *
 * <p>Each component's name is the library's field name: a new field of the library is one
 * more component here.
 */
public record Statement(
        String ref,
        String account,
        long number,
        long page,
        LocalDate openDate,
        BigDecimal openSaldo,
        String openCurrency,
        LocalDate closeDate,
        BigDecimal closeSaldo,
        String closeCurrency,
        boolean complete,
        Balance interimBalance,
        Balance interimAvailable,
        Balance available,
        List<StatementTransaction> transactions) {
    public Statement {
        transactions = List.copyOf(transactions);
    }
}
