"""The exports of every 32-bit import library of mingw-w64, and which DLL to name when
several export the same function."""

import glob
import os
from dataclasses import dataclass

from implib import Export, read_import_library

LIB_DIR = "/usr/i686-w64-mingw32/lib"
LIB_DIR_64 = "/usr/x86_64-w64-mingw32/lib"
# Wine's 32-bit import libraries (Debian's libwine-dev:i386). Wine runs 32-bit Windows
# programs, so where it exports a function stdcall its "@N" is the argument bytes those
# programs push: a second witness for DLLs that mingw-w64 gives no 32-bit import library of
# (webservices, advpack's later functions, ...).
WINE_LIB_DIR = "/usr/lib/i386-linux-gnu/wine/i386-windows"
# Wine's 64-bit import libraries (Debian's libwine-dev): a 64-bit witness of the same kind.
WINE_LIB_DIR_64 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"

# DLLs that export functions by ordinal alone (comctl32's DPA_LoadStream, "ordinal 9" on
# Microsoft's page; shell32's FileIconInit). The metadata's JSON keeps no entry point, so a name it
# declares there, and no import library has, may be no name the DLL exports: not taken on the
# metadata's word.
ORDINAL_EXPORTERS = {"comctl32", "shell32", "shlwapi", "shdocvw"}
# vertdll.dll is the run time of code inside a VBS enclave: its functions (the metadata
# declares WaitOnAddress and the Enclave* ones there) serve no ordinary process.
ENCLAVE_RUNTIME = "vertdll"

# Umbrella and run-time libraries: they re-export what the real DLLs export, or are not
# the Windows API.
SKIP_LIBRARIES = {
    "mincore", "windowsapp", "windowsappcompat", "runtimeobject", "crtdll", "moldname",
    "mingw32", "mingwex", "mingwthrd", "gmon", "m", "pthread", "winpthread", "ntdllcrt",
    "ntoskrnl", "hal", "win32k", "ndis", "scsiport", "videoprt", "ks", "ksecdd", "usbd",
    "usbport", "usbcamd", "usbcamd2", "tdi", "wmilib", "classpnp", "bootvid", "dxapi",
    "mcd", "netio", "ucrt", "ucrtapp", "ucrtbase", "delayimp", "pseh", "wst",
}

# When a name is exported by more than one DLL, the first of these that has it wins;
# the classic DLLs of Basic programs come first.
PREFERRED = [
    "kernel32", "user32", "usp10", "gdi32", "advapi32", "shlwapi", "shell32", "comctl32", "comdlg32", "winmm",
    "version", "ole32", "oleaut32", "olepro32", "winspool.drv", "ws2_32",
    "wsock32", "wininet", "urlmon", "mpr", "netapi32", "iphlpapi", "psapi", "imagehlp",
    "dbghelp", "crypt32", "secur32", "userenv", "setupapi", "msimg32", "opengl32",
    "glu32", "rasapi32", "tapi32", "winhttp", "odbc32", "msvfw32", "avifil32", "avicap32",
    "msacm32", "lz32", "imm32", "uxtheme", "dwmapi", "wtsapi32", "powrprof", "msi",
    # Documented homes that lose an alphabetical tie otherwise: the RPC run time (not
    # rpcdce4 or rpcns4), the OLE dialogs (not mfcuia32).
    "rpcrt4", "oledlg",
]

# Where the documented library of a name is not the first in PREFERRED that exports it:
# every Windows version exports these from advapi32; kernel32 has them only lately.
DOCUMENTED = {
    "CreateProcessAsUserA": "advapi32", "CreateProcessAsUserW": "advapi32",
    "OpenThreadToken": "advapi32", "SetThreadToken": "advapi32",
}


@dataclass(frozen=True)
class ElsewhereExport(Export):
    """An export found where no 32-bit import library of mingw-w64 has the name: "wine" (a
    32-bit import library of Wine's, its "@N" the argument bytes), "x86_64" (a 64-bit one
    of mingw-w64's) or "metadata" (no import library here has it; Microsoft's metadata
    declares it in the DLL, its DllImport taken from the import libraries of Windows's own
    SDK). For the last two no 32-bit form can be checked, so 64-bit Basic alone is shown
    calling it."""
    source: str = ""


def witnessed_by(export):
    """Where a name's export was found outside mingw-w64's 32-bit import libraries: "wine",
    "x86_64", "metadata", or "" for one of those libraries."""
    return export.source if isinstance(export, ElsewhereExport) else ""


def without_32_bit_witness(export):
    """Whether nothing here says what 32-bit Windows pushes for the export: only its 64-bit
    form (x64 has one calling convention) can be shown."""
    return witnessed_by(export) in ("x86_64", "metadata")


def metadata_declares_for_x64(metadata, name):
    """The DLLs (Lib names) that Microsoft's metadata declares the name in for x64, leaving
    out API sets (api-ms-win-*, which Windows resolves only from version 8), kernelbase
    (what kernel32 forwards to), the DLLs that export by ordinal alone and the enclave run
    time."""
    # A DLL named with dots (Windows.UI.dll) would be a Lib clause Windows loads as a file
    # of extension ".ui": not taken here.
    libs = {library_name(fn.dll) for fn in metadata.by_name.get(name, [])
            if (not fn.architectures or "X64" in fn.architectures)
            and not (fn.dll.lower().endswith(".dll") and "." in fn.dll[:-4])}
    return sorted(lib for lib in libs if not skipped_dll(lib) and lib not in ORDINAL_EXPORTERS
                  and lib != ENCLAVE_RUNTIME)


