package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.io.IOException;
import java.io.InputStream;
import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.LocalDate;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.Test;
import org.w3c.dom.Document;

/** The object API: documents the schema accepts, and every statement sample read into records. */
public class ObjectApiTest {
    private static final LocalDate DUE = LocalDate.of(2031, 6, 30);

    private static String amount(Document doc, String variant, String tag) {
        return doc.getElementsByTagNameNS("urn:iso:std:iso:20022:tech:xsd:" + variant, tag).item(0).getTextContent();
    }

    @Test
    public void everyKindBuildsASchemaValidDocument() throws Exception {
        Rulebook.DE_3_7.select();
        try (PaymentMessage m = PaymentMessage.builder(MessageType.DIRECT_DEBIT).iban(CREDITOR_IBAN)
                .bic(CREDITOR_BIC).name("Verein Beispiel").creditorIdentifier(CREDITOR_ID).date(DUE)
                .directDebitType(DirectDebitType.B2B).batchBooking(true).messageId("MSG-1").build()) {
            m.add(Transaction.builder().name("Erika Mustermann").iban(DEBTOR_IBAN).bic(DEBTOR_BIC)
                    .amount(new BigDecimal("12.5")).mandate("M-1", LocalDate.of(2023, 5, 1))
                    .sequence(Transaction.Sequence.FIRST).endToEndId("E2E-1").remittance("Beitrag 2031").build());
            final Document doc = TARVODocumentTest.parseAndValidate(m.toXml(), "pain.008.001.08");
            assertEquals("12.50", amount(doc, "pain.008.001.08", "InstdAmt"));
        }
        try (PaymentMessage m = PaymentMessage.builder(MessageType.CREDIT_TRANSFER).iban(DEBTOR_IBAN)
                .bic(DEBTOR_BIC).name("Firma GmbH").date(DUE).build()) {
            m.add(Transaction.builder().name("Anna Berg").iban("NL91ABNA0417164300").bic("ABNANL2A")
                    .amount(new BigDecimal("1000")).purpose("SALA").property("addrTown", "Amsterdam")
                    .property("addrCC", "NL").build());
            final Document doc = TARVODocumentTest.parseAndValidate(m.toXml(), "pain.001.001.09");
            assertEquals("1000.00", amount(doc, "pain.001.001.09", "InstdAmt"));
        }
    }

    /** A refused setting throws from build() and leaves no message behind to leak. */
    @Test
    public void closedOrRefusedMessagesAreNotUsable() {
        final PaymentMessage m = PaymentMessage.builder(MessageType.CREDIT_TRANSFER).build();
        m.close();
        assertTrue(m.isClosed());
        assertThrows(IllegalStateException.class, m::toXml);
        library("tarvo_setBIC: invalid BIC format",
                () -> PaymentMessage.builder(MessageType.DIRECT_DEBIT).bic("NOT A BIC").build());
    }

    @Test
    public void ibanFormsFitTheLongestIban() {
        final String longest = "LC55HEMT" + "0".repeat(24) + "12";
        assertEquals(34, longest.length());
        final String printed = Iban.format(" iban " + longest.toLowerCase()).orElseThrow();
        assertEquals(42, printed.length());
        assertEquals(longest, Iban.normalize(printed).orElseThrow());
        assertFalse(Iban.normalize("DE89 3704 !").isPresent());
        assertEquals(AccountCheck.VALID, AccountCheck.of("0532013000", "37040044"));
        assertEquals(AccountCheck.UNKNOWN_BANK, AccountCheck.of("0532013000", "99999999"));
    }

