package com.libtarvo;

import java.util.Optional;

/** IBANs as people type and print them, and their check. */
public final class Iban {
    private Iban() {}

    /**
     * The electronic form of an IBAN as typed ("iban: de89 3704 0044 0532 0130 00" gives
     * "DE89370400440532013000"), or empty when it cannot be one. The check digits are
     * not checked: see {@link #isValid}.
     */
    public static Optional<String> normalize(String input) {
        return Optional.ofNullable(TARVO.ibanNormalize(input));
    }

    /** The IBAN in groups of four for print ("DE89 3704 0044 0532 0130 00"), or empty. */
    public static Optional<String> format(String iban) {
        return Optional.ofNullable(TARVO.ibanFormat(iban));
    }

    /** Length, pattern and check digits, and for German IBANs bank code and account. */
    public static boolean isValid(String iban) {
        return TARVO.IBAN_check(iban);
    }
}
