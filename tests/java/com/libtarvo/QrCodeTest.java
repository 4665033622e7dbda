package com.libtarvo;

import static org.junit.Assert.*;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import org.junit.Test;

/** The QR codes through the binding: field order, bytes in and out, refusals as exceptions. */
public class QrCodeTest {
    private static Path swiss(String name) {
        return Paths.get(System.getProperty("tarvo.shared.dir"), "samples", "qr", "swiss", name);
    }

    private static void refused(Runnable r, String field) {
        try {
            r.run();
            fail("not refused: " + field);
        } catch (TARVOException e) {
            assertTrue(e.getMessage(), e.getMessage().startsWith(field));
        }
    }

    @Test
    public void qrReferences() {
        assertTrue(TARVO.qrrCheck("21 00000 00003 13947 14300 09017"));
        assertFalse(TARVO.qrrCheck("210000000003139471430009018"));
        assertEquals("210000000003139471430009017", TARVO.qrrMake("21000000000313947143000901"));
        assertNull(TARVO.qrrMake("12a"));
    }

    @Test
    public void sharedBillsReadAndWriteBackByteForByte() throws Exception {
        String[] names = {"qr-special-chars-ultimate-debtor.txt", "qr-full-set.txt", "qr-payment-reference-scor.txt",
                          "qr-payment-information-without-amount.txt"};
        for (String name : names) {
            String payload = new String(Files.readAllBytes(swiss(name)), StandardCharsets.UTF_8);
            QrBill bill = QrBill.parse(payload);
            assertEquals(name, payload, bill.toPayload());
        }
        QrBill full = QrBill.parse(new String(Files.readAllBytes(swiss("qr-special-chars-ultimate-debtor.txt")),
                                              StandardCharsets.UTF_8));
        assertEquals("Jôachim Kräutłą", full.ultimateDebtor.name);
        assertEquals("25.90", full.amount);
        assertNull(full.message);
        QrBill open = QrBill.parse(new String(Files.readAllBytes(swiss("qr-payment-information-without-amount.txt")),
                                              StandardCharsets.UTF_8));
        assertNull(open.amount);
        assertNull(open.ultimateDebtor);
    }

    @Test
    public void refusalsNameTheField() {
        QrBill bill = new QrBill();
        bill.iban = "CH4431999123000889012";
        bill.creditor = new QrBill.Address("Robert Schneider AG", null, null, "2501", "Biel", "CH");
        bill.currency = "CHF";
        bill.referenceType = "QRR";
        bill.reference = "210000000003139471430009017";
        bill.amount = "1949.75";
        assertTrue(bill.toPayload().startsWith("SPC\n0200\n1\nCH4431999123000889012\nS\nRobert Schneider AG\n"));
        bill.amount = "1949.755";
        refused(bill::toPayload, "amount:");
        bill.amount = null;
        bill.referenceType = "NON";
        refused(bill::toPayload, "referenceType:");
        refused(() -> QrBill.parse("SPC\n0100"), "version:");
        refused(() -> EpcQr.parse("BCD\n002\n1\nSCT\n\nX\nDE33100205000001194701"), "iban:");
    }

    @Test
    public void epcCodesInEverySetAndPictures() {
        byte[] latin1 = "BCD\n002\n2\nSCT\n\nM\u00fcller\nDE33100205000001194700\nEUR5".getBytes(StandardCharsets.ISO_8859_1);
        EpcQr code = EpcQr.parse(latin1);
        assertEquals("Müller", code.name);
        assertEquals(2, code.charset);
        assertEquals("5.00", code.amount);
        assertEquals("BCD\n002\n1\nSCT\n\nMüller\nDE33100205000001194700\nEUR5.00", code.toPayload());
        byte[] png = code.toPng();
        assertEquals((byte) 0x89, png[0]);
        assertEquals('P', png[1]);
        assertTrue(code.toSvg().contains("</svg>"));
        refused(() -> QrCode.png(QrCode.QRBILL, "BCD"), "header:");
    }
}
