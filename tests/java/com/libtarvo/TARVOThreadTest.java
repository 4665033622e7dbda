package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.Callable;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.Test;

/** Messages of their own and lookups on several threads at once: each thread sees what one thread alone sees. */
public class TARVOThreadTest {
    private static String document(int thread) {
        try (TARVO m = creditor()) {
            m.setMessageId("THREAD-" + thread);
            for (int i = 1; i <= 20; ++i) m.add(debit(i + ".00", "M-" + thread + "-" + i));
            return m.toXML().replaceAll("<CreDtTm>[^<]*", "");
        }
    }

    @Test
    public void separateMessagesAndLookupsRunInParallel() throws Exception {
        rulebook("DE-3.7");
        final int threads = 4;
        // The first use compiles the library's patterns, which must not race.
        final String bic = TARVO.IBAN_getBIC(DEBTOR_IBAN);
        final List<String> alone = new ArrayList<>();
        for (int t = 0; t < threads; ++t) alone.add(document(t));

        final ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            final List<Future<String>> results = new ArrayList<>();
            for (int t = 0; t < threads; ++t) {
                final int thread = t;
                results.add(pool.submit((Callable<String>) () -> {
                    for (int i = 0; i < 200; ++i) {
                        assertEquals(bic, TARVO.IBAN_getBIC(DEBTOR_IBAN));
                        assertTrue(TARVO.IBAN_check(CREDITOR_IBAN));
                        assertFalse(TARVO.IBAN_check("DE00370400440532013000"));
                    }
                    return document(thread);
                }));
            }
            for (int t = 0; t < threads; ++t) assertEquals(alone.get(t), results.get(t).get());
        } finally {
            pool.shutdown();
        }
        assertTrue(alone.get(0).contains("<CtrlSum>210.00</CtrlSum>"));
    }
}
