package com.libtarvo;

import static com.libtarvo.Expect.shared;
import static org.junit.Assert.*;

import java.io.IOException;
import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.Test;

/** camt files read through StatementParser: the samples, and amounts kept exactly as written. */
public class CamtStatementTest {
    private static final StatementParser CAMT = new StatementParser(StatementFormat.CAMT);
    private static final Pattern RECORDS = Pattern.compile("\"getRecords\": \\[([^\\]]*)\\]");

    private static Path sample(String name) {
        return shared("samples/camt/" + name);
    }

    /** The number of statements the sample's JSON lists (each as a back reference). */
    private static int statementsInJson(Path xml) throws IOException {
        final Path json = Path.of(xml.toString().replaceFirst("\\.xml$", ".json"));
        final Matcher records = RECORDS.matcher(Files.readString(json));
        assertTrue(json.toString(), records.find());
        return (int) Pattern.compile("\"__RECURSIVITY__\"").matcher(records.group(1)).results().count();
    }

    private static List<StatementTransaction> transactions(List<Statement> statements) {
        return statements.stream().flatMap(s -> s.transactions().stream()).collect(Collectors.toList());
    }

    @Test
    public void everySampleIsReadOrRefused() throws IOException {
        final List<Path> samples;
        try (Stream<Path> files = Files.list(shared("samples/camt"))) {
            samples = files.filter(p -> p.toString().endsWith(".xml")).sorted().collect(Collectors.toList());
        }
        assertEquals(11, samples.size());
        for (Path sample : samples) {
            if (sample.getFileName().toString().contains("wrong")) {
                final TARVOException e = assertThrows(TARVOException.class, () -> CAMT.read(sample));
                assertFalse(e.getMessage().isEmpty());
                continue;
            }
            final List<Statement> statements = CAMT.read(sample);
            assertEquals(sample.toString(), statementsInJson(sample), statements.size());
            for (StatementTransaction t : transactions(statements)) {
                assertNotNull(sample.toString(), t.amount());
                assertEquals(sample.toString(), 3, t.currency().length());
            }
        }
    }

    /** Values read by hand from the samples' XML and JSON. */
    @Test
    public void samplesKeepTheirAmountsAndReferences() {
        final List<Statement> decimals = CAMT.read(sample("camt053.v2.five.decimals.xml"));
        assertEquals(new BigDecimal("18.150"), decimals.get(0).openSaldo());
        assertEquals(new BigDecimal("27.050"), decimals.get(0).closeSaldo());
        assertEquals(new BigDecimal("8.850"), decimals.get(0).transactions().get(0).amount());

        final List<StatementTransaction> uetr = transactions(CAMT.read(sample("camt054.v8-with-UETR.xml")));
        assertEquals(1, uetr.size());
        assertEquals(new BigDecimal("-200000"), uetr.get(0).amount());
        assertEquals("SEK", uetr.get(0).currency());
        assertEquals("255ae394-9965-4438-ac86-f406feada396", uetr.get(0).uetr());

        final List<Statement> two = CAMT.read(sample("camt053.v2.multi.statement.xml"));
        assertEquals(List.of(new BigDecimal("8.85"), new BigDecimal("-7.00")),
                transactions(two).stream().map(StatementTransaction::amount).collect(Collectors.toList()));

        // One booking whose three details carry no amount: one record that counts them.
        final List<Statement> notification = CAMT.read(sample("camt054.v2.xml"));
        final List<StatementTransaction> batch = transactions(notification);
        assertEquals(1, batch.size());
        assertEquals(new BigDecimal("-200000"), batch.get(0).amount());
        assertEquals(3, batch.get(0).details());
        assertEquals(List.of("MUELL/FINP/RA12345", "MUELL/FINP/RA12345", "MUELL/FINP/RA12345"), batch.get(0).endToEndIds());
        assertNull(notification.get(0).openSaldo()); // a notification states no balances
        assertNull(notification.get(0).openDate());
        assertTrue(notification.get(0).complete());
    }

    /** A returned direct debit with its reason, instructed amount and charges. */
    @Test
    public void returnsCarryTheirReasons() {
        final StatementTransaction t = transactions(CAMT.read(
                shared("samples/camt/returns/hbci4java_test-camt-ruecklastschrift.xml"))).get(0);
        assertEquals("MS03", t.returnReason());
        assertEquals(new BigDecimal("-53.00"), t.amount());
        assertEquals(new BigDecimal("50.00"), t.instructedAmount());
        assertEquals(new Charge(new BigDecimal("3.00"), "EUR", false), t.charges().get(0));
        assertEquals("BOOK", t.status());
        final Statement balances = CAMT.read(sample("camt053.v2.all-balance-types.xml")).get(0);
        assertEquals("EUR", balances.available().currency());
    }

    /** Five decimals no double holds, and a name longer than the 55 bytes of name. */
    @Test
    public void amountsAndNamesAsWritten() throws IOException {
        final String party = "Müller-Lüdenscheidt Vermögensverwaltung und Beteiligungen GmbH & Co. KG";
        final String xml = Files.readString(sample("camt053.v2.minimal.xml"))
                .replace(">8.85</Amt>", ">1234.56789</Amt>")
                .replace("<Nm>NAME NAME</Nm>", "<Nm>" + party.replace("&", "&amp;") + "</Nm>");
        final Path file = Files.createTempFile("tarvo-camt", ".xml");
        try {
            Files.writeString(file, xml, StandardCharsets.UTF_8);
            final StatementTransaction t = CAMT.read(file).get(0).transactions().get(0);
            assertEquals(new BigDecimal("1234.56789"), t.amount());
            assertEquals(party, t.partyName());
            String first55 = party;
            while (first55.getBytes(StandardCharsets.UTF_8).length > 55) first55 = first55.substring(0, first55.length() - 1);
            assertEquals(first55, t.name());
        } finally {
            Files.delete(file);
        }
    }

    @Test
    public void mt940LeavesTheCamtFieldsEmpty() {
        final StatementTransaction t = new StatementParser(StatementFormat.MT940)
                .read(shared("samples/mt940/cmxl-mt940-iso8859-1.txt")).get(0).transactions().get(0);
        assertEquals(2, t.amount().scale());
        assertNull(t.currency());
        assertNull(t.uetr());
        assertNull(t.partyName());
    }
}
