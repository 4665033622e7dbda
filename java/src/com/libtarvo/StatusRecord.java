package com.libtarvo;

import java.math.BigDecimal;
import java.util.List;
import java.util.Map;

/**
 * One record of a payment status report: the status of the whole original message
 * ({@link Level#GROUP}), of one payment-information block ({@link Level#PAYMENT}) or of one
 * transaction ({@link Level#TRANSACTION}), with the ids of the levels around it. Texts are
 * null where the report has none; {@code counts} maps a status to its number of
 * transactions in report order; the amount keeps the decimals the report writes.
 * {@code payeeBankName} is the name the payee's bank holds, returned with a
 * Verification-of-Payee close match.
 */
public record StatusRecord(
        Level level,
        String originalMessageId,
        String originalMessageName,
        String originalPaymentInformationId,
        String originalInstructionId,
        String originalEndToEndId,
        String originalUETR,
        Long originalNumberOfTransactions,
        BigDecimal originalControlSum,
        String status,
        List<String> reasons,
        String additionalInfo,
        Map<String, Long> counts,
        BigDecimal amount,
        String currency,
        String name,
        String iban,
        String payeeBankName) {

    public enum Level { GROUP, PAYMENT, TRANSACTION }

    public StatusRecord {
        reasons = List.copyOf(reasons);
        counts = java.util.Collections.unmodifiableMap(new java.util.LinkedHashMap<>(counts));
    }
}
