/*
 * Native method of com.libtarvo.Reconciliation: one call adds every input to a fresh
 * handle, runs it and hands back the rows as texts and the warnings.
 */
#include <jni.h>
#include <stddef.h>
#include <stdlib.h>

#include "tarvo.h"
#include "tarvojni.h"

typedef int (*add_file)(tarvo_reconcile_t *, const char *);
typedef int (*add_memory)(tarvo_reconcile_t *, const char *, size_t, const char *);

/* Indexed by the input kind Java passes: payments, status report, statements. */
static const add_file file_adders[] = {tarvo_reconcile_addPayments, tarvo_reconcile_addStatus,
                                       tarvo_reconcile_addStatements};
static const add_memory memory_adders[] = {tarvo_reconcile_addPaymentsMemory, tarvo_reconcile_addStatusMemory,
                                           tarvo_reconcile_addStatementsMemory};

/* The components of ReconciliationRow before "unmatched", in order. */
static const size_t row_fields[] = {
    offsetof(tarvo_reconcile_row_t, messageId), offsetof(tarvo_reconcile_row_t, paymentInformationId),
    offsetof(tarvo_reconcile_row_t, endToEndId), offsetof(tarvo_reconcile_row_t, amount),
    offsetof(tarvo_reconcile_row_t, currency),  offsetof(tarvo_reconcile_row_t, state),
    offsetof(tarvo_reconcile_row_t, reason),    offsetof(tarvo_reconcile_row_t, vop),
    offsetof(tarvo_reconcile_row_t, evidence),
};
#define ROW_FIELDS (jsize)(sizeof(row_fields) / sizeof(row_fields[0]))

/* One input: a path (String) or the bytes of a document (byte[]) named by name. */
static int add_input(JNIEnv *env, tarvo_reconcile_t *r, jint kind, jobject source, jstring name) {
    if (kind < 0 || kind > 2) return 0;
    jclass bytes_class = (*env)->FindClass(env, "[B");
    if (bytes_class == NULL) return 0;
    if ((*env)->IsInstanceOf(env, source, bytes_class)) {
        const char *n = name != NULL ? utf_chars(env, name, "name is NULL") : NULL;
        if (name != NULL && n == NULL) return 0;
        jbyte *data = (*env)->GetByteArrayElements(env, (jbyteArray)source, NULL);
        int added = data != NULL ? memory_adders[kind](r, (const char *)data,
                                                      (size_t)(*env)->GetArrayLength(env, (jarray)source), n)
                                 : 0;
        if (data != NULL) (*env)->ReleaseByteArrayElements(env, (jbyteArray)source, data, JNI_ABORT);
        if (n != NULL) release_utf_chars(env, name, n);
        return added;
    }
    const char *path = utf_chars(env, (jstring)source, "path is NULL");
    if (path == NULL) return 0;
    const int added = file_adders[kind](r, path);
    release_utf_chars(env, (jstring)source, path);
    return added;
}

/* {String[][] rows (the row's texts, then "1" or null for unmatched), String[] warnings}. */
static jobjectArray results(JNIEnv *env, tarvo_reconcile_t *r) {
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    jclass string_array_class = string_class != NULL ? (*env)->FindClass(env, "[Ljava/lang/String;") : NULL;
    jclass object_class = string_array_class != NULL ? (*env)->FindClass(env, "java/lang/Object") : NULL;
    if (object_class == NULL) return NULL;
    const jsize count = (jsize)tarvo_reconcile_count(r);
    jobjectArray rows = (*env)->NewObjectArray(env, count, string_array_class, NULL);
    for (jsize i = 0; rows != NULL && i < count; ++i) {
        const tarvo_reconcile_row_t *row = tarvo_reconcile_row(r, (size_t)i);
        if (row == NULL) {
            throw_class(env, OOM_CLASS, "out of memory");
            return NULL;
        }
        const char *texts[ROW_FIELDS + 1];
        for (jsize f = 0; f < ROW_FIELDS; ++f) texts[f] = *(const char *const *)((const char *)row + row_fields[f]);
        texts[ROW_FIELDS] = row->unmatched ? "1" : NULL;
        jobjectArray values = string_array(env, texts, ROW_FIELDS + 1);
        if (values == NULL) return NULL;
        (*env)->SetObjectArrayElement(env, rows, i, values);
        (*env)->DeleteLocalRef(env, values);
    }
    const jsize warning_count = (jsize)tarvo_reconcile_warningCount(r);
    const char **texts = rows != NULL ? malloc(sizeof(char *) * (size_t)(warning_count + 1)) : NULL;
    if (rows != NULL && texts == NULL) throw_class(env, OOM_CLASS, "out of memory");
    for (jsize i = 0; texts != NULL && i < warning_count; ++i) texts[i] = tarvo_reconcile_warning(r, (size_t)i);
    jobjectArray warnings = texts != NULL ? string_array(env, texts, warning_count) : NULL;
    free((void *)texts);
    jobjectArray out = warnings != NULL ? (*env)->NewObjectArray(env, 2, object_class, NULL) : NULL;
    if (out == NULL) return NULL;
    (*env)->SetObjectArrayElement(env, out, 0, rows);
    (*env)->SetObjectArrayElement(env, out, 1, warnings);
    return out;
}

JNIEXPORT jobjectArray JNICALL Java_com_libtarvo_Reconciliation__1run(JNIEnv *env, jclass cls, jintArray kinds,
                                                                      jobjectArray sources, jobjectArray names) {
    (void)cls;
    tarvo_reconcile_t *r = tarvo_reconcile_new();
    if (r == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    jobjectArray out = NULL;
    const jsize count = (*env)->GetArrayLength(env, kinds);
    jint *kind = (*env)->GetIntArrayElements(env, kinds, NULL);
    jsize i = 0;
    for (; kind != NULL && i < count; ++i) {
        jobject source = (*env)->GetObjectArrayElement(env, sources, i);
        jstring name = (jstring)(*env)->GetObjectArrayElement(env, names, i);
        const int added = add_input(env, r, kind[i], source, name);
        (*env)->DeleteLocalRef(env, source);
        (*env)->DeleteLocalRef(env, name);
        if (added != 1) break;
    }
    if (kind != NULL) (*env)->ReleaseIntArrayElements(env, kinds, kind, JNI_ABORT);
    if ((*env)->ExceptionCheck(env)) {
        /* pending already */
    } else if (kind == NULL) {
        throw_class(env, OOM_CLASS, "out of memory");
    } else if (i < count || tarvo_reconcile_run(r) != 1) {
        const char *error = tarvo_reconcile_getError(r);
        throw_new(env, TARVO_EXCEPTION_CLASS, error != NULL ? error : "refused");
    } else {
        out = results(env, r);
    }
    tarvo_reconcile_free(r);
    return out;
}
