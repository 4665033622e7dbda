/*
 * Classes TARVOStatusReport and TARVOPaymentFile: one status report (pain.002) or one
 * payment file (pain.001, pain.008) read into arrays. The records stay in the object,
 * so the arrays can be read again. Texts are UTF-8; absent fields have no key.
 */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

TARVO_PHP_OBJECT_HANDLERS(status_object, tarvo_status_parser_t, tarvo_status_parser_free)
TARVO_PHP_OBJECT_HANDLERS(pain_object, tarvo_pain_parser_t, tarvo_pain_parser_free)

typedef struct {
    const char *key;
    size_t offset;
} text_field;

#define TEXT(record, name) {#name, offsetof(record, name)}

static const text_field status_fields[] = {
    TEXT(tarvo_status_t, originalMessageId),
    TEXT(tarvo_status_t, originalMessageName),
    TEXT(tarvo_status_t, originalPaymentInformationId),
    TEXT(tarvo_status_t, originalInstructionId),
    TEXT(tarvo_status_t, originalEndToEndId),
    TEXT(tarvo_status_t, originalUETR),
    TEXT(tarvo_status_t, originalNumberOfTransactions),
    TEXT(tarvo_status_t, originalControlSum),
    TEXT(tarvo_status_t, status),
    TEXT(tarvo_status_t, additionalInfo),
    TEXT(tarvo_status_t, amount),
    TEXT(tarvo_status_t, name),
    TEXT(tarvo_status_t, iban),
    TEXT(tarvo_status_t, payeeBankName),
};

static const text_field block_fields[] = {
    TEXT(tarvo_pain_block_t, paymentInformationId),
    TEXT(tarvo_pain_block_t, method),
    TEXT(tarvo_pain_block_t, batchBooking),
    TEXT(tarvo_pain_block_t, numberOfTransactions),
    TEXT(tarvo_pain_block_t, controlSum),
    TEXT(tarvo_pain_block_t, serviceLevel),
    TEXT(tarvo_pain_block_t, localInstrument),
    TEXT(tarvo_pain_block_t, sequenceType),
    TEXT(tarvo_pain_block_t, date),
    TEXT(tarvo_pain_block_t, name),
    TEXT(tarvo_pain_block_t, iban),
    TEXT(tarvo_pain_block_t, bic),
    TEXT(tarvo_pain_block_t, creditorId),
};

static const text_field tx_fields[] = {
    TEXT(tarvo_pain_tx_t, instructionId),
    TEXT(tarvo_pain_tx_t, endToEndId),
    TEXT(tarvo_pain_tx_t, uetr),
    TEXT(tarvo_pain_tx_t, amount),
    TEXT(tarvo_pain_tx_t, name),
    TEXT(tarvo_pain_tx_t, iban),
    TEXT(tarvo_pain_tx_t, bic),
    TEXT(tarvo_pain_tx_t, ultimateName),
    TEXT(tarvo_pain_tx_t, mandateId),
    TEXT(tarvo_pain_tx_t, mandateDate),
    TEXT(tarvo_pain_tx_t, originalMandateId),
    TEXT(tarvo_pain_tx_t, originalIban),
    TEXT(tarvo_pain_tx_t, creditorId),
    TEXT(tarvo_pain_tx_t, purpose),
    TEXT(tarvo_pain_tx_t, remittance),
    TEXT(tarvo_pain_tx_t, creditorRef),
};

#define COUNT(table) (sizeof(table) / sizeof((table)[0]))

static void add_texts(zval *array, const void *record, const text_field *fields, size_t count)
{
    size_t i;

    for (i = 0; i < count; i++) {
        const char *text = *(const char *const *)((const char *)record + fields[i].offset);

        if (text != NULL)
            add_assoc_string(array, fields[i].key, text);
    }
}

static void add_currency(zval *array, const char *currency)
{
    if (currency[0] != '\0')
        add_assoc_string(array, "currency", currency);
}

static const char *const level_names[] = {"", "group", "payment", "transaction"};

static void status_array(zval *array, const tarvo_status_t *r)
{
    size_t i;

    array_init(array);
    add_assoc_string(array, "level", level_names[r->level]);
    add_texts(array, r, status_fields, COUNT(status_fields));
    add_currency(array, r->currency);
    if (r->reasonCount > 0) {
        zval reasons;

        array_init(&reasons);
        for (i = 0; i < r->reasonCount; i++)
            add_next_index_string(&reasons, r->reasons[i]);
        add_assoc_zval(array, "reasons", &reasons);
    }
    if (r->countCount > 0) {
        zval counts;

        array_init(&counts);
        for (i = 0; i < r->countCount; i++)
            add_assoc_long(&counts, r->counts[i].status, (zend_long)strtoll(r->counts[i].count, NULL, 10));
        add_assoc_zval(array, "counts", &counts);
    }
}

static void block_array(zval *array, const tarvo_pain_block_t *b)
{
    const tarvo_pain_tx_t *t;
    zval transactions;

    array_init(array);
    add_texts(array, b, block_fields, COUNT(block_fields));
    array_init(&transactions);
    for (t = b->tx; t != NULL; t = t->next) {
        zval entry;

        array_init(&entry);
        add_texts(&entry, t, tx_fields, COUNT(tx_fields));
        add_currency(&entry, t->currency);
        add_next_index_zval(&transactions, &entry);
    }
    add_assoc_zval(array, "tx", &transactions);
}

