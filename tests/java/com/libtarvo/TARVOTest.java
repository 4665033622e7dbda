package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.List;
import org.junit.Test;

/** The static lookups, init, and the message handle's life and setters, native method by native method. */
public class TARVOTest {
    // ---- init ------------------------------------------------------------------------

    @Test
    public void initSelectsKnownRulebooksOnly() {
        assertEquals(1, TARVO.init(TARVO.TARVO_INIT_RULEBOOK, "DE-3.5"));
        assertEquals(1, TARVO.init(TARVO.TARVO_INIT_RULEBOOK, "AT-6"));
        assertEquals(0, TARVO.init(TARVO.TARVO_INIT_RULEBOOK, "XX"));
        assertEquals(0, TARVO.init(TARVO.TARVO_INIT_RULEBOOK, null));
        assertEquals(0, TARVO.init(4, "DE-3.5"));
    }

    @Test
    public void initChangesTheRulebookForTheWholeProcess() {
        // COR1 may be chosen under the Austrian guideline but not under the German 3.7 one.
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            rulebook("AT-6");
            m.setDDType(TARVO.TARVO_DDTYPE_COR1);
            rulebook("DE-3.7");
            library("COR1 is not allowed with selected SEPA rulebook", () -> m.setDDType(TARVO.TARVO_DDTYPE_COR1));
        }
    }

    // ---- IBAN_check --------------------------------------------------------------------

    @Test
    public void ibanCheck() {
        assertTrue(TARVO.IBAN_check(DEBTOR_IBAN));
        assertTrue(TARVO.IBAN_check(CREDITOR_IBAN));
        assertFalse(TARVO.IBAN_check("DE88370400440532013000"));
        assertFalse(TARVO.IBAN_check(""));
        nullArgument("iban is NULL", () -> TARVO.IBAN_check(null));
    }

    /** Every published example whose verdict does not hang on the directory's edition. */
    @Test
    public void ibanCheckAgreesWithThePublishedExamples() throws IOException {
        final List<String> lines = Files.readAllLines(shared("testdata/ibans.csv"), StandardCharsets.UTF_8);
        final List<String> wrong = new ArrayList<>();
        int checked = 0;
        for (String line : lines.subList(1, lines.size())) {
            final String[] f = line.split(",", 5);
            if (f[3].equals("bank") || f[3].equals("account")) continue;
            final boolean expected = f[2].equals("valid");
            if (TARVO.IBAN_check(f[1]) != expected) wrong.add(f[1] + " expected " + f[2]);
            ++checked;
        }
        assertTrue("rows read: " + checked, checked > 250);
        assertEquals(List.of(), wrong);
    }

    // ---- IBAN_convert ------------------------------------------------------------------

    @Test
    public void ibanConvert() {
        assertEquals(DEBTOR_IBAN, TARVO.IBAN_convert("DE", "0532013000", "37040044"));
        // Unknown bank code and a country without conversion: no IBAN, and no exception.
        assertNull(TARVO.IBAN_convert("DE", "0532013000", "99999999"));
        assertNull(TARVO.IBAN_convert("FR", "0532013000", "37040044"));
    }

    @Test
    public void ibanConvertNamesTheFirstNullArgument() {
        nullArgument("country is NULL", () -> TARVO.IBAN_convert(null, null, null));
        nullArgument("account is NULL", () -> TARVO.IBAN_convert("DE", null, null));
        nullArgument("bankid is NULL", () -> TARVO.IBAN_convert("DE", "0532013000", null));
    }

    // ---- IBAN_getBIC -------------------------------------------------------------------

    @Test
    public void ibanGetBic() {
        assertEquals(DEBTOR_BIC, TARVO.IBAN_getBIC(DEBTOR_IBAN));
        assertNull(TARVO.IBAN_getBIC("DE8937040044053201300")); // one digit short
        assertNull(TARVO.IBAN_getBIC("DE12999999990532013000")); // no such bank
        nullArgument("iban is NULL", () -> TARVO.IBAN_getBIC(null));
    }

    // ---- BIC_getBankName and BIC_getBankFlags -------------------------------------------

    @Test
    public void bicGetBankName() {
        final String name = TARVO.BIC_getBankName(DEBTOR_BIC);
        assertNotNull(name);
        assertTrue(name, name.toLowerCase().contains("commerzbank"));
        assertNull(TARVO.BIC_getBankName("QQQQDEFFXXX"));
        assertNull(TARVO.BIC_getBankName("COBA"));
        nullArgument("bic is NULL", () -> TARVO.BIC_getBankName(null));
    }

    @Test
    public void bicGetBankFlags() {
        final int flags = TARVO.BIC_getBankFlags(DEBTOR_BIC);
        final int all = TARVO.TARVO_SCL_SCT | TARVO.TARVO_SCL_SDD | TARVO.TARVO_SCL_COR1 | TARVO.TARVO_SCL_B2B;
        assertEquals("only reachability bits", 0, flags & ~all);
        assertEquals(TARVO.TARVO_SCL_SCT | TARVO.TARVO_SCL_SDD, flags & (TARVO.TARVO_SCL_SCT | TARVO.TARVO_SCL_SDD));
        assertEquals(0, TARVO.BIC_getBankFlags("QQQQDEFFXXX"));
        nullArgument("bic is NULL", () -> TARVO.BIC_getBankFlags(null));
    }

    // ---- _new and _free ---------------------------------------------------------------

    @Test
    public void newRefusesUnknownMessageTypes() {
        for (int type : new int[] {0, 3, -1}) {
            library("Invalid message type or out of memory", () -> TARVO._new(type));
            library("Invalid message type or out of memory", () -> new TARVO(type));
        }
    }

    @Test
    public void newHandlesAreDistinctAndFreedOnce() {
        final long a = TARVO._new(TARVO.TARVO_MSGTYPE_DDI);
        final long b = TARVO._new(TARVO.TARVO_MSGTYPE_CTI);
        assertNotEquals(0, a);
        assertNotEquals(0, b);
        assertNotEquals(a, b);
        TARVO._setName(a, "A");
        TARVO._free(a);
        TARVO._free(b);
    }

    @Test
    public void closeReleasesTheHandleOnce() {
        final TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI);
        assertFalse(m.isClosed());
        m.close();
        assertTrue(m.isClosed());
        m.close(); // a second close must not free again
        assertThrows(IllegalStateException.class, () -> m.setName("A"));
        assertThrows(IllegalStateException.class, m::toXML);
    }

    // ---- Setters ----------------------------------------------------------------------

    @Test
    public void setIBAN() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            m.setIBAN(DEBTOR_IBAN);
            final TARVOException e = assertThrows(TARVOException.class, () -> m.setIBAN("DE00370400440532013000"));
            assertTrue(e.getMessage(), e.getMessage().endsWith(" (DE00370400440532013000)"));
            nullArgument("iban is NULL", () -> m.setIBAN(null));
        }
    }

    @Test
    public void setBIC() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            m.setBIC(DEBTOR_BIC);
            library("tarvo_setBIC: invalid BIC format", () -> m.setBIC("1OBADEFFXXX"));
            library("tarvo_setBIC: invalid BIC", () -> m.setBIC("COBADEFFXXXX"));
            nullArgument("bic is NULL", () -> m.setBIC(null));
        }
    }

    @Test
    public void setName() {
        rulebook("DE-3.7");
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            m.setName("Müller & Söhne");
            library("tarvo_setAccount: Name too short", () -> m.setName(""));
            library("tarvo_setName: invalid character '#' in name", () -> m.setName("No #1"));
            nullArgument("name is NULL", () -> m.setName(null));
        }
    }

    /** The library quotes the byte it refused, which may start a character of several
     *  bytes; Java gets a well-formed text with a replacement character in its place. */
    @Test
    public void errorTextsQuotingPartOfACharacterStayWellFormed() {
        rulebook("DE-3.7");
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            library("tarvo_setName: invalid character '\uFFFD' in name", () -> m.setName("José"));
            library("tarvo_setName: invalid character '\uFFFD' in name", () -> m.setName("A\uD83D\uDE00"));
        }
    }

    @Test
    public void setCreditorIdentifier() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            m.setCreditorIdentifier(CREDITOR_ID);
            library("Invalid Creditor Identifier checksum", () -> m.setCreditorIdentifier("DE99ZZZ09999999999"));
            library("Creditor Identifier too short", () -> m.setCreditorIdentifier("DE98"));
            nullArgument("creditorIdentifier is NULL", () -> m.setCreditorIdentifier(null));
        }
    }

    @Test
    public void setDate() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            m.setDate("2024-02-29");
            library("Invalid date format", () -> m.setDate("2023-02-29"));
            library("Invalid date", () -> m.setDate("2024-2-1"));
            nullArgument("date is NULL", () -> m.setDate(null));
        }
    }

    @Test
    public void setMessageId() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            m.setMessageId("MSG-0001");
            library("Invalid message id", () -> m.setMessageId(""));
            library("Invalid message id", () -> m.setMessageId("X".repeat(36)));
            nullArgument("msgid is NULL", () -> m.setMessageId(null));
        }
    }

    @Test
    public void setDDType() {
        rulebook("DE-3.7");
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI); TARVO t = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            m.setDDType(TARVO.TARVO_DDTYPE_B2B);
            library("Unknown/unsupported LocalInstrumentCode (setDDType)", () -> m.setDDType(3));
            library("Not a direct debit message", () -> t.setDDType(TARVO.TARVO_DDTYPE_CORE));
        }
    }

    @Test
    public void setBatchBooking() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            m.setBatchBooking(false);
            m.setBatchBooking(true);
        }
        // A boolean is always a valid mode; the library's refusal shows on a handle it rejects.
        library("Invalid tarvo_t handle (NULL)", () -> TARVO._setBatchBooking(0, true));
        library("Invalid tarvo_t handle (NULL)", () -> TARVO._setDDType(0, TARVO.TARVO_DDTYPE_CORE));
    }

    @Test
    public void toXMLFailureCarriesTheLibraryText() {
        rulebook("DE-3.7");
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            library("Missing debtor IBAN", m::toXML);
            m.setIBAN(DEBTOR_IBAN);
            m.setName("Debtor");
            library("No transactions available", m::toXML);
        }
    }

    /** A failed call leaves the message usable, and its error text is the latest failure's. */
    @Test
    public void handleStaysValidAfterAFailure() {
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI)) {
            library("tarvo_setBIC: invalid BIC format", () -> m.setBIC("1OBADEFFXXX"));
            m.setBIC(DEBTOR_BIC);
            library("Invalid date", () -> m.setDate("x"));
            library("Missing creditor IBAN", m::toXML);
        }
    }
}
