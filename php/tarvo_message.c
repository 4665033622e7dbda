/*
 * Class TARVO: one payment message per object, plus static IBAN and BIC questions.
 * Every method converts its arguments, makes one library call and turns a refusal
 * into a TARVOException carrying the library's own text.
 */
#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"

/* The library writes a converted IBAN into at least this many bytes. */
#define TARVO_IBAN_BUFFER 35
/* A printed IBAN: 34 characters, 8 blanks between groups, the NUL. */
#define TARVO_IBAN_PRINTED_BUFFER 43

static zend_class_entry *tarvo_ce;
TARVO_PHP_OBJECT_HANDLERS(tarvo_object, tarvo_t, tarvo_free)

static tarvo_t *this_message(zval *this_zv)
{
    return (tarvo_t *)tarvo_php_fetch(Z_OBJ_P(this_zv))->handle;
}

/* The common ending of every operation on the message: 1 is success, anything else
 * leaves the reason in the handle. */
static void finish(tarvo_t *h, int result, zval *return_value)
{
    if (result == 1)
        RETURN_TRUE;
    tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_getError(h));
}

typedef int (*text_setter)(tarvo_t *, const char *);

/* Texts reach the library as C strings; a PHP string with a NUL inside would be cut
 * there unseen, so parameter parsing refuses it (Z_PARAM_PATH does exactly that). */
static void set_text(INTERNAL_FUNCTION_PARAMETERS, text_setter setter)
{
    char *text;
    size_t length;
    tarvo_t *h;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(text, length)
    ZEND_PARSE_PARAMETERS_END();

    h = this_message(ZEND_THIS);
    finish(h, setter(h, text), return_value);
}

PHP_METHOD(TARVO, __construct)
{
    zend_long type;
    zend_string *rulebook = NULL;
    tarvo_php_object *intern;

    ZEND_PARSE_PARAMETERS_START(1, 2)
        Z_PARAM_LONG(type)
        Z_PARAM_OPTIONAL
        Z_PARAM_STR_OR_NULL(rulebook)
    ZEND_PARSE_PARAMETERS_END();

    if (type != TARVO_MSGTYPE_DDI && type != TARVO_MSGTYPE_CTI) {
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "invalid/unknown message type");
        return;
    }
    intern = TARVO_PHP_THIS();
    /* Calling the constructor again starts a new message; the old one must not leak. */
    tarvo_free((tarvo_t *)intern->handle);
    intern->handle = tarvo_new((int)type);
    if (intern->handle == NULL) {
        tarvo_php_throw(TARVO_EXCEPTION_SETUP, "can't create SEPA message object");
        return;
    }
    /* Without an argument the pool's php.ini default pins the message, so that no request
     * depends on what an earlier one of the same worker selected with init. */
    {
        const char *id = rulebook != NULL ? ZSTR_VAL(rulebook) : INI_STR("tarvo.rulebook");
        if ((rulebook != NULL || (id != NULL && *id != '\0')) && tarvo_setRulebook(intern->handle, id) != 1)
            tarvo_php_throw(TARVO_EXCEPTION_SETUP, tarvo_getError(intern->handle));
    }
}

PHP_METHOD(TARVO, setIBAN) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setIBAN); }
PHP_METHOD(TARVO, setBIC) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setBIC); }
PHP_METHOD(TARVO, setName) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setName); }
PHP_METHOD(TARVO, setCreditorIdentifier)
{
    set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setCreditorIdentifier);
}
PHP_METHOD(TARVO, setDate) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setDate); }
PHP_METHOD(TARVO, setMessageId) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setMessageId); }
PHP_METHOD(TARVO, setRulebook) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setRulebook); }
PHP_METHOD(TARVO, setCategoryPurpose) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setCategoryPurpose); }
PHP_METHOD(TARVO, setUltimateName) { set_text(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_setUltimateName); }


PHP_METHOD(TARVO, getRulebook)
{
    const char *id;

    ZEND_PARSE_PARAMETERS_NONE();
    id = tarvo_getRulebook(this_message(ZEND_THIS));
    if (id == NULL)
        RETURN_NULL();
    RETURN_STRING(id);
}

