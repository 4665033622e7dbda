/*
 * Native methods of com.libtarvo.StatusReportParser and com.libtarvo.PaymentFileParser:
 * one call reads a whole document and hands every record to Java as the texts of its
 * fields, in the order of the tables below, which the Java records follow.
 */
#include <jni.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"
#include "tarvojni.h"

typedef struct {
    const char *name;
    size_t offset;
} text_field;

#define TEXT(record, name) {#name, offsetof(record, name)}
#define COUNT(table) (jsize)(sizeof(table) / sizeof((table)[0]))

/* The order of StatusRecord's components after level, reasons and counts. */
static const text_field status_fields[] = {
    TEXT(tarvo_status_t, originalMessageId),   TEXT(tarvo_status_t, originalMessageName),
    TEXT(tarvo_status_t, originalPaymentInformationId), TEXT(tarvo_status_t, originalInstructionId),
    TEXT(tarvo_status_t, originalEndToEndId),  TEXT(tarvo_status_t, originalUETR),
    TEXT(tarvo_status_t, originalNumberOfTransactions), TEXT(tarvo_status_t, originalControlSum),
    TEXT(tarvo_status_t, status),              TEXT(tarvo_status_t, additionalInfo),
    TEXT(tarvo_status_t, amount),              TEXT(tarvo_status_t, name),
    TEXT(tarvo_status_t, iban),                TEXT(tarvo_status_t, payeeBankName),
};

static const text_field block_fields[] = {
    TEXT(tarvo_pain_block_t, paymentInformationId), TEXT(tarvo_pain_block_t, method),
    TEXT(tarvo_pain_block_t, batchBooking),         TEXT(tarvo_pain_block_t, numberOfTransactions),
    TEXT(tarvo_pain_block_t, controlSum),           TEXT(tarvo_pain_block_t, serviceLevel),
    TEXT(tarvo_pain_block_t, localInstrument),      TEXT(tarvo_pain_block_t, sequenceType),
    TEXT(tarvo_pain_block_t, date),                 TEXT(tarvo_pain_block_t, name),
    TEXT(tarvo_pain_block_t, iban),                 TEXT(tarvo_pain_block_t, bic),
    TEXT(tarvo_pain_block_t, creditorId),
};

static const text_field tx_fields[] = {
    TEXT(tarvo_pain_tx_t, instructionId),     TEXT(tarvo_pain_tx_t, endToEndId),
    TEXT(tarvo_pain_tx_t, uetr),              TEXT(tarvo_pain_tx_t, amount),
    TEXT(tarvo_pain_tx_t, name),              TEXT(tarvo_pain_tx_t, iban),
    TEXT(tarvo_pain_tx_t, bic),               TEXT(tarvo_pain_tx_t, ultimateName),
    TEXT(tarvo_pain_tx_t, mandateId),         TEXT(tarvo_pain_tx_t, mandateDate),
    TEXT(tarvo_pain_tx_t, originalMandateId), TEXT(tarvo_pain_tx_t, originalIban),
    TEXT(tarvo_pain_tx_t, creditorId),        TEXT(tarvo_pain_tx_t, purpose),
    TEXT(tarvo_pain_tx_t, remittance),        TEXT(tarvo_pain_tx_t, creditorRef),
};

/* The record's table fields with extra texts after them. */
static jobjectArray record_array(JNIEnv *env, const void *record, const text_field *fields, jsize count,
                                 const char *const *extra, jsize extra_count) {
    const char *texts[32];
    for (jsize i = 0; i < count; ++i) texts[i] = *(const char *const *)((const char *)record + fields[i].offset);
    for (jsize i = 0; i < extra_count; ++i) texts[count + i] = extra[i];
    return string_array(env, texts, count + extra_count);
}

static jobjectArray object_array(JNIEnv *env, jsize count) {
    jclass object_class = (*env)->FindClass(env, "java/lang/Object");
    return object_class != NULL ? (*env)->NewObjectArray(env, count, object_class, NULL) : NULL;
}

/* Sets out[i] to value and drops the local reference; false when value is NULL. */
static int put(JNIEnv *env, jobjectArray out, jsize i, jobject value) {
    if (value == NULL) return 0;
    (*env)->SetObjectArrayElement(env, out, i, value);
    (*env)->DeleteLocalRef(env, value);
    return 1;
}

/* {String[] fields (with level and currency last), String[] reasons, String[] count
 * statuses, String[] counts}. */
