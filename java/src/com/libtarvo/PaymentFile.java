package com.libtarvo;

import java.math.BigDecimal;
import java.util.List;

/**
 * A payment file (pain.001 or pain.008) read whole: its version ({@code "pain.001.001.09"},
 * {@code "pain.008.003.02"}, ...), its group header and its payment-information blocks.
 */
public record PaymentFile(
        String version,
        String messageId,
        String creationTime,
        Long numberOfTransactions,
        BigDecimal controlSum,
        String initiatingParty,
        List<PaymentBlock> blocks) {
    public PaymentFile {
        blocks = List.copyOf(blocks);
    }
}
