/*
 * Class TARVOStatementParser: loads one MT940 or camt file and hands its statements to PHP as
 * nested arrays. The records stay in the parser, so the arrays can be read again. Their
 * texts are the file's bytes; PHP gets them as UTF-8 unless it asks for the raw bytes.
 */
#include <stddef.h>
#include <string.h>
#include <time.h>

#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

static zend_class_entry *tarvo_statement_ce;
TARVO_PHP_OBJECT_HANDLERS(statement_object, tarvo_stmt_parser_t, tarvo_stmt_parser_free)

/* Arguments are not parsed: a parser needs none. */
PHP_METHOD(TARVOStatementParser, __construct)
{
    tarvo_php_object *intern = TARVO_PHP_THIS();

    /* A second constructor call starts over; the parser it replaces must not leak. */
    tarvo_stmt_parser_free((tarvo_stmt_parser_t *)intern->handle);
    intern->handle = tarvo_stmt_parser_new();
    if (intern->handle == NULL)
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "can't create TARVOStatementParser object");
}

PHP_METHOD(TARVOStatementParser, load)
{
    zend_long format;
    char *path;
    size_t length;
    tarvo_stmt_parser_t *parser;

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_LONG(format)
        Z_PARAM_PATH(path, length)
    ZEND_PARSE_PARAMETERS_END();

    if (format != TARVO_STMT_FORMAT_MT940 && format != TARVO_STMT_FORMAT_CAMT) {
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "invalid/unknown statement format");
        return;
    }
    parser = (tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle;
    if (tarvo_stmt_parser_load(parser, (int)format, path) != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_stmt_parser_getError(parser));
        return;
    }
    RETURN_TRUE;
}

/* How one record field becomes an array entry. "If set" kinds leave the key out when
 * the parser found nothing: an absent or empty text, a number 0, a date in year 1900. */
typedef enum {
    FIELD_TEXT_IF_SET,
    FIELD_FIXED,
    FIELD_FIXED_IF_SET,
    FIELD_NUMBER,
    FIELD_NUMBER_IF_SET,
    FIELD_AMOUNT,
    FIELD_DATE,
    FIELD_DATE_IF_SET,
} field_kind;

typedef struct {
    const char *key;
    field_kind kind;
    size_t offset;
    size_t size;
} field;

#define FIELD(kind, record, name) {#name, kind, offsetof(record, name), sizeof(((record *)0)->name)}
#define STMT(kind, name) FIELD(kind, tarvo_stmt_t, name)
#define TX(kind, name) FIELD(kind, tarvo_stmt_tx_t, name)

/* In the order the keys appear; the statement's "tx" list follows its fields. */
static const field statement_fields[] = {
    STMT(FIELD_TEXT_IF_SET, ref),          STMT(FIELD_TEXT_IF_SET, account),
    STMT(FIELD_NUMBER_IF_SET, number),     STMT(FIELD_NUMBER_IF_SET, page),
    STMT(FIELD_AMOUNT, openSaldo),         STMT(FIELD_FIXED, openCurrency),
    STMT(FIELD_DATE, openDate),            STMT(FIELD_AMOUNT, closeSaldo),
    STMT(FIELD_FIXED, closeCurrency),      STMT(FIELD_DATE, closeDate),
    STMT(FIELD_TEXT_IF_SET, openSaldoText), STMT(FIELD_TEXT_IF_SET, closeSaldoText),
};

static const field transaction_fields[] = {
    TX(FIELD_DATE, valuta),           TX(FIELD_DATE_IF_SET, booked),
    TX(FIELD_AMOUNT, amount),         TX(FIELD_FIXED, code),
    TX(FIELD_TEXT_IF_SET, ref),       TX(FIELD_TEXT_IF_SET, bankref),
    TX(FIELD_NUMBER, gvc),            TX(FIELD_NUMBER_IF_SET, extcode),
    TX(FIELD_TEXT_IF_SET, txtext),    TX(FIELD_TEXT_IF_SET, primanota),
    TX(FIELD_FIXED, bank),            TX(FIELD_FIXED, account),
    TX(FIELD_FIXED, name),            TX(FIELD_TEXT_IF_SET, purpose),
    TX(FIELD_TEXT_IF_SET, eref),      TX(FIELD_TEXT_IF_SET, kref),
    TX(FIELD_TEXT_IF_SET, mref),      TX(FIELD_TEXT_IF_SET, cred),
    TX(FIELD_TEXT_IF_SET, debt),      TX(FIELD_TEXT_IF_SET, purp),
    TX(FIELD_TEXT_IF_SET, coam),      TX(FIELD_TEXT_IF_SET, oamt),
    TX(FIELD_TEXT_IF_SET, svwz),      TX(FIELD_TEXT_IF_SET, abwa),
    TX(FIELD_TEXT_IF_SET, abwe),      TX(FIELD_FIXED_IF_SET, currency),
    TX(FIELD_TEXT_IF_SET, amountText), TX(FIELD_TEXT_IF_SET, uetr),
    TX(FIELD_TEXT_IF_SET, creditorRef), TX(FIELD_TEXT_IF_SET, partyName),
};

