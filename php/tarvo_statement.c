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

static bool known_format(zend_long format)
{
    if (format == TARVO_STMT_FORMAT_MT940 || format == TARVO_STMT_FORMAT_CAMT)
        return true;
    tarvo_php_throw(TARVO_EXCEPTION_SETUP, "invalid/unknown statement format");
    return false;
}

/* A load's result: true, or the parser's reason as an exception. */
static void loaded(zval *return_value, tarvo_stmt_parser_t *parser, int result)
{
    if (result != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_stmt_parser_getError(parser));
        return;
    }
    RETURN_TRUE;
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

    if (!known_format(format))
        return;
    parser = (tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle;
    loaded(return_value, parser, tarvo_stmt_parser_load(parser, (int)format, path));
}

PHP_METHOD(TARVOStatementParser, loadString)
{
    zend_long format;
    zend_string *data;
    tarvo_stmt_parser_t *parser;

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_LONG(format)
        Z_PARAM_STR(data)
    ZEND_PARSE_PARAMETERS_END();

    if (!known_format(format))
        return;
    parser = (tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle;
    loaded(return_value, parser, tarvo_stmt_parser_loadMemory(parser, (int)format, ZSTR_VAL(data), ZSTR_LEN(data)));
}

/* How one record field becomes an array entry. A key is left out when the parser found
 * nothing: an absent or empty text, a number 0, an absent (or impossible) date, a
 * balance whose text is absent. */
typedef enum {
    FIELD_TEXT,
    FIELD_FIXED,
    FIELD_NUMBER,
    FIELD_SALDO,  /* a double that counts only where the text at `paired` is set */
    FIELD_AMOUNT,
    FIELD_DATE,   /* also left out where the text at `paired` is absent, when paired */
    FIELD_FLAG,   /* a byte: true when set */
    FIELD_CHARGES,
    FIELD_TEXTS,  /* a NULL-terminated list of texts */
    FIELD_BALANCE,
} field_kind;

typedef struct {
    const char *key;
    field_kind kind;
    size_t offset;
    size_t size;
    ptrdiff_t paired; /* offset of the balance text a saldo or date belongs to; -1 none */
} field;

#define FIELD(kind, record, name) {#name, kind, offsetof(record, name), sizeof(((record *)0)->name), -1}
#define PAIRED(kind, record, name, text) \
    {#name, kind, offsetof(record, name), sizeof(((record *)0)->name), offsetof(record, text)}
#define STMT(kind, name) FIELD(kind, tarvo_stmt_t, name)
#define SALDO(kind, name, text) PAIRED(kind, tarvo_stmt_t, name, text)
#define TX(kind, name) FIELD(kind, tarvo_stmt_tx_t, name)

/* In the order the keys appear; the statement's "tx" list follows its fields. */
static const field statement_fields[] = {
    STMT(FIELD_TEXT, ref),
    STMT(FIELD_TEXT, account),
    STMT(FIELD_NUMBER, number),
    STMT(FIELD_NUMBER, page),
    SALDO(FIELD_SALDO, openSaldo, openSaldoText),
    SALDO(FIELD_FIXED, openCurrency, openSaldoText),
    SALDO(FIELD_DATE, openDate, openSaldoText),
    SALDO(FIELD_SALDO, closeSaldo, closeSaldoText),
    SALDO(FIELD_FIXED, closeCurrency, closeSaldoText),
    SALDO(FIELD_DATE, closeDate, closeSaldoText),
    STMT(FIELD_TEXT, openSaldoText),
    STMT(FIELD_TEXT, closeSaldoText),
    STMT(FIELD_BALANCE, interimBalance),
    STMT(FIELD_BALANCE, interimAvailable),
    STMT(FIELD_BALANCE, available),
};

static const field transaction_fields[] = {
    TX(FIELD_DATE, valuta),          TX(FIELD_DATE, booked),
    TX(FIELD_AMOUNT, amount),        TX(FIELD_FIXED, code),
    TX(FIELD_TEXT, ref),             TX(FIELD_TEXT, bankref),
    TX(FIELD_NUMBER, gvc),           TX(FIELD_NUMBER, extcode),
    TX(FIELD_TEXT, txtext),          TX(FIELD_TEXT, primanota),
    TX(FIELD_FIXED, bank),           TX(FIELD_FIXED, account),
    TX(FIELD_FIXED, name),           TX(FIELD_TEXT, purpose),
    TX(FIELD_TEXT, eref),            TX(FIELD_TEXT, kref),
    TX(FIELD_TEXT, mref),            TX(FIELD_TEXT, cred),
    TX(FIELD_TEXT, debt),            TX(FIELD_TEXT, purp),
    TX(FIELD_TEXT, coam),            TX(FIELD_TEXT, oamt),
    TX(FIELD_TEXT, svwz),            TX(FIELD_TEXT, abwa),
    TX(FIELD_TEXT, abwe),            TX(FIELD_FIXED, currency),
    TX(FIELD_TEXT, amountText),      TX(FIELD_TEXT, uetr),
    TX(FIELD_TEXT, creditorRef),     TX(FIELD_TEXT, partyName),
    TX(FIELD_TEXT, instructedAmount), TX(FIELD_FIXED, instructedCurrency),
    TX(FIELD_CHARGES, charges),      TX(FIELD_FIXED, status),
    TX(FIELD_TEXT, returnReason),    TX(FIELD_TEXT, returnInfo),
    TX(FIELD_TEXT, bankTransactionCode), TX(FIELD_TEXT, entryReference),
    TX(FIELD_TEXT, batchPaymentInformationId), TX(FIELD_TEXT, batchMessageId),
    TX(FIELD_NUMBER, details),       TX(FIELD_TEXTS, endToEndIds),
    TX(FIELD_FLAG, truncated),
};

/* A record text as UTF-8, or as the file's bytes when raw. */
static zend_string *text_value(const char *text, size_t length, bool raw)
{
    zend_string *converted;

    if (raw)
        return zend_string_init(text, length, 0);
    converted = zend_string_alloc(2 * length, 0);
    ZSTR_LEN(converted) = tarvo_stmt_text_utf8(text, ZSTR_VAL(converted));
    return zend_string_truncate(converted, ZSTR_LEN(converted), 0);
}

static void add_text(zval *array, const char *key, const char *text, size_t length, bool raw)
{
    add_assoc_str(array, key, text_value(text, length, raw));
}

static void add_fixed(zval *array, const char *key, const char *at, size_t size, bool raw)
{
    char copy[64];
    /* NUL-terminated by the parser; the copy keeps every read inside the field anyway. */
    size_t length = strnlen(at, size < sizeof copy ? size : sizeof copy - 1);

    if (length == 0)
        return;
    memcpy(copy, at, length);
    copy[length] = '\0';
    add_text(array, key, copy, length, raw);
}

static void add_date(zval *array, const char *key, const struct tm *date)
{
    char formatted[64];

    if (date->tm_mday != 0)
        add_assoc_stringl(array, key, formatted, strftime(formatted, sizeof formatted, "%Y-%m-%d", date));
}

static void add_charges(zval *array, const char *key, const tarvo_stmt_tx_t *tx, bool raw)
{
    zval list;
    size_t i;

    if (tx->chargeCount == 0)
        return;
    array_init(&list);
    for (i = 0; i < tx->chargeCount; i++) {
        zval charge;

        array_init(&charge);
        add_assoc_string(&charge, "amount", tx->charges[i].amount);
        add_fixed(&charge, "currency", tx->charges[i].currency, sizeof tx->charges[i].currency, raw);
        add_assoc_bool(&charge, "included", tx->charges[i].included != 0);
        add_next_index_zval(&list, &charge);
    }
    add_assoc_zval(array, key, &list);
}

static void add_texts(zval *array, const char *key, char *const *texts, bool raw)
{
    zval list;

    if (texts == NULL)
        return;
    array_init(&list);
    for (; *texts != NULL; texts++)
        add_next_index_str(&list, text_value(*texts, strlen(*texts), raw));
    add_assoc_zval(array, key, &list);
}

static void add_balance(zval *array, const char *key, const tarvo_stmt_balance_t *balance, bool raw)
{
    zval entry;

    if (balance->amount == NULL)
        return;
    array_init(&entry);
    add_assoc_string(&entry, "amount", balance->amount);
    add_fixed(&entry, "currency", balance->currency, sizeof balance->currency, raw);
    add_date(&entry, "date", &balance->date);
    add_assoc_zval(array, key, &entry);
}

static void add_field(zval *array, const void *record, const field *f, bool raw)
{
    const char *at = (const char *)record + f->offset;

    if (f->paired >= 0 && *(const char *const *)((const char *)record + f->paired) == NULL)
        return;
    switch (f->kind) {
    case FIELD_TEXT: {
        const char *text = *(const char *const *)at;

        if (text != NULL && text[0] != '\0')
            add_text(array, f->key, text, strlen(text), raw);
        break;
    }
    case FIELD_FIXED:
        add_fixed(array, f->key, at, f->size, raw);
        break;
    case FIELD_NUMBER: {
        uint32_t number = *(const uint32_t *)at;

        if (number != 0)
            add_assoc_long(array, f->key, (zend_long)number);
        break;
    }
    case FIELD_SALDO:
    case FIELD_AMOUNT:
        add_assoc_double(array, f->key, *(const double *)at);
        break;
    case FIELD_DATE:
        add_date(array, f->key, (const struct tm *)at);
        break;
    case FIELD_FLAG:
        if (*(const uint8_t *)at != 0)
            add_assoc_bool(array, f->key, true);
        break;
    case FIELD_CHARGES:
        add_charges(array, f->key, (const tarvo_stmt_tx_t *)record, raw);
        break;
    case FIELD_TEXTS:
        add_texts(array, f->key, *(char *const *const *)at, raw);
        break;
    case FIELD_BALANCE:
        add_balance(array, f->key, (const tarvo_stmt_balance_t *)at, raw);
        break;
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
    add_assoc_bool(array, "complete", statement->incomplete == 0);
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
