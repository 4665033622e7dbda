/*
 * libtarvojni: the native methods of com.libtarvo.TARVO.
 *
 * Each method converts its Java arguments, makes one library call and converts the
 * result back; failures become Java exceptions. Written in C so that nothing can unwind
 * through the virtual machine's frames. Message objects cross as a long holding the
 * address of the tarvo_t; the Java side owns them and frees each exactly once.
 */
#include <jni.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "modified_utf8.h"
#include "tarvo.h"
#include "tarvojni.h"


/* Enough for the longest IBAN (34 characters) and its NUL. */
#define IBAN_BUFFER 35
/* A printed IBAN: 34 characters, 8 blanks between groups, the NUL. */
#define IBAN_PRINTED_BUFFER 43

typedef int (*text_setter)(tarvo_t *, const char *);

/* The class is looked up at the moment of the throw; when the lookup fails its own
 * NoClassDefFoundError is already pending and is what the caller sees. */
void throw_class(JNIEnv *env, const char *class_name, const char *message) {
    jclass cls = (*env)->FindClass(env, class_name);
    if (cls == NULL) return;
    (*env)->ThrowNew(env, cls, message);
    (*env)->DeleteLocalRef(env, cls);
}

void throw_new(JNIEnv *env, const char *class_name, const char *message) {
    const char *text = modified_utf8(message);
    if (text == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return;
    }
    throw_class(env, class_name, text);
    modified_utf8_release(text, message);
}

static tarvo_t *handle_of(jlong handle) { return (tarvo_t *)(uintptr_t)handle; }

static void throw_handle_error(JNIEnv *env, tarvo_t *h) {
    const char *error = tarvo_getError(h);
    throw_new(env, TARVO_EXCEPTION_CLASS, error != NULL ? error : "unknown error");
}

/* A Java string as modified UTF-8 bytes. A null string throws NullPointerException with
 * "<name> is NULL". NULL is returned then, and also when the virtual machine could not
 * copy the string (it has thrown OutOfMemoryError itself). */
const char *utf_chars(JNIEnv *env, jstring s, const char *null_message) {
    if (s == NULL) {
        throw_new(env, NPE_CLASS, null_message);
        return NULL;
    }
    return (*env)->GetStringUTFChars(env, s, NULL);
}

void release_utf_chars(JNIEnv *env, jstring s, const char *chars) {
    if (chars != NULL) (*env)->ReleaseStringUTFChars(env, s, chars);
}

