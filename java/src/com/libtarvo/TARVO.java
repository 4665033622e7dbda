package com.libtarvo;

import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.util.Map;
import java.util.Objects;
import java.util.function.LongConsumer;
import java.util.function.LongFunction;

/**
 * A SEPA payment message (direct debit or credit transfer) and the library's IBAN and BIC
 * utilities.
 *
 * <p>An instance owns one native message object. Release it with {@link #close()} (or a
 * try-with-resources block); an instance that is dropped without closing is released when
 * it becomes unreachable. Each instance is for one thread at a time.
 *
 * <p>The static native methods are the binding itself; the underscore methods take the
 * native handle and are what the instance methods call.
 */
public final class TARVO implements AutoCloseable {
    static {
        NativeLibrary.load();
        loadConfiguredData();
    }

    /**
     * Loads the bank data file named by the system property {@code tarvo.data}, else by the
     * environment variable {@code TARVO_DATA}. A file that fails a check is reported on
     * standard error and the compiled-in data stays in use.
     */
    private static void loadConfiguredData() {
        String path = System.getProperty("tarvo.data");
        if (path == null || path.isEmpty()) path = System.getenv("TARVO_DATA");
        if (path == null || path.isEmpty()) return;
        String refused = dataLoadOrMessage(path);
        if (refused != null)
            System.err.println("tarvo: tarvo.data: " + refused + "; using the compiled-in bank data");
    }

    public static final int TARVO_DDTYPE_CORE = 0;
    public static final int TARVO_DDTYPE_COR1 = 1;
    public static final int TARVO_DDTYPE_B2B = 2;
    public static final int TARVO_MSGTYPE_DDI = 1;
    public static final int TARVO_MSGTYPE_CTI = 2;
    public static final int TARVO_INIT_RULEBOOK = 3;
    public static final int TARVO_SCL_SCT = 1;
    public static final int TARVO_SCL_SDD = 2;
    public static final int TARVO_SCL_COR1 = 4;
    public static final int TARVO_SCL_B2B = 8;

    // Library options and lookups.
    public static native int init(int option, String value);
    public static native String IBAN_convert(String country, String account, String bankid);
    public static native String IBAN_getBIC(String iban);
    public static native boolean IBAN_check(String iban);
    public static native String BIC_getBankName(String bic);
    public static native int BIC_getBankFlags(String bic);

    /**
     * An IBAN as typed ("iban: de89 3704 0044 0532 0130 00") in electronic form, or null
     * when it cannot be one; the check digits are not checked (see {@link #IBAN_check}).
     */
    public static native String ibanNormalize(String input);

    /** The IBAN in groups of four for print ("DE89 3704 0044 0532 0130 00"), or null. */
    public static native String ibanFormat(String iban);

    /**
     * The German IBAN conversion with its outcome: the IBAN or null, and in outcome[0] the
     * library's result, in outcome[1] the status (see {@link Conversion}).
     */
    static native String ibanConvert(String country, String account, String bankid, int[] outcome);

    /** The German text of a conversion status, "(unbekannter Status" for an unknown one. */
    static native String ibanStatusText(int status);

    /**
     * The account checked by the method the directory names for a German bank code:
     * 1 valid, 2 valid in the second reading of method 76, 0 not checkable, -1 invalid,
     * -3 bank code not in the directory.
     */
    public static native int accountCheckBank(String account, String bankid);

    /** True for an ISO 11649 creditor reference with right check digits, as typed. */
    public static native boolean creditorReferenceCheck(String reference);

    /** The creditor reference of a base (1 to 21 letters or digits) with its check digits, or null. */
    public static native String creditorReferenceMake(String base);

    /**
     * Switches every lookup to the bank data file at path once it has passed every check;
     * safe while other threads look up.
     *
     * @throws TARVOException naming the failed check; the data in use stays as it was
     */
    public static void dataLoad(String path) {
        String refused = dataLoadOrMessage(path);
        if (refused != null) throw new TARVOException(refused);
    }

    /** Returns to the compiled-in bank data. */
    public static native void dataUnload();

    /**
     * The editions of the bank data in use: one JSON object per line and source, with the
     * keys source, edition, validUntil (where stated), origin ("compiled-in" or "file")
     * and path (for a file).
     */
    public static native String dataInfo();

    /** "bank codes valid until ...: N days out of date" when they are, else null. */
    public static native String dataWarning();

    private static native String dataLoadOrMessage(String path);

    /** A Swiss QR reference (27 digits, blanks ignored) with a right check digit. */
    public static native boolean qrrCheck(String reference);

    /** The QR reference for a base of 1 to 26 digits, or null for another base. */
    public static native String qrrMake(String base);

    // Payment QR codes: payloads as UTF-8 bytes, records as field arrays (see QrBill, EpcQr).
    static native String[] qrbillParse(byte[] payload);
    static native String qrbillMake(String[] fields);
    static native String[] epcqrParse(byte[] payload);
    static native String epcqrMake(String[] fields);
    static native String qrSvg(int kind, byte[] payload);
    static native byte[] qrPng(int kind, byte[] payload);