PHP_METHOD(TARVO, setDDType)
{
    zend_long type;
    tarvo_t *h;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_LONG(type)
    ZEND_PARSE_PARAMETERS_END();

    h = this_message(ZEND_THIS);
    finish(h, tarvo_setDDType(h, tarvo_php_int(type)), return_value);
}

typedef int (*flag_setter)(tarvo_t *, bool);

static void set_flag(INTERNAL_FUNCTION_PARAMETERS, flag_setter setter)
{
    bool flag;
    tarvo_t *h;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_BOOL(flag)
    ZEND_PARSE_PARAMETERS_END();

    h = this_message(ZEND_THIS);
    finish(h, setter(h, flag), return_value);
}

static int batch_booking(tarvo_t *h, bool flag) { return tarvo_setBatchBooking(h, flag ? 1 : 0); }
static int instant(tarvo_t *h, bool flag) { return tarvo_setInstant(h, flag ? 1 : 0); }

PHP_METHOD(TARVO, setBatchBooking) { set_flag(INTERNAL_FUNCTION_PARAM_PASSTHRU, batch_booking); }
PHP_METHOD(TARVO, setInstant) { set_flag(INTERNAL_FUNCTION_PARAM_PASSTHRU, instant); }

/* Key and value texts of one transaction, in the array's order; the list handed to the
 * library points into them. */
typedef struct {
    zend_string **texts;
    const char **list;
    uint32_t count;
} transaction_list;

static void transaction_list_release(transaction_list *tl)
{
    uint32_t i;

    for (i = 0; i < tl->count; i++)
        zend_string_release(tl->texts[i]);
    efree(tl->texts);
    efree(tl->list);
}

static bool transaction_list_push(transaction_list *tl, zend_string *text)
{
    tl->list[tl->count] = ZSTR_VAL(text);
    tl->texts[tl->count++] = text;
    return strlen(ZSTR_VAL(text)) == ZSTR_LEN(text);
}

/* Arrays, objects that cannot be a string and booleans (but for the flag "smnda") would
 * become "Array", an error or 1.00 EUR: refused with a TypeError naming the key. */
static bool add_value_acceptable(zend_string *key, zval *value)
{
    const bool flag = zend_string_equals_literal_ci(key, "smnda");

    switch (Z_TYPE_P(value)) {
    case IS_ARRAY:
        zend_type_error("TARVO::add(): value of key \"%s\" must not be an array", ZSTR_VAL(key));
        return false;
    case IS_OBJECT:
        if (Z_OBJCE_P(value)->__tostring != NULL)
            return true;
        zend_type_error("TARVO::add(): value of key \"%s\" must be a scalar or Stringable, %s given",
                        ZSTR_VAL(key), ZSTR_VAL(Z_OBJCE_P(value)->name));
        return false;
    case IS_TRUE:
    case IS_FALSE:
        if (flag)
            return true;
        zend_type_error("TARVO::add(): value of key \"%s\" must not be a boolean", ZSTR_VAL(key));
        return false;
    default:
        return true;
    }
}

/* Builds key, value, key, value, ..., NULL. Integer keys are written in decimal (any
 * width); values take the engine's string conversion. Returns false with an exception
 * pending when a value cannot be converted or a text holds a NUL byte. */
static bool transaction_list_build(transaction_list *tl, HashTable *tx)
{
    uint32_t slots = zend_hash_num_elements(tx) * 2;
    zend_ulong index;
    zend_string *key;
    zval *value;

    tl->texts = safe_emalloc(slots, sizeof(zend_string *), 0);
    tl->list = safe_emalloc(slots + 1, sizeof(const char *), 0);
    tl->count = 0;

    ZEND_HASH_FOREACH_KEY_VAL_IND(tx, index, key, value) {
        zend_string *text, *name;
        bool clean;

        /* A value's string conversion may run user code; never outgrow the slots. */
        if (tl->count == slots)
            break;
        ZVAL_DEREF(value);
        /* null means the key is absent; so does false for the one flag key. */
        if (Z_TYPE_P(value) == IS_NULL)
            continue;
        name = key ? zend_string_copy(key) : zend_long_to_str((zend_long)index);
        if (!add_value_acceptable(name, value)) {
            zend_string_release(name);
            return false;
        }
        if (Z_TYPE_P(value) == IS_FALSE) {
            zend_string_release(name);
            continue;
        }
        clean = transaction_list_push(tl, name);
        text = zval_try_get_string(value);
        if (text == NULL)
            return false;
        clean = transaction_list_push(tl, text) && clean;
        if (!clean) {
            zend_argument_value_error(1, "must not contain keys or values with null bytes");
            return false;
        }
    } ZEND_HASH_FOREACH_END();

    tl->list[tl->count] = NULL;
    return true;
}

