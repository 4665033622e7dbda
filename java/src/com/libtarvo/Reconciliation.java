package com.libtarvo;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * Which transactions of payment files the bank rejected, accepted, booked or returned,
 * from its status reports (pain.002) and statements (camt or MT940). Collect the inputs,
 * then {@link #run()}; the same inputs may be run again. Not for use from several threads
 * at once; separate instances are independent.
 */
public final class Reconciliation {
    static {
        NativeLibrary.load();
    }

    private static final int PAYMENTS = 0;
    private static final int STATUS = 1;
    private static final int STATEMENTS = 2;

    /** {String[][] rows, String[] warnings}. */
    private static native Object[] _run(int[] kinds, Object[] sources, String[] names);

    /** The rows (transactions in the order added, then the unmatched) and the warnings. */
    public record Result(List<ReconciliationRow> rows, List<String> warnings) {
        public Result {
            rows = List.copyOf(rows);
            warnings = List.copyOf(warnings);
        }
    }

    private final List<Integer> kinds = new ArrayList<>();
    private final List<Object> sources = new ArrayList<>();
    private final List<String> names = new ArrayList<>();

    private Reconciliation add(int kind, Object source, String name) {
        kinds.add(kind);
        sources.add(Objects.requireNonNull(source, "source"));
        names.add(name);
        return this;
    }

    /** A pain.001 or pain.008 file. */
    public Reconciliation addPayments(Path file) {
        return add(PAYMENTS, file.toString(), null);
    }

    /** A pain.001 or pain.008 document, named by name in evidence and messages. */
    public Reconciliation addPayments(byte[] document, String name) {
        return add(PAYMENTS, document.clone(), name);
    }

    /** A pain.002 status report. */
    public Reconciliation addStatus(Path file) {
        return add(STATUS, file.toString(), null);
    }

    public Reconciliation addStatus(byte[] document, String name) {
        return add(STATUS, document.clone(), name);
    }

    /** A camt or MT940 statement file. */
    public Reconciliation addStatements(Path file) {
        return add(STATEMENTS, file.toString(), null);
    }

    public Reconciliation addStatements(byte[] document, String name) {
        return add(STATEMENTS, document.clone(), name);
    }

    /**
     * Reads every input and matches. Throws {@link TARVOException} with the library's text
     * when an input cannot be read or the payment files contradict each other (an
     * end-to-end id in two of them).
     */
    public Result run() {
        final int[] k = kinds.stream().mapToInt(Integer::intValue).toArray();
        final Object[] result = _run(k, sources.toArray(), names.toArray(new String[0]));
        final String[][] rows = (String[][]) result[0];
        final List<ReconciliationRow> list = new ArrayList<>(rows.length);
        for (String[] row : rows) list.add(ReconciliationRow.of(row));
        return new Result(list, List.of((String[]) result[1]));
    }
}
