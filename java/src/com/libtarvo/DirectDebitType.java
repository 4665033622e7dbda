package com.libtarvo;

/** The direct-debit scheme of a {@link MessageType#DIRECT_DEBIT} message. */
public enum DirectDebitType {
    CORE(TARVO.TARVO_DDTYPE_CORE),
    COR1(TARVO.TARVO_DDTYPE_COR1),
    B2B(TARVO.TARVO_DDTYPE_B2B);

    final int code;

    DirectDebitType(int code) {
        this.code = code;
    }
}