PHP_METHOD(TARVO, add)
{
    HashTable *tx;
    transaction_list tl;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_ARRAY_HT(tx)
    ZEND_PARSE_PARAMETERS_END();

    /* Converting the values may run user code that calls the constructor again and
     * replaces the handle, so the handle is read only after the conversion. */
    if (transaction_list_build(&tl, tx)) {
        tarvo_t *h = this_message(ZEND_THIS);
        int result = tarvo_add(h, tl.list);

        transaction_list_release(&tl);
        finish(h, result, return_value);
        return;
    }
    transaction_list_release(&tl);
}

PHP_METHOD(TARVO, addQrBill)
{
    zend_string *payload;
    HashTable *tx = NULL;
    transaction_list tl;

    ZEND_PARSE_PARAMETERS_START(1, 2)
        Z_PARAM_STR(payload)
        Z_PARAM_OPTIONAL
        Z_PARAM_ARRAY_HT_OR_NULL(tx)
    ZEND_PARSE_PARAMETERS_END();

    if (memchr(ZSTR_VAL(payload), '\0', ZSTR_LEN(payload)) != NULL) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, "Invalid QR-bill: NUL byte in the payload");
        return;
    }
    if (tx == NULL) {
        tarvo_t *h = this_message(ZEND_THIS);
        finish(h, tarvo_add_qrbill(h, ZSTR_VAL(payload)), return_value);
        return;
    }
    if (transaction_list_build(&tl, tx)) {
        tarvo_t *h = this_message(ZEND_THIS);
        int result = tarvo_add_qrbill_kv(h, ZSTR_VAL(payload), tl.list);

        transaction_list_release(&tl);
        finish(h, result, return_value);
        return;
    }
    transaction_list_release(&tl);
}

/* Extra arguments are ignored, so no parameter parsing here. */
PHP_METHOD(TARVO, toXML)
{
    tarvo_t *h = this_message(ZEND_THIS);
    char *xml = tarvo_toXML(h);

    if (xml == NULL) {
        tarvo_php_throw(TARVO_EXCEPTION_LIBRARY, tarvo_getError(h));
        return;
    }
    RETVAL_STRING(xml);
    free(xml);
}

PHP_METHOD(TARVO, init)
{
    zend_long option;
    char *value;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_LONG(option)
        Z_PARAM_PATH(value, length)
    ZEND_PARSE_PARAMETERS_END();

    RETURN_BOOL(tarvo_init(tarvo_php_int(option), value) == 1);
}

PHP_METHOD(TARVO, IBAN_convert)
{
    char *country, *account, *bankid;
    size_t country_length, account_length, bankid_length;
    zval *status_ref = NULL;
    char iban[TARVO_IBAN_BUFFER + 1];
    uint8_t status = 0;
    int result;

    ZEND_PARSE_PARAMETERS_START(3, 4)
        Z_PARAM_PATH(country, country_length)
        Z_PARAM_PATH(account, account_length)
        Z_PARAM_PATH(bankid, bankid_length)
        Z_PARAM_OPTIONAL
        Z_PARAM_ZVAL(status_ref)
    ZEND_PARSE_PARAMETERS_END();

    result = tarvo_iban_convert(country, account, bankid, iban, &status);
    if (status_ref != NULL && Z_ISREF_P(status_ref))
        ZEND_TRY_ASSIGN_REF_LONG(status_ref, status);
    if (result == 1)
        RETURN_STRING(iban);
    RETURN_NULL();
}


PHP_METHOD(TARVO, IBAN_check)
{
    char *iban;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(iban, length)
    ZEND_PARSE_PARAMETERS_END();

    RETURN_BOOL(tarvo_iban_check(iban) == 1);
}

