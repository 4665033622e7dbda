/*
 * The native methods of the payment QR codes. Payloads cross as UTF-8 byte arrays, exactly
 * as a scanner delivers them; records cross as string arrays in the field order that
 * QrBill and EpcQr use, null for an empty field.
 */
#include <jni.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"
#include "tarvo_qr.h"
#include "tarvojni.h"

enum { BILL_FIELDS = 21, CODE_FIELDS = 10 };

/* The payload bytes, or NULL with an exception pending. Released with release_bytes. */
static jbyte *bytes_of(JNIEnv *env, jbyteArray payload, jsize *length) {
    if (payload == NULL) {
        throw_new(env, NPE_CLASS, "payload is NULL");
        return NULL;
    }
    *length = (*env)->GetArrayLength(env, payload);
    return (*env)->GetByteArrayElements(env, payload, NULL);
}

static void release_bytes(JNIEnv *env, jbyteArray payload, jbyte *bytes) {
    (*env)->ReleaseByteArrayElements(env, payload, bytes, JNI_ABORT);
}

static void refuse(JNIEnv *env, const char *error) {
    throw_new(env, TARVO_EXCEPTION_CLASS, error[0] != '\0' ? error : "out of memory");
}

/* A string array with the given texts (NULL stays null); NULL with an exception pending. */
static jobjectArray field_texts_array(JNIEnv *env, const char *const *texts, int n) {
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    if (string_class == NULL) return NULL;
    jobjectArray out = (*env)->NewObjectArray(env, n, string_class, NULL);
    (*env)->DeleteLocalRef(env, string_class);
    for (int i = 0; out != NULL && i < n; ++i) {
        if (texts[i] == NULL || texts[i][0] == '\0') continue;
        jstring s = new_string(env, texts[i]);
        if (s == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, out, i, s);
        (*env)->DeleteLocalRef(env, s);
    }
    return out;
}

/* The texts of a field array, converted; returns 0 with an exception pending. The caller
 * releases what was taken with release_fields, in every case. */
static int take_fields(JNIEnv *env, jobjectArray fields, int n, jstring *strings, const char **texts) {
    memset(strings, 0, sizeof(jstring) * (size_t)n);
    memset(texts, 0, sizeof(const char *) * (size_t)n);
    if (fields == NULL || (*env)->GetArrayLength(env, fields) != n) {
        throw_new(env, "java/lang/IllegalArgumentException", "wrong number of fields");
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        strings[i] = (jstring)(*env)->GetObjectArrayElement(env, fields, i);
        if (strings[i] == NULL) continue;
        texts[i] = (*env)->GetStringUTFChars(env, strings[i], NULL);
        if (texts[i] == NULL) return 0;
    }
    return 1;
}

static void release_fields(JNIEnv *env, int n, jstring *strings, const char **texts) {
    for (int i = 0; i < n; ++i) {
        if (texts[i] != NULL) (*env)->ReleaseStringUTFChars(env, strings[i], texts[i]);
        if (strings[i] != NULL) (*env)->DeleteLocalRef(env, strings[i]);
    }
}

static void amount_text(int has, int64_t cents, char (*out)[32]) {
    if (has)
        snprintf(*out, sizeof *out, "%lld.%02lld", (long long)(cents / 100), (long long)(cents % 100));
    else
        (*out)[0] = '\0';
}

static void address_texts(const tarvo_qr_address_t *a, const char **t) {
    t[0] = a->name, t[1] = a->street, t[2] = a->buildingNumber, t[3] = a->postalCode, t[4] = a->town, t[5] = a->country;
}

static tarvo_qr_address_t address_of(const char **t) {
    tarvo_qr_address_t a = {t[0], t[1], t[2], t[3], t[4], t[5]};
    return a;
}

