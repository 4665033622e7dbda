package com.libtarvo;

import java.math.BigDecimal;
import java.time.LocalDate;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Objects;

/**
 * One transaction of a {@link PaymentMessage}: the library's properties in their order
 * ("name", "iban", "amount", ...). The builder names the usual ones; {@link
 * Builder#property} sets any other, such as the structured address parts.
 */
public record Transaction(Map<String, String> properties) {
    public Transaction {
        final Map<String, String> copy = new LinkedHashMap<>();
        properties.forEach((k, v) -> copy.put(Objects.requireNonNull(k, "key"), Objects.requireNonNull(v, k)));
        properties = Collections.unmodifiableMap(copy);
    }

    /** The sequence of a direct debit under its mandate. */
    public enum Sequence {
        FIRST("FRST"),
        RECURRING("RCUR"),
        ONE_OFF("OOFF"),
        FINAL("FNAL");

        final String code;

        Sequence(String code) {
            this.code = code;
        }
    }

    /**
     * The property that carries a scanned QR-bill payload: {@link PaymentMessage#add} pays
     * such a transaction by the bill, the other properties ("amount" for a bill without one,
     * "id", "date") beside it.
     */
    public static final String QR_BILL = "qrbill";

    public static Builder builder() {
        return new Builder();
    }

    /** A credit transfer under CH-SPS that pays a scanned QR-bill as its payload states it. */
    public static Transaction fromQrBill(String payload) {
        return builder().qrBill(payload).build();
    }

    public static final class Builder {
        private final Map<String, String> properties = new LinkedHashMap<>();

        private Builder() {}

        /** The debtor's (direct debit) or creditor's (credit transfer) name. */
        public Builder name(String name) {
            return property("name", name);
        }

        public Builder iban(String iban) {
            return property("iban", iban);
        }

        public Builder bic(String bic) {
            return property("bic", bic);
        }

        /**
         * At most two decimals once trailing zeros are stripped: 1.005 is refused rather
         * than rounded, 1.0100 is 1.01.
         */
        public Builder amount(BigDecimal amount) {
            final BigDecimal exact = amount.stripTrailingZeros();
            if (exact.scale() > 2) {
                throw new IllegalArgumentException("amount has more than two decimals: " + amount.toPlainString());
            }
            return property("amount", exact.toPlainString());
        }

        /** The ISO 11649 creditor reference ("RF18 5390 0754 7034"). */
        public Builder creditorReference(String reference) {
            return property("cref", reference);
        }

        /** The ultimate creditor (credit transfers) or ultimate debtor (direct debits). */
        public Builder ultimateName(String name) {
            return property("ultimateName", name);
        }

        public Builder endToEndId(String id) {
            return property("id", id);
        }

        /** The unstructured remittance text. */
        public Builder remittance(String text) {
            return property("ref", text);
        }

        public Builder mandate(String reference, LocalDate signed) {
            property("mref", reference);
            return property("mdate", signed.toString());
        }

        public Builder sequence(Sequence sequence) {
            return property("seq", sequence.code);
        }

        /** The four-letter purpose code of a credit transfer. */
        public Builder purpose(String code) {
            return property("purp", code);
        }

        /** The currency of a credit transfer under CH-SPS: "CHF" (the default) or "EUR". */
        public Builder currency(String code) {
            return property("currency", code);
        }

        /** The 27-digit QR reference of a QR-bill, for a payment to its QR-IBAN under CH-SPS. */
        public Builder qrReference(String reference) {
            return property("qrr", reference);
        }

        /** The payload of a scanned QR-bill to pay (see {@link #fromQrBill}). */
        public Builder qrBill(String payload) {
            return property(QR_BILL, payload);
        }

        /** Any property by the library's key; a later value for a key replaces the earlier. */
        public Builder property(String key, String value) {
            properties.put(Objects.requireNonNull(key, "key"), Objects.requireNonNull(value, key));
            return this;
        }

        public Transaction build() {
            return new Transaction(properties);
        }
    }
}
