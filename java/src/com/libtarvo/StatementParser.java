package com.libtarvo;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * Reads statement files into immutable {@link Statement} records. A parser keeps no
 * state between files and may be used from any number of threads.
 *
 * <p>Texts are decoded as UTF-8 where the file's bytes are UTF-8 and as ISO-8859-1
 * otherwise (as most German banks write MT940).
 */
public final class StatementParser {
    static {
        NativeLibrary.load();
    }

    private static native String[] _fields(boolean transaction);

    /** Per statement: {String[] fields, String[][] transactions' fields}. */
    private static native Object[] _read(int format, String path);

    private static native Object[] _readBytes(int format, byte[] data);

    /** Made on first use, after the native library is there. */
    private static final class Mappers {
        static final RecordMapper<Statement> STATEMENT = new RecordMapper<>(Statement.class, _fields(false));
        static final RecordMapper<StatementTransaction> TRANSACTION =
                new RecordMapper<>(StatementTransaction.class, _fields(true));
    }

    private final StatementFormat format;

    public StatementParser(StatementFormat format) {
        this.format = Objects.requireNonNull(format, "format");
    }

    /**
     * The statements of the file in file order. A file that cannot be read, or holds no
     * statement, throws {@link TARVOException} with the library's text.
     */
    public List<Statement> read(Path file) {
        return records(_read(format.code, file.toString()));
    }

    /** The same for a statement in memory (from an EBICS client or a ZIP archive). */
    public List<Statement> read(byte[] data) {
        return records(_readBytes(format.code, Objects.requireNonNull(data, "data")));
    }

    /** The same for a stream, read to its end (not closed). */
    public List<Statement> read(InputStream in) throws IOException {
        return read(in.readAllBytes());
    }

    private static List<Statement> records(Object[] statements) {
        final List<Statement> result = new ArrayList<>(statements.length);
        for (Object s : statements) {
            final Object[] entry = (Object[]) s;
            final String[][] rows = (String[][]) entry[1];
            final List<StatementTransaction> transactions = new ArrayList<>(rows.length);
            for (String[] row : rows) transactions.add(Mappers.TRANSACTION.make(row, null));
            result.add(Mappers.STATEMENT.make((String[]) entry[0], transactions));
        }
        return List.copyOf(result);
    }
}
