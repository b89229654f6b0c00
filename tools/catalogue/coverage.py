"""The functions of Microsoft's metadata that the headers of HEADERS (cparse.py) leave out:
more headers read, whose functions join the catalogue only where the metadata declares
them, with the same rules as the rest (a stdcall export whose argument bytes agree with the
prototype and the Basic declaration). What stays out is counted by reason for the report.

The headers here are parsed after the classic ones, in a pass of their own, so that they
change nothing the classic headers give: no function, no rename of a classic function and
no other name for a classic structure.
"""

import collections
import os
import re
import sys

from exports import library_name
from metadata import library_of

MINGW_INCLUDE = "/usr/i686-w64-mingw32/include"

# Headers of mingw-w64 that declare functions of the metadata (the DLL they are in, where
# the name says little). Each compiles without an error after windows.h and the classic
# headers; those that do not are in BROKEN.
HEADERS = [
    "esent.h", "p2p.h", "fwpmu.h", "mfapi.h", "msdrm.h", "mfidl.h", "stdio.h", "clfsw32.h",
    "rtutils.h", "winsplp.h", "wdsclientapi.h", "dsgetdc.h",
    "highlevelmonitorconfigurationapi.h", "physicalmonitorenumerationapi.h", "lmdfs.h",
    "mgm.h", "wmcontainer.h", "npapi.h", "winineti.h", "perflib.h", "nspapi.h",
    "wdstci.h", "davclnt.h", "prntvpt.h", "webauthn.h", "winber.h", "winnls32.h",
    "appmgmt.h", "madcapcl.h", "gpedit.h", "evr.h", "dmort.h",
    "slpublic.h", "tbs.h", "wincodec.h", "ws2spi.h", "xinput.h", "dmoreg.h",
    "mfreadwrite.h", "elscore.h", "schannel.h", "ntquery.h", "wct.h", "lmat.h",
    "errorrep.h", "dssec.h", "txfw32.h", "atacct.h", "cscapi.h",
    # Their handles (HCN_NETWORK, HCS_SYSTEM, WHV_PARTITION_HANDLE, HFILTER, ...) are typedefs
    # the metadata types as plain void *: written from it, they were "As Any", and Basic
    # passed the address of the caller's variable instead of the handle.
    "computecore.h", "computenetwork.h", "computestorage.h", "winhvplatform.h",
    "winhvemulation.h", "fltuser.h", "rtmv2.h", "dciman.h", "hlink.h", "fdi.h", "fci.h",
]
# Read in a pass of their own after windows.h: they clash with a header read before them
# (MAPI's BOOKMARK is ODBC's too, of another size in 64 bits). The headers after the first
# of a group are those that declare the structures the layout checker names.
SEPARATE = [["windows.h", "wabutil.h"], ["windows.h", "mapiutil.h", "mapidefs.h", "mapix.h"]]

# Headers with functions of the metadata that are not read: mingw-w64's copy does not
# compile (types it never defines, or defines twice), so their prototypes would carry
# guessed types; or they are for drivers.
BROKEN = {
    "clusapi.h": "redefines CLUSTER_RESOURCE_STATE and HGROUP",
    "resapi.h": "includes clusapi.h",
    "dhcpsapi.h": "redefines DHCP_BINARY_DATA",
    "iscsidsc.h": "MAX_ISCSI_NAME_LEN undefined",
    "werapi.h": "HREPORT undefined",
    "ndfapi.h": "ndattrib.h's types undefined",
    "cryptxml.h": "members of type void",
    "evcoll.h": "EC_OBJECT_ARRAY_PROPERTY_HANDLE undefined",
    "prnasnot.h": "PrintAsyncNotificationType undefined",
    "qos2.h": "QOS_FLOWID undefined",
    "mschapp.h": "ENCRYPTED_LM_OWF_PASSWORD undefined",
    "eappapis.h": "EapHostPeerMethodResult undefined",
    "eaphostpeerconfigapis.h": "IXMLDOMDocument2 undefined",
    "clfsmgmtw32.h": "CLFS_LSN undefined",
    "dhcpv6csdk.h": "Dhcpv6RenewPrefix declared twice",
    "wsdutil.h": "to be read through wsdapi.h only",
    "winddi.h": "compiles, but declares what display drivers (kernel mode) call",
}

# The one-line description of a function that joined the catalogue this way, until one is
# written for it: it says what is known, and nothing is made up.
PLACEHOLDER = "\u062a\u0648\u0636\u064a\u062d \u0627\u064a\u0646 \u062a\u0627\u0628\u0639 \u0647\u0646\u0648\u0632 \u0646\u0648\u0634\u062a\u0647 \u0646\u0634\u062f\u0647 \u0627\u0633\u062a."


# The file libclang names for what follows the #include lines (cparse.Headers.parse).
WRITTEN_HEADER = "catalogue.c"
# The prefix of the header name a written function carries: the metadata's namespace
# follows it ("win32metadata:Storage.FileSystem"), which chooses its areas of work.
WRITTEN_PREFIX = "win32metadata:"

# The metadata's basic types, in the names the headers use for them.
NATIVE_C = {
    "Void": "void", "Byte": "BYTE", "SByte": "signed char", "Int16": "SHORT", "UInt16": "USHORT",
    "Char": "WCHAR", "Int32": "INT", "UInt32": "DWORD", "Int64": "LONGLONG", "UInt64": "ULONGLONG",
    "IntPtr": "LONG_PTR", "UIntPtr": "ULONG_PTR", "Single": "FLOAT", "Double": "DOUBLE", "Guid": "GUID",
}
# A string the function only reads: the metadata marks PSTR and PWSTR "Const", the headers
# name it PCSTR and PCWSTR.
CONST_STRINGS = {"PSTR": "PCSTR", "PWSTR": "PCWSTR"}

