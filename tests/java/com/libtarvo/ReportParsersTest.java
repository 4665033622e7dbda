package com.libtarvo;

import static com.libtarvo.Expect.shared;
import static org.junit.Assert.*;

import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.Map;
import org.junit.Test;

/** Status reports and payment files through the Java records: what each component carries. */
public class ReportParsersTest {
    private static final StatusReportParser STATUS = new StatusReportParser();
    private static final PaymentFileParser PAIN = new PaymentFileParser();

    @Test
    public void vopReportWithoutNamespace() {
        final StatusReport report = STATUS.read(shared("samples/pain002/hbci4java_test-pain-parse-0020110-01.xml"));
        assertEquals("unversioned", report.version());
        assertEquals(3, report.records().size());
        final StatusRecord group = report.records().get(0);
        assertEquals(StatusRecord.Level.GROUP, group.level());
        assertEquals("RVMC", group.status());
        assertEquals(Long.valueOf(1), group.originalNumberOfTransactions());
        assertEquals(new BigDecimal("100.00"), group.originalControlSum());
        assertEquals(List.of("RCVC", "RVNM", "RVMC", "RVNA", "PDNG"), List.copyOf(group.counts().keySet()));
        assertEquals(Long.valueOf(1), group.counts().get("RVNM"));
        final StatusRecord tx = report.records().get(2);
        assertEquals(StatusRecord.Level.TRANSACTION, tx.level());
        assertEquals("2025-10-20T23:33:49:0045", tx.originalMessageId());
        assertEquals("2025-10-20T23:33:49:0045", tx.originalPaymentInformationId());
        assertEquals("a34743b9-fb22-4ec6-9947-03b7e191584e", tx.originalUETR());
        assertEquals("Max Mustermann", tx.name());
        assertNull(tx.payeeBankName());
        assertThrows(UnsupportedOperationException.class, () -> tx.reasons().add("X"));
    }

    @Test
    public void rejectionWithReasonAndAmountFromMemory() {
        final String doc = "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.03\"><CstmrPmtStsRpt>"
                + "<OrgnlGrpInfAndSts><OrgnlMsgId>M</OrgnlMsgId></OrgnlGrpInfAndSts><OrgnlPmtInfAndSts>"
                + "<OrgnlPmtInfId>P</OrgnlPmtInfId><TxInfAndSts><OrgnlEndToEndId>E</OrgnlEndToEndId><TxSts>RJCT</TxSts>"
                + "<StsRsnInf><Rsn><Cd>AM04</Cd></Rsn></StsRsnInf><OrgnlTxRef><Amt><InstdAmt Ccy=\"EUR\">10.50</InstdAmt>"
                + "</Amt></OrgnlTxRef></TxInfAndSts></OrgnlPmtInfAndSts></CstmrPmtStsRpt></Document>";
        final StatusRecord tx = STATUS.read(doc.getBytes(StandardCharsets.UTF_8)).records().get(2);
        assertEquals(List.of("AM04"), tx.reasons());
        assertEquals("10.50", tx.amount().toPlainString());
        assertEquals("EUR", tx.currency());
        assertEquals(Map.of(), tx.counts());
    }

    @Test
    public void refusalsCarryTheLibrarysText() {
        final TARVOException e = assertThrows(TARVOException.class,
                () -> STATUS.read("<Document><Foo/></Document>".getBytes(StandardCharsets.UTF_8)));
        assertEquals("Expected <CstmrPmtStsRpt> in <Document>, found <Foo> (line 1)", e.getMessage());
        assertThrows(TARVOException.class, () -> PAIN.read(new byte[0]));
    }

    @Test
    public void paymentFileTheLibraryWrote() {
        Rulebook.DE_3_7.select();
        final String xml;
        try (PaymentMessage message = PaymentMessage.builder(MessageType.CREDIT_TRANSFER)
                .iban("DE89370400440532013000").bic("COBADEFFXXX").name("Firma").messageId("M-1").build()) {
            message.add(Transaction.builder().name("Anna").iban("AT611904300234573201")
                    .amount(new BigDecimal("12.30")).endToEndId("E-1").remittance("Rechnung 1").build());
            xml = message.toXml();
        }
        final PaymentFile file = PAIN.read(xml.getBytes(StandardCharsets.UTF_8));
        assertEquals("pain.001.001.09", file.version());
        assertEquals("M-1", file.messageId());
        final PaymentBlock block = file.blocks().get(0);
        assertEquals("DE89370400440532013000", block.iban());
        final PaymentTransaction tx = block.transactions().get(0);
        assertEquals("E-1", tx.endToEndId());
        assertEquals("12.30", tx.amount().toPlainString());
        assertEquals("Anna", tx.name());
        assertEquals("Rechnung 1", tx.remittance());
    }
}
