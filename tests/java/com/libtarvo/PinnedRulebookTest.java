package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.math.BigDecimal;
import java.time.LocalDate;
import org.junit.Test;

/** Messages pinned to their rulebook, the fields DE-3.9 adds, and the exact amount rule. */
public class PinnedRulebookTest {
    private static final LocalDate DUE = LocalDate.of(2031, 6, 30);

    @Test
    public void aPinnedMessageIgnoresTheProcessRulebook() throws Exception {
        Rulebook.DE_3_9.select();
        try (PaymentMessage m = PaymentMessage.builder(MessageType.CREDIT_TRANSFER).iban(DEBTOR_IBAN)
                .name("Firma GmbH").date(DUE).instant(true).categoryPurpose("SALA").ultimateName("Konzern AG")
                .build()) {
            assertEquals(Rulebook.DE_3_9, m.rulebook());
            Rulebook.DE_2_6.select(); // another thread's choice must not reach the message
            m.add(Transaction.builder().name("Anna Müller").iban("NL91ABNA0417164300")
                    .amount(new BigDecimal("10.00")).creditorReference("rf18 5390 0754 7034")
                    .ultimateName("Endkunde").property("addrLine1", "Hauptstr. 1").property("addrTown", "Berlin")
                    .property("addrCC", "DE").build());
            final String xml = m.toXml();
            TARVODocumentTest.parseAndValidate(xml, "pain.001.001.09");
            assertTrue(xml.contains("<Cd>INST</Cd>"));
            assertTrue(xml.contains("<Ref>RF18539007547034</Ref>"));
        } finally {
            Rulebook.DE_3_9.select();
        }
    }

    @Test
    public void rulebooksByNameAndTheirRefusals() {
        assertEquals(Rulebook.DE_3_9, Rulebook.of("DE-3.9"));
        assertThrows(IllegalArgumentException.class, () -> Rulebook.of("de-3.9"));
        library("Instant credit transfers need DE-3.7 or DE-3.9",
                () -> PaymentMessage.builder(MessageType.CREDIT_TRANSFER).rulebook(Rulebook.DE_3_5).instant(true)
                        .build());
        library("Instant is for credit transfers",
                () -> PaymentMessage.builder(MessageType.DIRECT_DEBIT).instant(true).build());
        assertTrue(TARVO.creditorReferenceCheck("RF18 5390 0754 7034"));
        assertFalse(TARVO.creditorReferenceCheck("RF19 5390 0754 7034"));
        assertEquals("RF18539007547034", TARVO.creditorReferenceMake("539007547034"));
    }

    @Test
    public void amountsWithMoreThanTwoDecimalsAreRefusedNotRounded() {
        final String[][] cases = {{"1.005", null}, {"1.0100", "1.01"}, {"12.5", "12.5"}, {"100", "100"},
                                  {"0.001", null}, {"1E+2", "100"}};
        for (String[] c : cases) {
            final BigDecimal amount = new BigDecimal(c[0]);
            if (c[1] == null) {
                assertThrows(c[0], IllegalArgumentException.class, () -> Transaction.builder().amount(amount));
            } else {
                assertEquals(c[0], c[1], Transaction.builder().amount(amount).build().properties().get("amount"));
            }
        }
    }
}
