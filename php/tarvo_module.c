/*
 * Module entry of tarvo.so: registers the classes, the exception and the constants,
 * and holds the object plumbing the two classes share.
 */
#include "php.h"
#include "ext/standard/info.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

zend_class_entry *tarvo_exception_ce;

zend_object *tarvo_php_object_new(zend_class_entry *ce, zend_object_handlers *handlers)
{
    tarvo_php_object *intern = zend_object_alloc(sizeof(tarvo_php_object), ce);

    intern->handle = NULL;
    zend_object_std_init(&intern->std, ce);
    object_properties_init(&intern->std, ce);
    intern->std.handlers = handlers;
    return &intern->std;
}

zend_class_entry *tarvo_php_register_class(zend_class_entry *ce, zend_object *(*create)(zend_class_entry *),
                                           zend_object_handlers *handlers, zend_object_free_obj_t free_obj)
{
    zend_class_entry *registered = zend_register_internal_class(ce);

    registered->create_object = create;
    /* Everything an object holds is behind the library handle: a serialised copy would
     * come back empty. */
    registered->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;
    memcpy(handlers, zend_get_std_object_handlers(), sizeof(zend_object_handlers));
    handlers->offset = XtOffsetOf(tarvo_php_object, std);
    handlers->free_obj = free_obj;
    /* A copy would share the library handle and free it twice. */
    handlers->clone_obj = NULL;
    return registered;
}

void tarvo_php_throw(zend_long code, const char *message)
{
    zend_throw_exception(tarvo_exception_ce, message, code);
}

typedef struct {
    const char *name;
    zend_long value;
} tarvo_constant;

/* Registered in this order; the statement format follows its class. */
static const tarvo_constant tarvo_constants[] = {
    {"TARVO_DDTYPE_CORE", TARVO_DDTYPE_CORE},
    {"TARVO_DDTYPE_COR1", TARVO_DDTYPE_COR1},
    {"TARVO_DDTYPE_B2B", TARVO_DDTYPE_B2B},
    {"TARVO_MSGTYPE_CTI", TARVO_MSGTYPE_CTI},
    {"TARVO_MSGTYPE_DDI", TARVO_MSGTYPE_DDI},
    {"TARVO_INIT_RULEBOOK", TARVO_INIT_RULEBOOK},
    {"TARVO_SCL_SCT", TARVO_SCL_SCT},
    {"TARVO_SCL_SDD", TARVO_SCL_SDD},
    {"TARVO_SCL_COR1", TARVO_SCL_COR1},
    {"TARVO_SCL_B2B", TARVO_SCL_B2B},
};

static void tarvo_register_constant(const char *name, zend_long value, int module_number)
{
    zend_register_long_constant(name, strlen(name), value, CONST_PERSISTENT, module_number);
}

static PHP_MINIT_FUNCTION(tarvo)
{
    zend_class_entry ce;
    size_t i;

    (void)type;
    tarvo_message_startup();

    INIT_CLASS_ENTRY(ce, "TARVOException", NULL);
    tarvo_exception_ce = zend_register_internal_class_ex(&ce, zend_ce_exception);

    for (i = 0; i < sizeof(tarvo_constants) / sizeof(tarvo_constants[0]); i++)
        tarvo_register_constant(tarvo_constants[i].name, tarvo_constants[i].value, module_number);

    tarvo_statement_startup();
    tarvo_register_constant("TARVO_STMT_FORMAT_MT940", TARVO_STMT_FORMAT_MT940, module_number);
    tarvo_register_constant("TARVO_STMT_FORMAT_CAMT", TARVO_STMT_FORMAT_CAMT, module_number);
    return SUCCESS;
}

static PHP_MINFO_FUNCTION(tarvo)
{
    (void)zend_module;
    php_info_print_table_start();
    php_info_print_table_header(2, "libtarvo", "enabled");
    php_info_print_table_row(2, "Version", tarvo_version_str);
    php_info_print_table_end();
}

zend_module_entry tarvo_module_entry = {
    STANDARD_MODULE_HEADER,
    "TARVO",
    NULL,
    PHP_MINIT(tarvo),
    NULL,
    NULL,
    NULL,
    PHP_MINFO(tarvo),
    PHP_TARVO_VERSION,
    STANDARD_MODULE_PROPERTIES,
};

ZEND_GET_MODULE(tarvo)
