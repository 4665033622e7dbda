package com.libtarvo;

/** A failure reported by the library, carrying its error text. */
public class TARVOException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public TARVOException(String message) {
        super(message);
    }
}