# A parameter the metadata types as a bare pointer (void *) where the headers have a handle
# (HINTERNET, RPC_BINDING_HANDLE, ...): by its name, it is written as HANDLE, which Basic
# passes ByVal. As a bare pointer it would be As Any, and a Long variable passed to it
# would send the variable's address instead of the handle.
HANDLE_NAME = re.compile(r"^(h|h[A-Z0-9]\w*|(?!p+[A-Z])\w*Handle|handle|Binding|IfSpec|IfGroup)$")

# A W function's parameter named as text (szTableName, pwszName).
WIDE_TEXT_NAME = re.compile(r"^(lp|p)?w?sz[A-Z]\w*$")

# Headers whose functions are for drivers, not programs: none is written from the
# metadata either.
DRIVER_HEADERS = {"winddi.h": "declared in winddi.h: what display drivers (kernel mode) call"}

FAILED_TO_COMPILE = "written from the metadata's types, it does not compile with the headers read"


class NotWritten(Exception):
    """A prototype the metadata's types cannot give; the message says why."""


class Written:
    """The prototypes written from the metadata for the functions no header read declares,
    and the structures they take that the headers do not define: text is C after the
    headers, line -> function name or structure key where each is, failed name -> why it
    could not be written or did not compile, namespace name -> the metadata's namespace."""

    def __init__(self):
        self.text = ""
        self.struct_text = ""     # the structures alone, for the layout checker
        self.line_of = {}
        self.struct_at = {}
        self.failed = {}
        self.namespace = {}
        self.names = set()
        self.structs = None       # the StructWriter
        self.protos = []          # (name, prototype) in order
        self.takes = {}           # name -> the written structures its prototype names
        self.undefine = set()     # names a classic header's macro renames: #undef first

    def compose(self, skip_structs=()):
        """Sets text and the line maps: the structures but skip_structs, then the prototypes
        of names."""
        lines = ["/* written from Microsoft's metadata */"]
        self.line_of, self.struct_at = {}, {}
        slines, owner = self.structs.text(skip_structs) if self.structs else ([], [])
        for line, key in zip(slines, owner):
            self.struct_at[len(lines)] = key
            lines.append(line)
        self.struct_text = "\n" + "\n".join(slines) + "\n"
        for name, proto in self.protos:
            if name not in self.names:
                continue
            lines.append(("#undef %s" if name in self.undefine else "#ifndef %s") % name)
            self.line_of[len(lines)] = name     # the index the prototype is about to take
            lines.append(proto)
            lines.append("" if name in self.undefine else "#endif")
        self.text = "\n" + "\n".join(lines) + "\n"


_written = None    # the prototypes written for the 32-bit parse, read again for 64 bits


# C typedefs of function types, not of pointers to functions: a parameter "T *" is the
# callback's address, which the metadata types as a pointer to its function pointer.
FUNCTION_TYPES = {"UiaEventCallback", "UiaProviderCallback"}


def _types_index(api):
    index = {}
    for ns, space in api.items():
        for t in space.get("Types", []):
            index.setdefault((ns, t["Name"]), t)
    return index


def c_type(t, types, defined, const=False, structs=None):
    """The C spelling of a metadata type (a parameter's or a result's), in the headers'
    names; NotWritten where there is none that keeps its size and meaning. A structure the
    headers do not define is written from the metadata by structs (a StructWriter), where
    one is given."""
    kind = t["Kind"]
    if kind == "Native":
        if t["Name"] not in NATIVE_C:
            raise NotWritten("the metadata's %s type has no C name here" % t["Name"])
        return NATIVE_C[t["Name"]]
    if kind in ("PointerTo", "LPArray", "Array"):
        if kind == "PointerTo" and t["Child"].get("Name") in FUNCTION_TYPES:
            return "FARPROC"
        if t["Child"] == {"Kind": "Native", "Name": "Char"}:
            # UTF-16 text, as the headers' LPWSTR: an Integer by reference would take
            # neither StrPtr nor 0&.
            return "PCWSTR" if const else "PWSTR"
        return c_type(t["Child"], types, defined, structs=structs) + " *"
    if kind != "ApiRef":
        raise NotWritten("a type of kind %s" % kind)
    if t.get("Parents"):
        raise NotWritten("a type nested in a structure")
    target = t.get("TargetKind")
    if target == "Com":
        return "IUnknown *"
    if target == "FunctionPointer":
        return "FARPROC"
    d = types.get((t.get("Api"), t["Name"]))
    if d is None:
        raise NotWritten("a type the metadata does not define (%s)" % t["Name"])
    name = t["Name"]
    if d["Kind"] == "Enum":
        return NATIVE_C[d.get("IntegerBase") or "Int32"]
    if d["Kind"] == "NativeTypedef":
        if const and CONST_STRINGS.get(name) in defined:
            return CONST_STRINGS[name]
        if name in defined:
            return name
        return c_type(d["Def"], types, defined, structs=structs)
    if d["Kind"] in ("Struct", "Union"):
        if name in defined:
            return name
        if structs is None:
            raise NotWritten("a structure the headers read do not define")
        return structs.need((t.get("Api"), name))
    if d["Kind"] == "Com":
        return "IUnknown *"
    if d["Kind"] == "FunctionPointer":
        return "FARPROC"
    raise NotWritten("a type of kind %s" % d["Kind"])


