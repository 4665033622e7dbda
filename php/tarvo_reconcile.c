/*
 * Class TARVOReconciliation: the library's reconciliation of payment files with status
 * reports and statements. Files or strings are added, run() gives the rows as arrays.
 */
#include <stddef.h>

#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

static zend_class_entry *tarvo_reconcile_ce;
TARVO_PHP_OBJECT_HANDLERS(reconcile_object, tarvo_reconcile_t, tarvo_reconcile_free)

PHP_METHOD(TARVOReconciliation, __construct)
{
    tarvo_php_object *intern = TARVO_PHP_THIS();

    ZEND_PARSE_PARAMETERS_NONE();
    tarvo_reconcile_free((tarvo_reconcile_t *)intern->handle);
    intern->handle = tarvo_reconcile_new();
    if (intern->handle == NULL)
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "can't create TARVOReconciliation object");
}

typedef int (*add_file)(tarvo_reconcile_t *, const char *);
typedef int (*add_memory)(tarvo_reconcile_t *, const char *, size_t, const char *);

static void add_path(INTERNAL_FUNCTION_PARAMETERS, add_file add)
{
    char *path;
    size_t length;
    tarvo_reconcile_t *r = (tarvo_reconcile_t *)TARVO_PHP_THIS()->handle;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(path, length)
    ZEND_PARSE_PARAMETERS_END();
    if (add(r, path) != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_reconcile_getError(r));
        return;
    }
    RETURN_TRUE;
}

static void add_string(INTERNAL_FUNCTION_PARAMETERS, add_memory add)
{
    zend_string *data;
    zend_string *name = NULL;
    tarvo_reconcile_t *r = (tarvo_reconcile_t *)TARVO_PHP_THIS()->handle;

    ZEND_PARSE_PARAMETERS_START(1, 2)
        Z_PARAM_STR(data)
        Z_PARAM_OPTIONAL
        Z_PARAM_PATH_STR(name)
    ZEND_PARSE_PARAMETERS_END();
    if (add(r, ZSTR_VAL(data), ZSTR_LEN(data), name != NULL ? ZSTR_VAL(name) : NULL) != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_reconcile_getError(r));
        return;
    }
    RETURN_TRUE;
}

PHP_METHOD(TARVOReconciliation, addPayments) { add_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addPayments); }
PHP_METHOD(TARVOReconciliation, addPaymentsString)
{
    add_string(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addPaymentsMemory);
}
PHP_METHOD(TARVOReconciliation, addStatus) { add_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addStatus); }
PHP_METHOD(TARVOReconciliation, addStatusString)
{
    add_string(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addStatusMemory);
}
PHP_METHOD(TARVOReconciliation, addStatements)
{
    add_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addStatements);
}
PHP_METHOD(TARVOReconciliation, addStatementsString)
{
    add_string(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_reconcile_addStatementsMemory);
}

typedef struct {
    const char *key;
    size_t offset;
} row_field;

#define ROW(name) {#name, offsetof(tarvo_reconcile_row_t, name)}

/* The keys of the command line's JSON, in its order; absent fields are left out. */
static const row_field row_fields[] = {
    ROW(messageId), ROW(paymentInformationId), ROW(endToEndId), ROW(amount), ROW(currency),
    ROW(state),     ROW(reason),               ROW(vop),        ROW(evidence),
};

PHP_METHOD(TARVOReconciliation, run)
{
    tarvo_reconcile_t *r = (tarvo_reconcile_t *)TARVO_PHP_THIS()->handle;
    size_t i, f;

    ZEND_PARSE_PARAMETERS_NONE();
    if (tarvo_reconcile_run(r) != 1) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_reconcile_getError(r));
        return;
    }
    array_init(return_value);
    for (i = 0; i < tarvo_reconcile_count(r); ++i) {
        const tarvo_reconcile_row_t *row = tarvo_reconcile_row(r, i);
        zval entry;

        if (row == NULL) {
            tarvo_php_throw(TARVO_EXCEPTION_SETUP, "out of memory");
            return;
        }
        array_init(&entry);
        for (f = 0; f < sizeof(row_fields) / sizeof(row_fields[0]); ++f) {
            const char *value = *(const char *const *)((const char *)row + row_fields[f].offset);
            if (value != NULL)
                add_assoc_string(&entry, row_fields[f].key, value);
        }
        add_assoc_bool(&entry, "unmatched", row->unmatched != 0);
        add_next_index_zval(return_value, &entry);
    }
}

PHP_METHOD(TARVOReconciliation, getWarnings)
{
    tarvo_reconcile_t *r = (tarvo_reconcile_t *)TARVO_PHP_THIS()->handle;
    size_t i;

    ZEND_PARSE_PARAMETERS_NONE();
    array_init(return_value);
    for (i = 0; i < tarvo_reconcile_warningCount(r); ++i)
        add_next_index_string(return_value, tarvo_reconcile_warning(r, i));
}

void tarvo_reconcile_startup(zend_class_entry *ce)
{
    tarvo_reconcile_ce = ce;
    tarvo_php_setup_class(ce, reconcile_object_new, &reconcile_object_handlers, reconcile_object_free);
}
