/*
 * Module entry of tarvo.so: registers the classes, the exception and the constants as
 * tarvo.stub.php declares them (tarvo_arginfo.h is generated from it), and holds the
 * object plumbing the two classes share.
 */
#include "php.h"
#include "ext/standard/html.h"
#include "ext/standard/info.h"
#include "zend_exceptions.h"
#include "zend_smart_str.h"

#include "tarvo.h"
#include "tarvo_php.h"
#include "tarvo_qr.h"
#include "tarvo_arginfo.h"

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

void tarvo_php_setup_class(zend_class_entry *ce, zend_object *(*create)(zend_class_entry *),
                           zend_object_handlers *handlers, zend_object_free_obj_t free_obj)
{
    ce->create_object = create;
    memcpy(handlers, zend_get_std_object_handlers(), sizeof(zend_object_handlers));
    handlers->offset = XtOffsetOf(tarvo_php_object, std);
    handlers->free_obj = free_obj;
    /* A copy would share the library handle and free it twice. */
    handlers->clone_obj = NULL;
}

void tarvo_php_throw(zend_long code, const char *message)
{
    const size_t length = strlen(message);
    size_t cursor = 0;
    smart_str escaped = {0};

    while (cursor < length) {
        size_t start = cursor;
        zend_result status;

        php_next_utf8_char((const unsigned char *)message, length, &cursor, &status);
        if (status == SUCCESS)
            smart_str_appendl(&escaped, message + start, cursor - start);
        else
            for (; start < cursor; start++)
                smart_str_append_printf(&escaped, "\\x%02X", (unsigned char)message[start]);
    }
    smart_str_0(&escaped);
    zend_throw_exception(tarvo_exception_ce, escaped.s != NULL ? ZSTR_VAL(escaped.s) : "", code);
    smart_str_free(&escaped);
}

static PHP_MINIT_FUNCTION(tarvo)
{
    (void)type;
    tarvo_message_startup(register_class_TARVO());
    tarvo_exception_ce = register_class_TARVOException(zend_ce_exception);
    register_tarvo_symbols(module_number);
    tarvo_statement_startup(register_class_TARVOStatementParser());
    tarvo_report_startup(register_class_TARVOStatusReport(), register_class_TARVOPaymentFile());
    tarvo_reconcile_startup(register_class_TARVOReconciliation());
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