class StructWriter:
    """C definitions, from the metadata, of the structures the headers read do not define
    (DHCP_OPTION_DATA, CLUSPROP_...): each is typedef'd by its name first, so pointers to
    one another need no order, and defined after the structures it holds by value, with
    the metadata's packing. A structure whose layout the metadata cannot give for both
    32 and 64 bits here (one defined per architecture, a member of a type C has no name
    for) is not written, and the functions that take it stay out."""

    def __init__(self, types, arch_variants, defined):
        self.types = types
        self.arch_variants = arch_variants   # names the metadata defines per architecture
        self.defined = defined
        self.order = []           # keys, each after the structures it holds by value
        self.body = {}            # key -> its definition's lines
        self.kind = {}            # key -> "struct" or "union"
        self.failed = {}          # key -> why it could not be written
        self.uses = {}            # key -> the written structures it names
        self.doing = []           # keys (and a prototype's ("", name)) being written: a pointer back is fine

    def need(self, key):
        name = key[1]
        if key in self.failed:
            raise NotWritten(self.failed[key])
        if self.doing:
            self.uses[self.doing[-1]].add(key)
        if key in self.body or key in self.doing:
            return name
        d = self.types.get(key)
        try:
            if name in self.arch_variants:
                raise NotWritten("a structure the metadata defines per architecture")
            if not re.match(r"^[A-Za-z_]\w*$", name):
                raise NotWritten("a structure whose name C does not take")
            self.doing.append(key)
            self.uses[key] = set()
            try:
                lines = self._members(d, {n["Name"]: n for n in d.get("NestedTypes", [])}, "    ")
            finally:
                self.doing.pop()
        except NotWritten as e:
            self.failed[key] = "a structure the headers read do not define, and " + \
                str(e).replace("a structure the headers read do not define, and ", "")
            self.uses.pop(key, None)
            raise NotWritten(self.failed[key])
        self.kind[key] = "union" if d["Kind"] == "Union" else "struct"
        pack = d.get("PackingSize") or 0
        f = d["Fields"]
        if not f or (len(f) == 1 and f[0]["Name"].lower() in ("reserved", "unused")
                     and f[0]["Type"] == {"Kind": "PointerTo", "Child": {"Kind": "Native", "Name": "Void"}}):
            # Known only by its address (the cluster's _HCLUSTER, ICU's UConverter, and
            # _PACKAGE_INFO_REFERENCE, whose one member is a reserved pointer): left
            # incomplete, as the headers leave such a handle, so a pointer to it is a handle.
            self.body[key] = []
        else:
            self.body[key] = ((["#pragma pack(push, %d)" % pack] if pack else [])
                              + ["%s %s {" % (self.kind[key], name)] + lines + ["};"]
                              + (["#pragma pack(pop)"] if pack else []))
        self.order.append(key)
        return name

    def _members(self, d, nested, indent):
        lines = []
        for f in d["Fields"]:
            t, dims = f["Type"], ""
            while t["Kind"] == "Array":
                dims += "[%d]" % ((t.get("Shape") or {}).get("Size") or 1)
                t = t["Child"]
            fname = f["Name"]
            if not re.match(r"^[A-Za-z_]\w*$", fname):
                raise NotWritten("a member whose name C does not take")
            if t["Kind"] == "ApiRef" and (t.get("Parents") or t["Name"] in nested):
                # A type defined inside the structure (the metadata does not always say so
                # in Parents; the name is the structure's own NestedTypes one).
                inner = nested.get(t["Name"])
                if inner is None:
                    raise NotWritten("a member of a nested type the metadata does not give")
                kind = "union" if inner["Kind"] == "Union" else "struct"
                scope = dict(nested)
                scope.update({n["Name"]: n for n in inner.get("NestedTypes", [])})
                body = self._members(inner, scope, indent + "    ")
                # The headers' unnamed members (the metadata calls them Anonymous, Anonymous1...).
                label = "" if re.match(r"^Anonymous\d*$", fname) and not dims else " " + fname + dims
                lines += [indent + kind + " {"] + body + [indent + "}" + label + ";"]
                continue
            ctype = c_type(t, self.types, self.defined, structs=self)
            lines.append("%s%s %s%s;" % (indent, ctype, fname, dims))
        return lines

    def closure(self, keys):
        """The written structures keys name, and those they name in turn."""
        seen, todo = set(), list(keys)
        while todo:
            k = todo.pop()
            if k not in seen:
                seen.add(k)
                todo.extend(self.uses.get(k, ()))
        return seen

    def text(self, skip=()):
        """The definitions, with the typedefs first; skip: keys to leave out. Returns the
        lines and, for each line, the key it belongs to."""
        keys = [k for k in self.order if k not in skip]
        lines, owner = [], []
        for k in keys:
            lines.append("typedef %s %s %s;" % (self.kind[k], k[1], k[1]))
            owner.append(k)
        for k in keys:
            lines += self.body[k]
            owner += [k] * len(self.body[k])
        return lines, owner


# Parameters the metadata types otherwise than Microsoft's documentation, by function and
# parameter: the Wi-Fi Direct functions take a PDOT11_MAC_ADDRESS, the address of six bytes
# (UCHAR[6]), which the metadata renders as a pointer to a pointer to bytes.
PARAMETER_FIXES = {
    ("WFDStartOpenSession", "pDeviceAddress"): "BYTE *",
    ("WFDUpdateDeviceVisibility", "pDeviceAddress"): "BYTE *",
    ("WFDOpenLegacySession", "pLegacyMacAddress"): "BYTE *",
}
# ODBC's bulk copy functions take the connection (HDBC) first; the metadata types it void *
# and names it param0, which made it "As Any": Basic passed the variable's address unless
# the caller wrote ByVal.
PARAMETER_FIXES.update({(name, "param0"): "HDBC" for name in (
    "bcp_batch", "bcp_bind", "bcp_colfmt", "bcp_collen", "bcp_colptr", "bcp_columns", "bcp_control",
    "bcp_done", "bcp_exec", "bcp_getcolfmt", "bcp_initA", "bcp_initW", "bcp_moretext", "bcp_readfmtA",
    "bcp_readfmtW", "bcp_sendrow", "bcp_setcolfmt", "bcp_writefmtA", "bcp_writefmtW")})
