package com.libtarvo;

import java.math.BigDecimal;

/** One charge of a camt booking; {@code included} when the booked amount already holds it. */
public record Charge(BigDecimal amount, String currency, boolean included) {
    /** From one native "amount currency included" line. */
    static Charge parse(String line) {
        final String[] parts = line.split(" ", 3);
        return new Charge(new BigDecimal(parts[0]), parts[1], "1".equals(parts[2]));
    }
}
