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
 * The file goes below the system property {@value #DIR_PROPERTY} when it is set, else below
 * {@code java.io.tmpdir}; a folder mounted {@code noexec} cannot serve.
 */
final class NativeLibrary {
    private static final String NAME = "tarvojni";
    static final String DIR_PROPERTY = "tarvo.native.dir";
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
        } catch (IOException e) {
            bundled = "it could not be extracted from the jar to " + extractionRoot() + " (" + e + ")";
        } catch (UnsatisfiedLinkError e) {
            // Mapping a file for execution fails on a noexec mount, which the error does not say.
            bundled = "it was extracted from the jar to " + extractionRoot() + " but could not be loaded"
                    + " there (" + e.getMessage() + "); that folder may be mounted noexec: choose one"
                    + " that allows execution with -D" + DIR_PROPERTY + "=<folder>";
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

    /** The folder below which the library is extracted. */
    static Path extractionRoot() {
        final String chosen = System.getProperty(DIR_PROPERTY);
        return Path.of(chosen != null && !chosen.isEmpty() ? chosen : System.getProperty("java.io.tmpdir"));
    }

    /** Null when loaded, otherwise why not. */
    private static String loadBundled(String resource, String file) throws IOException {
        try (InputStream in = NativeLibrary.class.getResourceAsStream(resource)) {
            if (in == null) return "the jar holds none (" + resource + ")";
            final Path dir = Files.createTempDirectory(extractionRoot(), "tarvo-",
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