# certadm's backup and restore context (HCSBC) and the requestor of the device host of
# Hyper-V (HDV_HOST) are handles the metadata types void *.
PARAMETER_FIXES.update({(name, "hbc"): "HANDLE" for name in (
    "CertSrvBackupGetDynamicFileListW", "CertSrvBackupGetDatabaseNamesW", "CertSrvBackupOpenFileW",
    "CertSrvBackupRead", "CertSrvBackupClose", "CertSrvBackupGetBackupLogsW", "CertSrvBackupTruncateLogs",
    "CertSrvBackupEnd", "CertSrvRestoreGetDatabaseLocationsW", "CertSrvRestoreRegisterW",
    "CertSrvRestoreRegisterThroughFile", "CertSrvRestoreRegisterComplete", "CertSrvRestoreEnd")})
PARAMETER_FIXES.update({(name, "requestor"): "HANDLE" for name in (
    "HdvReadGuestMemory", "HdvWriteGuestMemory", "HdvCreateGuestMemoryAperture", "HdvDestroyGuestMemoryAperture",
    "HdvDeliverGuestInterrupt", "HdvRegisterDoorbell", "HdvUnregisterDoorbell", "HdvCreateSectionBackedMmioRange",
    "HdvDestroySectionBackedMmioRange")})
# The tracing functions of the PXE providers and the multicast server take their arguments
# as a va_list, which the metadata types as text.
PARAMETER_FIXES.update({("PxeTraceV", "Params"): "va_list", ("WdsTransportServerTraceV", "Params"): "va_list"})
# The linked-server catalog functions of the same DLL take a statement (HSTMT).
PARAMETER_FIXES.update({(name, "param0"): "HSTMT" for name in (
    "SQLLinkedServers", "SQLLinkedCatalogsA", "SQLLinkedCatalogsW")})

# ICU (icu.dll) keeps its text in UTF-16 (UChar), which the metadata types unsigned short *:
# passed as the headers' LPWSTR are, by address (StrPtr), not as an Integer by reference,
# which would take neither a String nor 0& (the null that asks for the length needed). Its
# UBool * and int8_t * are one byte the function writes; its va_list the metadata types as
# signed char * too. These char * hold bytes, not text in the system's code page: UTF-8 or
# the bytes of a converter's charset. As String, Basic would send an ANSI copy (every byte
# above 127 changed, a filled buffer converted back): they are the first of a Byte array.
ICU_BYTES = {
    "u_strFromUTF8": ("src",), "u_strFromUTF8Lenient": ("src",), "u_strFromUTF8WithSub": ("src",),
    "u_strFromJavaModifiedUTF8WithSub": ("src",), "u_strToUTF8": ("dest",), "u_strToUTF8WithSub": ("dest",),
    "u_strToJavaModifiedUTF8": ("dest",), "ucasemap_utf8FoldCase": ("dest", "src"),
    "ucasemap_utf8ToLower": ("dest", "src"), "ucasemap_utf8ToTitle": ("dest", "src"),
    "ucasemap_utf8ToUpper": ("dest", "src"), "ucnv_convert": ("target", "source"),
    "ucnv_fromAlgorithmic": ("target", "source"), "ucnv_toAlgorithmic": ("target", "source"),
    "ucnv_fromUChars": ("dest",), "ucnv_toUChars": ("src",), "ucnv_getInvalidChars": ("errBytes",),
    "ucnv_getSubstChars": ("subChars",), "ucnv_setSubstChars": ("subChars",),
    "ucnv_cbFromUWriteBytes": ("source",), "ucnv_detectUnicodeSignature": ("source",),
    "ucnvsel_selectForUTF8": ("s",), "ucol_strcollUTF8": ("source", "target"), "ucsdet_setText": ("textIn",),
    "uiter_setUTF8": ("s",), "uiter_setUTF16BE": ("s",), "uset_spanUTF8": ("s",), "uset_spanBackUTF8": ("s",),
    "uspoof_areConfusableUTF8": ("id1", "id2"), "uspoof_getSkeletonUTF8": ("id", "dest"),
    "uspoof_checkUTF8": ("id",), "uspoof_check2UTF8": ("id",), "utext_openUTF8": ("s",),
    "uidna_labelToASCII_UTF8": ("label", "dest"), "uidna_labelToUnicodeUTF8": ("label", "dest"),
    "uidna_nameToASCII_UTF8": ("name", "dest"), "uidna_nameToUnicodeUTF8": ("name", "dest"),
    "ures_getUTF8String": ("dest",), "ures_getUTF8StringByIndex": ("dest",), "ures_getUTF8StringByKey": ("dest",),
    "uspoof_openFromSource": ("confusables", "confusablesWholeScript"),
}
# The end of a byte buffer (const char *sourceLimit): an address, VarPtr of the byte after the
# last; as String it would be the end of a copy the function never reads.
ICU_LIMITS = {"ucnv_convertEx": ("targetLimit", "sourceLimit"), "ucnv_fromUnicode": ("targetLimit",),
              "ucnv_toUnicode": ("sourceLimit",), "ucnv_getNextUChar": ("sourceLimit",)}
