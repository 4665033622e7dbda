package com.libtarvo;

import java.nio.charset.StandardCharsets;

/**
 * An EPC QR code ("GiroCode") for a SEPA credit transfer. Empty fields are null; the amount
 * is a decimal text in euro ("123.45"). A refused payload or field throws
 * {@link TARVOException} naming the field.
 */
public final class EpcQr {
    /** "001" (BIC required) or "002"; null writes "002". */
    public String version;
    /** The character set the payload declared (1 to 8); written payloads always declare 1. */
    public int charset = 1;
    public String bic, name, iban, amount, purpose, reference, text, information;

    /** The code in a payload; texts of character sets 2 to 8 come out as Java strings alike. */
    public static EpcQr parse(byte[] payload) {
        String[] f = TARVO.epcqrParse(payload);
        EpcQr c = new EpcQr();
        c.version = f[0];
        c.charset = Integer.parseInt(f[1]);
        c.bic = f[2];
        c.name = f[3];
        c.iban = f[4];
        c.amount = f[5];
        c.purpose = f[6];
        c.reference = f[7];
        c.text = f[8];
        c.information = f[9];
        return c;
    }

    public static EpcQr parse(String payload) { return parse(payload.getBytes(StandardCharsets.UTF_8)); }

    /** The payload: character set 1, LF line ends, nothing after the last field given. */
    public String toPayload() {
        return TARVO.epcqrMake(new String[] {version, null, bic, name, iban, amount, purpose, reference, text, information});
    }

    public String toSvg() { return QrCode.svg(QrCode.EPC, toPayload()); }

    public byte[] toPng() { return QrCode.png(QrCode.EPC, toPayload()); }
}
