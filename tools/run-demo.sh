#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded demo database in the program folder
# (build/program/mainbase.fdb) on the first run, and starts the console on it.
# Sign in as "Администратор" with login admin and password admin.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
program=$PWD/build/program
export FIREBIRD=$PWD/build/fbroot

if [ ! -f "$program/mainbase.fdb" ]; then
    "$program/bwdb" create "$program/mainbase.fdb" --demo
fi
# The database is on this computer: the program folder is the database location.
if [ ! -f "$program/settings.ini" ]; then
    printf '[Settings]\r\nRB1=0\r\nRB2=-1\r\nED4=127.0.0.1\r\nINT2=20\r\nCOM=russian.ini\r\n' > "$program/settings.ini"
fi
[ -f "$program/first.ini" ] || printf '0\r\n' > "$program/first.ini"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: the console runs on Qt's offscreen platform (use xvfb-run to see it)." >&2
    export QT_QPA_PLATFORM=offscreen
fi
exec "$program/brindlewick"
