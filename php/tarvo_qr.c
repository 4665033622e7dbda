/* The payment QR codes in PHP: payloads as arrays with the keys of tarvotool's JSON, and
 * the pictures as strings. Refusals throw TARVOException with the library's reason. */
#include <stdlib.h>
#include <string.h>

#include "php.h"
#include "zend_exceptions.h"

#include "tarvo.h"
#include "tarvo_php.h"
#include "tarvo_qr.h"

PHP_METHOD(TARVO, QRR_check)
{
    char *reference;
    size_t length;

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(reference, length)
    ZEND_PARSE_PARAMETERS_END();

    RETURN_BOOL(tarvo_qrr_check(reference) == 1);
}

PHP_METHOD(TARVO, QRR_make)
{
    char *base;
    size_t length;
    char out[32];

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_PATH(base, length)
    ZEND_PARSE_PARAMETERS_END();

    if (tarvo_qrr_make(base, out, sizeof out) == 1)
        RETURN_STRING(out);
    RETURN_NULL();
}

static void put_text(zval *array, const char *key, const char *value)
{
    if (value != NULL && *value != '\0')
        add_assoc_string(array, key, value);
}

static void put_amount(zval *array, int has_amount, int64_t cents)
{
    if (has_amount)
        add_assoc_str(array, "amount", zend_strpprintf(0, "%lld.%02lld", (long long)(cents / 100), (long long)(cents % 100)));
}

static void put_address(zval *array, const char *key, const tarvo_qr_address_t *a)
{
    zval address;

    array_init(&address);
    put_text(&address, "name", a->name);
    put_text(&address, "street", a->street);
    put_text(&address, "buildingNumber", a->buildingNumber);
    put_text(&address, "postalCode", a->postalCode);
    put_text(&address, "town", a->town);
    put_text(&address, "country", a->country);
    if (zend_hash_num_elements(Z_ARRVAL(address)) == 0) {
        zval_ptr_dtor(&address);
        return;
    }
    add_assoc_zval(array, key, &address);
}

/* A string field of the caller's array, or NULL; other types are refused as the field's. */
static const char *get_text(HashTable *fields, const char *key, int *bad)
{
    zval *value = zend_hash_str_find(fields, key, strlen(key));

    if (value == NULL || Z_TYPE_P(value) == IS_NULL)
        return NULL;
    if (Z_TYPE_P(value) != IS_STRING) {
        *bad = 1;
        return NULL;
    }
    return Z_STRVAL_P(value);
}

static int get_amount(HashTable *fields, int *has_amount, int64_t *cents, int *bad)
{
    const char *text = get_text(fields, "amount", bad);

    *has_amount = text != NULL;
    return text == NULL || tarvo_qr_amount(text, cents) == 1;
}

static tarvo_qr_address_t get_address(HashTable *fields, const char *key, int *bad)
{
    tarvo_qr_address_t a = {0};
    zval *value = zend_hash_str_find(fields, key, strlen(key));

    if (value == NULL || Z_TYPE_P(value) != IS_ARRAY)
        return a;
    a.name = get_text(Z_ARRVAL_P(value), "name", bad);
    a.street = get_text(Z_ARRVAL_P(value), "street", bad);
    a.buildingNumber = get_text(Z_ARRVAL_P(value), "buildingNumber", bad);
    a.postalCode = get_text(Z_ARRVAL_P(value), "postalCode", bad);
    a.town = get_text(Z_ARRVAL_P(value), "town", bad);
    a.country = get_text(Z_ARRVAL_P(value), "country", bad);
    return a;
}

PHP_METHOD(TARVO, QRBILL_parse)
{
    zend_string *payload;
    tarvo_qrbill_t *b = NULL;
    char error[256];

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_STR(payload)
    ZEND_PARSE_PARAMETERS_END();

    if (tarvo_qrbill_parse(ZSTR_VAL(payload), ZSTR_LEN(payload), &b, error, sizeof error) != 1) {
        tarvo_php_throw(0, b == NULL && error[0] == '\0' ? "out of memory" : error);
        RETURN_THROWS();
    }
    array_init(return_value);
    put_text(return_value, "iban", b->iban);
    put_amount(return_value, b->hasAmount, b->amount);
    put_text(return_value, "currency", b->currency);
    put_text(return_value, "referenceType", b->referenceType);
    put_text(return_value, "reference", b->reference);
    put_text(return_value, "message", b->message);
    put_text(return_value, "billInformation", b->billInformation);
    if (b->alternativeSchemes[0] != NULL) {
        zval schemes;
        array_init(&schemes);
        for (int i = 0; i < 2 && b->alternativeSchemes[i] != NULL; ++i)
            add_next_index_string(&schemes, b->alternativeSchemes[i]);
        add_assoc_zval(return_value, "alternativeSchemes", &schemes);
    }
    put_address(return_value, "creditor", &b->creditor);
    put_address(return_value, "ultimateDebtor", &b->ultimateDebtor);
    free(b);
}

