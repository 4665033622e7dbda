dnl The PHP build of the extension (phpize && ./configure && make), against an installed
dnl libtarvo found by pkg-config. The project's own CMake build builds the same sources.
PHP_ARG_ENABLE([tarvo],
  [whether to enable the tarvo SEPA extension],
  [AS_HELP_STRING([--enable-tarvo], [Enable tarvo (needs libtarvo, found by pkg-config)])],
  [yes])

if test "$PHP_TARVO" != "no"; then
  PKG_CHECK_MODULES([TARVO], [tarvo >= 2.30 tarvo-qr])
  PHP_EVAL_INCLINE([$TARVO_CFLAGS])
  PHP_EVAL_LIBLINE([$TARVO_LIBS], [TARVO_SHARED_LIBADD])
  dnl The core is a static library: keep its symbols out of the module's exports.
  TARVO_SHARED_LIBADD="$TARVO_SHARED_LIBADD -Wl,--exclude-libs,ALL"
  PHP_SUBST([TARVO_SHARED_LIBADD])
  PHP_NEW_EXTENSION([tarvo], [tarvo_module.c tarvo_message.c tarvo_statement.c tarvo_qr.c], [$ext_shared])
fi