static void add_known(zval *array, const char *key, const char *text)
{
    if (text != NULL && text[0] != '\0')
        add_assoc_string(array, key, (char *)text);
    else
        add_assoc_null(array, key);
}

PHP_METHOD(TARVO, IBAN_inspect)
{
    char *iban;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(iban, length)
    ZEND_PARSE_PARAMETERS_END();

    tarvo_iban_info_t info;
    const int verdict = tarvo_iban_inspect(iban, &info);
    array_init_size(return_value, 5);
    add_assoc_bool(return_value, "valid", verdict == 1);
    add_known(return_value, "error", info.error);
    add_known(return_value, "bankid", info.bankid);
    add_known(return_value, "bic", info.bic);
    add_known(return_value, "name", info.name);
}

/* A lookup or conversion of one text that writes its answer into a buffer. */
typedef int (*text_answer)(const char *, char *);

/* One text in, the library's answer out, or null when it has none (result other than 1).
 * The buffer holds the longest answer, a printed IBAN. */
static void answer_of(INTERNAL_FUNCTION_PARAMETERS, text_answer answer)
{
    char *input;
    size_t length;
    char out[TARVO_IBAN_PRINTED_BUFFER];

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(input, length)
    ZEND_PARSE_PARAMETERS_END();

    if (answer(input, out) == 1)
        RETURN_STRING(out);
    RETURN_NULL();
}

PHP_METHOD(TARVO, IBAN_getBIC) { answer_of(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_iban_getBIC); }
PHP_METHOD(TARVO, IBAN_normalize) { answer_of(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_iban_normalize); }
PHP_METHOD(TARVO, IBAN_format) { answer_of(INTERNAL_FUNCTION_PARAM_PASSTHRU, tarvo_iban_format); }

PHP_METHOD(TARVO, creditorReferenceCheck)
{
    char *reference;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(reference, length)
    ZEND_PARSE_PARAMETERS_END();

    RETURN_BOOL(tarvo_creditor_reference_check(reference) == 1);
}

PHP_METHOD(TARVO, creditorReferenceMake)
{
    char *base;
    size_t length;
    char out[26];

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(base, length)
    ZEND_PARSE_PARAMETERS_END();

    if (tarvo_creditor_reference_make(base, out, sizeof out) == 1)
        RETURN_STRING(out);
    RETURN_NULL();
}

PHP_METHOD(TARVO, ACCOUNT_checkBank)
{
    char *account, *bankid;
    size_t account_length, bankid_length;

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_PATH(account, account_length)
        Z_PARAM_PATH(bankid, bankid_length)
    ZEND_PARSE_PARAMETERS_END();

    RETURN_LONG(tarvo_account_check_bank(account, bankid));
}

/* The directory record of a BIC, or NULL (parameter failure or unknown BIC); the
 * caller frees it. */
static tarvo_bank_t *bank_of_bic(INTERNAL_FUNCTION_PARAMETERS)
{
    char *bic;
    size_t length;
    tarvo_bank_t *bank = NULL;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(bic, length)
    ZEND_PARSE_PARAMETERS_END_EX(return NULL);

    if (tarvo_bic_getBank(bic, &bank) != 1) {
        free(bank);
        return NULL;
    }
    return bank;
}

PHP_METHOD(TARVO, BIC_getBankName)
{
    tarvo_bank_t *bank = bank_of_bic(INTERNAL_FUNCTION_PARAM_PASSTHRU);

    if (bank == NULL)
        return;
    if (bank->name != NULL)
        RETVAL_STRING(bank->name);
    free(bank);
}

PHP_METHOD(TARVO, BIC_getBankFlags)
{
    tarvo_bank_t *bank = bank_of_bic(INTERNAL_FUNCTION_PARAM_PASSTHRU);

    if (bank == NULL)
        return;
    RETVAL_LONG(bank->flags);
    free(bank);
}

void tarvo_message_startup(zend_class_entry *ce)
{
    tarvo_ce = ce;
    tarvo_php_setup_class(ce, tarvo_object_new, &tarvo_object_handlers, tarvo_object_free);
}
