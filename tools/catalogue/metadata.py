#!/usr/bin/python3
"""Microsoft's Win32 metadata (win32metadata, MIT licence), as far as the catalogue reads
it: for every function, the DLL of its DllImport, whether it sets the last error
(Err.LastDllError), the first Windows that has it, the architectures it exists on, and
whether it is obsolete with the message that names its replacement.

The repository keeps only what the generator reads, beside the licence and the version it
was taken from: `win32metadata/functions.tsv.xz`, one line a function with the facts
above, and `win32metadata/api.json.xz`, every namespace's functions with their parameter
and return types, its constants, and its types (enums with their members, structures and
unions with their fields and layouts, function pointers, handles) except the members of
COM interfaces and classes, which keep only their names (`load_api()` reads it). To take
both again from the JSON rendering (`win32json-api.tar.xz`, api/*.json):

    /usr/bin/python3 tools/catalogue/metadata.py --extract win32json-api.tar.xz
"""

import collections
import io
import json
import lzma
import os
import re
import sys
import tarfile

HERE = os.path.dirname(os.path.abspath(__file__))
DIR = os.path.join(HERE, "win32metadata")
EXTRACT = os.path.join(DIR, "functions.tsv.xz")
API_EXTRACT = os.path.join(DIR, "api.json.xz")
COLUMNS = ["name", "dll", "setlasterror", "platform", "architectures", "obsolete", "namespace"]

# Platform names of the metadata and the Windows a Basic programmer knows them by.
WINDOWS = [
    ("windows5.0", "2000"), ("windowsServer2000", "2000"), ("windows5.1.2600", "XP"),
    ("windowsServer2003", "XP"), ("windows6.0.6000", "Vista"), ("windowsServer2008", "Vista"),
    ("windows6.1", "7"), ("windows8.0", "8"), ("windowsServer2012", "8"), ("windows8.1", "8.1"),
    ("windows10.0.10240", "10"), ("windows10.0.10586", "10"), ("windows10.0.14393", "10"),
    ("windowsServer2016", "10"), ("windows10.0.15063", "10"), ("windows10.0.16299", "10"),
    ("windows10.0.17134", "10"), ("windows10.0.17763", "10"), ("windows10.0.19041", "10"),
]
WINDOWS_NAME = dict(WINDOWS)


class Function:
    def __init__(self, fields):
        self.name, self.dll, sle, self.platform, arch, self.obsolete, self.namespace = fields
        self.set_last_error = sle == "1"
        self.architectures = tuple(a for a in arch.split(",") if a)

    @property
    def windows(self):
        """The first Windows that has the function ("XP", "Vista", ...), or ""."""
        return WINDOWS_NAME.get(self.platform, "")

    @property
    def sixty_four_bit_only(self):
        return bool(self.architectures) and "X86" not in self.architectures

    @property
    def is_obsolete(self):
        return self.obsolete != ""

    def replacements(self):
        """The functions the obsolete-message names (inet_pton, InetPton), or []."""
        text = self.obsolete
        m = re.search(r"Please use (\w+) instead", text)
        if m:
            return [m.group(1)]
        return re.findall(r"(\w+)\(", text)


def library_of(dll):
    """The Lib name of a DllImport: lower case, ".dll" dropped, other extensions kept."""
    dll = dll.lower()
    return dll[:-4] if dll.endswith(".dll") else dll


class Metadata:
    def __init__(self, path=EXTRACT):
        self.by_name = collections.defaultdict(list)
        with lzma.open(path, "rt", encoding="utf-8", newline="\n") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                fn = Function(line.rstrip("\n").split("\t"))
                self.by_name[fn.name].append(fn)

    def lookup(self, export, library=None):
        """The metadata's function for an export name: the one in the given library where
        several DLLs declare the name, else the first; None where the metadata lacks it."""
        found = self.by_name.get(export)
        if not found:
            return None
        for fn in found:
            if library is not None and library_of(fn.dll) == library:
                return fn
        return found[0]

    def only_64_bit(self, export, library):
        """Whether every declaration of the export in the library (the metadata has one per
        architecture where they differ, as CheckSumMappedFile) is for 64-bit Windows only."""
        found = [fn for fn in self.by_name.get(export, []) if library_of(fn.dll) == library]
        return bool(found) and all(fn.sixty_four_bit_only for fn in found)

    def libraries(self, export):
        return sorted({library_of(fn.dll) for fn in self.by_name.get(export, [])})


def version():
    with open(os.path.join(DIR, "version.txt"), encoding="utf-8") as f:
        v = f.read().strip()
    with open(os.path.join(DIR, "commit.txt"), encoding="utf-8") as f:
        commit = f.read().split()[0]
    return v, commit


def load_api(path=API_EXTRACT):
    """The metadata as the generator reads it: {namespace: {"Functions": [...],
    "Types": [...], "Constants": [...], "UnicodeAliases": [...]}}, as in the JSON
    rendering, except that COM interfaces and classes keep only "Name" and "Kind"."""
    with lzma.open(path, "rb") as f:
        return json.loads(f.read().decode("utf-8"))


def extract(tarball):
    rows = set()
    api = {}
    with tarfile.open(tarball, "r:xz") as tar:
        for member in sorted(tar.getmembers(), key=lambda m: m.name):
            if not member.name.endswith(".json"):
                continue
            namespace = os.path.basename(member.name)[:-5]
            data = json.load(io.TextIOWrapper(tar.extractfile(member), encoding="utf-8-sig"))
            api[namespace] = {
                "Functions": data.get("Functions", []),
                "Types": [{"Name": t["Name"], "Kind": t["Kind"]}
                          if t["Kind"] in ("Com", "ComClassID") else t
                          for t in data.get("Types", [])],
                "Constants": data.get("Constants", []),
                "UnicodeAliases": data.get("UnicodeAliases", []),
            }
            for f in data.get("Functions", []):
                obsolete = ""
                for a in f.get("Attrs", []):
                    if a == "Obsolete":
                        obsolete = "-"
                    elif isinstance(a, dict) and a.get("Kind") == "Obsolete":
                        obsolete = a.get("Message", "").strip() or "-"
                rows.add((f["Name"], f["DllImport"], "1" if f.get("SetLastError") else "0",
                          f.get("Platform") or "", ",".join(f.get("Architectures") or []),
                          obsolete.replace("\t", " "), namespace))
    os.makedirs(DIR, exist_ok=True)
    text = "# " + "\t".join(COLUMNS) + "\n" + "".join("\t".join(r) + "\n" for r in sorted(rows))
    # preset and format fixed, no file name or time stored: the same rows give the same bytes
    with open(EXTRACT, "wb") as out:
        out.write(lzma.compress(text.encode("utf-8"), format=lzma.FORMAT_XZ, preset=9))
    print("%d functions written to %s" % (len(rows), EXTRACT))
    text = json.dumps(api, sort_keys=True, separators=(",", ":"), ensure_ascii=False)
    with open(API_EXTRACT, "wb") as out:
        out.write(lzma.compress(text.encode("utf-8"), format=lzma.FORMAT_XZ,
                                preset=9 | lzma.PRESET_EXTREME))
    print("%d namespaces written to %s" % (len(api), API_EXTRACT))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--extract":
        extract(sys.argv[2])
    else:
        sys.exit(__doc__)
