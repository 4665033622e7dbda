package com.libtarvo;

import java.math.BigDecimal;

/**
 * One row of a reconciliation: a transaction of the payment files with its state, or a
 * statement entry or status record that fits none ({@code unmatched}). Fields the row
 * does not have are null.
 *
 * @param state "unknown", "accepted", "rejected", "booked", "returned" or "unmatched"
 * @param reason the reason codes and their text, for rejected and returned
 * @param vop the payee verification result (RCVC, RVMC, RVNM, RVNA)
 * @param evidence the file and the element in it that decided the state
 */
public record ReconciliationRow(
        String messageId,
        String paymentInformationId,
        String endToEndId,
        BigDecimal amount,
        String currency,
        String state,
        String reason,
        String vop,
        String evidence,
        boolean unmatched) {

    static ReconciliationRow of(String[] f) {
        return new ReconciliationRow(f[0], f[1], f[2], f[3] != null ? new BigDecimal(f[3]) : null, f[4], f[5], f[6],
                f[7], f[8], f[9] != null);
    }
}