# Function types, not pointers, in ICU's C (UCPMapValueFilter, UMemAllocFn,
# UCharEnumTypeRange): a parameter of type UCPMapValueFilter * is the function's address,
# which the metadata renders as a pointer to a function pointer (by reference, ICU would call
# whatever the caller's variable holds). Its callbacks' getters (ubidi_getClassCallback's
# UBiDiClassCallback **fn) do write an address back and stay by reference. A currency
# registration's key (UCurrRegistryKey, a const void *) is given back as it was handed out.
ICU_FUNCTION_ADDRESSES = {"ucpmap_getRange": ("filter",), "ucptrie_getRange": ("filter",),
                          "umutablecptrie_getRange": ("filter",), "u_setMemoryFunctions": ("a", "r", "f"),
                          "u_enumCharTypes": ("enumRange",), "u_enumCharNames": ("fn",)}
PARAMETER_FIXES.update({(name, p): "FARPROC" for name, ps in ICU_FUNCTION_ADDRESSES.items() for p in ps})
PARAMETER_FIXES[("ucurr_unregister", "key")] = "HANDLE"
PARAMETER_FIXES.update({(name, p): "BYTE *" for name, ps in ICU_BYTES.items() for p in ps})
PARAMETER_FIXES.update({(name, p): "LONG_PTR" for name, ps in ICU_LIMITS.items() for p in ps})


# ICU's calendars, formats, date-time pattern generators, transliterators and the rest are
# typedefs of void * (UCalendar, UNumberFormat, UTransliterator, ...), and its functions take
# them by the pointer C spells UCalendar *: the metadata's void **. The object is passed as
# it is, by value; as a LongPtr by reference ICU would read the caller's variable as the
# object. Only the contexts of callbacks that ucnv_getToUCallBack, uregex_getMatchCallback
# and the like write back are addresses of the caller's variable.
ICU_WRITTEN_BACK = {"context", "oldContext"}


def icu_parameter(t, p):
    """The C type of an ICU parameter the metadata types by its width alone, or None."""
    if t["Kind"] == "PointerTo" and t["Child"] == {"Kind": "PointerTo", "Child": {"Kind": "Native", "Name": "Void"}} \
            and p["Name"] not in ICU_WRITTEN_BACK:
        return "HANDLE"
    if t["Kind"] != "PointerTo" or t["Child"].get("Kind") != "Native":
        return None
    if t["Child"]["Name"] == "UInt16":
        return "PCWSTR" if "Const" in p.get("Attrs", []) else "PWSTR"
    if t["Child"]["Name"] == "SByte":
        return "va_list" if p["Name"] in ("ap", "args") else "BYTE *"
    return None


def prototype(fn, types, defined, structs=None):
    """The C prototype of a metadata function (stdcall, parameters unnamed: their names come
    from the metadata, as for a header that leaves them unnamed)."""
    result = c_type(fn["ReturnType"], types, defined, structs=structs)
    params = []
    for p in fn["Params"]:
        t = p["Type"]
        if (fn["Name"], p["Name"]) in PARAMETER_FIXES:
            params.append(PARAMETER_FIXES[(fn["Name"], p["Name"])])
        elif fn["DllImport"].lower() == "icu.dll" and icu_parameter(t, p):
            params.append(icu_parameter(t, p))
        elif t["Kind"] == "PointerTo" and t["Child"] == {"Kind": "Native", "Name": "Void"} \
                and (HANDLE_NAME.match(p["Name"]) or fn["DllImport"].lower() == "chakra.dll"):
            # chakra.dll's void * are its values, contexts and runtimes (JsValueRef, JsRef, ...,
            # all void * in jsrt.h), or data it keeps as given: passed as they are.
            params.append("HANDLE")
        elif t["Kind"] == "PointerTo" and t["Child"] == {"Kind": "Native", "Name": "UInt16"} \
                and fn["Name"].endswith("W") and WIDE_TEXT_NAME.match(p["Name"]):
            # The metadata types some W functions' text as unsigned short * (JetDefragment3W).
            params.append("PCWSTR" if "Const" in p.get("Attrs", []) else "PWSTR")
        else:
            params.append(c_type(t, types, defined, "Const" in p.get("Attrs", []), structs))
    return "__declspec(dllimport) %s __stdcall %s(%s);" % (result, fn["Name"], ", ".join(params) or "void")


def written_includes():
    """The headers the written prototypes are read after: the classic ones and HEADERS, as
    the layout checker reads the structures they take."""
    from cparse import HEADERS as CLASSIC
    return CLASSIC + [h for h in HEADERS if h not in CLASSIC]


def visible_names(target="i686-w64-mingw32"):
    """The typedef names the written prototypes can use: those of written_includes() alone
    (not those of the headers read in passes of their own); and the renaming macros that
    the classic headers alone define (lmaccess.h's NetAccessAdd for RxNetAccessAdd), whose
    names the metadata's DLL exports as they are."""
    from cparse import Headers
    everything, extra = Headers(), Headers()
    everything.parse(written_includes(), target=target)
    extra.parse(["windows.h"] + HEADERS, target=target)
    return everything.typedef_names, set(everything.macros) - set(extra.macros)


