"""Names for the parameters a header leaves unnamed, from Microsoft's Win32 metadata.

mingw-w64 declares some functions with types only (`GpStatus GdipCreateFromHDC(HDC,
GpGraphics **)`); the tool then makes a name from the type (hdc, pGraphics). Where the
metadata declares the same export in the same DLL with as many parameters, its name for
the parameter is better: the one the documentation uses. For an A/W pair each half is
matched by its own export (MessageBoxA, MessageBoxW). A name the metadata made up itself
(param0, param1, ...) is no better than the type's and is not taken.
"""

import collections
import re

import metadata

# Names the metadata gives where its own sources leave the parameter unnamed.
PLACEHOLDER = re.compile(r"^(param|arg|unnamedParam)\d+$", re.I)

# Why an unnamed parameter keeps the name its type made.
NO_ENTRY = "the metadata does not declare the export in its DLL"
AMBIGUOUS = "the metadata's declarations of the export in its DLL disagree"
COUNT_DIFFERS = "the metadata's parameter count differs from the header's"
PLACEHOLDER_NAME = "the metadata's name is a placeholder (param0, param1, ...)"
FROM_METADATA = "named from the metadata"


class Names:
    def __init__(self, api=None):
        api = metadata.load_api() if api is None else api
        # (export, library) -> set of tuples of parameter names, one per declaration
        # that 32-bit Windows has (the metadata repeats a function per architecture
        # where the declarations differ).
        self.by_export = collections.defaultdict(set)
        # (export, library) -> set of tuples of flags: the parameter may be NULL
        # (the metadata's "Optional").
        self.optional_by_export = collections.defaultdict(set)
        # (export, library) -> set of tuples of flags: the parameter is a buffer whose size
        # in bytes another parameter gives (the metadata's "MemorySize").
        self.sized_by_export = collections.defaultdict(set)
        for space in api.values():
            for f in space.get("Functions", []):
                arch = f.get("Architectures") or []
                if arch and "X86" not in arch:
                    continue
                key = (f["Name"], metadata.library_of(f.get("DllImport", "")))
                self.by_export[key].add(tuple(p["Name"] for p in f.get("Params", [])))
                self.optional_by_export[key].add(tuple("Optional" in p.get("Attrs", []) for p in f.get("Params", [])))
                self.sized_by_export[key].add(tuple(
                    any(isinstance(a, dict) and a.get("Kind") == "MemorySize" for a in p.get("Attrs", []))
                    for p in f.get("Params", [])))

    def lookup(self, export, library, count):
        """The metadata's parameter names of the export (None where it has none to give)
        and the reason where it has none."""
        found = self.by_export.get((export, library))
        if not found:
            return None, NO_ENTRY
        if len(found) > 1:
            return None, AMBIGUOUS
        names = next(iter(found))
        if len(names) != count:
            return None, COUNT_DIFFERS
        return list(names), None

    def optional(self, export, library, count):
        """For each of the export's count parameters whether the metadata lets it be NULL;
        all False where the metadata does not declare the export in its DLL, declares it
        otherwise in different places, or with another count."""
        return self._flags(self.optional_by_export, export, library, count)

    def sized(self, export, library, count):
        """For each of the export's count parameters whether the metadata gives its size in
        bytes by another parameter; all False where optional() would be."""
        return self._flags(self.sized_by_export, export, library, count)

    @staticmethod
    def _flags(by_export, export, library, count):
        found = by_export.get((export, library))
        if not found or len(found) > 1 or len(next(iter(found))) != count:
            return [False] * count
        return list(next(iter(found)))

    def given(self, export, library, c_names):
        """For each C parameter (c_names: the header's names, "" where it has none) a pair:
        the metadata's name to use where the header has none, else None, and for an
        unnamed parameter what names it (FROM_METADATA or the reason it keeps the name its
        type made), else None."""
        names, why = self.lookup(export, library, len(c_names))
        out = []
        for i, c in enumerate(c_names):
            if c:
                out.append((None, None))
            elif names is None:
                out.append((None, why))
            elif PLACEHOLDER.match(names[i]) or not re.search(r"[A-Za-z]", names[i]):
                out.append((None, PLACEHOLDER_NAME))
            else:
                out.append((names[i], FROM_METADATA))
        return out


def is_placeholder(name):
    return bool(PLACEHOLDER.match(name))
