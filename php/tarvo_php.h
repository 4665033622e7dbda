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
void tarvo_php_handlers_init(zend_object_handlers *handlers, zend_object_free_obj_t free_obj);
void tarvo_php_throw(zend_long code, const char *message);

/* Library integers are C ints; a PHP integer outside that range must not wrap around
 * into a valid value, so it becomes -1, which every option, type and format refuses. */
static inline int tarvo_php_int(zend_long value)
{
    return value < INT_MIN || value > INT_MAX ? -1 : (int)value;
}

void tarvo_message_startup(void);
void tarvo_statement_startup(void);

#endif /* TARVO_PHP_H */
