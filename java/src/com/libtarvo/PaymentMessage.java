package com.libtarvo;

import java.time.LocalDate;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.function.Consumer;

/**
 * A payment file under construction: made by a {@link Builder}, filled with {@link
 * #add(Transaction)}, written by {@link #toXml()}. It owns one native message; close it
 * (try-with-resources), after which every use is refused. One owner at a time: share it
 * between threads only with your own locking. It is always pinned to a rulebook: the
 * builder's, or the process-wide one at build time, so no other thread can change it.
 */
public final class PaymentMessage implements AutoCloseable {
    private final TARVO message;

    private PaymentMessage(TARVO message) {
        this.message = message;
    }

    public static Builder builder(MessageType type) {
        return new Builder(type);
    }

    /** Adds one transaction; a refusal leaves the message as it was. */
    public PaymentMessage add(Transaction transaction) {
        final String payload = transaction.properties().get(Transaction.QR_BILL);
        if (payload == null) {
            message.add(transaction.properties());
        } else {
            final Map<String, String> rest = new LinkedHashMap<>(transaction.properties());
            rest.remove(Transaction.QR_BILL);
            message.addQrBill(payload, rest);
        }
        return this;
    }

    /** The document in UTF-8 XML. */
    public String toXml() {
        return message.toXML();
    }

    /** The rulebook the message is pinned to. */
    public Rulebook rulebook() {
        return Rulebook.of(message.getRulebook());
    }

    public boolean isClosed() {
        return message.isClosed();
    }

    @Override
    public void close() {
        message.close();
    }

    /** The message's own fields, set in the order given when {@link #build()} is called. */
    public static final class Builder {
        private final MessageType type;
        private final List<Consumer<TARVO>> settings = new ArrayList<>();
        private Rulebook rulebook;

        private Builder(MessageType type) {
            this.type = Objects.requireNonNull(type, "type");
        }

        private Builder set(Consumer<TARVO> setting) {
            settings.add(setting);
            return this;
        }

        /** The creditor's (direct debit) or debtor's (credit transfer) account. */
        public Builder iban(String iban) {
            return set(m -> m.setIBAN(iban));
        }

        public Builder bic(String bic) {
            return set(m -> m.setBIC(bic));
        }

        public Builder name(String name) {
            return set(m -> m.setName(name));
        }

        public Builder creditorIdentifier(String id) {
            return set(m -> m.setCreditorIdentifier(id));
        }

        /** The collection or execution date. */
        public Builder date(LocalDate date) {
            return set(m -> m.setDate(date.toString()));
        }

        public Builder directDebitType(DirectDebitType ddType) {
            return set(m -> m.setDDType(ddType.code));
        }

        public Builder batchBooking(boolean batch) {
            return set(m -> m.setBatchBooking(batch));
        }

        public Builder messageId(String id) {
            return set(m -> m.setMessageId(id));
        }

        /** The rulebook the message is checked and written under. */
        public Builder rulebook(Rulebook rulebook) {
            this.rulebook = Objects.requireNonNull(rulebook, "rulebook");
            return this;
        }

        /** Credit transfers as instant payments (DE-3.7, DE-3.9). */
        public Builder instant(boolean instant) {
            return set(m -> m.setInstant(instant));
        }

        /** The category purpose of every block, four capital letters ("SALA"). */
        public Builder categoryPurpose(String code) {
            return set(m -> m.setCategoryPurpose(code));
        }

        /** The ultimate debtor (credit transfers) or ultimate creditor (direct debits). */
        public Builder ultimateName(String name) {
            return set(m -> m.setUltimateName(name));
        }

        /** The message with every setting applied; the first refusal throws and nothing leaks. */
        public PaymentMessage build() {
            final TARVO message = new TARVO(type.code);
            try {
                // Pinned first, so that every setting is checked under the message's own rulebook.
                message.setRulebook(rulebook != null ? rulebook.id() : message.getRulebook());
                for (Consumer<TARVO> setting : settings) setting.accept(message);
            } catch (RuntimeException e) {
                message.close();
                throw e;
            }
            return new PaymentMessage(message);
        }
    }
}
