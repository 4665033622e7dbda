package com.libtarvo;

/**
 * The rulebook (implementation guideline) payment files are written for. A {@link
 * PaymentMessage} is pinned to one ({@link PaymentMessage.Builder#rulebook}); {@link
 * #select()} sets the process-wide default that unpinned builders take. German banks accept
 * DE-3.7 and DE-3.9 only; see the README's rulebook table.
 */
public enum Rulebook {
    DE_2_6("DE-2.6"),
    DE_2_7("DE-2.7"),
    DE_2_8("DE-2.8"),
    DE_2_9("DE-2.9"),
    DE_3_0("DE-3.0"),
    DE_3_1("DE-3.1"),
    DE_3_5("DE-3.5"),
    DE_3_7("DE-3.7"),
    DE_3_9("DE-3.9"),
    AT_6("AT-6"),
    NL_6("NL-6"),
    /** Swiss Payment Standards: credit transfers in CHF and EUR, SIX's pain.001.001.09.ch.03. */
    CH_SPS("CH-SPS");

    private final String id;

    Rulebook(String id) {
        this.id = id;
    }

    /** The library's name of the rulebook, for example "DE-3.7". */
    public String id() {
        return id;
    }

    /** The rulebook of a configuration string such as "DE-3.9". */
    public static Rulebook of(String id) {
        for (Rulebook r : values()) {
            if (r.id.equals(id)) return r;
        }
        throw new IllegalArgumentException("unknown rulebook: " + id);
    }

    /** Makes this the rulebook of every message of the process that is not pinned. */
    public void select() {
        if (TARVO.init(TARVO.TARVO_INIT_RULEBOOK, id) != 1) {
            throw new TARVOException("rulebook " + id + " refused by the library");
        }
    }
}
