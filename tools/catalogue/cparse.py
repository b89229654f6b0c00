"""Reads the Windows headers of mingw-w64 (32-bit) through libclang.

Collects every function declaration (name, header, result and parameter types, calling
convention), the object-like macros that rename functions (MessageBox -> MessageBoxA,
GetWindowLongPtrA -> GetWindowLongA) and, for every structure, the typedef names it goes
by, so that a Basic Type can carry the name a programmer knows (RECT, not tagRECT).
"""

import ctypes
import os

import clang.cindex as ci

MINGW = "/usr/i686-w64-mingw32"
LIBCLANG = "/usr/lib/llvm-14/lib/libclang.so.1"
RESOURCE_DIR = "/usr/lib/llvm-14/lib/clang/14.0.6"

# What a 32-bit Basic program of the late 1990s and later would reach for; windows.h
# pulls in the core (kernel32, user32, gdi32, advapi32, winmm, winspool, comdlg32, ...).
HEADERS = [
    "windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "shlwapi.h",
    "mmsystem.h", "winsock2.h", "ws2tcpip.h", "wininet.h", "psapi.h", "tlhelp32.h",
    "setupapi.h", "iphlpapi.h", "icmpapi.h", "winspool.h", "ole2.h", "oleauto.h",
    "olectl.h", "urlmon.h", "dbghelp.h", "lm.h", "winnetwk.h", "wincrypt.h", "userenv.h",
    "wtsapi32.h", "uxtheme.h", "dwmapi.h", "msi.h", "ras.h", "rasdlg.h", "powrprof.h",
    "aclapi.h", "sddl.h", "vfw.h", "imm.h", "sql.h", "sqlext.h", "odbcinst.h",
    "wintrust.h", "lzexpand.h", "winscard.h", "wincred.h", "security.h", "msacm.h",
    "tapi.h", "oledlg.h", "icm.h", "windns.h", "pdh.h", "usp10.h", "GL/gl.h", "GL/glu.h",
    "ntsecapi.h", "winsvc.h", "ddeml.h", "shfolder.h", "cfgmgr32.h", "hidsdi.h",
    "newdev.h", "winevt.h", "msiquery.h", "wlanapi.h", "bcrypt.h", "ncrypt.h", "propvarutil.h",
    "dsound.h", "mscat.h", "sfc.h", "srrestoreptapi.h", "htmlhelp.h", "winefs.h",
    "objbase.h", "activeds.h", "mgmtapi.h", "snmp.h", "virtdisk.h", "imagehlp.h",
    "mprapi.h", "nb30.h", "ntdsapi.h", "dsrole.h", "winldap.h",
    "ktmw32.h", "evntrace.h", "evntprov.h", "tdh.h", "shellscalingapi.h", "winsafer.h",
    "authz.h", "dhcpcsdk.h", "rpc.h", "mswsock.h", "t2embapi.h", "winusb.h",
    "bluetoothapis.h", "oleacc.h", "avrt.h", "winsnmp.h", "restartmanager.h",
    "sensapi.h", "gdiplus.h", "winternl.h", "dbt.h", "msctf.h", "mapi.h", "dinput.h", "ddraw.h", "d3d9.h",
]
# Headers that clash with others of the list (winhttp.h and wininet.h define the same
# names differently, for instance) get a pass of their own.
SEPARATE_HEADERS = [["windows.h", "winhttp.h"], ["windows.h", "http.h"]]

DEFINES = [
    "-DPSAPI_VERSION=1", "-DSECURITY_WIN32", "-D_WIN32_WINNT=0x0A00", "-DWINVER=0x0A00",
    "-D_WIN32_IE=0x0A00", "-DNTDDI_VERSION=0x0A000006",
]

CC_C = 1
CC_STDCALL = 2

_configured = False


def _configure():
    global _configured
    if _configured:
        return
    ci.Config.set_library_file(LIBCLANG)
    lib = ci.conf.lib
    lib.clang_getFunctionTypeCallingConv.argtypes = [ci.Type]
    lib.clang_getFunctionTypeCallingConv.restype = ctypes.c_uint
    _configured = True


def calling_convention(fn_type):
    return ci.conf.lib.clang_getFunctionTypeCallingConv(fn_type)


def strip_sugar(t):
    """Removes elaboration ("struct X") but keeps typedefs."""
    while t.kind == ci.TypeKind.ELABORATED:
        t = t.get_named_type()
    return t


