/* What the native method files of libtarvojni share: exceptions and string conversion. */
#ifndef TARVOJNI_H
#define TARVOJNI_H

#include <jni.h>

#define NPE_CLASS "java/lang/NullPointerException"
#define TARVO_EXCEPTION_CLASS "com/libtarvo/TARVOException"
#define OOM_CLASS "java/lang/OutOfMemoryError"

/* Throws class_name with message as it is (modified UTF-8 already). */
void throw_class(JNIEnv *env, const char *class_name, const char *message);
/* Throws class_name with a library text as its message. */
void throw_new(JNIEnv *env, const char *class_name, const char *message);
/* A Java string as modified UTF-8 bytes; a null string throws NullPointerException with
 * null_message. NULL then, and when the virtual machine could not copy the string. */
const char *utf_chars(JNIEnv *env, jstring s, const char *null_message);
void release_utf_chars(JNIEnv *env, jstring s, const char *chars);
/* A library UTF-8 text as a Java string; NULL with OutOfMemoryError pending. */
jstring new_string(JNIEnv *env, const char *text);
/* texts[0, count) as a String[], null entries for null texts; NULL with an exception pending. */
jobjectArray string_array(JNIEnv *env, const char *const *texts, jsize count);

#endif
