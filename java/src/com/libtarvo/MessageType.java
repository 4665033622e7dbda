package com.libtarvo;

/** The kind of payment file a {@link PaymentMessage} writes. */
public enum MessageType {
    /** pain.008: collecting from debtors. */
    DIRECT_DEBIT(TARVO.TARVO_MSGTYPE_DDI),
    /** pain.001: paying creditors. */
    CREDIT_TRANSFER(TARVO.TARVO_MSGTYPE_CTI);

    final int code;

    MessageType(int code) {
        this.code = code;
    }
}
