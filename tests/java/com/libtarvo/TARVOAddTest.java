package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.util.LinkedHashMap;
import java.util.Map;
import org.junit.Before;
import org.junit.Test;
import org.junit.function.ThrowingRunnable;

/** Turning String[][] rows into the library's key/value list: what is added, what is refused. */
public class TARVOAddTest {
    @Before
    public void germanRulebook() {
        rulebook("DE-3.7");
    }

    /** The number of transactions in m's document: how the tests see what was added. */
    private static int transactions(TARVO m) {
        final String xml = m.toXML();
        final int start = xml.indexOf("<NbOfTxs>") + "<NbOfTxs>".length();
        return Integer.parseInt(xml.substring(start, xml.indexOf("</NbOfTxs>", start)));
    }

    private static void assertNothingAdded(TARVO m) {
        library("No transactions available", m::toXML);
    }

    @Test
    public void rowsBecomeOneTransaction() {
        try (TARVO m = creditor()) {
            m.add(debit("10.50", "M-1"));
            m.add(debit("2.25", "M-2"));
            assertEquals(2, transactions(m));
        }
    }

    @Test
    public void mapEntriesBecomeOneTransaction() {
        try (TARVO m = creditor()) {
            final Map<String, String> tx = new LinkedHashMap<>();
            for (String[] row : debit("3.00", "M-MAP")) tx.put(row[0], row[1]);
            m.add(tx);
            final String xml = m.toXML();
            assertTrue(xml, xml.contains("<MndtId>M-MAP</MndtId>"));
            assertTrue(xml, xml.contains("<CtrlSum>3.00</CtrlSum>"));
        }
    }

    @Test
    public void nullArrayAddsNothingAndThrowsNothing() {
        try (TARVO m = creditor()) {
            m.add((String[][]) null);
            TARVO._add(m.handle(), null);
            assertNothingAdded(m);
        }
    }

    /** An empty array reaches the library as an empty list, which lacks the account. */
    @Test
    public void emptyArrayReachesTheLibrary() {
        try (TARVO m = creditor(); TARVO t = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            library("IBAN missing", () -> m.add(new String[0][]));
            assertNothingAdded(m);
            final TARVOException e = assertThrows(TARVOException.class, () -> t.add(new String[0][]));
            assertFalse(e.getMessage().isEmpty());
        }
    }

    @Test
    public void libraryRefusalCarriesItsText() {
        try (TARVO m = creditor()) {
            final String[][] rows = debit("1.00", "M-1");
            rows[0] = new String[] {"colour", "red"};
            library("Invalid transaction property 'colour'", () -> m.add(rows));
            rows[0] = new String[] {"seq", "NEXT"};
            library("Invalid/unknown sequence type", () -> m.add(rows));
            assertNothingAdded(m);
            m.add(debit("1.00", "M-1")); // the message is still usable
            assertEquals(1, transactions(m));
        }
    }

    /** A row that is not a {key, value} pair stops the conversion before the library is
     *  called: a valid transaction with one bad row adds nothing. */
    @Test
    public void rowsThatAreNotPairsAreRefused() {
        final String[][][] bad = {
            {{"a", "b", "c"}},
            {{"name"}},
            {{}},
            withLast(new String[] {"ref", "x", "y"}),
            withLast(new String[] {"ref"}),
            withLast(null),
            withLast(new String[] {null, "x"}),
            withLast(new String[] {"ref", null}),
        };
        try (TARVO m = creditor()) {
            for (String[][] rows : bad) {
                library("Invalid array dimensions", () -> m.add(rows));
                library("Invalid array dimensions", () -> TARVO._add(m.handle(), rows));
            }
            assertNothingAdded(m);
        }
    }

    private static String[][] withLast(String[] row) {
        final String[][] valid = debit("4.00", "M-4");
        final String[][] rows = java.util.Arrays.copyOf(valid, valid.length + 1);
        rows[valid.length] = row;
        return rows;
    }

    /** Many rows, more than the virtual machine grants local references at once: every
     *  one is converted and released (the VM's JNI checks watch the releases), and later
     *  keys override earlier ones as the library defines. */
    @Test
    public void manyRowsAreAllPassed() {
        try (TARVO m = creditor()) {
            final String[][] base = debit("5.00", "M-5");
            final int extra = 70_000;
            final String[][] rows = java.util.Arrays.copyOf(base, base.length + extra);
            for (int i = 0; i < extra; ++i) rows[base.length + i] = new String[] {"ref", "Invoice " + i};
            m.add(rows);
            final String xml = m.toXML();
            assertTrue(xml.contains("<Ustrd>Invoice " + (extra - 1) + "</Ustrd>"));
        }
    }

    @Test
    public void addOnAClosedMessageIsRefusedInJava() {
        final TARVO m = creditor();
        m.close();
        final ThrowingRunnable add = () -> m.add(debit("1.00", "M-1"));
        assertThrows(IllegalStateException.class, add);
    }
}