def library_name(dll):
    """The name a Basic Lib clause uses: lower case, ".dll" dropped, other extensions kept."""
    dll = dll.lower()
    return dll[:-4] if dll.endswith(".dll") else dll


def skipped_dll(name):
    return name.startswith(("api-ms-", "ext-ms-")) or name in ("kernelbase", "msvcrt")


class Exports:
    def __init__(self, lib_dir=LIB_DIR):
        self.by_name = {}       # export name (undecorated) -> list of Export
        self.libraries = set()
        self.metadata = None    # metadata.Metadata: its DllImport names the documented DLL
        for path in sorted(glob.glob(os.path.join(lib_dir, "lib*.a"))):
            stem = os.path.basename(path)[3:-2]
            if stem in SKIP_LIBRARIES or stem.startswith(("msvcr", "msvcp", "vcruntime", "d3dx", "d3dcompiler_", "xapofx", "x3daudio", "xinput1_", "xaudio2")):
                continue
            try:
                exports = read_import_library(path)
            except (ValueError, OSError):
                continue
            for e in exports:
                lib = library_name(e.dll)
                if skipped_dll(lib) or not e.is_code:
                    continue
                self.libraries.add(lib)
                key = e.name or e.plain
                self.by_name.setdefault(key, []).append(e)

    def lookup(self, name):
        """The export chosen for a name, or None."""
        found = self.by_name.get(name)
        if not found:
            return None
        unique = {}
        for e in found:
            unique.setdefault(library_name(e.dll), e)

        documented = self.metadata.libraries(name) if self.metadata is not None else []

        def rank(lib):
            if DOCUMENTED.get(name) == lib:
                return (-2, lib)
            if lib in documented:
                return (-1, lib)
            return (PREFERRED.index(lib) if lib in PREFERRED else len(PREFERRED), lib)

        best = min(unique, key=rank)
        return unique[best]

    def libraries_of(self, name):
        return sorted({library_name(e.dll) for e in self.by_name.get(name, [])})


class ExportSources:
    """Where a function's export is looked for: the 32-bit import libraries of mingw-w64;
    where none has the name, Wine's 32-bit ones when their stdcall decoration gives its
    argument bytes, then the 64-bit ones of mingw-w64; these two only in a DLL that
    Microsoft's metadata declares the name in; last, that declaration alone, for 64 bits."""

    def __init__(self, exports, metadata, wine_dir=WINE_LIB_DIR, lib_dir_64=LIB_DIR_64):
        if not os.path.isdir(wine_dir):
            raise SystemExit("%s: not found; install Debian's libwine-dev:i386 (Wine's 32-bit import "
                             "libraries, a witness of argument bytes)" % wine_dir)
        self.exports = exports
        self.metadata = metadata
        self.elsewhere = []
        for source, folder in (("wine", wine_dir), ("x86_64", lib_dir_64)):
            found = Exports(folder)
            found.metadata = metadata
            self.elsewhere.append((source, found))

    @property
    def by_name(self):
        return self.exports.by_name

    def lookup(self, name):
        export = self.exports.lookup(name)
        if export is not None:
            return export
        documented = self.metadata.libraries(name)
        for source, exports in self.elsewhere:
            found = [e for e in exports.by_name.get(name, []) if library_name(e.dll) in documented
                     and (source != "wine" or e.stack_bytes is not None)]
            if found:
                e = min(found, key=lambda e: library_name(e.dll))
                return ElsewhereExport(e.symbol, e.name, e.ordinal, e.dll, e.is_code, source)
        # The metadata's word alone: the name, undecorated, in the first DLL it declares it in.
        libs = metadata_declares_for_x64(self.metadata, name)
        if libs:
            return ElsewhereExport(name, name, -1, libs[0] + ".dll", True, "metadata")
        return None


class SixtyFourBitExports:
    """Which DLLs export a name in 64-bit Windows: mingw-w64's 64-bit import libraries,
    Wine's, and Microsoft's metadata, whose DllImport is taken from the import libraries of
    Windows's own SDK (the DLLs of metadata_declares_for_x64)."""

    def __init__(self, metadata, lib_dir_64=LIB_DIR_64, wine_dir_64=WINE_LIB_DIR_64):
        if not os.path.isdir(wine_dir_64):
            raise SystemExit("%s: not found; install Debian's libwine-dev (Wine's 64-bit import "
                             "libraries)" % wine_dir_64)
        self.mingw = Exports(lib_dir_64)
        self.wine = Exports(wine_dir_64)
        self.metadata = metadata

    def witnesses(self, name, library):
        """Which of "mingw", "wine", "metadata" have the name exported from the library."""
        found = []
        if library in self.mingw.libraries_of(name):
            found.append("mingw")
        if library in self._wine_by_name(name):
            found.append("wine")
        if library in metadata_declares_for_x64(self.metadata, name):
            found.append("metadata")
        return found

    def _wine_by_name(self, name):
        # Wine exports some functions by ordinal alone ("-noname"): no witness of the name.
        return {library_name(e.dll) for e in self.wine.by_name.get(name, []) if e.name}

    def libraries_of(self, name):
        return sorted(set(self.mingw.libraries_of(name)) | self._wine_by_name(name)
                      | set(metadata_declares_for_x64(self.metadata, name)))
