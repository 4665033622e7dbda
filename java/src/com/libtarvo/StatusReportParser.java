package com.libtarvo;

import java.math.BigDecimal;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Objects;

/**
 * Reads payment status reports (pain.002) into immutable records. A parser keeps no state
 * and may be used from any number of threads. A report that cannot be read throws
 * {@link TARVOException} with the library's text, naming the element and line.
 */
public final class StatusReportParser {
    static {
        NativeLibrary.load();
    }

    /** {String version, Object[] records}; per record {String[] fields, String[] reasons,
     * String[] count statuses, String[] counts}. */
    private static native Object[] _read(String path, byte[] document);

    public StatusReport read(Path file) {
        return make(_read(Objects.requireNonNull(file, "file").toString(), null));
    }

    public StatusReport read(byte[] document) {
        return make(_read(null, Objects.requireNonNull(document, "document")));
    }

    private static BigDecimal decimal(String text) {
        return text == null ? null : new BigDecimal(text);
    }

    private static StatusReport make(Object[] read) {
        final Object[] rows = (Object[]) read[1];
        final List<StatusRecord> records = new ArrayList<>(rows.length);
        for (Object row : rows) {
            final Object[] entry = (Object[]) row;
            final String[] f = (String[]) entry[0];
            final String[] statuses = (String[]) entry[2];
            final String[] numbers = (String[]) entry[3];
            final Map<String, Long> counts = new LinkedHashMap<>();
            for (int i = 0; i < statuses.length; ++i) counts.put(statuses[i], Long.parseLong(numbers[i]));
            records.add(new StatusRecord(
                    StatusRecord.Level.valueOf(f[14].toUpperCase(Locale.ROOT)),
                    f[0], f[1], f[2], f[3], f[4], f[5],
                    f[6] == null ? null : Long.parseLong(f[6]), decimal(f[7]),
                    f[8], List.of((String[]) entry[1]), f[9], counts,
                    decimal(f[10]), f[15], f[11], f[12], f[13]));
        }
        return new StatusReport((String) read[0], records);
    }
}
