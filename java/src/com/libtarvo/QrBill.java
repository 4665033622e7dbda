package com.libtarvo;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import java.util.Optional;

/**
 * A Swiss QR-bill's payment part: read from the payload of its code, or built and written
 * as one. Empty fields are null; amounts are decimal texts ("25.90"), null for a bill that
 * leaves the amount to the payer. A refused payload or field throws {@link TARVOException}
 * naming the field.
 */
public final class QrBill {
    /** A structured address. */
    public static final class Address {
        public final String name, street, buildingNumber, postalCode, town, country;

        public Address(String name, String street, String buildingNumber, String postalCode, String town,
                       String country) {
            this.name = name;
            this.street = street;
            this.buildingNumber = buildingNumber;
            this.postalCode = postalCode;
            this.town = town;
            this.country = country;
        }

        String[] fields() { return new String[] {name, street, buildingNumber, postalCode, town, country}; }

        static Address of(String[] f, int at) {
            Address a = new Address(f[at], f[at + 1], f[at + 2], f[at + 3], f[at + 4], f[at + 5]);
            return Arrays.stream(a.fields()).allMatch(x -> x == null) ? null : a;
        }
    }

    public String iban, amount, currency, referenceType, reference, message, billInformation;
    public String[] alternativeSchemes = new String[0];
    public Address creditor, ultimateDebtor;

    /** The bill in a payload (UTF-8, LF or CR LF line ends). */
    public static QrBill parse(String payload) {
        String[] f = TARVO.qrbillParse(payload.getBytes(StandardCharsets.UTF_8));
        QrBill b = new QrBill();
        b.iban = f[0];
        b.amount = f[1];
        b.currency = f[2];
        b.referenceType = f[3];
        b.reference = f[4];
        b.message = f[5];
        b.billInformation = f[6];
        b.alternativeSchemes = Arrays.stream(f, 7, 9).filter(x -> x != null).toArray(String[]::new);
        b.creditor = Address.of(f, 9);
        b.ultimateDebtor = Address.of(f, 15);
        return b;
    }

    /** The payload for the bill. */
    public String toPayload() {
        String[] f = new String[21];
        f[0] = iban;
        f[1] = amount;
        f[2] = currency;
        f[3] = referenceType;
        f[4] = reference;
        f[5] = message;
        f[6] = billInformation;
        if (alternativeSchemes.length > 2) throw new TARVOException("alternativeSchemes: at most two");
        System.arraycopy(alternativeSchemes, 0, f, 7, alternativeSchemes.length);
        if (creditor != null) System.arraycopy(creditor.fields(), 0, f, 9, 6);
        if (ultimateDebtor != null) System.arraycopy(ultimateDebtor.fields(), 0, f, 15, 6);
        return TARVO.qrbillMake(f);
    }

    /** The bill's code as SVG, 46 mm with the Swiss cross. */
    public String toSvg() { return QrCode.svg(QrCode.QRBILL, toPayload()); }

    /** The bill's code as PNG bytes. */
    public byte[] toPng() { return QrCode.png(QrCode.QRBILL, toPayload()); }

    /** QR references: checked as typed, or made from a base with the check digit. */
    public static boolean isQrReference(String reference) { return TARVO.qrrCheck(reference); }

    public static Optional<String> qrReference(String base) { return Optional.ofNullable(TARVO.qrrMake(base)); }
}
