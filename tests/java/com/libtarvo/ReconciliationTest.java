package com.libtarvo;

import static org.junit.Assert.*;

import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.util.List;
import org.junit.Test;

/** Reconciliation through the binding: rows and warnings as the library gives them, refusals as exceptions. */
public class ReconciliationTest {
    private static byte[] transfers(String messageId, String... idsAndAmounts) {
        try (PaymentMessage m = PaymentMessage.builder(MessageType.CREDIT_TRANSFER)
                .iban("DE89370400440532013000").bic("COBADEFFXXX").name("Beispiel GmbH").messageId(messageId)
                .build()) {
            for (int i = 0; i < idsAndAmounts.length; i += 2)
                m.add(Transaction.builder().name("Lieferant").iban("DE02120300000000202051").bic("COBADEFFXXX")
                        .amount(new BigDecimal(idsAndAmounts[i + 1])).endToEndId(idsAndAmounts[i]).build());
            return m.toXml().getBytes(StandardCharsets.UTF_8);
        }
    }

    private static byte[] rejection(String messageId, String block, String id) {
        return ("<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.03\"><CstmrPmtStsRpt>"
                + "<GrpHdr><MsgId>S</MsgId><CreDtTm>2026-03-02T08:00:00</CreDtTm></GrpHdr>"
                + "<OrgnlGrpInfAndSts><OrgnlMsgId>" + messageId + "</OrgnlMsgId><OrgnlMsgNmId>pain.001</OrgnlMsgNmId>"
                + "</OrgnlGrpInfAndSts><OrgnlPmtInfAndSts><OrgnlPmtInfId>" + block + "</OrgnlPmtInfId>"
                + "<TxInfAndSts><OrgnlEndToEndId>" + id + "</OrgnlEndToEndId><TxSts>RJCT</TxSts>"
                + "<StsRsnInf><Rsn><Cd>AM04</Cd></Rsn></StsRsnInf></TxInfAndSts></OrgnlPmtInfAndSts>"
                + "</CstmrPmtStsRpt></Document>").getBytes(StandardCharsets.UTF_8);
    }

    @Test
    public void rowsCarryStateReasonAndEvidence() {
        final Reconciliation.Result result = new Reconciliation()
                .addPayments(transfers("J-1", "J-A", "10.00", "J-B", "20.50"), "j.xml")
                .addStatus(rejection("J-1", "J-1-P1", "J-B"), "status.xml")
                .run();
        final List<ReconciliationRow> rows = result.rows();
        assertEquals(2, rows.size());
        assertEquals(new ReconciliationRow("J-1", "J-1-P1", "J-A", new BigDecimal("10.00"), "EUR", "unknown", null,
                null, null, false), rows.get(0));
        assertEquals("rejected", rows.get(1).state());
        assertEquals("AM04 Insufficient funds", rows.get(1).reason());
        assertEquals("status.xml OrgnlPmtInfAndSts[1]/TxInfAndSts[1]", rows.get(1).evidence());
        assertEquals(List.of(), result.warnings());
    }

    @Test
    public void reportForAnotherFileIsAWarningAndListed() {
        final Reconciliation.Result result = new Reconciliation()
                .addPayments(transfers("J-1", "J-A", "10.00"), "j.xml")
                .addStatus(rejection("J-9", "J-9-P1", "J-Z"), "status.xml")
                .run();
        assertEquals(List.of("status report status.xml refers to message id \"J-9\", which no payment file has"),
                result.warnings());
        assertTrue(result.rows().get(result.rows().size() - 1).unmatched());
    }

    @Test
    public void refusalsThrow() {
        final TARVOException twice = assertThrows(TARVOException.class, () -> new Reconciliation()
                .addPayments(transfers("J-1", "J-A", "10.00"), "one.xml")
                .addPayments(transfers("J-2", "J-A", "11.00"), "two.xml")
                .run());
        assertEquals("end-to-end id \"J-A\" is in both one.xml and two.xml", twice.getMessage());
        final TARVOException unreadable = assertThrows(TARVOException.class, () -> new Reconciliation()
                .addPayments("no document".getBytes(StandardCharsets.UTF_8), "bad.xml")
                .run());
        assertTrue(unreadable.getMessage(), unreadable.getMessage().startsWith("bad.xml: "));
    }
}