PHP_METHOD(TARVO, QRBILL_make)
{
    HashTable *fields;
    tarvo_qrbill_t b = {0};
    int bad = 0;
    char error[256] = "";

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_ARRAY_HT(fields)
    ZEND_PARSE_PARAMETERS_END();

    b.iban = get_text(fields, "iban", &bad);
    b.creditor = get_address(fields, "creditor", &bad);
    b.ultimateDebtor = get_address(fields, "ultimateDebtor", &bad);
    if (!get_amount(fields, &b.hasAmount, &b.amount, &bad)) {
        tarvo_php_throw(0, "amount: not an amount");
        RETURN_THROWS();
    }
    b.currency = get_text(fields, "currency", &bad);
    b.referenceType = get_text(fields, "referenceType", &bad);
    b.reference = get_text(fields, "reference", &bad);
    b.message = get_text(fields, "message", &bad);
    b.billInformation = get_text(fields, "billInformation", &bad);
    zval *schemes = zend_hash_str_find(fields, "alternativeSchemes", sizeof "alternativeSchemes" - 1);
    if (schemes != NULL && Z_TYPE_P(schemes) == IS_ARRAY) {
        if (zend_hash_num_elements(Z_ARRVAL_P(schemes)) > 2) {
            tarvo_php_throw(0, "alternativeSchemes: at most two");
            RETURN_THROWS();
        }
        zval *first = zend_hash_index_find(Z_ARRVAL_P(schemes), 0), *second = zend_hash_index_find(Z_ARRVAL_P(schemes), 1);
        b.alternativeSchemes[0] = first != NULL && Z_TYPE_P(first) == IS_STRING ? Z_STRVAL_P(first) : NULL;
        b.alternativeSchemes[1] = second != NULL && Z_TYPE_P(second) == IS_STRING ? Z_STRVAL_P(second) : NULL;
    }
    if (bad) {
        tarvo_php_throw(0, "fields: texts must be strings");
        RETURN_THROWS();
    }
    char *payload = tarvo_qrbill_make(&b, error, sizeof error);
    if (payload == NULL) {
        tarvo_php_throw(0, error[0] != '\0' ? error : "out of memory");
        RETURN_THROWS();
    }
    RETVAL_STRING(payload);
    free(payload);
}

PHP_METHOD(TARVO, EPCQR_parse)
{
    zend_string *payload;
    tarvo_epcqr_t *c = NULL;
    char error[256];

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_STR(payload)
    ZEND_PARSE_PARAMETERS_END();

    if (tarvo_epcqr_parse(ZSTR_VAL(payload), ZSTR_LEN(payload), &c, error, sizeof error) != 1) {
        tarvo_php_throw(0, c == NULL && error[0] == '\0' ? "out of memory" : error);
        RETURN_THROWS();
    }
    array_init(return_value);
    put_text(return_value, "version", c->version);
    add_assoc_str(return_value, "charset", zend_long_to_str(c->charset));
    put_text(return_value, "bic", c->bic);
    put_text(return_value, "name", c->name);
    put_text(return_value, "iban", c->iban);
    put_amount(return_value, c->hasAmount, c->amount);
    put_text(return_value, "purpose", c->purpose);
    put_text(return_value, "reference", c->reference);
    put_text(return_value, "text", c->text);
    put_text(return_value, "information", c->information);
    free(c);
}

PHP_METHOD(TARVO, EPCQR_make)
{
    HashTable *fields;
    tarvo_epcqr_t c = {0};
    int bad = 0;
    char error[256] = "";

    ZEND_PARSE_PARAMETERS_START(1, 1)
        Z_PARAM_ARRAY_HT(fields)
    ZEND_PARSE_PARAMETERS_END();

    c.version = get_text(fields, "version", &bad);
    c.bic = get_text(fields, "bic", &bad);
    c.name = get_text(fields, "name", &bad);
    c.iban = get_text(fields, "iban", &bad);
    if (!get_amount(fields, &c.hasAmount, &c.amount, &bad)) {
        tarvo_php_throw(0, "amount: not an amount");
        RETURN_THROWS();
    }
    c.purpose = get_text(fields, "purpose", &bad);
    c.reference = get_text(fields, "reference", &bad);
    c.text = get_text(fields, "text", &bad);
    c.information = get_text(fields, "information", &bad);
    if (bad) {
        tarvo_php_throw(0, "fields: texts must be strings");
        RETURN_THROWS();
    }
    char *payload = tarvo_epcqr_make(&c, error, sizeof error);
    if (payload == NULL) {
        tarvo_php_throw(0, error[0] != '\0' ? error : "out of memory");
        RETURN_THROWS();
    }
    RETVAL_STRING(payload);
    free(payload);
}

PHP_METHOD(TARVO, QR_svg)
{
    zend_long kind;
    zend_string *payload;
    char error[256] = "";

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_LONG(kind)
        Z_PARAM_STR(payload)
    ZEND_PARSE_PARAMETERS_END();

    char *svg = tarvo_qr_svg(tarvo_php_int(kind), ZSTR_VAL(payload), ZSTR_LEN(payload), error, sizeof error);
    if (svg == NULL) {
        tarvo_php_throw(0, error[0] != '\0' ? error : "out of memory");
        RETURN_THROWS();
    }
    RETVAL_STRING(svg);
    free(svg);
}

PHP_METHOD(TARVO, QR_png)
{
    zend_long kind;
    zend_string *payload;
    char error[256] = "";
    size_t size = 0;

    ZEND_PARSE_PARAMETERS_START(2, 2)
        Z_PARAM_LONG(kind)
        Z_PARAM_STR(payload)
    ZEND_PARSE_PARAMETERS_END();

    unsigned char *png = tarvo_qr_png(tarvo_php_int(kind), ZSTR_VAL(payload), ZSTR_LEN(payload), &size, error, sizeof error);
    if (png == NULL) {
        tarvo_php_throw(0, error[0] != '\0' ? error : "out of memory");
        RETURN_THROWS();
    }
    RETVAL_STRINGL((const char *)png, size);
    free(png);
}
