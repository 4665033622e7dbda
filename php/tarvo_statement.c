/*
 * Class TARVOStatementParser: loads one MT940 file and hands its statements to PHP as
 * nested arrays. The records stay in the parser, so the arrays can be read again.
 */
#include <stddef.h>
#include <string.h>
#include <time.h>

#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

static zend_class_entry *tarvo_statement_ce;
static zend_object_handlers tarvo_statement_handlers;

static zend_object *statement_object_new(zend_class_entry *ce)
{
    return tarvo_php_object_new(ce, &tarvo_statement_handlers);
}

static void statement_object_free(zend_object *obj)
{
    tarvo_php_object *intern = tarvo_php_fetch(obj);

    tarvo_stmt_parser_free((tarvo_stmt_parser_t *)intern->handle);
    intern->handle = NULL;
    zend_object_std_dtor(obj);
}

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

    if (format != TARVO_STMT_FORMAT_MT940) {
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "invalid/unknown statement format");
        return;
    }
    parser = (tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle;
    if (tarvo_stmt_parser_load(parser, TARVO_STMT_FORMAT_MT940, path) != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_stmt_parser_getError(parser));
        return;
    }
    RETURN_TRUE;
}

static void add_date(zval *array, const char *key, const struct tm *date)
{
    char text[64];
    size_t length = strftime(text, sizeof text, "%Y-%m-%d", date);

    add_assoc_stringl(array, key, text, length);
}

/* A text the parser did not find (absent or empty) gets no key. */
static void add_text_if_set(zval *array, const char *key, const char *text)
{
    if (text != NULL && text[0] != '\0')
        add_assoc_string(array, key, text);
}

static void add_number_if_set(zval *array, const char *key, uint32_t number)
{
    if (number != 0)
        add_assoc_long(array, key, (zend_long)number);
}

/* The fixed-size fields are NUL-terminated by the parser; strnlen keeps a read inside
 * the field even if one were not. */
#define ADD_FIXED(array, key, field) add_assoc_stringl(array, key, field, strnlen(field, sizeof(field)))

typedef struct {
    const char *key;
    size_t offset;
} keyword_field;

/* The remittance keywords, in the order their keys appear. */
static const keyword_field keyword_fields[] = {
    {"eref", offsetof(tarvo_stmt_tx_t, eref)}, {"kref", offsetof(tarvo_stmt_tx_t, kref)},
    {"mref", offsetof(tarvo_stmt_tx_t, mref)}, {"cred", offsetof(tarvo_stmt_tx_t, cred)},
    {"debt", offsetof(tarvo_stmt_tx_t, debt)}, {"purp", offsetof(tarvo_stmt_tx_t, purp)},
    {"coam", offsetof(tarvo_stmt_tx_t, coam)}, {"oamt", offsetof(tarvo_stmt_tx_t, oamt)},
    {"svwz", offsetof(tarvo_stmt_tx_t, svwz)}, {"abwa", offsetof(tarvo_stmt_tx_t, abwa)},
    {"abwe", offsetof(tarvo_stmt_tx_t, abwe)},
};

static void transaction_array(zval *array, const tarvo_stmt_tx_t *tx)
{
    size_t i;

    array_init(array);
    add_date(array, "valuta", &tx->valuta);
    if (tx->booked.tm_year > 0)
        add_date(array, "booked", &tx->booked);
    add_assoc_double(array, "amount", tx->amount);
    ADD_FIXED(array, "code", tx->code);
    add_text_if_set(array, "ref", tx->ref);
    add_text_if_set(array, "bankref", tx->bankref);
    add_assoc_long(array, "gvc", (zend_long)tx->gvc);
    add_number_if_set(array, "extcode", tx->extcode);
    add_text_if_set(array, "txtext", tx->txtext);
    add_text_if_set(array, "primanota", tx->primanota);
    ADD_FIXED(array, "bank", tx->bank);
    ADD_FIXED(array, "account", tx->account);
    ADD_FIXED(array, "name", tx->name);
    add_text_if_set(array, "purpose", tx->purpose);
    for (i = 0; i < sizeof(keyword_fields) / sizeof(keyword_fields[0]); i++) {
        const char *text = *(char *const *)((const char *)tx + keyword_fields[i].offset);

        add_text_if_set(array, keyword_fields[i].key, text);
    }
}

static void statement_array(zval *array, const tarvo_stmt_t *statement)
{
    const tarvo_stmt_tx_t *tx;
    zval transactions;

    array_init(array);
    add_text_if_set(array, "ref", statement->ref);
    add_text_if_set(array, "account", statement->account);
    add_number_if_set(array, "number", statement->number);
    add_number_if_set(array, "page", statement->page);
    add_assoc_double(array, "openSaldo", statement->openSaldo);
    ADD_FIXED(array, "openCurrency", statement->openCurrency);
    add_date(array, "openDate", &statement->openDate);
    add_assoc_double(array, "closeSaldo", statement->closeSaldo);
    ADD_FIXED(array, "closeCurrency", statement->closeCurrency);
    add_date(array, "closeDate", &statement->closeDate);

    array_init(&transactions);
    for (tx = statement->tx; tx != NULL; tx = tx->next) {
        zval entry;

        transaction_array(&entry, tx);
        add_next_index_zval(&transactions, &entry);
    }
    add_assoc_zval(array, "tx", &transactions);
}

PHP_METHOD(TARVOStatementParser, getStatements)
{
    const tarvo_stmt_t *statement;

    ZEND_PARSE_PARAMETERS_NONE();

    statement = tarvo_stmt_parser_getStatement((tarvo_stmt_parser_t *)TARVO_PHP_THIS()->handle);
    if (statement == NULL)
        RETURN_NULL();
    array_init(return_value);
    for (; statement != NULL; statement = statement->next) {
        zval entry;

        statement_array(&entry, statement);
        add_next_index_zval(return_value, &entry);
    }
}

ZEND_BEGIN_ARG_INFO_EX(arginfo_statement_none, 0, 0, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_INFO_EX(arginfo_statement_load, 0, 0, 2)
    ZEND_ARG_INFO(0, format)
    ZEND_ARG_INFO(0, path)
ZEND_END_ARG_INFO()

static const zend_function_entry tarvo_statement_methods[] = {
    PHP_ME(TARVOStatementParser, __construct, arginfo_statement_none, ZEND_ACC_PUBLIC | ZEND_ACC_CTOR)
    PHP_ME(TARVOStatementParser, load, arginfo_statement_load, ZEND_ACC_PUBLIC)
    PHP_ME(TARVOStatementParser, getStatements, arginfo_statement_none, ZEND_ACC_PUBLIC)
    PHP_FE_END
};

void tarvo_statement_startup(void)
{
    zend_class_entry ce;

    INIT_CLASS_ENTRY(ce, "TARVOStatementParser", tarvo_statement_methods);
    tarvo_statement_ce = zend_register_internal_class(&ce);
    tarvo_statement_ce->create_object = statement_object_new;
    /* The loaded records live only in the parser handle. */
    tarvo_statement_ce->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;
    tarvo_php_handlers_init(&tarvo_statement_handlers, statement_object_free);
}
