/*
 * Internal header of the PHP extension: the object layout both classes share and the
 * start-up hooks of each class.
 */
#ifndef TARVO_PHP_H
#define TARVO_PHP_H

#include "php.h"

#define PHP_TARVO_VERSION "2.30"

/* Codes of TARVOException: 42 when an object or a request cannot even be set up,
 * 0 when the library refused an operation (its own text is the message). */
#define TARVO_EXCEPTION_SETUP 42
#define TARVO_EXCEPTION_LIBRARY 0

extern zend_class_entry *tarvo_exception_ce;

/* A library handle followed by the engine's object part, which must come last so the
 * engine can keep its property slots behind it. */
typedef struct {
    void *handle;
    zend_object std;
} tarvo_php_object;

static inline tarvo_php_object *tarvo_php_fetch(zend_object *obj)
{
    return (tarvo_php_object *)((char *)obj - XtOffsetOf(tarvo_php_object, std));
}

#define TARVO_PHP_THIS() tarvo_php_fetch(Z_OBJ_P(ZEND_THIS))

zend_object *tarvo_php_object_new(zend_class_entry *ce, zend_object_handlers *handlers);
/* Defines <prefix>_handlers and the create and free handlers of a class whose objects
 * hold a handle of handle_type, released with release() (which accepts NULL). */
#define TARVO_PHP_OBJECT_HANDLERS(prefix, handle_type, release)                 \
    static zend_object_handlers prefix##_handlers;                              \
    static zend_object *prefix##_new(zend_class_entry *ce)                      \
    {                                                                           \
        return tarvo_php_object_new(ce, &prefix##_handlers);                    \
    }                                                                           \
    static void prefix##_free(zend_object *obj)                                 \
    {                                                                           \
        tarvo_php_object *intern = tarvo_php_fetch(obj);                        \
                                                                                \
        release((handle_type *)intern->handle);                                 \
        intern->handle = NULL;                                                  \
        zend_object_std_dtor(obj);                                              \
    }

/* Readies a registered class whose objects hold a library handle: create handler,
 * handlers with free_obj releasing the handle, no cloning. */
void tarvo_php_setup_class(zend_class_entry *ce, zend_object *(*create)(zend_class_entry *),
                           zend_object_handlers *handlers, zend_object_free_obj_t free_obj);
/* Throws TARVOException; bytes of the message that are no UTF-8 are written as \xHH, so
 * a quoted refused byte reaches PHP readable and the message stays valid UTF-8. */
void tarvo_php_throw(zend_long code, const char *message);

/* Library integers are C ints; a PHP integer outside that range must not wrap around
 * into a valid value, so it becomes -1, which every option, type and format refuses. */
static inline int tarvo_php_int(zend_long value)
{
    return value < INT_MIN || value > INT_MAX ? -1 : (int)value;
}

void tarvo_message_startup(zend_class_entry *ce);
void tarvo_statement_startup(zend_class_entry *ce);
void tarvo_report_startup(zend_class_entry *status_ce, zend_class_entry *pain_ce);
void tarvo_reconcile_startup(zend_class_entry *ce);

#endif /* TARVO_PHP_H */