def typedef_chain(t):
    """The typedef names a type goes through, outermost first (LPRECT, ...)."""
    names = []
    t = strip_sugar(t)
    while t.kind == ci.TypeKind.TYPEDEF:
        names.append(t.get_typedef_name())
        t = strip_sugar(t.get_declaration().underlying_typedef_type)
    return names


class Param:
    def __init__(self, name, ctype):
        self.name = name
        self.type = ctype
        self.spelling = ctype.spelling


class Function:
    def __init__(self, cursor):
        self.name = cursor.spelling
        self.header = os.path.basename(cursor.location.file.name) if cursor.location.file else ""
        self.result = cursor.result_type
        self.params = [Param(a.spelling, a.type) for a in cursor.get_arguments()]
        self.variadic = cursor.type.kind == ci.TypeKind.FUNCTIONPROTO and cursor.type.is_function_variadic()
        self.calling = calling_convention(cursor.type)
        self.inline = cursor.is_definition()
        self.line = cursor.location.line

    def prototype(self):
        params = ", ".join((p.spelling + " " + p.name).strip() for p in self.params) or "void"
        if self.variadic:
            params += ", ..."
        return "%s %s(%s)" % (self.result.spelling, self.name, params)


class Headers:
    """Everything read from one or more translation units."""

    def __init__(self):
        _configure()
        self.functions = {}      # name -> Function (first declaration wins)
        self.macros = {}         # name -> target name (object-like renames only)
        self.record_names = {}   # struct/union USR -> set of typedef names
        self.record_types = {}   # typedef name of a struct/union -> its type
        self.pointer_typedefs = {}  # typedef name of a pointer type -> its type
        self.typedef_names = set()  # every typedef name met
        self.diagnostics = []
        self.error_lines = set()  # (file name, line) of every error
        self.error_files = set()  # file names of the headers an error was found in
        self._units = []         # keep translation units alive while types are used

    def parse(self, headers, target="i686-w64-mingw32", extra=""):
        """target x86_64-w64-mingw32 reads the 64-bit headers; extra is C text after them."""
        index = ci.Index.create()
        source = "".join("#include <%s>\n" % h for h in headers) + extra
        args = ["-target", target, "-isystem", "/usr/%s/include" % target,
                "-resource-dir", RESOURCE_DIR, "-x", "c", "-std=gnu11", "-ferror-limit=0"] + DEFINES
        unit = index.parse("catalogue.c", args=args, unsaved_files=[("catalogue.c", source)],
                           options=ci.TranslationUnit.PARSE_SKIP_FUNCTION_BODIES
                           | ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
        self._units.append(unit)
        for d in unit.diagnostics:
            if d.severity >= ci.Diagnostic.Error:
                self.diagnostics.append(str(d))
                if d.location.file:
                    self.error_files.add(os.path.basename(d.location.file.name))
                    self.error_lines.add((os.path.basename(d.location.file.name), d.location.line))
        for c in unit.cursor.get_children():
            kind = c.kind
            if kind == ci.CursorKind.FUNCTION_DECL:
                if c.spelling not in self.functions:
                    self.functions[c.spelling] = Function(c)
            elif kind == ci.CursorKind.MACRO_DEFINITION:
                self._macro(c)
            elif kind == ci.CursorKind.TYPEDEF_DECL:
                self._typedef(c)

    def _macro(self, cursor):
        tokens = [t.spelling for t in cursor.get_tokens()]
        name = cursor.spelling
        if len(tokens) == 2 and tokens[1].isidentifier() and tokens[1] != name:
            self.macros.setdefault(name, tokens[1])
        elif len(tokens) == 5 and tokens[1] in ("__MINGW_NAME_AW", "__MINGW_NAME_UAW") \
                and tokens[2] == "(" and tokens[4] == ")":
            self.macros.setdefault(name, tokens[3] + "A")

    def _typedef(self, cursor):
        self.typedef_names.add(cursor.spelling)
        underlying = cursor.underlying_typedef_type.get_canonical()
        if underlying.kind == ci.TypeKind.POINTER:
            self.pointer_typedefs.setdefault(cursor.spelling, cursor.type)
        if underlying.kind != ci.TypeKind.RECORD:
            return
        decl = underlying.get_declaration()
        self.record_names.setdefault(decl.get_usr(), set()).add(cursor.spelling)
        self.record_types.setdefault(cursor.spelling, cursor.type)
