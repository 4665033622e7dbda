/* The library's UTF-8 texts as the modified UTF-8 that the JNI string functions expect. */
#ifndef TARVO_JAVA_MODIFIED_UTF8_H
#define TARVO_JAVA_MODIFIED_UTF8_H

/* text itself when it already is well-formed modified UTF-8; otherwise a converted copy
 * from malloc (characters beyond U+FFFF as surrogate pairs, every malformed byte as
 * U+FFFD), or NULL when that copy cannot be allocated. */
const char *modified_utf8(const char *text);

/* Releases what modified_utf8(text) returned. */
void modified_utf8_release(const char *converted, const char *text);

#endif
