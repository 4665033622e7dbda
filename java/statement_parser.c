/*
 * Native methods of com.libtarvo.StatementParser: one call reads a whole file and hands
 * every record to Java as the texts of its fields, which the Java records convert by
 * their component types. A field is one line in the tables below and one component in
 * the Java record of the same name.
 */
#include <float.h>
#include <jni.h>
#include <math.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"
#include "tarvojni.h"

typedef enum {
    FIELD_TEXT,   /* char *: the text as UTF-8, null when absent or empty */
    FIELD_FIXED,  /* char[]: as FIELD_TEXT */
    FIELD_NUMBER, /* uint32_t: decimal */
    FIELD_AMOUNT, /* double: rounded to cents, null when infinite; the text written beside it wins */
    FIELD_DATE,   /* struct tm: yyyy-mm-dd, null when the parser found none */
    FIELD_FLAG,   /* uint8_t: "1" or "0" */
    FIELD_COMPLETE, /* uint8_t incomplete: "1" when it is 0 */
    FIELD_CHARGES,  /* the charges, one "amount currency included" line each; null when none */
    FIELD_TEXTS,    /* char **, NULL-terminated: one line each; null when absent */
    FIELD_BALANCE,  /* tarvo_stmt_balance_t: "amount currency date"; null when absent */
} field_kind;

typedef struct {
    const char *name;
    field_kind kind;
    size_t offset;
    size_t size;
    size_t written; /* FIELD_AMOUNT: offset of the char * with the amount as written */
    int paired;     /* null where the text at `written` is absent (a balance the file lacks) */
} field;

