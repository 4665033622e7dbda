package com.libtarvo;

import java.math.BigDecimal;
import java.util.List;

/**
 * One payment-information block of a payment file. The party ({@code name}, {@code iban},
 * {@code bic}) is the ordering side: the debtor of a transfer, the creditor of a direct
 * debit. {@code date} is the requested execution or collection date as written.
 */
public record PaymentBlock(
        String paymentInformationId,
        String method,
        String batchBooking,
        Long numberOfTransactions,
        BigDecimal controlSum,
        String serviceLevel,
        String localInstrument,
        String sequenceType,
        String date,
        String name,
        String iban,
        String bic,
        String creditorId,
        List<PaymentTransaction> transactions) {
    public PaymentBlock {
        transactions = List.copyOf(transactions);
    }
}
