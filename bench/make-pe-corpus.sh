#!/usr/bin/env bash
# Builds a corpus of varied PE files for bench_analyse --corpus, from what this machine
# holds and what its MinGW compilers make: runtime DLLs of two compilers' libraries (32
# and 64 bits), small launcher and installer executables, a resource-only DLL, a program
# that imports by name, and a packed-looking program
# whose bulk is random bytes. Nothing of it is kept in the repository.
# Usage: bench/make-pe-corpus.sh [DIR]   (default /tmp/vorn-pe-corpus); prints DIR.
# Needs: mingw-w64 (gcc, windres, objcopy); wine64 and python3 files are taken when present.
set -euo pipefail
dir=${1:-/tmp/vorn-pe-corpus}
rm -rf "$dir" && mkdir -p "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

take() { # take FILE NAME: copy a PE file in under a name that says where it came from
  [ -f "$1" ] && cp "$1" "$dir/$2"
}
for arch in x86_64 i686; do
  for f in /usr/lib/gcc/$arch-w64-mingw32/*-win32/{libstdc++-6,libgfortran-5,libgomp-1,libquadmath-0}.dll \
           /usr/lib/gcc/$arch-w64-mingw32/*-win32/adalib/libgnat-*.dll /usr/$arch-w64-mingw32/lib/{zlib1,libwinpthread-1}.dll; do
    take "$f" "mingw-$arch-$(basename "$f")"
  done
done
for f in $(find / -xdev \( -path /proc -o -path "$dir" \) -prune -o \( -name 'wininst-*.exe' -o -name '[tw]32.exe' -o -name '[tw]64.exe' \
           -o -name 'cli-*.exe' -o -name 'gui-*.exe' \) -print 2>/dev/null | sort -u | awk -F/ '!seen[$NF]++' | head -12); do
  take "$f" "python-$(basename "$f")"
done
for f in $(ls /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/{kernelbase,user32,comdlg32,shell32,ole32}.dll 2>/dev/null); do
  take "$f" "wine-$(basename "$f")"
done

cd "$work"
cat > program.c <<'C'
#include <windows.h>
#include <mmsystem.h>
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s)
{
    (void)i; (void)p; (void)s;
    HANDLE f = CreateFileA(c, GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    MessageBoxA(0, "Beep", "GetProcAddress", MB_OK);
    timeGetTime();
    CloseHandle(f);
    return (int)GetTickCount();
}
C
for arch in x86_64 i686; do
  $arch-w64-mingw32-gcc -O2 -s -mwindows program.c -lwinmm -o "$dir/built-$arch-program.exe"
  # Packed-looking: 6 MB of random bytes linked in as data.
  head -c 6000000 /dev/urandom > random.bin
  if [ $arch = x86_64 ]; then format=(-O pe-x86-64 -B i386:x86-64); else format=(-O pe-i386 -B i386); fi
  $arch-w64-mingw32-objcopy -I binary "${format[@]}" random.bin random.o
  $arch-w64-mingw32-gcc -O2 -s -mwindows program.c random.o -lwinmm -o "$dir/built-$arch-packed.exe"
  # Resource-only: strings and 2 MB of data, no code, no import table.
  { echo 'STRINGTABLE { 1, "CreateFileA GetTickCount MessageBox" }'; echo '1 RCDATA "random.bin"'; } > res.rc
  head -c 2000000 /dev/urandom > random.bin
  $arch-w64-mingw32-windres res.rc -o res.o
  $arch-w64-mingw32-gcc -shared -nostdlib -Wl,-e,0 -s res.o -o "$dir/built-$arch-resources.dll"
done
echo "$dir"
