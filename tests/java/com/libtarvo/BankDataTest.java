package com.libtarvo;

import static org.junit.Assert.*;

import org.junit.After;
import org.junit.Test;

/**
 * Bank data files through the binding. Run with -Dtarvo.data naming no data file (the
 * start-up refusal is checked on the output) and -Dtarvo.test.data naming a file of the
 * older shared Bundesbank edition.
 */
public class BankDataTest {
    private static final String FILE = System.getProperty("tarvo.test.data");

    @After
    public void backToCompiledIn() {
        TARVO.dataUnload();
    }

    @Test
    public void aRefusedStartUpFileLeavesTheCompiledInData() {
        for (String line : TARVO.dataInfo().split("\n"))
            assertTrue(line, line.contains("\"origin\":\"compiled-in\"") && !line.contains("\"path\""));
    }

    @Test
    public void aLoadedFileAnswersByItsEditionUntilUnloaded() {
        // The newer edition withdrew this bank's BIC.
        assertEquals("", TARVO.IBAN_getBIC("DE02700105880000000000").trim());
        TARVO.dataLoad(FILE);
        assertEquals("SCABDEMMXXX", TARVO.IBAN_getBIC("DE02700105880000000000"));
        String info = TARVO.dataInfo();
        assertTrue(info, info.startsWith("{\"source\":\"bundesbank\",\"edition\":\"2025-06-09\",\"validUntil\":"
                + "\"2025-09-07\",\"origin\":\"file\",\"path\":\"" + FILE + "\"}\n"));
        TARVO.dataUnload();
        assertEquals("", TARVO.IBAN_getBIC("DE02700105880000000000").trim());
    }

    @Test
    public void aRefusedLoadNamesItsCheckAndKeepsTheDataInUse() {
        TARVO.dataLoad(FILE);
        try {
            TARVO.dataLoad("/");
            fail("a directory was loaded");
        } catch (TARVOException e) {
            assertEquals("/: not a file: a directory", e.getMessage());
        }
        assertTrue(TARVO.dataInfo().contains("\"origin\":\"file\""));
    }
}
