dnl The PHP build of the extension (phpize && ./configure && make), against an installed
dnl libtarvo, linked statically so that tarvo.so stays one file. --with-tarvo=DIR names the
dnl prefix libtarvo was installed under; without DIR, pkg-config finds it (PKG_CONFIG_PATH
dnl for a prefix outside its search path). The project's own CMake build builds the same sources.
PHP_ARG_WITH([tarvo],
  [for the tarvo SEPA extension],
  [AS_HELP_STRING([[--with-tarvo[=DIR]]],
    [Include tarvo; DIR: the prefix libtarvo is installed under (default: found by pkg-config)])],
  [yes])

if test "$PHP_TARVO" != "no"; then
  if test "$PHP_TARVO" != "yes"; then
    dnl The package file under the prefix, wherever the install put the library folder.
    tarvo_pc_dir=
    for dir in "$PHP_TARVO"/lib/pkgconfig "$PHP_TARVO"/lib64/pkgconfig "$PHP_TARVO"/lib/*/pkgconfig; do
      if test -f "$dir/tarvo-static.pc"; then
        tarvo_pc_dir=$dir
        break
      fi
    done
    if test -z "$tarvo_pc_dir"; then
      AC_MSG_ERROR([no libtarvo under $PHP_TARVO: tarvo-static.pc not found in its lib/pkgconfig])
    fi
    PKG_CONFIG_PATH="$tarvo_pc_dir${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
    export PKG_CONFIG_PATH
  fi
  dnl libtarvo-qr first: the archive that draws the codes needs the core after it.
  PKG_CHECK_MODULES([TARVO], [tarvo-qr tarvo-static >= 2.30])
  PHP_EVAL_INCLINE([$TARVO_CFLAGS])
  dnl The archive is named by its path, which PHP_EVAL_LIBLINE keeps as it is.
  TARVO_SHARED_LIBADD="$TARVO_SHARED_LIBADD $TARVO_LIBS"
  dnl Keep the core's symbols out of the module's exports.
  TARVO_SHARED_LIBADD="$TARVO_SHARED_LIBADD -Wl,--exclude-libs,ALL"
  PHP_SUBST([TARVO_SHARED_LIBADD])
  PHP_NEW_EXTENSION([tarvo], [tarvo_module.c tarvo_message.c tarvo_statement.c tarvo_report.c tarvo_reconcile.c tarvo_qr.c], [$ext_shared])
fi