    /** Every sample: read without failure, amounts and value dates present, texts decoded. */
    @Test
    public void everyStatementSampleIsRead() throws IOException {
        final StatementParser parser = new StatementParser(StatementFormat.MT940);
        final List<Path> samples;
        try (Stream<Path> files = Files.list(shared("samples/mt940"))) {
            samples = files.filter(p -> !p.toString().endsWith(".md") && !p.getFileName().toString().startsWith("."))
                    .sorted().collect(Collectors.toList());
        }
        int transactions = 0;
        for (Path sample : samples) {
            for (Statement s : parser.read(sample)) {
                assertTrue(sample.toString(), s.openSaldo() == null || s.openSaldo().scale() == 2);
                assertThrows(UnsupportedOperationException.class, () -> s.transactions().clear());
                for (StatementTransaction t : s.transactions()) {
                    assertNotNull(sample.toString(), t.amount());
                    assertTrue(t.amount().scale() == 2);
                    ++transactions;
                }
            }
        }
        assertTrue(transactions > 50);
        // Amounts MT940 cannot carry cut the statement off; what was read before stays.
        final Statement cut = parser.read((":20:X\r\n:25:12345678/1234567890\r\n:60F:C241301EUR5,\r\n:61:2401010101C"
                + "1".repeat(70) + ",00NTRFNONREF\r\n:62F:C240101EUR0,00\r\n-\r\n").getBytes(StandardCharsets.US_ASCII)).get(0);
        assertFalse(cut.complete());
        assertEquals(new BigDecimal("5.00"), cut.openSaldo());
        assertNull(cut.openDate()); // 1 December 2013 would be 131201: month 13 is no date
        assertNull(cut.closeSaldo());
        assertNull(cut.closeCurrency());
        final List<Statement> latin1 = parser.read(shared("samples/mt940/cmxl-mt940-iso8859-1.txt"));
        assertTrue(latin1.stream().flatMap(s -> s.transactions().stream())
                .anyMatch(t -> "MÜLLER".equals(t.name())));
        final TARVOException e = assertThrows(TARVOException.class, () -> parser.read(shared("no-such-file")));
        assertTrue(e.getMessage(), e.getMessage().startsWith("Can't open input file"));
        // A camt file is no MT940 file.
        final TARVOException none = assertThrows(TARVOException.class,
                () -> parser.read(shared("samples/camt/camt053.v2.minimal.xml")));
        assertEquals("No MT940 statement found", none.getMessage());
    }

    /** From memory and from a stream, the same records as from the file. */
    @Test
    public void memoryAndStreamGiveTheFilesRecords() throws IOException {
        for (String name : List.of("samples/mt940/jejik-sparkasse.txt", "samples/camt/camt054.v2.xml")) {
            final StatementParser parser = new StatementParser(
                    name.contains("camt") ? StatementFormat.CAMT : StatementFormat.MT940);
            final Path file = shared(name);
            final List<Statement> fromFile = parser.read(file);
            assertEquals(name, fromFile, parser.read(Files.readAllBytes(file)));
            try (InputStream in = Files.newInputStream(file)) {
                assertEquals(name, fromFile, parser.read(in));
            }
        }
        final TARVOException e = assertThrows(TARVOException.class,
                () -> new StatementParser(StatementFormat.CAMT).read(new byte[0]));
        assertEquals("Input is empty", e.getMessage());
    }

    /** The conversion's status crosses with its text, also when no IBAN can be given. */
    @Test
    public void conversionCarriesStatusAndText() {
        final Object[][] cases = {
            // country, bank code, account, IBAN or null, status, text
            {"DE", "37040044", "532013000", DEBTOR_IBAN, 0, "-"},
            {"DE", "50080000", "231654", "DE42500800000023165400", 1, "Kontonummer wurde ersetzt"},
            {"DE", "99999999", "532013000", null, 10, "Bankleitzahl ung\u00fcltig"},
            {"FR", "37040044", "532013000", null, 0, "-"},
            {"DE", "3704004", "532013000", null, 0, "-"},
        };
        for (Object[] c : cases) {
            final Conversion conversion = Conversion.of((String) c[0], (String) c[1], (String) c[2]);
            final String label = c[0] + " " + c[1] + " " + c[2];
            assertEquals(label, c[3], conversion.iban());
            assertEquals(label, c[3] != null, conversion.converted());
            assertEquals(label, c[4], conversion.status());
            assertEquals(label, c[5], conversion.statusText());
        }
        assertThrows(NullPointerException.class, () -> Conversion.of("DE", null, "1"));
    }
}
