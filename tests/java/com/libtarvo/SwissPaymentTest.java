package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.io.StringReader;
import java.math.BigDecimal;
import java.nio.file.Files;
import javax.xml.XMLConstants;
import javax.xml.transform.stream.StreamSource;
import javax.xml.validation.SchemaFactory;
import org.junit.After;
import org.junit.Test;

/** CH-SPS through the object API: QR-bills paid from their payloads, a refused bill names why. */
public class SwissPaymentTest {
    @After
    public void backToTheGermanRulebook() {
        Rulebook.DE_3_7.select();
    }

    private static PaymentMessage payer() {
        return PaymentMessage.builder(MessageType.CREDIT_TRANSFER).iban("CH9300762011623852957").name("Muster AG")
                .build();
    }

    @Test
    public void scannedBillsAndTypedTransfersMakeOneValidDocument() throws Exception {
        Rulebook.CH_SPS.select();
        final String scor = Files.readString(shared("samples/qr/swiss/qr-payment-reference-scor.txt"));
        final String open = Files.readString(shared("samples/qr/swiss/qr-payment-information-without-amount.txt"));
        try (PaymentMessage m = payer()) {
            m.add(Transaction.fromQrBill(scor));
            m.add(Transaction.builder().qrBill(open).amount(new BigDecimal("7.50")).endToEndId("BILL 2").build());
            m.add(Transaction.builder().iban("CH5604835012345678009").currency("EUR").name("Lieferant SA")
                    .property("addrTown", "Genève").property("addrCC", "CH").amount(new BigDecimal("300"))
                    .build());
            final String xml = m.toXml();
            SchemaFactory.newInstance(XMLConstants.W3C_XML_SCHEMA_NS_URI)
                    .newSchema(shared("xsd/ch/pain.001.001.09.ch.03.xsd").toFile())
                    .newValidator()
                    .validate(new StreamSource(new StringReader(xml)));
            assertTrue(xml.contains("<Cd>SCOR</Cd>"));
            assertTrue(xml.contains(">7.50</InstdAmt>"));
            assertTrue(xml.contains("<InstdAmt Ccy=\"EUR\">300.00</InstdAmt>"));
        }
    }

    @Test
    public void refusedBills() throws Exception {
        Rulebook.CH_SPS.select();
        final String zero = Files.readString(shared("samples/qr/swiss/qr-payment-information-zero-amount.txt"));
        try (PaymentMessage m = payer()) {
            library("QR-bill of amount 0.00 is a notification, not a payment", () -> m.add(Transaction.fromQrBill(zero)));
            final TARVOException e = assertThrows(TARVOException.class,
                    () -> m.add(Transaction.fromQrBill("SPC\n0200\n1\n")));
            assertTrue(e.getMessage(), e.getMessage().startsWith("Invalid QR-bill: "));
        }
        Rulebook.DE_3_7.select();
        try (PaymentMessage m = payer()) {
            library("QR-bill payments require rulebook CH-SPS", () -> m.add(Transaction.fromQrBill(zero)));
        }
    }
}
