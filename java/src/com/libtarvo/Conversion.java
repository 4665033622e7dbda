package com.libtarvo;

import java.util.Objects;

/**
 * A German account and bank code converted to an IBAN by the Bundesbank's IBAN rules, with
 * the status that says what the rules did or why no IBAN can be given.
 *
 * @param iban the IBAN, or null when none can be given
 * @param status the status code: 0 converted as given, 1 account replaced, 10 bank code
 *     unknown, 11 account invalid, 12 conversion not allowed, 13 and 15 bank code replaced,
 *     50 ask the account holder, and so on (see the README's table)
 * @param statusText the status in the German words bank customers know, such as
 *     "Kontonummer wurde ersetzt"; "-" for 0
 */
public record Conversion(String iban, int status, String statusText) {
    public Conversion {
        Objects.requireNonNull(statusText, "statusText");
    }

    /** Whether an IBAN was given. */
    public boolean converted() {
        return iban != null;
    }

    /**
     * Converts a German account. A country other than "DE", a malformed bank code or
     * account give no IBAN with status 0.
     */
    public static Conversion of(String country, String bankCode, String account) {
        Objects.requireNonNull(country, "country");
        Objects.requireNonNull(bankCode, "bankCode");
        Objects.requireNonNull(account, "account");
        final int[] outcome = new int[2];
        final String iban = TARVO.ibanConvert(country, account, bankCode, outcome);
        return new Conversion(iban, outcome[1], TARVO.ibanStatusText(outcome[1]));
    }
}
