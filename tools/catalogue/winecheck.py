#!/usr/bin/python3
"""Compares the catalogue with Wine's export tables: every declaration's library must
export its name (or Alias) in Wine, an independent implementation of the same DLLs, or
the pair must be on the reviewed list not-in-wine.tsv with the reason.

    /usr/bin/python3 tools/catalogue/winecheck.py            # check data/catalogue
    /usr/bin/python3 tools/catalogue/winecheck.py --draft    # lines for unlisted pairs

The generator runs the same check on what it is about to write. Wine's PE DLLs come with
Debian's libwine; the 32-bit ones are read where installed (libwine:i386), else the
64-bit ones, which lack what Wine exports in 32 bits only: such names are listed as
32-bit-only and accepted from a 64-bit DLL alone.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from peexports import export_names, NotPE  # noqa: E402

# Where Debian puts them: libwine:i386 the 32-bit DLLs, libwine:amd64 the 64-bit ones
# (and a few 32-bit ones). VORN_WINE_DLLS, a list of folders separated by ":", replaces it.
WINE_DIRS = os.environ.get("VORN_WINE_DLLS", "").split(":") if os.environ.get("VORN_WINE_DLLS") else [
    "/usr/lib/i386-linux-gnu/wine/i386-windows", "/usr/lib/x86_64-linux-gnu/wine/i386-windows",
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"]
LIST = os.path.join(HERE, "not-in-wine.tsv")
PROTOTYPES = os.path.join(os.path.dirname(os.path.dirname(HERE)), "data", "catalogue", "prototypes.txt")

# The categories of not-in-wine.tsv.
ELSEWHERE = "elsewhere"    # Wine exports the name from another DLL
ABSENT = "absent"          # Windows exports it (import library); Wine's DLL does not
NO_DLL = "no-dll"          # Wine has no DLL of that name
ONLY_32 = "32-bit-only"    # Wine's 32-bit DLL exports it, its 64-bit DLL does not
CATEGORIES = (ELSEWHERE, ABSENT, NO_DLL, ONLY_32)


def dll_file(library):
    """File name of a catalogue library (kernel32 -> kernel32.dll, winspool.drv as is)."""
    return library if "." in library else library + ".dll"


class Wine:
    def __init__(self, dirs=None):
        self.dirs = [d for d in (WINE_DIRS if dirs is None else dirs) if os.path.isdir(d)]
        self._cache = {}

    def installed(self):
        return any(os.path.exists(os.path.join(d, "kernel32.dll")) for d in self.dirs)

    def path(self, library):
        for d in self.dirs:
            p = os.path.join(d, dll_file(library))
            if os.path.exists(p):
                return p
        return None

    def exports(self, library):
        """(names, True when read from a 64-bit DLL) or None when Wine has no such DLL."""
        if library not in self._cache:
            p = self.path(library)
            try:
                self._cache[library] = None if p is None else (export_names(p), "x86_64-windows" in p)
            except (NotPE, OSError, ValueError, struct.error):
                self._cache[library] = None
        return self._cache[library]

    def holders(self, name):
        """Every Wine DLL that exports a name, for the draft list."""
        out = []
        for d in self.dirs[:1]:
            for f in sorted(os.listdir(d)):
                lib = f[:-4] if f.endswith(".dll") else f
                e = self.exports(lib)
                if e and name in e[0] and lib not in out:
                    out.append(lib)
        return out


def read_list(path=LIST, categories=CATEGORIES):
    """{(library, export): (category, reason)}; stops on a malformed line."""
    out = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 4 or parts[2] not in categories or not parts[3].strip():
                sys.exit("%s:%d: library, export, category, reason" % (path, number))
            key = (parts[0], parts[1])
            if key in out:
                sys.exit("%s:%d: %s listed twice" % (path, number, "!".join(key)))
            out[key] = (parts[2], parts[3])
    return out


def check(pairs, wine=None, listed=None):
    """Problems with the (library, export) pairs: missing and unlisted, or listed and
    exported (a stale entry). Returns (problems, missing)."""
    wine = wine or Wine()
    listed = read_list() if listed is None else listed
    problems = []
    missing = []
    for lib, name in sorted(set(pairs)):
        e = wine.exports(lib)
        present = e is not None and name in e[0]
        entry = listed.get((lib, name))
        if present:
            if entry and (entry[0] != ONLY_32 or e[1]):
                problems.append("%s!%s: Wine exports it; remove it from not-in-wine.tsv" % (lib, name))
            continue
        missing.append((lib, name))
        if entry is None:
            problems.append("%s!%s: not exported by Wine's %s and not in not-in-wine.tsv" % (lib, name, dll_file(lib)))
        elif entry[0] == NO_DLL and e is not None:
            problems.append("%s!%s: listed as no-dll, but Wine has %s" % (lib, name, dll_file(lib)))
        elif entry[0] == ONLY_32 and (e is None or not e[1]):
            problems.append("%s!%s: listed as 32-bit only, but Wine's 32-bit DLL lacks it" % (lib, name))
    for key in sorted(set(listed) - set(pairs)):
        problems.append("%s!%s: in not-in-wine.tsv but not in the catalogue" % key)
    return problems, missing


def catalogue_pairs(path=PROTOTYPES):
    pairs = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.split("\t")
            pairs.append((fields[2], fields[1]))
    return pairs


def draft(pairs, wine, listed):
    """Proposed lines for missing pairs not yet listed, from what the export tables show;
    each is for a person to check before it goes in. Needs Wine's 32-bit DLLs."""
    wide = Wine([d for d in WINE_DIRS if "x86_64-windows" in d])
    for lib, name in sorted(set(pairs)):
        e = wine.exports(lib)
        if e is not None and e[1]:
            sys.exit("%s: read from a 64-bit DLL; install libwine:i386 or set VORN_WINE_DLLS" % lib)
        if (lib, name) in listed:
            continue
        if e is not None and name in e[0]:
            w = wide.exports(lib)
            if w is not None and name not in w[0]:
                print("\t".join([lib, name, ONLY_32, "Wine exports it from its 32-bit %s only" % dll_file(lib)]))
            continue
        others = [h for h in wine.holders(name) if h != lib and not h.endswith(".sys")]
        if e is None:
            cat, why = NO_DLL, "Wine has no %s" % dll_file(lib)
        elif others:
            cat, why = ELSEWHERE, "Wine exports it from %s" % ", ".join(others)
        else:
            cat, why = ABSENT, "Windows exports it (import library); Wine does not"
        print("\t".join([lib, name, cat, why]))


def main():
    wine = Wine()
    if not wine.installed():
        print("Wine's DLLs are not installed (Debian package libwine): nothing checked")
        return 0
    pairs = catalogue_pairs()
    listed = read_list() if os.path.exists(LIST) else {}
    if "--draft" in sys.argv:
        draft(pairs, wine, listed)
        return 0
    problems, missing = check(pairs, wine, listed)
    for p in problems:
        print(p)
    print("%d declarations, %d exports missing from the Wine DLL of their library, %d listed, %d problems" % (
        len(pairs), len(missing), len(listed), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
