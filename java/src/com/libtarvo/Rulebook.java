package com.libtarvo;

/**
 * The rulebook (implementation guideline) payment files are written for. The choice is
 * process-wide: {@link #select()} applies to every message of the virtual machine from
 * then on. Which rulebooks can still write bank-acceptable addresses is in the README's
 * rulebook table.
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

    /** Makes this the rulebook of every message of the process. */
    public void select() {
        if (TARVO.init(TARVO.TARVO_INIT_RULEBOOK, id) != 1) {
            throw new TARVOException("rulebook " + id + " refused by the library");
        }
    }
}