def write(api, headers, exports):
    """Prototypes for the metadata's functions that no header read declares and an import
    library (exports, an exports.ExportSources) exports from the DLL the metadata names.
    Each stands alone between #ifndef and #endif, so a name the headers make a macro is left alone."""
    types = _types_index(api)
    defined, classic_macros = visible_names()
    defs = collections.defaultdict(list)
    for ns, space in api.items():
        for t in space.get("Types", []):
            defs[t["Name"]].append(tuple(t.get("Architectures") or []))
    # A structure the metadata defines once for 32 and once for 64 bits, or for one only.
    arch_variants = {n for n, archs in defs.items() if len(archs) > 1 or any(archs)}
    structs = StructWriter(types, arch_variants, defined)
    by_name = collections.defaultdict(list)
    for ns, space in api.items():
        for fn in space.get("Functions", []):
            arch = fn.get("Architectures") or []
            if arch and "X86" not in arch:
                continue
            by_name[fn["Name"]].append((ns, fn))
    params = {(fn["Name"], p["Name"]) for ns, space in api.items() for fn in space.get("Functions", [])
              for p in fn["Params"]}
    stale = sorted("%s(%s)" % k for k in PARAMETER_FIXES if k not in params)
    if stale:
        sys.exit("coverage.PARAMETER_FIXES names parameters the metadata does not have: " + ", ".join(stale))
    driver = {}
    for header, why in DRIVER_HEADERS.items():
        with open(os.path.join(MINGW_INCLUDE, header), encoding="utf-8", errors="replace") as f:
            for n in re.findall(r"\b([A-Za-z_]\w*)\s*\(", f.read()):
                driver.setdefault(n, why)
    out = Written()
    out.structs = structs
    for name in sorted(by_name):
        if name in headers.functions or not re.match(r"^[A-Za-z_]\w*$", name):
            continue
        export = exports.lookup(name)
        if export is None:
            continue
        if name in driver:
            out.failed[name] = driver[name]
            continue
        library = library_name(export.dll)
        found = [(ns, fn) for ns, fn in by_name[name] if library_of(fn["DllImport"]) == library]
        if not found:
            out.failed[name] = "exported by a 32-bit import library of another DLL than the metadata's"
            continue
        owner = ("", name)
        structs.uses[owner] = set()
        structs.doing.append(owner)
        try:
            protos = {prototype(fn, types, defined, structs) for _, fn in found}
        except NotWritten as e:
            out.failed[name] = "written from the metadata's types: " + str(e)
            continue
        finally:
            structs.doing.pop()
            out.takes[name] = structs.closure(structs.uses.pop(owner))
        if len(protos) > 1:
            out.failed[name] = "the metadata's declarations of it disagree"
            continue
        out.namespace[name] = found[0][0]
        out.protos.append((name, protos.pop()))
        if name in classic_macros:
            out.undefine.add(name)
        out.names.add(name)
    out.compose()
    return out


def written():
    """The prototypes written from the metadata by the last 32-bit parse (a Written), or None."""
    return _written


def _parse_written(headers, written, target):
    """Reads the written prototypes after the headers; drops those that did not compile."""
    before = set(headers.functions)
    errors_before = set(headers.error_lines)
    had_errors = WRITTEN_HEADER in headers.error_files
    includes = written_includes()
    headers.parse(includes, target=target, extra=written.text)
    # The text starts after the #include lines and one empty line.
    first = len(includes) + 2
    new_errors = headers.error_lines - errors_before
    at = [line - first for f, line in new_errors if f == WRITTEN_HEADER]
    bad = {written.line_of.get(i) for i in at}
    # A structure that does not compile keeps out every function that takes it, and every
    # structure that holds it; what is left is read again for 64 bits and by the layout
    # checker.
    bad_structs = {written.struct_at[i] for i in at if i in written.struct_at}
    if bad_structs:
        bad_structs = {k for k in written.structs.order
                       if written.structs.closure([k]) & bad_structs}
        for name in written.names:
            if written.takes.get(name, set()) & bad_structs:
                bad.add(name)
                written.failed.setdefault(name, FAILED_TO_COMPILE)
    if not had_errors:
        headers.error_files.discard(WRITTEN_HEADER)
    headers.error_lines = errors_before
    for name in set(headers.functions) - before:
        fn = headers.functions[name]
        if fn.header != WRITTEN_HEADER or name not in written.names or name in bad:
            if fn.header == WRITTEN_HEADER:
                del headers.functions[name]
            if name in bad:
                written.failed.setdefault(name, FAILED_TO_COMPILE)
            continue
        fn.header = WRITTEN_PREFIX + written.namespace[name]
    if bad - {None} or bad_structs:
        written.names -= bad
        written.compose(bad_structs)


def parse(headers, target="i686-w64-mingw32", exports=None, api=None):
    """Reads HEADERS and SEPARATE into headers (a cparse.Headers that has read the classic
    headers already); returns the names of the functions they add. Renames (macros) that
    lead to a classic function and new typedef names of classic structures are dropped.
    Then, where exports (an exports.ExportSources) are given, the prototypes written
    from the metadata (api, metadata.load_api()) for functions no header declares; the
    64-bit parse reads the same prototypes again."""
    global _written
    before = set(headers.functions)
    macros = dict(headers.macros)
    record_names = {usr: set(names) for usr, names in headers.record_names.items()}
    headers.parse(["windows.h"] + HEADERS, target=target)
    for group in SEPARATE:
        headers.parse(group, target=target)
    if exports is not None:
        from metadata import load_api
        _written = write(api if api is not None else load_api(), headers, exports)
    if _written is not None:
        _parse_written(headers, _written, target)
    for name in list(headers.macros):
        if name in macros:
            continue
        target_name = headers.macros[name]
        if target_name in before:
            del headers.macros[name]
    for usr, names in record_names.items():
        headers.record_names[usr] = names
    return set(headers.functions) - before


class Coverage:
    """Which of the functions the extra headers add may join, and why the rest stay out."""

    def __init__(self, metadata, added):
        self.metadata = metadata
        self.added = added          # C names the extra headers declare
        self.joined = set()         # C names admitted (before the classic rules run)

    def admits(self, name, library):
        """A function of the extra headers joins when the metadata declares it in the DLL
        chosen for it."""
        if name not in self.added:
            return True
        found = self.metadata.by_name.get(name, [])
        if not any(library_of(fn.dll) == library for fn in found):
            return False
        self.joined.add(name)
        return True