/* NULL with OutOfMemoryError pending when the string cannot be made. */
jstring new_string(JNIEnv *env, const char *text) {
    const char *converted = modified_utf8(text);
    if (converted == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    jstring s = (*env)->NewStringUTF(env, converted);
    modified_utf8_release(converted, text);
    return s;
}

JNIEXPORT jint JNICALL Java_com_libtarvo_TARVO_init(JNIEnv *env, jclass cls, jint option, jstring value) {
    (void)cls;
    const char *v = NULL;
    if (value != NULL) {
        v = (*env)->GetStringUTFChars(env, value, NULL);
        if (v == NULL) return 0;
    }
    const int result = tarvo_init(option, v);
    release_utf_chars(env, value, v);
    return result;
}

/* The conversion: the IBAN or null, the library's result and the status in answer[0] and
 * answer[1]. A null argument leaves NullPointerException pending. */
static jstring convert(JNIEnv *env, jstring country, jstring account, jstring bankid, jint answer[2]) {
    jstring result = NULL;
    const char *c = utf_chars(env, country, "country is NULL");
    if (c == NULL) return NULL;
    const char *a = utf_chars(env, account, "account is NULL");
    const char *b = a != NULL ? utf_chars(env, bankid, "bankid is NULL") : NULL;
    if (b != NULL) {
        char iban[IBAN_BUFFER] = {0};
        uint8_t status = 0;
        answer[0] = tarvo_iban_convert(c, a, b, iban, &status);
        answer[1] = status;
        if (answer[0] == 1) result = new_string(env, iban);
    }
    release_utf_chars(env, bankid, b);
    release_utf_chars(env, account, a);
    release_utf_chars(env, country, c);
    return result;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_IBAN_1convert(JNIEnv *env, jclass cls, jstring country,
                                                                jstring account, jstring bankid) {
    (void)cls;
    jint answer[2] = {0, 0};
    return convert(env, country, account, bankid, answer);
}

/* The conversion with its outcome: the IBAN or null, and into outcome[0] the library's
 * result, into outcome[1] the status. */
JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_ibanConvert(JNIEnv *env, jclass cls, jstring country,
                                                              jstring account, jstring bankid, jintArray outcome) {
    (void)cls;
    if (outcome == NULL || (*env)->GetArrayLength(env, outcome) < 2) {
        throw_new(env, NPE_CLASS, "outcome is NULL or too short");
        return NULL;
    }
    jint answer[2] = {0, 0};
    jstring result = convert(env, country, account, bankid, answer);
    if (!(*env)->ExceptionCheck(env)) (*env)->SetIntArrayRegion(env, outcome, 0, 2, answer);
    return result;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_ibanStatusText(JNIEnv *env, jclass cls, jint status) {
    (void)cls;
    return new_string(env, tarvo_iban_status_text((uint8_t)status));
}

JNIEXPORT jboolean JNICALL Java_com_libtarvo_TARVO_IBAN_1check(JNIEnv *env, jclass cls, jstring iban) {
    (void)cls;
    const char *i = utf_chars(env, iban, "iban is NULL");
    if (i == NULL) return JNI_FALSE;
    const int valid = tarvo_iban_check(i);
    release_utf_chars(env, iban, i);
    return valid == 1 ? JNI_TRUE : JNI_FALSE;
}

/* A lookup or conversion of one text that writes its answer into a buffer. */
typedef int (*text_answer)(const char *, char *);

/* The answer, or null when the library has none (result other than 1). The buffer holds
 * the longest answer, a printed IBAN. */
static jstring answer_of(JNIEnv *env, jstring input, const char *null_message, text_answer answer) {
    const char *i = utf_chars(env, input, null_message);
    if (i == NULL) return NULL;
    char out[IBAN_PRINTED_BUFFER] = {0};
    const int found = answer(i, out);
    release_utf_chars(env, input, i);
    return found == 1 ? new_string(env, out) : NULL;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_IBAN_1getBIC(JNIEnv *env, jclass cls, jstring iban) {
    (void)cls;
    return answer_of(env, iban, "iban is NULL", tarvo_iban_getBIC);
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_ibanNormalize(JNIEnv *env, jclass cls, jstring input) {
    (void)cls;
    return answer_of(env, input, "input is NULL", tarvo_iban_normalize);
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_ibanFormat(JNIEnv *env, jclass cls, jstring iban) {
    (void)cls;
    return answer_of(env, iban, "iban is NULL", tarvo_iban_format);
}

static int make_creditor_reference(const char *base, char *out) {
    return tarvo_creditor_reference_make(base, out, IBAN_PRINTED_BUFFER);
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_creditorReferenceMake(JNIEnv *env, jclass cls, jstring base) {
    (void)cls;
    return answer_of(env, base, "base is NULL", make_creditor_reference);
}

JNIEXPORT jboolean JNICALL Java_com_libtarvo_TARVO_creditorReferenceCheck(JNIEnv *env, jclass cls,
                                                                        jstring reference) {
    (void)cls;
    const char *r = utf_chars(env, reference, "reference is NULL");
    if (r == NULL) return JNI_FALSE;
    const int result = tarvo_creditor_reference_check(r);
    release_utf_chars(env, reference, r);
    return result == 1 ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jint JNICALL Java_com_libtarvo_TARVO_accountCheckBank(JNIEnv *env, jclass cls, jstring account,
                                                                jstring bankid) {
    (void)cls;
    const char *a = utf_chars(env, account, "account is NULL");
    if (a == NULL) return -1;
    const char *b = utf_chars(env, bankid, "bankid is NULL");
    const int result = b != NULL ? tarvo_account_check_bank(a, b) : -1;
    release_utf_chars(env, bankid, b);
    release_utf_chars(env, account, a);
    return result;
}

/* The bank record of a BIC, or NULL when the BIC is null (NullPointerException), not
 * found, or the lookup ran out of memory. The caller frees the record. */
static tarvo_bank_t *bic_bank(JNIEnv *env, jstring bic, int *was_null) {
    *was_null = bic == NULL;
    const char *b = utf_chars(env, bic, "bic is NULL");
    if (b == NULL) return NULL;
    tarvo_bank_t *bank = NULL;
    if (tarvo_bic_getBank(b, &bank) != 1) bank = NULL;
    release_utf_chars(env, bic, b);
    return bank;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_BIC_1getBankName(JNIEnv *env, jclass cls, jstring bic) {
    (void)cls;
    int was_null;
    tarvo_bank_t *bank = bic_bank(env, bic, &was_null);
    if (bank == NULL) return NULL;
    jstring name = bank->name != NULL ? new_string(env, bank->name) : NULL;
    free(bank);
    return name;
}

JNIEXPORT jint JNICALL Java_com_libtarvo_TARVO_BIC_1getBankFlags(JNIEnv *env, jclass cls, jstring bic) {
    (void)cls;
    int was_null;
    tarvo_bank_t *bank = bic_bank(env, bic, &was_null);
    if (bank == NULL) return was_null ? -1 : 0;
    const jint flags = bank->flags;
    free(bank);
    return flags;
}

JNIEXPORT jlong JNICALL Java_com_libtarvo_TARVO__1new(JNIEnv *env, jclass cls, jint type) {
    (void)cls;
    tarvo_t *h = tarvo_new(type);
    if (h == NULL) {
        throw_new(env, TARVO_EXCEPTION_CLASS, "Invalid message type or out of memory");
        return 0;
    }
    return (jlong)(uintptr_t)h;
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1free(JNIEnv *env, jclass cls, jlong handle) {
    (void)env;
    (void)cls;
    tarvo_free(handle_of(handle));
}

static void set_text(JNIEnv *env, jlong handle, jstring value, const char *null_message, text_setter setter) {
    const char *v = utf_chars(env, value, null_message);
    if (v == NULL) return;
    tarvo_t *h = handle_of(handle);
    const int ok = setter(h, v);
    release_utf_chars(env, value, v);
    if (ok != 1) throw_handle_error(env, h);
}

/* The six text setters: Java method _<method>(long handle, String <arg>). */
#define TEXT_SETTER(method, arg, setter)                                                                   \
    JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1##method(JNIEnv *env, jclass cls, jlong handle,      \
                                                             jstring arg) {                               \
        (void)cls;                                                                                        \
        set_text(env, handle, arg, #arg " is NULL", setter);                                              \
    }

TEXT_SETTER(setIBAN, iban, tarvo_setIBAN)
TEXT_SETTER(setBIC, bic, tarvo_setBIC)
TEXT_SETTER(setName, name, tarvo_setName)
TEXT_SETTER(setCreditorIdentifier, creditorIdentifier, tarvo_setCreditorIdentifier)
TEXT_SETTER(setDate, date, tarvo_setDate)
TEXT_SETTER(setMessageId, msgid, tarvo_setMessageId)
TEXT_SETTER(setRulebook, rulebook, tarvo_setRulebook)
TEXT_SETTER(setCategoryPurpose, code, tarvo_setCategoryPurpose)
TEXT_SETTER(setUltimateName, name, tarvo_setUltimateName)

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1setInstant(JNIEnv *env, jclass cls, jlong handle, jboolean flag) {
    (void)cls;
    tarvo_t *h = handle_of(handle);
    if (tarvo_setInstant(h, flag ? 1 : 0) != 1) throw_handle_error(env, h);
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO__1getRulebook(JNIEnv *env, jclass cls, jlong handle) {
    (void)cls;
    const char *id = tarvo_getRulebook(handle_of(handle));
    return id != NULL ? new_string(env, id) : NULL;
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1setDDType(JNIEnv *env, jclass cls, jlong handle, jint type) {
    (void)cls;
    tarvo_t *h = handle_of(handle);
    if (tarvo_setDDType(h, type) != 1) throw_handle_error(env, h);
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1setBatchBooking(JNIEnv *env, jclass cls, jlong handle,
                                                                 jboolean flag) {
    (void)cls;
    tarvo_t *h = handle_of(handle);
    if (tarvo_setBatchBooking(h, flag ? 1 : 0) != 1) throw_handle_error(env, h);
}

/* A copy of a Java string's modified UTF-8 bytes from malloc, so that no local reference
 * has to be held while later rows are read: a transaction may have any number of rows,
 * and the virtual machine grants only so many local references at once. NULL with the
 * exception pending (NullPointerException for a null string is left to the caller). */
static char *copy_utf_chars(JNIEnv *env, jstring s) {
    const char *chars = (*env)->GetStringUTFChars(env, s, NULL);
    if (chars == NULL) return NULL;
    const size_t size = strlen(chars) + 1;
    char *copy = malloc(size);
    if (copy != NULL) memcpy(copy, chars, size);
    (*env)->ReleaseStringUTFChars(env, s, chars);
    if (copy == NULL) throw_class(env, OOM_CLASS, "out of memory");
    return copy;
}

/* Converts row i into kv[2i], kv[2i+1]. 0 when the row is not a {key, value} pair of
 * strings (a null row or element is refused too: a null key would end the list early
 * and drop the rows after it); -1 when the virtual machine has thrown. */
static int convert_row(JNIEnv *env, jobjectArray properties, jsize i, char **kv) {
    jobjectArray row = (jobjectArray)(*env)->GetObjectArrayElement(env, properties, i);
    if (row == NULL) return 0;
    int status = 0;
    if ((*env)->GetArrayLength(env, row) == 2) {
        jstring key = (jstring)(*env)->GetObjectArrayElement(env, row, 0);
        jstring value = (jstring)(*env)->GetObjectArrayElement(env, row, 1);
        if (key != NULL && value != NULL) {
            kv[2 * i] = copy_utf_chars(env, key);
            kv[2 * i + 1] = kv[2 * i] != NULL ? copy_utf_chars(env, value) : NULL;
            status = kv[2 * i + 1] != NULL ? 1 : -1;
        }
        (*env)->DeleteLocalRef(env, key);
        (*env)->DeleteLocalRef(env, value);
    }
    (*env)->DeleteLocalRef(env, row);
    return status;
}

/* Adds the rows as one transaction, or as the further keys of a QR-bill payment when a
 * payload is given. */
static void add_rows(JNIEnv *env, jlong handle, jobjectArray properties, const char *payload) {
    const jsize n = (*env)->GetArrayLength(env, properties);
    /* Zeroed: the slots after a failed row stay NULL, which the release skips. */
    char **kv = calloc(2 * (size_t)n + 2, sizeof(char *));
    if (kv == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return;
    }
    tarvo_t *h = handle_of(handle);
    const char *error = NULL;
    int vm_threw = 0;
    for (jsize i = 0; i < n && error == NULL && !vm_threw; ++i) {
        const int status = convert_row(env, properties, i, kv);
        if (status == 0) error = "Invalid array dimensions";
        if (status < 0) vm_threw = 1;
    }
    const int added = error != NULL || vm_threw ? 1
                      : payload != NULL        ? tarvo_add_qrbill_kv(h, payload, (const char *const *)kv)
                                               : tarvo_add(h, (const char *const *)kv);
    if (added != 1) {
        error = tarvo_getError(h);
        if (error == NULL) error = "unknown error";
    }
    for (size_t i = 0; i < 2 * (size_t)n; ++i) free(kv[i]);
    free(kv);
    if (error != NULL) throw_new(env, TARVO_EXCEPTION_CLASS, error);
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1add(JNIEnv *env, jclass cls, jlong handle,
                                                     jobjectArray properties) {
    (void)cls;
    if (properties == NULL) return;
    add_rows(env, handle, properties, NULL);
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO__1addQrBill(JNIEnv *env, jclass cls, jlong handle, jstring payload,
                                                           jobjectArray properties) {
    (void)cls;
    if (payload == NULL || properties == NULL) return;
    char *text = copy_utf_chars(env, payload);
    if (text == NULL) return;
    add_rows(env, handle, properties, text);
    free(text);
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO__1toXML(JNIEnv *env, jclass cls, jlong handle) {
    (void)cls;
    tarvo_t *h = handle_of(handle);
    char *xml = tarvo_toXML(h);
    if (xml == NULL) {
        throw_handle_error(env, h);
        return NULL;
    }
    jstring document = new_string(env, xml);
    free(xml);
    return document;
}

/* texts[0, count) as a String[], null entries for null texts; NULL with an exception pending. */
jobjectArray string_array(JNIEnv *env, const char *const *texts, jsize count) {
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    jobjectArray out = string_class != NULL ? (*env)->NewObjectArray(env, count, string_class, NULL) : NULL;
    for (jsize i = 0; out != NULL && i < count; ++i) {
        if (texts[i] == NULL) continue;
        jstring s = new_string(env, texts[i]);
        if (s == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, out, i, s);
        (*env)->DeleteLocalRef(env, s);
    }
    return out;
}
