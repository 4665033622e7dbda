/*
 * The bank data natives of TARVO: loading a data file, returning to the compiled-in data,
 * and the editions in use.
 */
#include <jni.h>
#include <stdlib.h>

#include "tarvo.h"
#include "tarvojni.h"

/* Null when loaded, else the refusal's message. */
JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_dataLoadOrMessage(JNIEnv *env, jclass cls, jstring path) {
    (void)cls;
    const char *chars = utf_chars(env, path, "path is null");
    if (chars == NULL) return NULL;
    char *message = NULL;
    const int loaded = tarvo_data_load(chars, &message);
    release_utf_chars(env, path, chars);
    if (loaded == 1) return NULL;
    jstring text = new_string(env, message != NULL ? message : "refused");
    free(message);
    return text;
}

JNIEXPORT void JNICALL Java_com_libtarvo_TARVO_dataUnload(JNIEnv *env, jclass cls) {
    (void)env;
    (void)cls;
    tarvo_data_unload();
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_dataInfo(JNIEnv *env, jclass cls) {
    (void)cls;
    char *json = tarvo_data_info_json();
    if (json == NULL) {
        throw_new(env, OOM_CLASS, "out of memory");
        return NULL;
    }
    jstring text = new_string(env, json);
    free(json);
    return text;
}

JNIEXPORT jstring JNICALL Java_com_libtarvo_TARVO_dataWarning(JNIEnv *env, jclass cls) {
    (void)cls;
    char *warning = tarvo_data_warning(time(NULL));
    if (warning == NULL) return NULL;
    jstring text = new_string(env, warning);
    free(warning);
    return text;
}
