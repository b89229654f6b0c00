"""Reads the names in the export directory of a PE file (a Windows DLL), 32 or 64 bits.

A forwarded export (kernel32's HeapAlloc that names ntdll.RtlAllocateHeap) counts as an
export: the loader resolves the name in the DLL that holds it.
"""

import struct


class NotPE(ValueError):
    pass


def export_names(path):
    """The set of names a PE file exports (empty when it has no export directory)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ" or len(data) < 0x40:
        raise NotPE(path)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotPE(path)
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise NotPE(path)
    export_rva, export_size = struct.unpack_from("<II", data, directories)
    if not export_rva:
        return set()
    table = []
    for i in range(sections):
        s = optional + optional_size + 40 * i
        vsize, rva, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
        table.append((rva, max(vsize, rawsize), rawptr))

    def offset(r):
        for rva, size, raw in table:
            if rva <= r < rva + size:
                return r - rva + raw
        raise NotPE("%s: address %#x outside the sections" % (path, r))

    d = offset(export_rva)
    count, names_rva = struct.unpack_from("<I4xI", data, d + 24)
    if not count:
        return set()
    names = set()
    pointers = offset(names_rva)
    for i in range(count):
        start = offset(struct.unpack_from("<I", data, pointers + 4 * i)[0])
        end = data.index(b"\0", start)
        names.add(data[start:end].decode("ascii", "replace"))
    return names