static jobjectArray status_entry(JNIEnv *env, const tarvo_status_t *r) {
    static const char *const levels[] = {"", "group", "payment", "transaction"};
    const char *extra[] = {levels[r->level], r->currency[0] != '\0' ? r->currency : NULL};
    const jsize counts = (jsize)r->countCount;
    const char **texts = malloc(2 * (r->countCount + 1) * sizeof *texts);
    if (texts == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    const char **numbers = texts + counts + 1;
    for (jsize i = 0; i < counts; ++i) {
        texts[i] = r->counts[i].status;
        numbers[i] = r->counts[i].count;
    }
    jobjectArray entry = object_array(env, 4);
    const int ok = entry != NULL &&
                   put(env, entry, 0, record_array(env, r, status_fields, COUNT(status_fields), extra, 2)) &&
                   put(env, entry, 1, string_array(env, (const char *const *)r->reasons, (jsize)r->reasonCount)) &&
                   put(env, entry, 2, string_array(env, texts, counts)) &&
                   put(env, entry, 3, string_array(env, numbers, counts));
    free(texts);
    return ok ? entry : NULL;
}

/* One kind of document: its parser's functions and how its records become the result. */
typedef struct {
    void *(*make)(void);
    void (*release)(void *);
    int (*load)(void *, const char *);
    int (*load_memory)(void *, const char *, size_t);
    const char *(*error)(void *);
    jobjectArray (*result)(JNIEnv *, void *);
} document_kind;

/* {head, Object[] entries}: head and one entry per record from first on, where next
 * gives the record after one; NULL with an exception pending. */
static jobjectArray with_entries(JNIEnv *env, jobject head, const void *first, const void *(*next)(const void *),
                                 jobjectArray (*entry)(JNIEnv *, const void *)) {
    jsize n = 0;
    for (const void *r = first; r != NULL; r = next(r)) ++n;
    jobjectArray entries = head != NULL ? object_array(env, n) : NULL;
    jsize i = 0;
    for (const void *r = first; entries != NULL && r != NULL; r = next(r))
        if (!put(env, entries, i++, entry(env, r))) return NULL;
    jobjectArray out = entries != NULL ? object_array(env, 2) : NULL;
    if (out == NULL || !put(env, out, 0, head) || !put(env, out, 1, entries)) return NULL;
    return out;
}

/* Reads the path, else the bytes; NULL with an exception pending when refused. */
static jobjectArray read_document(JNIEnv *env, const document_kind *kind, jstring path, jbyteArray data) {
    void *parser = kind->make();
    if (parser == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    int ok = 0;
    if (path != NULL) {
        const char *p = utf_chars(env, path, "path is NULL");
        if (p != NULL) {
            ok = kind->load(parser, p);
            release_utf_chars(env, path, p);
        }
    } else if (data != NULL) {
        jbyte *bytes = (*env)->GetByteArrayElements(env, data, NULL);
        if (bytes != NULL) {
            ok = kind->load_memory(parser, (const char *)bytes, (size_t)(*env)->GetArrayLength(env, data));
            (*env)->ReleaseByteArrayElements(env, data, bytes, JNI_ABORT);
        }
    } else {
        throw_class(env, NPE_CLASS, "document is NULL");
    }
    if (ok != 1 && !(*env)->ExceptionCheck(env)) throw_new(env, TARVO_EXCEPTION_CLASS, kind->error(parser));
    jobjectArray out = ok == 1 ? kind->result(env, parser) : NULL;
    kind->release(parser);
    return out;
}

static const void *next_status(const void *r) { return ((const tarvo_status_t *)r)->next; }
static jobjectArray status_record(JNIEnv *env, const void *r) { return status_entry(env, r); }

/* {String version, Object[] records}. */
static jobjectArray status_result(JNIEnv *env, void *parser) {
    return with_entries(env, new_string(env, tarvo_status_parser_getVersion(parser)),
                        tarvo_status_parser_getRecord(parser), next_status, status_record);
}

/* {String[] fields, String[][] transactions}. */
static jobjectArray block_entry(JNIEnv *env, const void *record) {
    const tarvo_pain_block_t *b = record;
    jsize n = 0;
    for (const tarvo_pain_tx_t *t = b->tx; t != NULL; t = t->next) ++n;
    jobjectArray txs = object_array(env, n);
    jsize i = 0;
    for (const tarvo_pain_tx_t *t = b->tx; txs != NULL && t != NULL; t = t->next) {
        const char *currency = t->currency;
        if (!put(env, txs, i++, record_array(env, t, tx_fields, COUNT(tx_fields), &currency, 1))) return NULL;
    }
    jobjectArray entry = txs != NULL ? object_array(env, 2) : NULL;
    if (entry == NULL || !put(env, entry, 0, record_array(env, b, block_fields, COUNT(block_fields), NULL, 0)) ||
        !put(env, entry, 1, txs))
        return NULL;
    return entry;
}

static const void *next_block(const void *b) { return ((const tarvo_pain_block_t *)b)->next; }

/* {String[] header, Object[] blocks}. */
static jobjectArray pain_result(JNIEnv *env, void *parser) {
    const char *header[] = {tarvo_pain_parser_getVersion(parser), tarvo_pain_parser_getMessageId(parser),
                            tarvo_pain_parser_getCreationTime(parser),
                            tarvo_pain_parser_getNumberOfTransactions(parser),
                            tarvo_pain_parser_getControlSum(parser), tarvo_pain_parser_getInitiatingParty(parser)};
    return with_entries(env, string_array(env, header, 6), tarvo_pain_parser_getBlock(parser), next_block,
                        block_entry);
}

static void *status_make(void) { return tarvo_status_parser_new(); }
static void status_release(void *p) { tarvo_status_parser_free(p); }
static int status_load(void *p, const char *path) { return tarvo_status_parser_load(p, path); }
static int status_load_memory(void *p, const char *d, size_t n) { return tarvo_status_parser_loadMemory(p, d, n); }
static const char *status_error(void *p) { return tarvo_status_parser_getError(p); }
static void *pain_make(void) { return tarvo_pain_parser_new(); }
static void pain_release(void *p) { tarvo_pain_parser_free(p); }
static int pain_load(void *p, const char *path) { return tarvo_pain_parser_load(p, path); }
static int pain_load_memory(void *p, const char *d, size_t n) { return tarvo_pain_parser_loadMemory(p, d, n); }
static const char *pain_error(void *p) { return tarvo_pain_parser_getError(p); }

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_StatusReportParser__1read(JNIEnv *env, jclass cls, jstring path,
                                                                           jbyteArray data) {
    (void)cls;
    static const document_kind kind = {status_make, status_release, status_load, status_load_memory, status_error,
                                       status_result};
    return read_document(env, &kind, path, data);
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_PaymentFileParser__1read(JNIEnv *env, jclass cls, jstring path,
                                                                          jbyteArray data) {
    (void)cls;
    static const document_kind kind = {pain_make, pain_release, pain_load, pain_load_memory, pain_error, pain_result};
    return read_document(env, &kind, path, data);
}
