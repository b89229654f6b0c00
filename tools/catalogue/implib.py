"""Reads the exports that a mingw-w64 import library (an ar archive) promises.

Two member shapes occur: the long form that GNU dlltool writes (one small COFF object per
export, the DLL's name in the tail object's .idata$7, the export's name in .idata$6 or its
ordinal in .idata$4) and the short import form (signature 0 / 0xFFFF) that other tools
write. Both give, per export: the linker symbol (stdcall ones end in "@N", N the bytes of
arguments), the name under which the DLL exports it (or its ordinal), and the DLL.
"""

import os
import struct
from dataclasses import dataclass


@dataclass(frozen=True)
class Export:
    symbol: str        # linker symbol without the leading "_", e.g. "MessageBoxA@16"
    name: str          # the DLL's export name, "" when exported by ordinal only
    ordinal: int       # ordinal when imported by ordinal, else -1
    dll: str           # file name as the archive names it, e.g. "USER32.dll"
    is_code: bool

    @property
    def stack_bytes(self):
        """Argument bytes of a stdcall export, None for cdecl or undecorated ones."""
        base, at, n = self.symbol.rpartition("@")
        if not at or not n.isdigit() or not base:
            return None
        return int(n)

    @property
    def plain(self):
        """The symbol without its stdcall decoration."""
        base, at, n = self.symbol.rpartition("@")
        return base if at and n.isdigit() and base else self.symbol


def _members(data):
    if not data.startswith(b"!<arch>\n"):
        raise ValueError("not an ar archive")
    pos = 8
    longnames = b""
    while pos + 60 <= len(data):
        header = data[pos:pos + 60]
        name = header[:16].decode("latin-1").rstrip()
        size = int(header[48:58].decode("ascii").strip())
        body = data[pos + 60:pos + 60 + size]
        pos += 60 + size + (size & 1)
        if name == "//":
            longnames = body
            continue
        if name in ("/", "/SYM64/"):
            continue
        if name.startswith("/") and name[1:].isdigit():
            off = int(name[1:])
            end = longnames.find(b"\n", off)
            name = longnames[off:end].decode("latin-1").rstrip("/")
        else:
            name = name.rstrip("/")
        yield name, body


def _cstr(buf, off=0):
    end = buf.find(b"\0", off)
    return buf[off:end if end >= 0 else len(buf)].decode("latin-1")


class _Coff:
    def __init__(self, body):
        (self.machine, nsect, _, symptr, nsyms, optsize, _) = struct.unpack_from("<HHIIIHH", body, 0)
        self.body = body
        self.sections = {}
        off = 20 + optsize
        for i in range(nsect):
            raw = body[off:off + 40]
            name = raw[:8].rstrip(b"\0").decode("latin-1")
            size, ptr = struct.unpack_from("<II", raw, 16)
            self.sections.setdefault(name, body[ptr:ptr + size] if ptr else b"")
            off += 40
        strtab = symptr + nsyms * 18
        self.symbols = []
        i = 0
        while i < nsyms:
            raw = body[symptr + i * 18:symptr + i * 18 + 18]
            if raw[:4] == b"\0\0\0\0":
                (stroff,) = struct.unpack_from("<I", raw, 4)
                name = _cstr(body, strtab + stroff)
            else:
                name = raw[:8].rstrip(b"\0").decode("latin-1")
            value, secnum, typ, sclass, naux = struct.unpack_from("<IhHBB", raw, 8)
            self.symbols.append((name, secnum, sclass))
            i += 1 + naux


def read_import_library(path):
    """Returns the list of Export records of one import library."""
    with open(path, "rb") as f:
        data = f.read()
    pending = []       # (symbol, name, ordinal, head, is_code) of long-form members
    dll_of_head = {}   # head/iname symbol -> dll name
    exports = []
    for member, body in _members(data):
        if len(body) < 20:
            continue
        sig1, sig2 = struct.unpack_from("<HH", body, 0)
        if sig1 == 0 and sig2 == 0xFFFF:
            # Short import form.
            _, machine, _, size, hint, flags = struct.unpack_from("<HHIIHH", body, 4)
            sym = _cstr(body, 20)
            dll = _cstr(body, 20 + len(sym) + 1)
            kind = flags & 3
            name_type = (flags >> 2) & 7
            ordinal = hint if name_type == 0 else -1
            plain = sym.lstrip("_") if sym.startswith("_") else sym
            if name_type == 1:
                name = sym
            elif name_type == 2:
                name = sym[1:] if sym[:1] in "_@?" else sym
            elif name_type == 3:
                name = (sym[1:] if sym[:1] in "_@?" else sym).split("@")[0]
            else:
                name = ""
            exports.append(Export(sym[1:] if sym.startswith("_") else sym, name, ordinal, dll, kind == 0))
            continue
        try:
            coff = _Coff(body)
        except struct.error:
            continue
        if coff.machine not in (0x14C, 0x8664, 0):
            continue
        defined = [s for s in coff.symbols if s[1] > 0 and s[2] == 2]
        undefined = [s[0] for s in coff.symbols if s[1] == 0 and s[2] == 2]
        idata7 = coff.sections.get(".idata$7")
        if idata7 and ".idata$6" not in coff.sections and ".idata$4" in coff.sections and not any(
                n.startswith("__imp_") for n, _, _ in defined):
            # Tail object: the DLL's name, under the "_iname" symbol that heads refer to.
            name = _cstr(idata7)
            for n, _, _ in defined:
                dll_of_head[n] = name
            continue
        if ".idata$2" in coff.sections:
            # Head object: refers to the iname symbol of its tail.
            for n, _, _ in defined:
                if undefined:
                    dll_of_head[n] = ("ref", undefined[0])
            continue
        imps = [n for n, _, _ in defined if n.startswith("__imp_")]
        if not imps:
            continue
        imp = imps[0][len("__imp_"):]
        symbol = imp[1:] if imp.startswith("_") else imp
        is_code = ".text" in coff.sections and any(n == imp for n, _, _ in defined)
        name, ordinal = "", -1
        if ".idata$6" in coff.sections and len(coff.sections[".idata$6"]) > 2:
            name = _cstr(coff.sections[".idata$6"], 2)
        else:
            ilt = coff.sections.get(".idata$4", b"")
            if len(ilt) >= 4:
                (v,) = struct.unpack_from("<I", ilt, 0)
                if v & 0x80000000:
                    ordinal = v & 0xFFFF
        head = undefined[0] if undefined else ""
        pending.append((symbol, name, ordinal, head, is_code))
    for symbol, name, ordinal, head, is_code in pending:
        dll = dll_of_head.get(head, "")
        if isinstance(dll, tuple):
            dll = dll_of_head.get(dll[1], "")
        if not dll:
            dll = os.path.basename(path)[3:-2] + ".dll"
        exports.append(Export(symbol, name, ordinal, dll, is_code))
    return exports


if __name__ == "__main__":
    import sys
    for e in read_import_library(sys.argv[1]):
        print(e.dll, e.symbol, e.name or "#%d" % e.ordinal, "code" if e.is_code else "data")
