package com.libtarvo;

/** A failure reported by the library, carrying its error text and, where there is one, its code. */
public class TARVOException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /** The code of a failure for which the library gives none. */
    public static final int NO_CODE = 0;

    private final int code;

    public TARVOException(String message) {
        this(message, NO_CODE);
    }

    public TARVOException(String message, int code) {
        super(message);
        this.code = code;
    }

    /** The library's result or status code, or {@link #NO_CODE}. */
    public int getCode() {
        return code;
    }
}
