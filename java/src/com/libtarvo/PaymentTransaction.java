package com.libtarvo;

import java.math.BigDecimal;

/**
 * One transaction of a payment file. The counterparty ({@code name}, {@code iban},
 * {@code bic}, {@code ultimateName}) is the creditor of a transfer and the debtor of a
 * direct debit; the mandate fields belong to direct debits. Texts are null where the file
 * has none; the amount keeps the decimals the file writes.
 */
public record PaymentTransaction(
        String instructionId,
        String endToEndId,
        String uetr,
        BigDecimal amount,
        String currency,
        String name,
        String iban,
        String bic,
        String ultimateName,
        String mandateId,
        String mandateDate,
        String originalMandateId,
        String originalIban,
        String creditorId,
        String purpose,
        String remittance,
        String creditorRef) {}