/* One kind of document: its parser's functions. */
typedef struct {
    const char *name;
    void *(*make)(void);
    void (*release)(void *);
    int (*load)(void *, const char *);
    int (*load_memory)(void *, const char *, size_t);
    const char *(*error)(void *);
} document_kind;

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

static const document_kind status_kind = {"TARVOStatusReport", status_make, status_release, status_load,
                                          status_load_memory, status_error};
static const document_kind pain_kind = {"TARVOPaymentFile", pain_make, pain_release, pain_load, pain_load_memory,
                                        pain_error};

/* Loads a path (from_memory false) or a string into a fresh parser of the object: a
 * parser loads once, so a second load replaces the first with all its records. */
static bool load_document(zend_execute_data *execute_data, const document_kind *kind, const char *text, size_t length,
                          bool from_memory)
{
    tarvo_php_object *intern = tarvo_php_fetch(Z_OBJ(EX(This)));
    int ok;

    kind->release(intern->handle);
    intern->handle = kind->make();
    if (intern->handle == NULL) {
        char message[96];

        snprintf(message, sizeof message, "can't create %s object", kind->name);
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, message);
        return false;
    }
    ok = from_memory ? kind->load_memory(intern->handle, text, length) : kind->load(intern->handle, text);
    if (ok != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, kind->error(intern->handle));
        return false;
    }
    return true;
}

PHP_METHOD(TARVOStatusReport, load)
{
    char *path;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(path, length)
    ZEND_PARSE_PARAMETERS_END();
    if (load_document(execute_data, &status_kind, path, length, false))
        RETURN_TRUE;
}

PHP_METHOD(TARVOStatusReport, loadString)
{
    zend_string *text;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_STR(text)
    ZEND_PARSE_PARAMETERS_END();
    if (load_document(execute_data, &status_kind, ZSTR_VAL(text), ZSTR_LEN(text), true))
        RETURN_TRUE;
}

PHP_METHOD(TARVOStatusReport, getVersion)
{
    const char *version;

    ZEND_PARSE_PARAMETERS_NONE();
    version = tarvo_status_parser_getVersion((tarvo_status_parser_t *)TARVO_PHP_THIS()->handle);
    if (version == NULL)
        RETURN_NULL();
    RETURN_STRING(version);
}

PHP_METHOD(TARVOStatusReport, getRecords)
{
    const tarvo_status_t *r;

    ZEND_PARSE_PARAMETERS_NONE();
    r = tarvo_status_parser_getRecord((tarvo_status_parser_t *)TARVO_PHP_THIS()->handle);
    if (r == NULL)
        RETURN_NULL();
    array_init(return_value);
    for (; r != NULL; r = r->next) {
        zval entry;

        status_array(&entry, r);
        add_next_index_zval(return_value, &entry);
    }
}

PHP_METHOD(TARVOPaymentFile, load)
{
    char *path;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(path, length)
    ZEND_PARSE_PARAMETERS_END();
    if (load_document(execute_data, &pain_kind, path, length, false))
        RETURN_TRUE;
}

PHP_METHOD(TARVOPaymentFile, loadString)
{
    zend_string *text;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_STR(text)
    ZEND_PARSE_PARAMETERS_END();
    if (load_document(execute_data, &pain_kind, ZSTR_VAL(text), ZSTR_LEN(text), true))
        RETURN_TRUE;
}

/* The version and the group header, keyed as the JSON of tarvotool names them. */
PHP_METHOD(TARVOPaymentFile, getHeader)
{
    tarvo_pain_parser_t *parser = (tarvo_pain_parser_t *)TARVO_PHP_THIS()->handle;
    const struct {
        const char *key;
        const char *(*get)(tarvo_pain_parser_t *);
    } header[] = {
        {"version", tarvo_pain_parser_getVersion},
        {"messageId", tarvo_pain_parser_getMessageId},
        {"creationTime", tarvo_pain_parser_getCreationTime},
        {"numberOfTransactions", tarvo_pain_parser_getNumberOfTransactions},
        {"controlSum", tarvo_pain_parser_getControlSum},
        {"initiatingParty", tarvo_pain_parser_getInitiatingParty},
    };
    size_t i;

    ZEND_PARSE_PARAMETERS_NONE();
    if (tarvo_pain_parser_getVersion(parser) == NULL)
        RETURN_NULL();
    array_init(return_value);
    for (i = 0; i < COUNT(header); i++) {
        const char *text = header[i].get(parser);

        if (text != NULL)
            add_assoc_string(return_value, header[i].key, text);
    }
}

PHP_METHOD(TARVOPaymentFile, getBlocks)
{
    const tarvo_pain_block_t *b;

    ZEND_PARSE_PARAMETERS_NONE();
    b = tarvo_pain_parser_getBlock((tarvo_pain_parser_t *)TARVO_PHP_THIS()->handle);
    if (b == NULL)
        RETURN_NULL();
    array_init(return_value);
    for (; b != NULL; b = b->next) {
        zval entry;

        block_array(&entry, b);
        add_next_index_zval(return_value, &entry);
    }
}

void tarvo_report_startup(zend_class_entry *status_ce, zend_class_entry *pain_ce)
{
    tarvo_php_setup_class(status_ce, status_object_new, &status_object_handlers, status_object_free);
    tarvo_php_setup_class(pain_ce, pain_object_new, &pain_object_handlers, pain_object_free);
}
