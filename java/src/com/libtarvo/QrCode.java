package com.libtarvo;

import java.nio.charset.StandardCharsets;

/** Payment codes drawn from their payload (error correction level M). */
public final class QrCode {
    private QrCode() {}

    /** A Swiss QR-bill: the Swiss cross at the centre. */
    public static final int QRBILL = 1;
    /** An EPC code. */
    public static final int EPC = 2;

    /** The code as an SVG document; the payload is checked first. */
    public static String svg(int kind, String payload) {
        return TARVO.qrSvg(kind, payload.getBytes(StandardCharsets.UTF_8));
    }

    /** The code as PNG bytes. */
    public static byte[] png(int kind, String payload) {
        return TARVO.qrPng(kind, payload.getBytes(StandardCharsets.UTF_8));
    }
}
