package com.libtarvo;

import java.math.BigDecimal;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * Reads payment files (pain.001 credit transfers, pain.008 direct debits) into immutable
 * records: those the library writes and those of other software. A parser keeps no state
 * and may be used from any number of threads. A file that cannot be read throws
 * {@link TARVOException} with the library's text, naming the element and line.
 */
public final class PaymentFileParser {
    static {
        NativeLibrary.load();
    }

    /** {String[] header, Object[] blocks}; per block {String[] fields, Object[] transactions' String[]}. */
    private static native Object[] _read(String path, byte[] document);

    public PaymentFile read(Path file) {
        return make(_read(Objects.requireNonNull(file, "file").toString(), null));
    }

    public PaymentFile read(byte[] document) {
        return make(_read(null, Objects.requireNonNull(document, "document")));
    }

    private static BigDecimal decimal(String text) {
        return text == null ? null : new BigDecimal(text);
    }

    private static Long number(String text) {
        return text == null ? null : Long.valueOf(text);
    }

    private static PaymentFile make(Object[] read) {
        final String[] h = (String[]) read[0];
        final Object[] rows = (Object[]) read[1];
        final List<PaymentBlock> blocks = new ArrayList<>(rows.length);
        for (Object row : rows) {
            final Object[] entry = (Object[]) row;
            final String[] b = (String[]) entry[0];
            final Object[] txRows = (Object[]) entry[1];
            final List<PaymentTransaction> transactions = new ArrayList<>(txRows.length);
            for (Object txRow : txRows) {
                final String[] t = (String[]) txRow;
                transactions.add(new PaymentTransaction(t[0], t[1], t[2], decimal(t[3]), t[16], t[4], t[5], t[6],
                        t[7], t[8], t[9], t[10], t[11], t[12], t[13], t[14], t[15]));
            }
            blocks.add(new PaymentBlock(b[0], b[1], b[2], number(b[3]), decimal(b[4]), b[5], b[6], b[7], b[8],
                    b[9], b[10], b[11], b[12], transactions));
        }
        return new PaymentFile(h[0], h[1], h[2], number(h[3]), decimal(h[4]), h[5], blocks);
    }
}
