package com.libtarvo;

import java.math.BigDecimal;
import java.time.LocalDate;

/** A further balance of a camt statement: the amount exactly as written, negative for debits. */
public record Balance(BigDecimal amount, String currency, LocalDate date) {
    /** From the native "amount currency date" text. */
    static Balance parse(String text) {
        final String[] parts = text.split(" ", 3);
        return new Balance(new BigDecimal(parts[0]), parts[1], RecordMapper.date(parts[2]));
    }
}
