#!/usr/bin/env bash
# Rebuilds the small Windows executables that the analysis tests read, from their C
# sources in tests/find/data, with Debian's mingw-w64 cross compiler
# (apt-get install gcc-mingw-w64-x86-64-win32). The outputs are committed, so building
# and testing Vorn does not need the cross compiler.
set -euo pipefail
cd "$(dirname "$0")/../tests/find/data"
cc=x86_64-w64-mingw32-gcc
$cc -Os -s -nostdlib -e start -Wl,--subsystem,windows imports.c -lkernel32 -luser32 -o imports.exe
$cc -Os -s -nostdlib -shared -e DllMainCRTStartup library.c -lkernel32 -luser32 -o library.dll
ls -l imports.exe library.dll