/* A record text as UTF-8, or as the file's bytes when raw. */
static void add_text(zval *array, const char *key, const char *text, size_t length, bool raw)
{
    zend_string *converted;

    if (raw) {
        add_assoc_stringl(array, key, text, length);
        return;
    }
    converted = zend_string_alloc(2 * length, 0);
    ZSTR_LEN(converted) = tarvo_stmt_text_utf8(text, ZSTR_VAL(converted));
    add_assoc_str(array, key, zend_string_truncate(converted, ZSTR_LEN(converted), 0));
}

static void add_field(zval *array, const void *record, const field *f, bool raw)
{
    const char *at = (const char *)record + f->offset;
    char formatted[64];

    switch (f->kind) {
    case FIELD_TEXT_IF_SET: {
        const char *text = *(const char *const *)at;

        if (text != NULL && text[0] != '\0')
            add_text(array, f->key, text, strlen(text), raw);
        break;
    }
    case FIELD_FIXED_IF_SET:
    case FIELD_FIXED: {
        /* NUL-terminated by the parser; the copy keeps every read inside the field anyway. */
        size_t length = strnlen(at, f->size < sizeof formatted ? f->size : sizeof formatted - 1);

        if (length == 0 && f->kind == FIELD_FIXED_IF_SET)
            break;
        memcpy(formatted, at, length);
        formatted[length] = '\0';
        add_text(array, f->key, formatted, length, raw);
        break;
    }
    case FIELD_NUMBER_IF_SET:
    case FIELD_NUMBER: {
        uint32_t number = *(const uint32_t *)at;

        if (number != 0 || f->kind == FIELD_NUMBER)
            add_assoc_long(array, f->key, (zend_long)number);
        break;
    }
    case FIELD_AMOUNT:
        add_assoc_double(array, f->key, *(const double *)at);
        break;
    case FIELD_DATE_IF_SET:
    case FIELD_DATE: {
        const struct tm *date = (const struct tm *)at;

        if (date->tm_year > 0 || f->kind == FIELD_DATE)
            add_assoc_stringl(array, f->key, formatted,
                              strftime(formatted, sizeof formatted, "%Y-%m-%d", date));
        break;
    }
    }
}

static void record_array(zval *array, const void *record, const field *fields, size_t count, bool raw)
{
    size_t i;

    array_init(array);
    for (i = 0; i < count; i++)
        add_field(array, record, &fields[i], raw);
}

static void statement_array(zval *array, const tarvo_stmt_t *statement, bool raw)
{
    const tarvo_stmt_tx_t *tx;
    zval transactions;

    record_array(array, statement, statement_fields, sizeof(statement_fields) / sizeof(statement_fields[0]), raw);
    array_init(&transactions);
    for (tx = statement->tx; tx != NULL; tx = tx->next) {
        zval entry;

        record_array(&entry, tx, transaction_fields, sizeof(transaction_fields) / sizeof(transaction_fields[0]),
                     raw);
        add_next_index_zval(&transactions, &entry);
    }
    add_assoc_zval(array, "tx", &transactions);
}

PHP_METHOD(TARVOStatementParser, getStatements)
{
    const tarvo_stmt_t *statement;
    bool raw = false;

    ZEND_PARSE_PARAMETERS_START(0, 1)
        Z_PARAM_OPTIONAL
        Z_PARAM_BOOL(raw)
    ZEND_PARSE_PARAMETERS_END();

    statement = tarvo_stmt_parser_getStatement((tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle);
    if (statement == NULL)
        RETURN_NULL();
    array_init(return_value);
    for (; statement != NULL; statement = statement->next) {
        zval entry;

        statement_array(&entry, statement, raw);
        add_next_index_zval(return_value, &entry);
    }
}

void tarvo_statement_startup(zend_class_entry *ce)
{
    tarvo_statement_ce = ce;
    tarvo_php_setup_class(ce, statement_object_new, &statement_object_handlers, statement_object_free);
}