def left_out(metadata, records, exports, headers, cat_left_out):
    """The metadata's functions the catalogue lacks, counted by reason: {reason: [names]}."""
    have = {r.export for r in records}
    in_headers = set(headers.functions)
    unread = set()
    for header in BROKEN:
        with open(os.path.join(MINGW_INCLUDE, header), encoding="utf-8", errors="replace") as f:
            unread.update(re.findall(r"\b([A-Za-z_]\w*)\s*\(", f.read()))
    why_of = {}
    for reason, names in cat_left_out.items():
        for n in names:
            why_of.setdefault(n, reason)
    out = collections.OrderedDict()
    for name in sorted(metadata.by_name):
        if name in have:
            continue
        fns = metadata.by_name[name]
        if all(fn.sixty_four_bit_only for fn in fns):
            reason = "exists in 64-bit Windows only"
        elif exports.lookup(name) is None:
            reason = ("no import library exports it from the metadata's DLL, and the metadata's word is not taken "
                      "there (an API set, kernelbase, a DLL that exports by ordinal alone, a DLL named with dots, "
                      "or the enclave run time)")
        elif name in why_of:
            reason = why_of[name]
        elif name in in_headers:
            reason = "declared in the headers, not in the metadata's DLL"
        elif _written is not None and name in _written.failed:
            reason = _written.failed[name]
        elif name in unread:
            reason = "declared in a header not read (below)"
        else:
            reason = "not declared in the headers read, and no prototype written from the metadata"
        out.setdefault(reason, []).append(name)
    return out


def report(records, added_names, metadata, exports, headers, cat_left_out):
    """The report's section: counts by DLL before (the classic headers) and after, and the
    metadata's functions left out by reason."""
    after = collections.Counter(r.library for r in records)
    new = collections.Counter(r.library for r in records if r.coverage)
    lines = ["## Functions of Microsoft's metadata that the classic headers leave out", "",
             "`tools/catalogue/coverage.py` reads %d more headers of mingw-w64; a function they "
             "declare joins where the metadata declares it in the DLL whose import library "
             "exports it, by the same rules as the rest. %d functions joined; each has the one-line "
             "placeholder description until one is written (%d)." % (
                 len(HEADERS) + sum(len(g) - 1 for g in SEPARATE), sum(new.values()),
                 sum(r.description == PLACEHOLDER for r in records)), "",
             "For a function that no header read declares, and that an import library "
             "exports from the DLL the metadata names, a prototype is written from the metadata's "
             "types in the headers' names (a structure, handle or string type by the name the "
             "headers define, an enumeration as its integer, an interface as `IUnknown *`, a "
             "callback as `FARPROC`) and read after the headers, so the same rules check it: its "
             "argument bytes must equal the 32-bit import library's `@N`; where no import library "
             "has the name, the metadata's declaration in its DLL witnesses the 64-bit export alone, "
             "and the function has its VBA7 form alone. %d functions joined this way; "
             "their areas of work come from the metadata's namespace where no name rule gives them." % (
                 sum(1 for r in records if r.header.startswith(WRITTEN_PREFIX))), "",
             "| library | before | after |", "|---|---:|---:|"]
    for lib in sorted(after, key=lambda l: (-new[l], l)):
        if new[lib]:
            lines.append("| %s | %d | %d |" % (lib, after[lib] - new[lib], after[lib]))
    lines.append("")
    w = written()
    if w is not None and w.structs is not None:
        bodies = [k for k in w.structs.order if w.structs.body.get(k)]
        lines += ["A structure such a prototype takes that no header read defines is written from "
                  "the metadata as well: its members in the same names, a nested structure or union "
                  "in place, an array by its length, the metadata's packing; a structure the "
                  "metadata gives no members is left incomplete, so a pointer to it is a handle. "
                  "%d structures were written (%d of them incomplete). A header of mingw-w64 that is "
                  "not read whole (`LAYOUT_SOURCES`) defines many of them too: libclang lays out "
                  "what compiles of it, and %d written structures have that header's size and "
                  "member offsets in 32 and in 64 bits (a check). The %d that differ, because the "
                  "header is wrong or older:" % (len(w.structs.order), len(w.structs.order) - len(bodies),
                                                 _compared, len(HEADER_LAYOUT_FAULTS)), ""]
        lines += ["- %s: %s" % (n, why) for n, why in sorted(HEADER_LAYOUT_FAULTS.items())]
        lines.append("")
    lines += ["Headers of mingw-w64 with functions of the metadata, not read:", ""]
    lines += ["- %s: %s" % (h, why) for h, why in sorted(BROKEN.items())]
    lines.append("")
    missing = left_out(metadata, records, exports, headers, cat_left_out)
    lines += ["### The metadata's functions not in the catalogue, by reason (%d)" % sum(
        len(v) for v in missing.values()), "", "| reason | functions |", "|---|---:|"]
    for reason, names in sorted(missing.items(), key=lambda x: (-len(x[1]), x[0])):
        lines.append("| %s | %d |" % (reason, len(names)))
    lines.append("")
    by_dll = collections.defaultdict(collections.Counter)
    for reason, names in missing.items():
        for n in names:
            by_dll[library_of(metadata.by_name[n][0].dll)][reason] += 1
    lines += ["By the metadata's DLL, the 40 with the most, and why:", ""]
    for dll, reasons in sorted(by_dll.items(), key=lambda x: (-sum(x[1].values()), x[0]))[:40]:
        lines.append("- %s %d: %s" % (dll, sum(reasons.values()), "; ".join(
            "%s %d" % (r, n) for r, n in sorted(reasons.items(), key=lambda x: (-x[1], x[0])))))
    lines.append("")
    return lines