#define FIELD(kind, record, name) {#name, kind, offsetof(record, name), sizeof(((record *)0)->name), 0, 0}
#define STMT(kind, name) FIELD(kind, tarvo_stmt_t, name)
#define TX(kind, name) FIELD(kind, tarvo_stmt_tx_t, name)
/* camt writes amounts with up to five decimals: the text keeps them where a double cannot. */
#define AMOUNT(record, name, text) \
    {#name, FIELD_AMOUNT, offsetof(record, name), sizeof(((record *)0)->name), offsetof(record, text), 0}
#define STMT_AMOUNT(name, text) AMOUNT(tarvo_stmt_t, name, text)
#define TX_AMOUNT(name, text) AMOUNT(tarvo_stmt_tx_t, name, text)
/* A balance's parts: absent together with its text. */
#define BALANCE_PART(kind, name, text) \
    {#name, kind, offsetof(tarvo_stmt_t, name), sizeof(((tarvo_stmt_t *)0)->name), offsetof(tarvo_stmt_t, text), 1}

static const field statement_fields[] = {
    STMT(FIELD_TEXT, ref),
    STMT(FIELD_TEXT, account),
    STMT(FIELD_NUMBER, number),
    STMT(FIELD_NUMBER, page),
    BALANCE_PART(FIELD_DATE, openDate, openSaldoText),
    BALANCE_PART(FIELD_AMOUNT, openSaldo, openSaldoText),
    BALANCE_PART(FIELD_FIXED, openCurrency, openSaldoText),
    BALANCE_PART(FIELD_DATE, closeDate, closeSaldoText),
    BALANCE_PART(FIELD_AMOUNT, closeSaldo, closeSaldoText),
    BALANCE_PART(FIELD_FIXED, closeCurrency, closeSaldoText),
    {"complete", FIELD_COMPLETE, offsetof(tarvo_stmt_t, incomplete), 1, 0, 0},
    STMT(FIELD_BALANCE, interimBalance),
    STMT(FIELD_BALANCE, interimAvailable),
    STMT(FIELD_BALANCE, available),
};

static const field transaction_fields[] = {
    TX(FIELD_DATE, valuta),     TX(FIELD_DATE, booked),      TX(FIELD_FLAG, reversal),
    TX_AMOUNT(amount, amountText), TX(FIELD_FIXED, code),    TX(FIELD_TEXT, ref),
    TX(FIELD_TEXT, bankref),    TX(FIELD_TEXT, txtext),      TX(FIELD_TEXT, primanota),
    TX(FIELD_NUMBER, gvc),      TX(FIELD_NUMBER, extcode),   TX(FIELD_FIXED, bank),
    TX(FIELD_FIXED, account),   TX(FIELD_FIXED, name),       TX(FIELD_TEXT, purpose),
    TX(FIELD_TEXT, eref),       TX(FIELD_TEXT, kref),        TX(FIELD_TEXT, mref),
    TX(FIELD_TEXT, cred),       TX(FIELD_TEXT, debt),        TX(FIELD_TEXT, purp),
    TX(FIELD_TEXT, coam),       TX(FIELD_TEXT, oamt),        TX(FIELD_TEXT, svwz),
    TX(FIELD_TEXT, abwa),       TX(FIELD_TEXT, abwe),        TX(FIELD_FIXED, currency),
    TX(FIELD_TEXT, uetr),       TX(FIELD_TEXT, creditorRef), TX(FIELD_TEXT, partyName),
    TX(FIELD_TEXT, instructedAmount), TX(FIELD_FIXED, instructedCurrency), TX(FIELD_CHARGES, charges),
    TX(FIELD_FIXED, status),    TX(FIELD_TEXT, returnReason), TX(FIELD_TEXT, returnInfo),
    TX(FIELD_TEXT, bankTransactionCode), TX(FIELD_TEXT, entryReference),
    TX(FIELD_TEXT, batchPaymentInformationId), TX(FIELD_TEXT, batchMessageId),
    TX(FIELD_NUMBER, details),  TX(FIELD_TEXTS, endToEndIds), TX(FIELD_FLAG, truncated),
};

#define COUNT(table) (jsize)(sizeof(table) / sizeof((table)[0]))

/* A record text as a Java string; NULL for an absent text, and with an exception pending
 * when the conversion failed. */
static jstring text_string(JNIEnv *env, const char *text, size_t length) {
    if (length == 0) return NULL;
    char *utf8 = malloc(2 * length + 1);
    if (utf8 == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    tarvo_stmt_text_utf8(text, utf8);
    jstring s = new_string(env, utf8);
    free(utf8);
    return s;
}

/* Lines of texts joined by line ends, as one Java string; NULL with an exception pending
 * when memory ran out. */
static jstring joined_string(JNIEnv *env, char *const *texts, size_t count) {
    size_t length = 0;
    for (size_t i = 0; i < count; ++i) length += strlen(texts[i]) + 1;
    char *joined = malloc(length + 1);
    if (joined == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    char *end = joined;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) *end++ = '\n';
        end = stpcpy(end, texts[i]);
    }
    jstring s = text_string(env, joined, (size_t)(end - joined));
    free(joined);
    return s;
}

static jstring charges_string(JNIEnv *env, const tarvo_stmt_tx_t *tx) {
    if (tx->chargeCount == 0) return NULL;
    char **lines = calloc(tx->chargeCount, sizeof *lines);
    jstring s = NULL;
    size_t made = 0;
    for (; lines != NULL && made < tx->chargeCount; ++made) {
        const tarvo_stmt_charge_t *c = &tx->charges[made];
        const size_t size = strlen(c->amount) + sizeof c->currency + 4;
        if ((lines[made] = malloc(size)) == NULL) break;
        snprintf(lines[made], size, "%s %s %d", c->amount, c->currency, c->included ? 1 : 0);
    }
    if (lines != NULL && made == tx->chargeCount)
        s = joined_string(env, lines, made);
    else
        throw_class(env, OOM_CLASS, "out of memory");
    for (size_t i = 0; lines != NULL && i < made; ++i) free(lines[i]);
    free(lines);
    return s;
}

static jstring field_string(JNIEnv *env, const void *record, const field *f) {
    const char *at = (const char *)record + f->offset;
    /* Room for any finite double with two decimals: MT940 files do hold 10^69 and more. */
    char formatted[DBL_MAX_10_EXP + 8];

    if (f->paired && *(const char *const *)((const char *)record + f->written) == NULL) return NULL;
    switch (f->kind) {
    case FIELD_TEXT: {
        const char *text = *(const char *const *)at;
        return text != NULL ? text_string(env, text, strlen(text)) : NULL;
    }
    case FIELD_FIXED: {
        /* NUL-terminated by the parser; the copy keeps every read inside the field anyway. */
        const size_t length = strnlen(at, f->size < sizeof formatted ? f->size : sizeof formatted - 1);
        memcpy(formatted, at, length);
        formatted[length] = '\0';
        return text_string(env, formatted, length);
    }
    case FIELD_NUMBER:
        snprintf(formatted, sizeof formatted, "%u", (unsigned)*(const uint32_t *)at);
        break;
    case FIELD_AMOUNT: {
        const char *written = *(const char *const *)((const char *)record + f->written);
        if (written != NULL && *written != '\0') return new_string(env, written);
        const double amount = *(const double *)at;
        if (!isfinite(amount)) return NULL; /* more digits than a double holds */
        __tarvo_d2str(formatted, sizeof formatted, amount);
        /* Beyond whole cents of 64 bits the double is no exact amount anyway: its value. */
        if (formatted[0] == '\0') snprintf(formatted, sizeof formatted, "%.2f", amount);
        break;
    }
    case FIELD_DATE: {
        const struct tm *date = (const struct tm *)at;
        if (date->tm_year <= 0 || date->tm_mday == 0) return NULL;
        snprintf(formatted, sizeof formatted, "%04d-%02d-%02d", date->tm_year + 1900, date->tm_mon + 1,
                 date->tm_mday);
        break;
    }
    case FIELD_FLAG:
        strcpy(formatted, *(const uint8_t *)at ? "1" : "0");
        break;
    case FIELD_COMPLETE:
        strcpy(formatted, *(const uint8_t *)at ? "0" : "1");
        break;
    case FIELD_CHARGES:
        return charges_string(env, record);
    case FIELD_TEXTS: {
        char *const *texts = *(char *const *const *)at;
        size_t count = 0;
        while (texts != NULL && texts[count] != NULL) ++count;
        return texts != NULL ? joined_string(env, texts, count) : NULL;
    }
    case FIELD_BALANCE: {
        const tarvo_stmt_balance_t *b = (const tarvo_stmt_balance_t *)at;
        if (b->amount == NULL) return NULL;
        snprintf(formatted, sizeof formatted, "%.64s %.3s %04d-%02d-%02d", b->amount, b->currency,
                 b->date.tm_year + 1900, b->date.tm_mon + 1, b->date.tm_mday);
        break;
    }
    }
    return new_string(env, formatted);
}

/* The record's fields as a String[] in the table's order; NULL with an exception pending. */
static jobjectArray record_strings(JNIEnv *env, jclass string_class, const void *record, const field *fields,
                                   jsize count) {
    jobjectArray values = (*env)->NewObjectArray(env, count, string_class, NULL);
    for (jsize i = 0; values != NULL && i < count; ++i) {
        jstring value = field_string(env, record, &fields[i]);
        if ((*env)->ExceptionCheck(env)) {
            (*env)->DeleteLocalRef(env, values);
            return NULL;
        }
        (*env)->SetObjectArrayElement(env, values, i, value);
        (*env)->DeleteLocalRef(env, value);
    }
    return values;
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_StatementParser__1fields(JNIEnv *env, jclass cls,
                                                                          jboolean transaction) {
    (void)cls;
    const field *fields = transaction ? transaction_fields : statement_fields;
    const jsize count = transaction ? COUNT(transaction_fields) : COUNT(statement_fields);
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    if (string_class == NULL) return NULL;
    jobjectArray names = (*env)->NewObjectArray(env, count, string_class, NULL);
    for (jsize i = 0; names != NULL && i < count; ++i) {
        jstring name = (*env)->NewStringUTF(env, fields[i].name);
        if (name == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, names, i, name);
        (*env)->DeleteLocalRef(env, name);
    }
    return names;
}

/* One statement as {String[] fields, String[][] transactions}. */
static jobjectArray statement_entry(JNIEnv *env, jclass string_class, jclass object_array_class,
                                    jclass string_array_class, const tarvo_stmt_t *statement) {
    jsize n = 0;
    for (const tarvo_stmt_tx_t *tx = statement->tx; tx != NULL; tx = tx->next) ++n;
    jobjectArray entry = (*env)->NewObjectArray(env, 2, object_array_class, NULL);
    jobjectArray fields = entry != NULL ? record_strings(env, string_class, statement, statement_fields,
                                                         COUNT(statement_fields))
                                        : NULL;
    jobjectArray transactions = fields != NULL ? (*env)->NewObjectArray(env, n, string_array_class, NULL) : NULL;
    if (transactions == NULL) return NULL;
    jsize i = 0;
    for (const tarvo_stmt_tx_t *tx = statement->tx; tx != NULL; tx = tx->next, ++i) {
        jobjectArray values = record_strings(env, string_class, tx, transaction_fields, COUNT(transaction_fields));
        if (values == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, transactions, i, values);
        (*env)->DeleteLocalRef(env, values);
    }
    (*env)->SetObjectArrayElement(env, entry, 0, fields);
    (*env)->SetObjectArrayElement(env, entry, 1, transactions);
    (*env)->DeleteLocalRef(env, fields);
    (*env)->DeleteLocalRef(env, transactions);
    return entry;
}

static jobjectArray statement_entries(JNIEnv *env, const tarvo_stmt_t *first) {
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    jclass object_array_class = string_class != NULL ? (*env)->FindClass(env, "[Ljava/lang/Object;") : NULL;
    jclass string_array_class = object_array_class != NULL ? (*env)->FindClass(env, "[Ljava/lang/String;") : NULL;
    if (string_array_class == NULL) return NULL;
    jsize n = 0;
    for (const tarvo_stmt_t *s = first; s != NULL; s = s->next) ++n;
    jobjectArray statements = (*env)->NewObjectArray(env, n, object_array_class, NULL);
    jsize i = 0;
    for (const tarvo_stmt_t *s = first; statements != NULL && s != NULL; s = s->next, ++i) {
        jobjectArray entry = statement_entry(env, string_class, object_array_class, string_array_class, s);
        if (entry == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, statements, i, entry);
        (*env)->DeleteLocalRef(env, entry);
    }
    return statements;
}

/* The statements of a load, or NULL with an exception pending. */
static jobjectArray loaded(JNIEnv *env, tarvo_stmt_parser_t *parser, int result) {
    if (result != 1) {
        throw_new(env, TARVO_EXCEPTION_CLASS, tarvo_stmt_parser_getError(parser));
        return NULL;
    }
    return statement_entries(env, tarvo_stmt_parser_getStatement(parser));
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_StatementParser__1read(JNIEnv *env, jclass cls, jint format,
                                                                        jstring path) {
    (void)cls;
    const char *p = utf_chars(env, path, "path is NULL");
    if (p == NULL) return NULL;
    tarvo_stmt_parser_t *parser = tarvo_stmt_parser_new();
    jobjectArray statements = NULL;
    if (parser == NULL)
        throw_class(env, OOM_CLASS, "out of memory");
    else
        statements = loaded(env, parser, tarvo_stmt_parser_load(parser, format, p));
    tarvo_stmt_parser_free(parser);
    release_utf_chars(env, path, p);
    return statements;
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_StatementParser__1readBytes(JNIEnv *env, jclass cls, jint format,
                                                                             jbyteArray data) {
    (void)cls;
    if (data == NULL) {
        throw_class(env, "java/lang/NullPointerException", "data is NULL");
        return NULL;
    }
    const jsize size = (*env)->GetArrayLength(env, data);
    jbyte *bytes = (*env)->GetByteArrayElements(env, data, NULL);
    if (bytes == NULL) return NULL;
    tarvo_stmt_parser_t *parser = tarvo_stmt_parser_new();
    int result = 0;
    if (parser != NULL) result = tarvo_stmt_parser_loadMemory(parser, format, bytes, (size_t)size);
    /* The records are the parser's own copies: the array can go back at once. */
    (*env)->ReleaseByteArrayElements(env, data, bytes, JNI_ABORT);
    jobjectArray statements = NULL;
    if (parser == NULL)
        throw_class(env, OOM_CLASS, "out of memory");
    else
        statements = loaded(env, parser, result);
    tarvo_stmt_parser_free(parser);
    return statements;
}