    // Message objects by handle: the caller passes only live handles and frees each once.
    static native long _new(int type);
    static native void _free(long handle);
    static native void _setIBAN(long handle, String iban);
    static native void _setBIC(long handle, String bic);
    static native void _setName(long handle, String name);
    static native void _setCreditorIdentifier(long handle, String creditorIdentifier);
    static native void _setDate(long handle, String date);
    static native void _setMessageId(long handle, String msgid);
    static native void _setDDType(long handle, int type);
    static native void _setBatchBooking(long handle, boolean flag);
    static native void _setRulebook(long handle, String rulebook);
    static native String _getRulebook(long handle);
    static native void _setInstant(long handle, boolean flag);
    static native void _setCategoryPurpose(long handle, String code);
    static native void _setUltimateName(long handle, String name);
    static native void _add(long handle, String[][] properties);
    static native void _addQrBill(long handle, String payload, String[][] properties);
    static native String _toXML(long handle);

    private static final Cleaner CLEANER = Cleaner.create();

    /** The native object, kept apart from the TARVO so that the cleaner does not hold it alive. */
    private static final class Owner implements Runnable {
        long handle;

        Owner(long handle) {
            this.handle = handle;
        }

        @Override
        public void run() {
            if (handle != 0) {
                final long h = handle;
                handle = 0;
                _free(h);
            }
        }
    }

    private final Owner owner;
    private final Cleaner.Cleanable cleanable;

    /** A new message of type TARVO_MSGTYPE_DDI or TARVO_MSGTYPE_CTI. */
    public TARVO(int type) {
        owner = new Owner(_new(type));
        cleanable = CLEANER.register(this, owner);
    }

    /** The live native handle; a closed message has none. */
    long handle() {
        if (owner.handle == 0) throw new IllegalStateException("TARVO message is closed");
        return owner.handle;
    }

    // The fence keeps this object reachable until the native call has returned; without it
    // the cleaner could free the handle while the library still works on it.
    private <T> T call(LongFunction<T> op) {
        try {
            return op.apply(handle());
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    private void run(LongConsumer op) {
        try {
            op.accept(handle());
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** True once {@link #close()} has released the native object. */
    public boolean isClosed() {
        return owner.handle == 0;
    }

    /** Releases the native object; later calls do nothing. */
    @Override
    public void close() {
        cleanable.clean();
    }

    public void setIBAN(String iban) {
        run(h -> _setIBAN(h, iban));
    }

    public void setBIC(String bic) {
        run(h -> _setBIC(h, bic));
    }

    public void setName(String name) {
        run(h -> _setName(h, name));
    }

    public void setCreditorIdentifier(String creditorIdentifier) {
        run(h -> _setCreditorIdentifier(h, creditorIdentifier));
    }

    public void setDate(String date) {
        run(h -> _setDate(h, date));
    }

    public void setMessageId(String msgid) {
        run(h -> _setMessageId(h, msgid));
    }

    public void setDDType(int type) {
        run(h -> _setDDType(h, type));
    }

    public void setBatchBooking(boolean flag) {
        run(h -> _setBatchBooking(h, flag));
    }

    /** Pins the message to a rulebook ("DE-3.9"), whatever is selected process-wide. */
    public void setRulebook(String rulebook) {
        run(h -> _setRulebook(h, rulebook));
    }

    /** The rulebook the message is checked and written under. */
    public String getRulebook() {
        return call(TARVO::_getRulebook);
    }

    /** Credit transfers as instant payments (INST), under DE-3.7 and DE-3.9. */
    public void setInstant(boolean flag) {
        run(h -> _setInstant(h, flag));
    }

    /** The category purpose of every block, four capital letters ("SALA"). */
    public void setCategoryPurpose(String code) {
        run(h -> _setCategoryPurpose(h, code));
    }

    /** The ultimate debtor (credit transfers) or ultimate creditor (direct debits). */
    public void setUltimateName(String name) {
        run(h -> _setUltimateName(h, name));
    }

    /** Adds one transaction given as {key, value} rows, in their order. */
    public void add(String[][] properties) {
        run(h -> _add(h, properties));
    }

    /** Adds one transaction given as a map, in the map's iteration order. */
    public void add(Map<String, String> properties) {
        add(rows(properties));
    }

    /**
     * Adds one credit transfer under CH-SPS from a scanned QR-bill payload; properties may
     * add "amount" (for a bill without one), "id" and "date".
     */
    public void addQrBill(String payload, Map<String, String> properties) {
        Objects.requireNonNull(payload, "payload");
        final String[][] rows = rows(properties);
        run(h -> _addQrBill(h, payload, rows));
    }

    private static String[][] rows(Map<String, String> properties) {
        final String[][] rows = new String[properties.size()][];
        int i = 0;
        for (Map.Entry<String, String> e : properties.entrySet()) {
            rows[i++] = new String[] {e.getKey(), e.getValue()};
        }
        return rows;
    }

    /** The payment document in UTF-8 XML. */
    public String toXML() {
        return call(TARVO::_toXML);
    }
}