JNIEXPORT jboolean JNICALL Java_com_libtarvo_TARVO_qrrCheck(JNIEnv *env, jclass cls, jstring reference) {
    (void)cls;
    const char *r = utf_chars(env, reference, "reference is NULL");
    if (r == NULL) return JNI_FALSE;
    const int valid = tarvo_qrr_check(r) == 1;
    release_utf_chars(env, reference, r);
    return valid ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_qrrMake(JNIEnv *env, jclass cls, jstring base) {
    (void)cls;
    char out[32];
    const char *b = utf_chars(env, base, "base is NULL");
    if (b == NULL) return NULL;
    const int made = tarvo_qrr_make(b, out, sizeof out) == 1;
    release_utf_chars(env, base, b);
    return made ? new_string(env, out) : NULL;
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_TARVO_qrbillParse(JNIEnv *env, jclass cls, jbyteArray payload) {
    (void)cls;
    jsize length = 0;
    jbyte *bytes = bytes_of(env, payload, &length);
    if (bytes == NULL) return NULL;
    tarvo_qrbill_t *b = NULL;
    char error[256] = "";
    const int read = tarvo_qrbill_parse((const char *)bytes, (size_t)length, &b, error, sizeof error);
    release_bytes(env, payload, bytes);
    if (read != 1) {
        refuse(env, error);
        return NULL;
    }
    char amount[32];
    amount_text(b->hasAmount, b->amount, &amount);
    const char *t[BILL_FIELDS] = {b->iban, amount, b->currency, b->referenceType, b->reference, b->message,
                                  b->billInformation, b->alternativeSchemes[0], b->alternativeSchemes[1]};
    address_texts(&b->creditor, t + 9);
    address_texts(&b->ultimateDebtor, t + 15);
    jobjectArray out = field_texts_array(env, t, BILL_FIELDS);
    free(b);
    return out;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_qrbillMake(JNIEnv *env, jclass cls, jobjectArray fields) {
    (void)cls;
    jstring strings[BILL_FIELDS];
    const char *t[BILL_FIELDS];
    jstring out = NULL;
    if (take_fields(env, fields, BILL_FIELDS, strings, t)) {
        tarvo_qrbill_t b = {0};
        char error[256] = "";
        b.iban = t[0];
        b.hasAmount = t[1] != NULL && t[1][0] != '\0';
        if (b.hasAmount && tarvo_qr_amount(t[1], &b.amount) != 1) {
            refuse(env, "amount: not an amount");
        } else {
            b.currency = t[2], b.referenceType = t[3], b.reference = t[4], b.message = t[5];
            b.billInformation = t[6], b.alternativeSchemes[0] = t[7], b.alternativeSchemes[1] = t[8];
            b.creditor = address_of(t + 9);
            b.ultimateDebtor = address_of(t + 15);
            char *payload = tarvo_qrbill_make(&b, error, sizeof error);
            if (payload == NULL) refuse(env, error);
            else out = new_string(env, payload);
            free(payload);
        }
    }
    release_fields(env, BILL_FIELDS, strings, t);
    return out;
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_TARVO_epcqrParse(JNIEnv *env, jclass cls, jbyteArray payload) {
    (void)cls;
    jsize length = 0;
    jbyte *bytes = bytes_of(env, payload, &length);
    if (bytes == NULL) return NULL;
    tarvo_epcqr_t *c = NULL;
    char error[256] = "";
    const int read = tarvo_epcqr_parse((const char *)bytes, (size_t)length, &c, error, sizeof error);
    release_bytes(env, payload, bytes);
    if (read != 1) {
        refuse(env, error);
        return NULL;
    }
    char amount[32], charset[4];
    amount_text(c->hasAmount, c->amount, &amount);
    snprintf(charset, sizeof charset, "%d", c->charset);
    const char *t[CODE_FIELDS] = {c->version, charset, c->bic, c->name, c->iban, amount, c->purpose, c->reference,
                                  c->text, c->information};
    jobjectArray out = field_texts_array(env, t, CODE_FIELDS);
    free(c);
    return out;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_epcqrMake(JNIEnv *env, jclass cls, jobjectArray fields) {
    (void)cls;
    jstring strings[CODE_FIELDS];
    const char *t[CODE_FIELDS];
    jstring out = NULL;
    if (take_fields(env, fields, CODE_FIELDS, strings, t)) {
        tarvo_epcqr_t c = {0};
        char error[256] = "";
        c.version = t[0], c.bic = t[2], c.name = t[3], c.iban = t[4];
        c.hasAmount = t[5] != NULL && t[5][0] != '\0';
        if (c.hasAmount && tarvo_qr_amount(t[5], &c.amount) != 1) {
            refuse(env, "amount: not an amount");
        } else {
            c.purpose = t[6], c.reference = t[7], c.text = t[8], c.information = t[9];
            char *payload = tarvo_epcqr_make(&c, error, sizeof error);
            if (payload == NULL) refuse(env, error);
            else out = new_string(env, payload);
            free(payload);
        }
    }
    release_fields(env, CODE_FIELDS, strings, t);
    return out;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_qrSvg(JNIEnv *env, jclass cls, jint kind, jbyteArray payload) {
    (void)cls;
    jsize length = 0;
    jbyte *bytes = bytes_of(env, payload, &length);
    if (bytes == NULL) return NULL;
    char error[256] = "";
    char *svg = tarvo_qr_svg(kind, (const char *)bytes, (size_t)length, error, sizeof error);
    release_bytes(env, payload, bytes);
    if (svg == NULL) {
        refuse(env, error);
        return NULL;
    }
    jstring out = new_string(env, svg);
    free(svg);
    return out;
}

JNIEXPORT jbyteArray JNICALL Java_com_libtarvo_TARVO_qrPng(JNIEnv *env, jclass cls, jint kind, jbyteArray payload) {
    (void)cls;
    jsize length = 0;
    jbyte *bytes = bytes_of(env, payload, &length);
    if (bytes == NULL) return NULL;
    char error[256] = "";
    size_t size = 0;
    unsigned char *png = tarvo_qr_png(kind, (const char *)bytes, (size_t)length, &size, error, sizeof error);
    release_bytes(env, payload, bytes);
    if (png == NULL) {
        refuse(env, error);
        return NULL;
    }
    jbyteArray out = (*env)->NewByteArray(env, (jsize)size);
    if (out != NULL) (*env)->SetByteArrayRegion(env, out, 0, (jsize)size, (const jbyte *)png);
    free(png);
    return out;
}
