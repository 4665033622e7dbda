# Sourced by the tests that install from the build folder: the record of the user's own last
# install (install_manifest.txt and its prefix) is put back when the test ends, so that
# `make uninstall` still takes back that install after `make test`.
#   keep_manifest <build dir> <scratch dir>   (sets an EXIT trap that also removes the scratch dir)
keep_manifest() {
    kept_build=$1 kept_scratch=$2
    mkdir -p "$kept_scratch/kept"
    local f
    for f in install_manifest.txt install_manifest.prefix; do
        if [ -e "$kept_build/$f" ]; then cp -p "$kept_build/$f" "$kept_scratch/kept/"; fi
    done
    trap restore_manifest EXIT
}

restore_manifest() {
    local f
    for f in install_manifest.txt install_manifest.prefix; do
        rm -f "$kept_build/$f"
        if [ -e "$kept_scratch/kept/$f" ]; then cp -p "$kept_scratch/kept/$f" "$kept_build/"; fi
    done
    rm -rf "$kept_scratch"
}
