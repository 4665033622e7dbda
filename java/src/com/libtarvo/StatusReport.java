package com.libtarvo;

import java.util.List;

/**
 * A payment status report read whole: its version ({@code "pain.002.001.10"},
 * {@code "pain.002.001.03.ch.02"}, {@code "unversioned"}) and its records in report order.
 */
public record StatusReport(String version, List<StatusRecord> records) {
    public StatusReport {
        records = List.copyOf(records);
    }
}
