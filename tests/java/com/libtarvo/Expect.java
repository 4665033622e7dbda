package com.libtarvo;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertThrows;

import java.nio.file.Path;
import java.nio.file.Paths;
import org.junit.function.ThrowingRunnable;

/** Assertions and fixtures the binding's test classes share. */
final class Expect {
    private Expect() {}

    // An Austrian creditor whose bank is in the directory, and a German creditor identifier.
    static final String CREDITOR_IBAN = "AT611904300234573201";
    static final String CREDITOR_BIC = "BKAUATWWXXX";
    static final String CREDITOR_ID = "DE98ZZZ09999999999";
    static final String DEBTOR_IBAN = "DE89370400440532013000";
    static final String DEBTOR_BIC = "COBADEFFXXX";

    /** The exception thrown by call, of exactly this class and with exactly this message. */
    static <T extends Throwable> T thrown(Class<T> cls, String message, ThrowingRunnable call) {
        final T e = assertThrows(cls, call);
        assertEquals(cls, e.getClass());
        assertEquals(message, e.getMessage());
        return e;
    }

    static TARVOException library(String message, ThrowingRunnable call) {
        return thrown(TARVOException.class, message, call);
    }

    static NullPointerException nullArgument(String message, ThrowingRunnable call) {
        return thrown(NullPointerException.class, message, call);
    }

    /** Selects a rulebook for the whole process; every test that writes a document picks its own. */
    static void rulebook(String id) {
        assertEquals("rulebook " + id, 1, TARVO.init(TARVO.TARVO_INIT_RULEBOOK, id));
    }

    /** A file below the shared test folder handed to the virtual machine as tarvo.shared.dir. */
    static Path shared(String relative) {
        final String dir = System.getProperty("tarvo.shared.dir");
        if (dir == null) throw new IllegalStateException("tarvo.shared.dir is not set");
        return Paths.get(dir, relative);
    }

    /** A direct debit of a German debtor: {key, value} rows as the binding takes them. */
    static String[][] debit(String amount, String mref) {
        return new String[][] {
            {"name", "Erika Mustermann"}, {"iban", DEBTOR_IBAN}, {"bic", DEBTOR_BIC}, {"seq", "FRST"},
            {"amount", amount}, {"mref", mref}, {"mdate", "2023-05-01"},
        };
    }

    /** A creditor of a credit transfer. */
    static String[][] transfer(String amount, String ref) {
        return new String[][] {
            {"name", "Anna Berg"}, {"iban", "NL91ABNA0417164300"}, {"bic", "ABNANL2A"}, {"amount", amount},
            {"ref", ref},
        };
    }

    /** A direct-debit message with its creditor set and nothing added. */
    static TARVO creditor() {
        final TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_DDI);
        m.setIBAN(CREDITOR_IBAN);
        m.setBIC(CREDITOR_BIC);
        m.setName("Verein Beispiel");
        m.setCreditorIdentifier(CREDITOR_ID);
        return m;
    }
}
