package com.libtarvo;

/** The outcome of checking a German account number by its bank's check method. */
public enum AccountCheck {
    VALID(1),
    /** Valid in the second reading of method 76. */
    VALID_SECOND_READING(2),
    /** The bank's method cannot check this account. */
    NOT_CHECKABLE(0),
    INVALID(-1),
    /** The bank code is not in the directory in force. */
    UNKNOWN_BANK(-3);

    private final int code;

    AccountCheck(int code) {
        this.code = code;
    }

    /** The library's result code. */
    public int code() {
        return code;
    }

    public boolean isValid() {
        return this == VALID || this == VALID_SECOND_READING;
    }

    /** The account checked by the method the directory names for the bank code. */
    public static AccountCheck of(String account, String bankId) {
        final int result = TARVO.accountCheckBank(account, bankId);
        for (AccountCheck c : values()) {
            if (c.code == result) return c;
        }
        throw new TARVOException("unexpected account check result", result);
    }
}
