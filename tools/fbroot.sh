#!/usr/bin/env bash
# Lays out a private Firebird root folder for the embedded engine in SuperClassic mode,
# so that the console, its tools and its tests can open one database file from several
# processes at once. The system's Firebird configuration is left untouched.
# Usage: fbroot.sh DIR      (then export FIREBIRD=DIR)
set -euo pipefail
root=${1:?usage: fbroot.sh DIR}
sys=/usr/lib/x86_64-linux-gnu/firebird/3.0
[ -d "$sys" ] || sys=$(dirname "$(readlink -f "$(ldconfig -p | awk '/libfbclient.so.2 /{print $NF; exit}')")")/firebird/3.0
mkdir -p "$root" "$root/intl"
for item in plugins lib UDF firebird.msg plugins.conf; do
    [ -e "$sys/$item" ] && ln -sfn "$sys/$item" "$root/$item"
done
# The engine refuses a character-set module reached through a symlinked folder, so intl is a real folder.
cp -f "$sys/intl/libfbintl.so" "$root/intl/libfbintl.so"
cp -fL "$sys/intl/fbintl.conf" "$root/intl/fbintl.conf"
[ -e "$root/databases.conf" ] || : > "$root/databases.conf"
cat > "$root/firebird.conf" <<CONF
ServerMode = SuperClassic
Providers = Engine12,Remote,Loopback
CONF
mkdir -p "$root/tmp" 
