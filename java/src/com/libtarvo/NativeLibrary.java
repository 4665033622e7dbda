package com.libtarvo;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.Locale;

/**
 * Loads libtarvojni once per class loader: the copy in the jar for this platform first,
 * extracted to a private temporary file, and otherwise the one on {@code java.library.path}.
 */
final class NativeLibrary {
    private static final String NAME = "tarvojni";
    private static boolean loaded;

    private NativeLibrary() {}

    /** The platform as the jar names its folders, for example {@code linux-amd64}. */
    static String platform() {
        final String os = System.getProperty("os.name", "").toLowerCase(Locale.ROOT).split(" ")[0];
        return os + "-" + System.getProperty("os.arch", "").toLowerCase(Locale.ROOT);
    }

    static synchronized void load() {
        if (loaded) return;
        final String file = System.mapLibraryName(NAME);
        final String resource = "/com/libtarvo/native/" + platform() + "/" + file;
        String bundled;
        try {
            bundled = loadBundled(resource, file);
        } catch (IOException | UnsatisfiedLinkError e) {
            bundled = "it could not be loaded from the jar (" + e + ")";
        }
        if (bundled == null) {
            loaded = true;
            return;
        }
        try {
            System.loadLibrary(NAME);
            loaded = true;
        } catch (UnsatisfiedLinkError e) {
            throw new UnsatisfiedLinkError("tarvo needs its native library " + file + " for " + platform() + ": "
                    + bundled + ", and none was found on java.library.path ("
                    + System.getProperty("java.library.path") + "); use the tarvo.jar built for this platform"
                    + " or run Java with -Djava.library.path=<prefix>/lib/jni");
        }
    }

    /** Null when loaded, otherwise why not. */
    private static String loadBundled(String resource, String file) throws IOException {
        try (InputStream in = NativeLibrary.class.getResourceAsStream(resource)) {
            if (in == null) return "the jar holds none (" + resource + ")";
            final Path dir = Files.createTempDirectory("tarvo-",
                    PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------")));
            final Path library = dir.resolve(file);
            try {
                Files.copy(in, library);
                System.load(library.toString());
            } finally {
                // Once mapped the library needs no file; nothing is left behind.
                Files.deleteIfExists(library);
                Files.deleteIfExists(dir);
            }
            return null;
        }
    }
}
