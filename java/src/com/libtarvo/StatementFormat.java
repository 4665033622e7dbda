package com.libtarvo;

/** The file formats a {@link StatementParser} reads. */
public enum StatementFormat {
    /** SWIFT MT940 with the German structured :86: fields. */
    MT940(1),
    /** ISO 20022 camt.053 bank-to-customer statements. */
    CAMT(3);

    final int code;

    StatementFormat(int code) {
        this.code = code;
    }
}
