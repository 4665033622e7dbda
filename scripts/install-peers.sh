#!/usr/bin/env bash
# Installs the libraries `make bench-peers` times tarvo against: Debian packages system-wide,
# npm packages into <build>/peers/node_modules (never into the source tree). The peers are
# only run and timed; nothing of theirs is linked into tarvo.
set -euo pipefail
build=${1:-build}

packages=(ktoblzcheck libktoblzcheck1-dev python3-stdnum nodejs npm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# A Node.js from another source brings its own npm, which the Debian npm would conflict with.
if command -v npm >/dev/null; then
    missing=("${missing[@]/npm}")
    command -v node >/dev/null && missing=("${missing[@]/nodejs}")
fi
want=()
for p in "${missing[@]}"; do [ -n "$p" ] && want+=("$p"); done
if [ "${#want[@]}" -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "installing: ${want[*]}"
    $sudo apt-get -o DPkg::Lock::Timeout=300 update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y "${want[@]}"
fi

peers="$build/peers"
mkdir -p "$peers"
if [ ! -d "$peers/node_modules/ibantools" ] || [ ! -d "$peers/node_modules/sepa" ] ||
   [ ! -d "$peers/node_modules/mt940js" ]; then
    [ -f "$peers/package.json" ] || echo '{"name":"tarvo-bench-peers","private":true}' >"$peers/package.json"
    npm install --prefix "$peers" --no-audit --no-fund --loglevel=error ibantools sepa mt940js
fi