# Headers whose copies in mingw-w64 do not compile (BROKEN) but define many of the structures
# written from the metadata: libclang lays out what it can of them, which checks the written
# definitions against a second source.
LAYOUT_SOURCES = ["clusapi.h", "resapi.h", "dhcpsapi.h", "iscsidsc.h", "werapi.h", "cryptxml.h",
                  "evcoll.h", "qos2.h", "clfsmgmtw32.h", "dhcpv6csdk.h", "eappapis.h", "ndfapi.h"]


# Structures whose layout in mingw-w64's header differs from the metadata's, with why the
# metadata's is the one written (each read in the header against Microsoft's documentation).
HEADER_LAYOUT_FAULTS = {
    "CLUSPROP_BINARY": "clusapi.h leaves out the CLUSPROP_VALUE (Syntax, cbLength) the value follows",
    "CLUSPROP_DWORD": "clusapi.h leaves out the CLUSPROP_VALUE (Syntax, cbLength) the value follows",
    "CLUSPROP_LONG": "clusapi.h leaves out the CLUSPROP_VALUE (Syntax, cbLength) the value follows",
    "CLUSPROP_SZ": "clusapi.h leaves out the CLUSPROP_VALUE (Syntax, cbLength) the value follows",
    "CREATE_CLUSTER_CONFIG": "clusapi.h has the first version, without fEmptyCluster and the management point",
    "CRYPT_XML_KEY_INFO_ITEM": "cryptxml.h does not compile its union (members of type void)",
    "DHCPV6PrefixLeaseInformation": "dhcpv6csdk.h's time_t is 32 bits in i686 mingw-w64; Windows' is 64",
    "HELPER_ATTRIBUTE": "ndattrib.h's types are undefined, so its union is not laid out",
    "UiInfo": "ndattrib.h uses ShellCommandInfo before defining it, so its union is not laid out",
    "RepairInfo": "holds ndattrib.h's UiInfo, not laid out; and ndattrib.h lacks rootCauseIndex",
    "RepairInfoEx": "holds ndattrib.h's RepairInfo (above)",
    "ISCSI_CONNECTION_INFOA": "iscsidsc.h types the addresses CHAR where Windows has PCHAR",
    "ISCSI_CONNECTION_INFOW": "iscsidsc.h types the addresses TCHAR where Windows has PWCHAR",
    "ISCSI_SESSION_INFOA": "iscsidsc.h types the names CHAR where Windows has PCHAR",
    "ISCSI_SESSION_INFOW": "iscsidsc.h types the names WCHAR where Windows has PWCHAR",
}


def _invalid(cursor):
    import ctypes
    import clang.cindex as ci
    f = ci.conf.lib.clang_isInvalidDeclaration
    f.argtypes, f.restype = [ci.Cursor], ctypes.c_uint
    return bool(f(cursor))


def _sound(t, depth=0):
    """Whether every member of the structure (and of those it holds) compiled: a header
    with errors lays out what is left of a structure whose member it could not read."""
    import clang.cindex as ci
    decl = t.get_declaration()
    if _invalid(decl) or depth > 8:
        return False
    for f in t.get_fields():
        if _invalid(f):
            return False
        ft = f.type.get_canonical()
        while ft.kind in (ci.TypeKind.CONSTANTARRAY, ci.TypeKind.INCOMPLETEARRAY):
            ft = ft.element_type.get_canonical()
        if ft.kind == ci.TypeKind.RECORD and not _sound(ft, depth + 1):
            return False
    return True


def _layouts(headers, names):
    """{name: (size, {member: offset in bytes})} of the structures headers lays out."""
    out = {}
    for n in names:
        t = headers.record_types.get(n)
        if t is None:
            continue
        c = t.get_canonical()
        if not _sound(c):
            continue
        size = c.get_size()
        if size <= 0:
            continue
        offsets = {}
        for f in c.get_fields():
            if f.spelling:
                off = c.get_offset(f.spelling)
                if off >= 0:
                    offsets[f.spelling] = off // 8
        out[n] = (size, offsets)
    return out


def layout_faults(written, targets=("i686-w64-mingw32", "x86_64-w64-mingw32")):
    """Each written structure that a header of LAYOUT_SOURCES also defines must have that
    header's size and member offsets, in 32 and in 64 bits: a wrong packing, a member of
    the wrong size or a union written as a structure shows here (but for the header
    faults of HEADER_LAYOUT_FAULTS). Returns (faults, number of structures compared)."""
    from cparse import Headers
    if written is None or written.structs is None:
        return [], 0
    names = [k[1] for k in written.structs.order if written.structs.body.get(k)]
    faults, compared = [], set()
    for target in targets:
        ours = Headers()
        ours.parse(written_includes(), target=target, extra=written.struct_text)
        mine = _layouts(ours, names)
        theirs = {}
        for header in LAYOUT_SOURCES:
            h = Headers()
            h.parse(["windows.h", header], target=target)
            for n, lay in _layouts(h, names).items():
                theirs.setdefault(n, (header, lay))
        for n, (header, (size, offsets)) in sorted(theirs.items()):
            if n not in mine or n in HEADER_LAYOUT_FAULTS:
                continue
            compared.add(n)
            my_size, my_offsets = mine[n]
            if my_size != size:
                faults.append("%s (%s): %d bytes written, %d in %s" % (n, target, my_size, size, header))
            for m, off in sorted(offsets.items()):
                if m in my_offsets and my_offsets[m] != off:
                    faults.append("%s.%s (%s): at %d written, at %d in %s" % (n, m, target, my_offsets[m], off, header))
    return faults, len(compared)


_compared = 0      # structures check_layouts() compared


def check_layouts(written):
    """layout_faults() for the generator's checks; the count goes to the report."""
    global _compared
    faults, _compared = layout_faults(written)
    return faults
