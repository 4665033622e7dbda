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

/* tarvo.rulebook: the rulebook every new message is pinned to unless its constructor names
 * one; empty: the process-wide one. Settable per pool, so that no request depends on
 * another's init. tarvo.data: the bank data file to use instead of the compiled-in data,
 * read once at start-up. */
PHP_INI_BEGIN()
    PHP_INI_ENTRY("tarvo.rulebook", "", PHP_INI_ALL, NULL)
    PHP_INI_ENTRY("tarvo.data", "", PHP_INI_SYSTEM, NULL)
PHP_INI_END()

static void tarvo_php_load_data(void)
{
    const char *path = INI_STR("tarvo.data");
    char *message = NULL;

    if (path == NULL || *path == '\0' || tarvo_data_load(path, &message) == 1)
        return;
    zend_error(E_CORE_WARNING, "tarvo.data: %s; using the compiled-in bank data",
               message != NULL ? message : path);
    free(message);
}

static PHP_MINIT_FUNCTION(tarvo)
{
    (void)type;
    REGISTER_INI_ENTRIES();
    tarvo_php_load_data();
    tarvo_message_startup(register_class_TARVO());
    tarvo_exception_ce = register_class_TARVOException(zend_ce_exception);
    register_tarvo_symbols(module_number);
    tarvo_statement_startup(register_class_TARVOStatementParser());
    tarvo_report_startup(register_class_TARVOStatusReport(), register_class_TARVOPaymentFile());
    tarvo_reconcile_startup(register_class_TARVOReconciliation());
    return SUCCESS;
}

static PHP_MSHUTDOWN_FUNCTION(tarvo)
{
    (void)type;
    (void)module_number;
    UNREGISTER_INI_ENTRIES();
    return SUCCESS;
}

/* One row per source: "Bank data: bundesbank => 2025-09-08, valid until 2025-12-07, compiled-in". */
static void tarvo_php_info_data(void)
{
    tarvo_data_info_t *info = tarvo_data_info();

    if (info == NULL)
        return;
    for (size_t i = 0; i < info->count; i++) {
        const tarvo_data_source_t *s = &info->sources[i];
        char name[64], value[PATH_MAX + 64];

        snprintf(name, sizeof name, "Bank data: %s", s->source);
        snprintf(value, sizeof value, "%s%s%s, %s%s%s", s->edition[0] ? s->edition : "unknown",
                 s->valid_until[0] ? ", valid until " : "", s->valid_until, s->origin,
                 s->path != NULL ? " " : "", s->path != NULL ? s->path : "");
        php_info_print_table_row(2, name, value);
    }
    free(info);
    char *warning = tarvo_data_warning(time(NULL));
    if (warning != NULL) {
        php_info_print_table_row(2, "Bank data warning", warning);
        free(warning);
    }
}

static PHP_MINFO_FUNCTION(tarvo)
{
    php_info_print_table_start();
    php_info_print_table_header(2, "libtarvo", "enabled");
    php_info_print_table_row(2, "Version", tarvo_version_str);
    tarvo_php_info_data();
    php_info_print_table_end();
    DISPLAY_INI_ENTRIES();
}

zend_module_entry tarvo_module_entry = {
    STANDARD_MODULE_HEADER,
    "TARVO",
    NULL,
    PHP_MINIT(tarvo),
    PHP_MSHUTDOWN(tarvo),
    NULL,
    NULL,
    PHP_MINFO(tarvo),
    PHP_TARVO_VERSION,
    STANDARD_MODULE_PROPERTIES,
};

ZEND_GET_MODULE(tarvo)
