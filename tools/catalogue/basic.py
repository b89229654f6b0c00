"""Turns C prototypes of the 32-bit Windows headers into classic Basic declarations.

The type map (what a 32-bit Basic program passes for each C type):

  C                                         Basic                        stack bytes
  ----------------------------------------  ---------------------------  -----------
  BOOL, INT, UINT, LONG, DWORD, enums,      ByVal x As Long              4
  LPARAM, WPARAM, handles (HWND, HANDLE,
  HKEY, HDC, ...), COM interface pointers
  WORD, SHORT, USHORT, WCHAR                ByVal x As Integer           4
  BYTE, BOOLEAN, CHAR                       ByVal x As Byte              4
  LONGLONG, ULONGLONG, DWORD64,             ByVal x As Currency          8
  LARGE_INTEGER and ULARGE_INTEGER by value
  double / float                            ByVal x As Double / Single   8 / 4
  LPSTR, LPCSTR (char *)                    ByVal x As String            4
  LPWSTR, LPCWSTR, BSTR (wide text)         ByVal x As Long  (StrPtr)    4
  void * (LPVOID, PVOID, LPCVOID)           x As Any                     4
  other typedefs of void * (SC_LOCK,        ByVal x As Long              4
  SCRIPT_STRING_ANALYSIS): an object
  pointer to a number (LPDWORD, PLONG...)   x As Long / Integer / Byte / 4
                                            Currency / Double / Single
  pointer to a pointer or a handle          x As Long (Currency for an   4
  (PHANDLE, LPSCARDHANDLE, PTRACEHANDLE)    8-byte handle)
  pointer to a structure                    x As NAME, with NAME's Type  4
                                            block ahead of the Declare;
                                            x As Any where the structure
                                            has no faithful Basic layout
                                            or is usually passed as NULL
  callback (function pointer)               ByVal x As Long  (AddressOf) 4
  structure of 4 bytes by value (COORD,     ByVal x As Long              4
  BLENDFUNCTION, in_addr)
  small structure by value whose members    ByVal xX As Long,            4 each
  are all 32-bit (POINT, SIZE, FILETIME)    ByVal xY As Long, ...
  VARIANT by value                          ByVal x As Variant           16
  void result                               Sub
  structure result of 4 bytes (COORD)       As Long (it comes back in EAX)
In a structure, char * is String, except in the structures of pointer-members.tsv
(kept by the system, holding offsets, or filled with addresses), where it is Long. A W
function takes the W form of a structure whose A form the header names (PDNS_RECORD).
Left out: variadic and cdecl functions, other structures by value, other structure
results, long double, and anything whose argument bytes disagree with the export's "@N".
"""

import re

import clang.cindex as ci

from cparse import strip_sugar, typedef_chain

K = ci.TypeKind

INT_KINDS = {K.BOOL, K.CHAR_U, K.UCHAR, K.CHAR16, K.CHAR32, K.USHORT, K.UINT, K.ULONG,
             K.ULONGLONG, K.UINT128, K.CHAR_S, K.SCHAR, K.WCHAR, K.SHORT, K.INT, K.LONG,
             K.LONGLONG, K.INT128, K.ENUM}

# Typedef names that are handles although C spells them as plain pointers.
HANDLE_NAMES = {
    "HANDLE", "HGLOBAL", "HLOCAL", "HMODULE", "HINSTANCE", "HCURSOR", "HICON", "HMETAFILE",
    "HENHMETAFILE", "HDROP", "HGDIOBJ", "HCRYPTPROV", "HCERTSTORE", "HCRYPTMSG", "HINTERNET",
    "SC_HANDLE", "SERVICE_STATUS_HANDLE", "HDEVINFO", "HIMAGELIST", "HTREEITEM", "HPROPSHEETPAGE",
    "HPOWERNOTIFY", "HDEVNOTIFY", "PSID", "PSECURITY_DESCRIPTOR", "PACL", "LSA_HANDLE",
    "HCATADMIN", "HCATINFO", "DPA", "HDPA", "HDSA", "HPSXA", "HCONV", "HSZ", "HDDEDATA",
    "HCONVLIST", "HIC", "HDRAWDIB", "HMMIO", "HWAVEIN", "HWAVEOUT", "HMIDIIN", "HMIDIOUT",
    "HMIDISTRM", "HMIXER", "HMIXEROBJ", "HACMDRIVER", "HACMDRIVERID", "HACMSTREAM", "HACMOBJ",
    "HVIDEO", "PAVIFILE", "PAVISTREAM", "PGETFRAME", "HTHEME", "HPAINTBUFFER", "HANIMATIONBUFFER",
    "HRASCONN", "HPDH", "PDH_HQUERY", "PDH_HCOUNTER", "PDH_HLOG", "HKEY", "PVOID64",
    "HCRYPTKEY", "HCRYPTHASH", "HCRYPTOIDFUNCSET", "HCRYPTOIDFUNCADDR", "HCRYPTDEFAULTCONTEXT",
    "BCRYPT_HANDLE", "BCRYPT_ALG_HANDLE", "BCRYPT_KEY_HANDLE", "BCRYPT_HASH_HANDLE",
    "BCRYPT_SECRET_HANDLE", "HCMNOTIFICATION", "HSWDEVICE", "EVT_HANDLE", "HSTRING",
    "HWCT", "HPCON", "HSYNTHETICPOINTERDEVICE", "HWINEVENTHOOK", "HUMPD", "HSEMAPHORE",
    "HMONITOR", "HRAWINPUT", "HGESTUREINFO", "HTOUCHINPUT", "DPI_AWARENESS_CONTEXT",
    "HDESK", "HWINSTA", "HKL", "HHOOK", "HACCEL", "HMENU", "HWND", "HDC", "HGLRC", "HBITMAP",
    "HBRUSH", "HCOLORSPACE", "HFONT", "HPALETTE", "HPEN", "HRGN", "HRSRC", "HSPRITE", "HSTR",
    "HTASK", "HWINEVENTHOOK", "HIMC", "HIMCC", "HUSKEY", "HPRINTER", "HSPOOLFILE",
    "HDWP", "HDEVNOTIFY", "RPC_BINDING_HANDLE", "RPC_AUTH_IDENTITY_HANDLE", "MSIHANDLE",
    "HSTRING_BUFFER", "HCALL", "HLINE", "HLINEAPP", "HPHONE", "HPHONEAPP",
    "LDAP_TIMEVAL", "HCS_SYSTEM", "HCS_PROCESS", "HPSS", "PFNALLOCATIONHOOK",
    "SAFER_LEVEL_HANDLE", "AUTHZ_RESOURCE_MANAGER_HANDLE", "AUTHZ_CLIENT_CONTEXT_HANDLE",
    "AUTHZ_ACCESS_CHECK_RESULTS_HANDLE", "AUTHZ_AUDIT_EVENT_HANDLE", "AUTHZ_SECURITY_EVENT_PROVIDER_HANDLE",
    "TRACEHANDLE", "REGHANDLE", "HSTRING", "DHCP_HANDLE", "HBLUETOOTH_RADIO_FIND",
    "HBLUETOOTH_DEVICE_FIND", "HBLUETOOTH_AUTHENTICATION_REGISTRATION", "WINUSB_INTERFACE_HANDLE",
    "NCRYPT_HANDLE", "NCRYPT_PROV_HANDLE", "NCRYPT_KEY_HANDLE", "NCRYPT_HASH_HANDLE",
    "NCRYPT_SECRET_HANDLE", "HCERTCHAINENGINE", "HCRYPTASYNC", "HCERT_SERVER_OCSP_RESPONSE",
    "HINF", "HSPFILEQ", "HDSKSPC", "HCMNOTIFICATION", "HMACHINE", "HWLAN",
}
# Structures that callers nearly always pass as NULL (0&): As Any lets them.
USUALLY_NULL = {"SECURITY_ATTRIBUTES", "OVERLAPPED", "SECURITY_QUALITY_OF_SERVICE"}

# Variable-length structures that Basic programs hold only by address: an item ID list
# (PIDL) comes from one shell function and goes to the next as a number.
BY_ADDRESS = {"ITEMIDLIST", "SHITEMID", "ITEMIDLIST_RELATIVE", "ITEMID_CHILD", "ITEMIDLIST_ABSOLUTE"}

# Contexts that CryptoAPI hands out and takes back by address (CertEnumCertificatesInStore,
# CertGetCertificateChain): a Basic Type would pass the address of the caller's copy. So do
# wldap32's session (ldap_init), its results (ldap_search_s, ldap_first_entry) and its
# BerElement (ldap_first_attribute); and the counter set instance PerfCreateInstance gives
# (PerfSetULongCounterValue and the rest take it back by that address).
SYSTEM_CONTEXTS = {"CERT_CONTEXT", "CRL_CONTEXT", "CTL_CONTEXT", "CERT_CHAIN_CONTEXT", "LDAP", "LDAPMessage", "BerElement",
                   "PERF_COUNTERSET_INSTANCE",
                   # A catalog's members and attributes and the CDF CryptCATCDFOpen opened, which
                   # the CryptCAT functions hand out and take back (the previous member of an
                   # enumeration); the XML elements wsdapi builds and frees.
                   "CRYPTCATMEMBER", "CRYPTCATATTRIBUTE", "CRYPTCATCDF", "WSDXML_ELEMENT",
                   # The cryptographic transforms and hashes of CardSpace (GetCryptoTransform,
                   # GetKeyedHash) that its other functions take back.
                   "INFORMATIONCARD_CRYPTO_HANDLE",
                   # A safe array's descriptor: SafeArrayCreate hands it out by its address, and
                   # a Basic array's lives where VarPtrArray points; as a Basic Type the
                   # functions would lock, resize or free a copy.
                   "SAFEARRAY",
                   # The display surfaces DCICreatePrimary, DCICreateOffscreen and
                   # DCICreateOverlay hand out by their address, and DCIBeginAccess takes back.
                   "DCISURFACEINFO", "DCIOFFSCREEN", "DCIOVERLAY",
                   # ICU's text objects (utext_openUChars and the rest allocate one when given
                   # none) and the code point tries ucptrie_openFromBinary opens.
                   "UText", "UCPTrie"}

# char arrays that hold bytes, not text: a socket address's data and padding (DIAG_SOCKADDR's
# data too), a password hash's CYPHER_BLOCK, DNS_QUERY_CANCEL's opaque Reserved. As a fixed
# String, Basic would send them through an ANSI conversion.
# char * parameters that hold bytes, not text: hidpi.h's HID reports (PCHAR Report), which
# HidP_Get* read and HidP_Set* write. As String, Basic would hand over an ANSI copy (bytes
# above 127 may change) and the Set functions would fill the copy.
BINARY_CHAR_PARAMETERS = {"Report"}
BINARY_CHAR_ARRAYS = {"sa_data", "ss_pad1", "ss_pad2", "sin_zero", "data", "Reserved", "MaxSa"}

# va_list: the address of the arguments laid out one after another (wvsprintf).
ARGUMENT_LISTS = {"va_list", "__gnuc_va_list", "__builtin_va_list"}



def _read_pointer_members():
    """Basic Type names whose char * members are Long (see pointer-members.tsv)."""
    import os
    out = {}
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pointer-members.tsv")
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                name, kind, _ = line.rstrip("\n").split("\t")
                out[name] = kind
    return out


# Structures whose text pointers Basic must not convert: kept by the system past the call,
# holding offsets, or filled with addresses by the function.
POINTER_MEMBERS = _read_pointer_members()

RESERVED = {w.lower() for w in """
Access Alias And Any Append As Base Binary Boolean ByRef Byte ByVal Call Case CBool CByte
CCur CDate CDbl CDec CInt CLng Close Compare Const CSng CStr Currency CVar CVErr Date Debug
Decimal Declare DefBool DefByte DefCur DefDate DefDbl DefDec DefInt DefLng DefObj DefSng
DefStr DefVar Dim Do Double Each Else ElseIf Empty End Enum Eqv Erase Error Event Exit
Explicit False Fix For Friend Function Get Global GoSub GoTo If Imp Implements In Input Int
Integer Is LBound Len Let Lib Like Line Lock Long Loop LSet Me Mid Mod Name New Next Not
Nothing Null Object On Open Option Optional Or Output ParamArray Preserve Print Private
Property Public Put RaiseEvent Random Read ReDim Rem Resume Return RSet Seek Select Set Sgn
Shared Single Spc Static Step Stop String Sub Tab Text Then Time To True Type TypeOf UBound
Unlock Until Variant Wend While Width With WithEvents Write Xor
""".split()}


def _handle_like(typedef_name):
    """Handle typedefs outside the list: SQLHSTMT, HSOMETHING, FOO_HANDLE."""
    n = typedef_name
    if n in ("HRESULT", "HALF_PTR", "HFILE"):
        return False
    if n.startswith("SQLH") or n.endswith("_HANDLE") or n.endswith("HANDLE"):
        return True
    return len(n) > 2 and n[0] == "H" and n[1:].isupper() and n[1:].isalpha()


# Typedefs of void * that mean "any memory": a buffer, passed As Any.
GENERIC_VOID_POINTERS = {"LPVOID", "PVOID", "LPCVOID", "PCVOID", "PVOID64", "SQLPOINTER"}


def opaque_pointer(ptype):
    """The typedef name when a parameter's type is a typedef of void * other than the
    generic ones (an object known only by its address), else None."""
    names = typedef_chain(ptype)
    if names and names[0] not in GENERIC_VOID_POINTERS and canonical(ptype).kind == K.POINTER \
            and canonical(ptype).get_pointee().kind == K.VOID:
        return names[0]
    return None


class Unsupported(Exception):
    """A prototype that a 32-bit Basic program cannot call as declared."""


def basic_identifier(name, fallback):
    name = (name or "").lstrip("_")
    name = "".join(ch if (ch.isalnum() and ch.isascii()) or ch == "_" else "_" for ch in name)
    if not name:
        name = fallback
    if not name[0].isalpha():
        name = "x" + name
    if name.lower() in RESERVED:
        name += "_"
    return name[:200]


def canonical(t):
    return t.get_canonical()


# Pointers to UTF-16 text that their headers spell with unsigned short, not WCHAR: rpcdce.h's
# RPC_WSTR (RpcBindingFromStringBindingW's string binding, UuidFromStringW's text). As
# unsigned short * they became "x As Integer", which takes no String nor StrPtr.
WIDE_TEXT_POINTERS = {"RPC_WSTR"}


def is_wide_char(t):
    """True when t (not canonical) is spelled as a wide character (WCHAR, wchar_t, OLECHAR)."""
    names = typedef_chain(t)
    if any(n in ("WCHAR", "wchar_t", "OLECHAR", "TCHAR_W", "WCHAR_T") for n in names):
        return True
    c = canonical(t)
    return c.kind in (K.WCHAR, K.CHAR16)


def array_elements(ft):
    """The number of elements of a (possibly many-dimensional) C array type and its element
    type, keeping the element's typedef sugar where the sugared type still is an array."""
    count = 1
    elem_t = strip_sugar(ft)
    while canonical(elem_t).kind == K.CONSTANTARRAY:
        count *= canonical(elem_t).element_count
        st = strip_sugar(elem_t)
        elem_t = st.element_type if st.kind == K.CONSTANTARRAY else canonical(elem_t).element_type
    return count, elem_t


def is_ansi_char(t):
    c = canonical(t)
    return c.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and "BYTE" not in typedef_chain(t) \
        and "UCHAR" not in typedef_chain(t) and "BOOLEAN" not in typedef_chain(t)


def record_decl(t):
    c = canonical(t)
    return c.get_declaration() if c.kind == K.RECORD else None


def is_handle_record(decl):
    """DECLARE_HANDLE makes HWND a pointer to "struct HWND__ { int unused; }"."""
    return decl is not None and decl.spelling.endswith("__")


def is_interface(decl):
    if decl is None:
        return False
    fields = [f.spelling for f in decl.type.get_fields()]
    return fields[:1] == ["lpVtbl"]


def scalar_basic(c):
    """Basic type of a canonical scalar type, or None."""
    if c.kind in INT_KINDS:
        size = c.get_size()
        return {1: "Byte", 2: "Integer", 4: "Long", 8: "Currency"}.get(size)
    if c.kind == K.FLOAT:
        return "Single"
    if c.kind == K.DOUBLE:
        return "Double"
    if c.kind in (K.POINTER, K.BLOCKPOINTER):
        return "Long"
    return None


BASIC_SIZE = {"Byte": 1, "Integer": 2, "Long": 4, "Single": 4, "String": 4, "Currency": 8, "Double": 8,
              "Variant": 16}


class Member:
    def __init__(self, name, btype, offset, size, align, count=None, fixed=None, dep=None):
        self.name = name
        self.btype = btype
        self.offset = offset
        self.size = size
        self.align = align
        self.count = count    # array element count
        self.fixed = fixed    # String * fixed
        self.dep = dep        # TypeDef this member uses

    def line(self):
        if self.fixed:
            return "%s As String * %d" % (self.name, self.fixed)
        if self.count:
            return "%s(0 To %d) As %s" % (self.name, self.count - 1, self.btype)
        return "%s As %s" % (self.name, self.btype)


class TypeDef:
    def __init__(self, name, members, size, align, usr):
        self.name = name
        self.members = members
        self.size = size
        self.align = align
        self.usr = usr

    def deps(self):
        return [m.dep for m in self.members if m.dep]

    def text(self):
        lines = ["Private Type " + self.name]
        lines += ["    " + m.line() for m in self.members]
        lines.append("End Type")
        return "\r\n".join(lines)


class Mapper:
    """Maps C types to Basic, keeping one Basic Type per C structure."""

    def __init__(self, headers):
        self.headers = headers
        self.types = {}        # usr -> TypeDef or None (None: no faithful layout)
        self.failures = {}     # usr -> reason
        self.names_used = {}   # Basic type name -> usr
        self.wide = False      # mapping a parameter of a W function
        self.twins = []        # W forms taken for the function being mapped

    # ----- structure names and Type blocks --------------------------------------
    def record_name(self, decl):
        usr = decl.get_usr()
        names = self.headers.record_names.get(usr, set())
        tag = decl.spelling
        stripped = tag
        for prefix in ("tag", "_"):
            if stripped.startswith(prefix) and len(stripped) > len(prefix):
                stripped = stripped[len(prefix):]
        stripped = stripped.lstrip("_")
        candidates = sorted(n for n in names if not n.startswith("_"))
        for n in candidates:
            if n + "A" in names:
                return n        # the ANSI structure under its plain name, as in OPENFILENAME
        for n in candidates:
            if n.endswith("A") and self.headers.macros.get(n[:-1]) == n:
                return n[:-1]   # BROWSEINFO, a macro for BROWSEINFOA
        if stripped in names:
            return stripped
        if len(candidates) > 1 and stripped and stripped.replace("_", "").isalnum():
            return stripped     # one structure, many typedefs (CRYPTOAPI_BLOB): its own tag
        if candidates:
            plain = [n for n in candidates if not n.startswith(("P", "LP", "NP"))] or candidates
            return min(plain, key=lambda n: (len(n), n))
        return stripped or None

    def typedef_of(self, t):
        """The Basic Type for a structure type, or None when it has no faithful layout."""
        decl = record_decl(t)
        if decl is None:
            return None
        usr = decl.get_usr()
        if usr in self.types:
            return self.types[usr]
        self.types[usr] = None   # guards recursion
        c = canonical(t)
        size = c.get_size()
        if size <= 0 or decl.kind != ci.CursorKind.STRUCT_DECL or is_handle_record(decl) or is_interface(decl):
            self.failures[usr] = "opaque or not a plain structure"
            return None
        name = self.record_name(decl)
        if not name:
            self.failures[usr] = "no name"
            return None
        name = basic_identifier(name, "STRUCT")
        if name.lower() in RESERVED:
            name += "_"
        try:
            members = self._layout(c, 0, name)
            members, align = self._place(members, size)
        except Unsupported as e:
            self.failures[usr] = str(e)
            return None
        if name in self.names_used and self.names_used[name] != usr:
            name = name + "_" + str(len(self.names_used))
        self.names_used[name] = usr
        td = TypeDef(name, members, size, align, usr)
        self.types[usr] = td
        return td

    def _layout(self, rec, base, owner=None):
        """Members of a C record at their C offsets (bytes from the outer start); owner is
        the Basic name of the structure they end up in."""
        out = []
        bit_unit_end = -1
        for f in rec.get_fields():
            ft = f.type
            c = canonical(ft)
            off = base + f.get_field_offsetof() // 8
            fname = basic_identifier(f.spelling, "Member")
            if f.is_bitfield():
                unit = c.get_size()
                bitoff = f.get_field_offsetof()
                start = base + (bitoff // (unit * 8)) * unit
                if start < bit_unit_end:
                    continue
                out.append(Member(fname, {1: "Byte", 2: "Integer", 4: "Long", 8: "Currency"}[unit],
                                  start, unit, min(unit, 4)))
                bit_unit_end = start + unit
                continue
            if c.kind == K.RECORD:
                d = c.get_declaration()
                anonymous = f.is_anonymous() or not d.spelling or d.spelling.startswith("(")
                if d.kind == ci.CursorKind.UNION_DECL:
                    out += self._union(c, off, fname, owner)
                elif anonymous and not self.headers.record_names.get(d.get_usr()):
                    out += self._layout(c, off, owner)
                else:
                    td = self.typedef_of(ft)
                    if td is None:
                        out += self._bytes(fname, off, c.get_size())
                    else:
                        out.append(Member(fname, td.name, off, td.size, td.align, dep=td))
                continue
            if c.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
                if c.kind == K.INCOMPLETEARRAY:
                    continue   # flexible tail: the caller allocates it
                out += self._array(f, ft, off, fname)
                continue
            if c.kind == K.POINTER:
                pointee = c.get_pointee()
                if pointee.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and owner not in POINTER_MEMBERS \
                        and is_ansi_char(strip_sugar(ft).get_pointee() if strip_sugar(ft).kind == K.POINTER else pointee):
                    out.append(Member(fname, "String", off, 4, 4))
                else:
                    out.append(Member(fname, "Long", off, 4, 4))
                continue
            b = scalar_basic(c)
            if b is None:
                raise Unsupported("member %s of type %s" % (f.spelling, ft.spelling))
            out.append(Member(fname, b, off, BASIC_SIZE[b], min(BASIC_SIZE[b], 4)))
        return out

    def _bytes(self, name, off, size):
        return [Member(name, "Byte", off, size, 1, count=size)] if size > 0 else []

    def _union(self, c, off, fname, owner=None):
        size = c.get_size()
        best = None
        for f in c.get_fields():
            fc = canonical(f.type)
            if best is None or fc.get_size() > canonical(best.type).get_size():
                best = f
        if best is None:
            return self._bytes(fname, off, size)
        bc = canonical(best.type)
        if bc.get_size() == size:
            b = scalar_basic(bc) if bc.kind != K.POINTER else "Long"
            if b:
                return [Member(fname if fname != "Member" else basic_identifier(best.spelling, "Member"),
                               b, off, BASIC_SIZE[b], min(BASIC_SIZE[b], 4))]
            if bc.kind == K.RECORD and bc.get_declaration().kind == ci.CursorKind.STRUCT_DECL:
                d = bc.get_declaration()
                if best.is_anonymous() or not self.headers.record_names.get(d.get_usr()):
                    return self._layout(bc, off, owner)
                td = self.typedef_of(best.type)
                if td is not None:
                    return [Member(basic_identifier(best.spelling, fname), td.name, off, td.size, td.align, dep=td)]
        return self._bytes(fname, off, size)

    def _array(self, f, ft, off, fname):
        c = canonical(ft)
        count, elem_t = array_elements(ft)
        ec = canonical(elem_t)
        if count == 0:
            return []
        if ec.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and is_ansi_char(elem_t) and fname not in BINARY_CHAR_ARRAYS:
            return [Member(fname, "String", off, count, 1, fixed=count)]
        if ec.kind == K.RECORD:
            td = self.typedef_of(elem_t)
            if td is None or td.size != ec.get_size():
                return self._bytes(fname, off, c.get_size())
            return [Member(fname, td.name, off, td.size * count, td.align, count=count, dep=td)]
        b = scalar_basic(ec)
        if b is None or b == "String":
            return self._bytes(fname, off, c.get_size())
        return [Member(fname, b, off, BASIC_SIZE[b] * count, min(BASIC_SIZE[b], 4), count=count)]

    def _place(self, members, size):
        """Lays members out with Basic's alignment (at most 4), adding padding where C
        leaves a gap; fails where Basic would put a member later than C does."""
        out = []
        pos = 0
        align = 1
        pads = 0
        seen = set()
        for m in members:
            base = m.name
            n = 2
            while m.name.lower() in seen:
                m.name = "%s%d" % (base, n)
                n += 1
            seen.add(m.name.lower())
            natural = (pos + m.align - 1) // m.align * m.align
            if m.offset < natural:
                raise Unsupported("member %s cannot sit at C's offset %d in Basic" % (m.name, m.offset))
            if m.offset > natural:
                gap = m.offset - pos
                pads += 1
                out.append(Member("Padding%d" % pads, "Byte", pos, gap, 1, count=gap))
                seen.add("padding%d" % pads)
            out.append(m)
            pos = m.offset + m.size
            align = max(align, m.align)
        end = (pos + align - 1) // align * align
        if end < size:
            pads += 1
            out.append(Member("Padding%d" % pads, "Byte", pos, size - pos, 1, count=size - pos))
            pos = size
            end = size
        if end != size:
            raise Unsupported("Basic size %d differs from C size %d" % (end, size))
        return out, align

    # ----- parameters and results ---------------------------------------------------
    def param(self, ptype, pname, fallback, wide=False, given=None):
        """List of BasicParam for one C parameter (two or more for a small structure
        passed by value). wide: the parameter of a W function, which takes the W form of
        a structure that has A and W forms. given: the name to use where the header
        leaves the parameter unnamed (the metadata's, pnames.py); the type is chosen as
        for the name the type makes, so that only the name differs."""
        params = self._param(ptype, pname, fallback, wide)
        if pname or not given:
            return params
        for p in params:
            p.made = p.name
        return rename(params, basic_identifier(given, params[0].name))

    def _param(self, ptype, pname, fallback, wide):
        self.wide = wide
        t = strip_sugar(ptype)
        c = canonical(ptype)
        chain = typedef_chain(ptype)
        name = basic_identifier(pname, "") if pname else self._unnamed(ptype, chain, fallback)
        if c.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY, K.VARIABLEARRAY, K.DEPENDENTSIZEDARRAY):
            element = t.element_type if t.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY) else c.element_type
            return self._pointer(name, chain, c.element_type, element, ptype)
        if c.kind == K.POINTER:
            sugared = t
            while sugared.kind == K.TYPEDEF:
                sugared = strip_sugar(sugared.get_declaration().underlying_typedef_type)
            pointee_sugared = sugared.get_pointee() if sugared.kind == K.POINTER else c.get_pointee()
            return self._pointer(name, chain, c.get_pointee(), pointee_sugared, ptype)
        if c.kind == K.RECORD:
            return self._by_value_record(name, ptype)
        b = scalar_basic(c)
        if b is None:
            raise Unsupported("parameter %s of type %s" % (pname, ptype.spelling))
        kind = "number"
        if c.kind == K.ENUM:
            kind = "enum"
        if any(n in ("BOOL", "WINBOOL", "BOOLEAN") for n in chain):
            kind = "bool"
        return [BasicParam(name, True, b, 8 if b in ("Currency", "Double") else 4, kind, ptype)]

    def wide_twin(self, record):
        """The W form of an A structure (DNS_RECORDA -> DNS_RECORDW), else the structure.
        Some W prototypes of the headers name the structure through a typedef that follows
        UNICODE (PDNS_RECORD), which is the A form when UNICODE is not defined."""
        decl = record_decl(record)
        for n in sorted(self.headers.record_names.get(decl.get_usr(), ())) if decl is not None else ():
            if n.endswith("A") and n[:-1] + "W" in self.headers.record_types:
                self.twins.append(n[:-1] + "W")
                return self.headers.record_types[n[:-1] + "W"]
        return record

    def _unnamed(self, ptype, chain, fallback):
        """A name for a parameter the header leaves unnamed, after its type:
        LPOPENFILENAMEA gives pOpenfilename, HDC hdc, GpGraphics * graphics and
        GpPath ** pPath."""
        c = canonical(ptype)
        if c.kind == K.POINTER and c.get_pointee().kind == K.RECORD:
            td = self.typedef_of(c.get_pointee())
            if td is not None:
                return basic_identifier("p" + td.name.capitalize(), fallback)
        prefix = ""
        t = strip_sugar(ptype)
        words = chain
        depth = 0
        while not words and t.kind == K.POINTER and depth < 3:
            t = strip_sugar(t.get_pointee())
            words = typedef_chain(t)
            depth += 1
        if depth > 1:
            prefix = "p"
        if not words:
            return fallback
        word = words[0]
        if depth and word in ("WCHAR", "CHAR", "OLECHAR", "wchar_t", "char"):
            word = "text"
        elif word in ("INT", "UINT", "REAL", "LONG", "ULONG", "DWORD", "WORD", "BYTE", "BOOL", "WINBOOL",
                    "SHORT", "USHORT", "FLOAT", "DOUBLE", "CHAR", "WCHAR", "int", "float", "double"):
            word = "value"
        elif word.startswith("Gp") and len(word) > 2:
            word = word[2:]
        if word.isupper():
            word = word.lower()
        else:
            word = word[0].lower() + word[1:]
        if prefix:
            word = prefix + word[0].upper() + word[1:]
        return basic_identifier(word, fallback)

    def _by_value_record(self, name, ptype):
        c = canonical(ptype)
        size = c.get_size()
        decl = c.get_declaration()
        fields = list(c.get_fields())
        if size == 8 and decl.kind == ci.CursorKind.UNION_DECL and any(
                canonical(f.type).kind in (K.LONGLONG, K.ULONGLONG) for f in fields):
            return [BasicParam(name, True, "Currency", 8, "int64", ptype)]
        if size <= 4:
            # COORD, BLENDFUNCTION, in_addr: the members packed into one stack slot,
            # as Basic programmers pass them (X + Y * &H10000 for a COORD).
            return [BasicParam(name, True, "Long", 4, "packed", ptype)]
        if "VARIANT" in typedef_chain(ptype) and size == 16:
            return [BasicParam(name, True, "Variant", 16, "variant", ptype)]
        flat = []
        try:
            members = self._layout(c, 0)
        except Unsupported:
            members = []
        if members and all(m.btype == "Long" and not m.count for m in members) and len(members) <= 4 \
                and sum(m.size for m in members) == size:
            for m in members:
                sub = split_name(m.name, name)
                flat.append(BasicParam(sub, True, "Long", 4, "split", ptype, part=m.name))
            return flat
        raise Unsupported("structure %s passed by value" % ptype.spelling)

    def _pointer(self, name, chain, pointee, pointee_sugared, ptype):
        if pointee.kind in (K.FUNCTIONPROTO, K.FUNCTIONNOPROTO):
            return [BasicParam(name, True, "Long", 4, "callback", ptype)]
        if any(n in ARGUMENT_LISTS for n in chain):
            return [BasicParam(name, True, "Long", 4, "arglist", ptype)]
        if pointee.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and not chain and not pointee.is_const_qualified() \
                and re.match(r"^pc[A-Z]", name):
            # CHAR *pcOut (VarI1FromI2): one signed byte written back, not text.
            return [BasicParam(name, False, "Byte", 4, "numberref", ptype)]
        names = chain + typedef_chain(pointee_sugared)
        if pointee.kind in INT_KINDS and pointee.get_size() in (4, 8) and any(
                n in HANDLE_NAMES or _handle_like(n) for n in names):
            # A pointer to a handle that is a number (LPSCARDHANDLE, PTRACEHANDLE,
            # PREGHANDLE, LPLHANDLE): the handle lives in the caller's variable, which the
            # function reads or writes. A name ending in HANDLE does not make it one.
            b = scalar_basic(pointee)
            if b is None:
                raise Unsupported("parameter %s of type %s" % (name, ptype.spelling))
            return [BasicParam(name, False, b, 4, "handleref", ptype, const=pointee.is_const_qualified())]
        if pointee.kind not in (K.POINTER, K.BLOCKPOINTER) and (
                any(n in HANDLE_NAMES for n in chain)
                or (pointee.kind != K.RECORD and any(_handle_like(n) for n in chain))):
            # A handle: a pointer to nothing the program may look into (void, HWND__).
            # A pointer to a whole structure is that structure, whatever its typedef's
            # name (PMDNS_QUERY_HANDLE); opaque and incomplete ones are handles below.
            return [BasicParam(name, True, "Long", 4, "handle", ptype)]
        if "SQLCHAR" in typedef_chain(pointee_sugared):
            return [BasicParam(name, True, "String", 4, "string", ptype, const=pointee.is_const_qualified())]
        if pointee.kind in (K.FUNCTIONPROTO, K.FUNCTIONNOPROTO):
            return [BasicParam(name, True, "Long", 4, "callback", ptype)]
        const = pointee.is_const_qualified()
        if pointee.kind == K.RECORD:
            decl = pointee.get_declaration()
            if pointee.get_size() == 8 and decl.kind == ci.CursorKind.UNION_DECL and any(
                    canonical(f.type).kind in (K.LONGLONG, K.ULONGLONG) for f in pointee.get_fields()):
                return [BasicParam(name, False, "Currency", 4, "numberref", ptype, const=const)]
            if is_handle_record(decl):
                return [BasicParam(name, True, "Long", 4, "handle", ptype)]
            if is_interface(decl):
                return [BasicParam(name, True, "Long", 4, "interface", ptype)]
            if pointee.get_size() < 0:
                # An incomplete structure (GpGraphics, GpPath): an object the library
                # hands out and takes back, as a handle.
                return [BasicParam(name, True, "Long", 4, "handle", ptype)]
            if "reserved" in name.lower():
                return [BasicParam(name, True, "Long", 4, "reserved", ptype)]
            td = self.typedef_of(self.wide_twin(pointee) if self.wide else pointee)
            if td is not None and td.name in BY_ADDRESS:
                return [BasicParam(name, True, "Long", 4, "pidl", ptype)]
            if td is not None and td.name in SYSTEM_CONTEXTS:
                return [BasicParam(name, True, "Long", 4, "handle", ptype)]
            if td is None or td.name in USUALLY_NULL:
                return [BasicParam(name, False, "Any", 4, "struct", ptype, const=const, record=td)]
            return [BasicParam(name, False, td.name, 4, "struct", ptype, const=const, record=td)]
        if pointee.kind == K.VOID:
            if any(n not in ("VOID", "CVOID") for n in typedef_chain(pointee_sugared)):
                # An object type the headers spell as void (GpGraphics, GpPath in C):
                # the library hands it out and takes it back as a handle.
                return [BasicParam(name, True, "Long", 4, "handle", ptype)]
            if "reserved" in name.lower():
                return [BasicParam(name, True, "Long", 4, "reserved", ptype)]
            if opaque_pointer(ptype):
                # A typedef of void * that names what it points to (SCRIPT_STRING_ANALYSIS,
                # DLL_DIRECTORY_COOKIE, SC_LOCK): a handle the library hands out and takes
                # back. As Any would pass the address of the caller's variable instead.
                return [BasicParam(name, True, "Long", 4, "handle", ptype)]
            return [BasicParam(name, False, "Any", 4, "buffer", ptype, const=const)]
        if pointee.kind in (K.POINTER, K.BLOCKPOINTER):
            inner = typedef_chain(pointee_sugared)
            inner_pointee = pointee.get_pointee()
            if any(n in HANDLE_NAMES or _handle_like(n) for n in inner) or (
                    inner_pointee.kind == K.RECORD and is_handle_record(inner_pointee.get_declaration())):
                return [BasicParam(name, False, "Long", 4, "handleref", ptype, const=const)]
            if inner_pointee.kind == K.RECORD and is_interface(inner_pointee.get_declaration()):
                return [BasicParam(name, False, "Long", 4, "interfaceref", ptype, const=const)]
            return [BasicParam(name, False, "Long", 4, "pointer", ptype, const=const)]
        if pointee.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and name in BINARY_CHAR_PARAMETERS:
            return [BasicParam(name, False, "Any", 4, "buffer", ptype, const=const)]
        if pointee.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and is_ansi_char(pointee_sugared):
            return [BasicParam(name, True, "String", 4, "string", ptype, const=const)]
        if pointee.kind in INT_KINDS and pointee.get_size() == 2 and (
                is_wide_char(pointee_sugared) or any(n in WIDE_TEXT_POINTERS for n in chain)):
            return [BasicParam(name, True, "Long", 4, "wstring", ptype, const=const)]
        if pointee.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
            return [BasicParam(name, False, "Any", 4, "buffer", ptype, const=const)]
        b = scalar_basic(pointee)
        if b is None or (b == "Byte" and pointee.kind in (K.UCHAR, K.CHAR_U)):
            # BYTE * is a buffer of any content (a byte array, a structure, a number).
            return [BasicParam(name, False, "Any", 4, "buffer", ptype, const=const)]
        if "reserved" in name.lower():
            return [BasicParam(name, True, "Long", 4, "reserved", ptype)]
        return [BasicParam(name, False, b, 4, "numberref", ptype, const=const)]

    def result(self, rtype):
        c = canonical(rtype)
        if c.kind == K.VOID:
            return None
        if c.kind == K.RECORD:
            if c.get_size() == 4:
                # A structure of 4 bytes (COORD) comes back in EAX, as a Long would.
                return "Long"
            raise Unsupported("returns the structure %s" % rtype.spelling)
        b = scalar_basic(c)
        if b is None:
            raise Unsupported("returns %s" % rtype.spelling)
        return b


def split_name(member, name):
    """The name of one member of a structure passed by value as several Longs (xPt)."""
    return basic_identifier(member + name[:1].upper() + name[1:], "Part")


def rename(params, name):
    """The BasicParams of one C parameter under another name."""
    for p in params:
        p.name = split_name(p.part, name) if p.kind == "split" else name
    return params


class BasicParam:
    def __init__(self, name, byval, btype, stack, kind, ctype, const=False, record=None, part=None):
        self.name = name
        self.byval = byval
        self.btype = btype
        self.stack = stack
        self.kind = kind
        self.ctype = ctype
        self.const = const
        self.record = record
        self.part = part
        self.made = None        # the name it would have without the metadata's names, where that differs
        self.named_by = None    # for a parameter the header leaves unnamed: pnames.py's reason
        self.may_be_null = False  # a structure passed As Any because it may be NULL; its Type block kept
        self.sized = False        # a structure passed As Any because its size is given apart; its Type block kept

    def text(self):
        return ("ByVal " if self.byval else "") + self.name + " As " + self.btype


def c_stack_bytes(fn):
    """Argument bytes that a stdcall call of the C prototype pushes."""
    total = 0
    for p in fn.params:
        c = canonical(p.type)
        if c.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
            total += 4
            continue
        size = c.get_size()
        total += max(4, (size + 3) // 4 * 4)
    return total


def declaration(name, lib, alias, params, result, typedefs):
    """The full declaration text: Type blocks (inner ones first), then the Declare line."""
    kind = "Sub" if result is None else "Function"
    text = "Private Declare %s %s Lib \"%s\"" % (kind, name, lib)
    if alias:
        text += " Alias \"%s\"" % alias
    text += " (" + ", ".join(p.text() for p in params) + ")"
    if result is not None:
        text += " As " + result
    blocks = [td.text() for td in typedefs]
    return "\r\n\r\n".join(blocks + [text])


def ordered_typedefs(roots):
    """Type blocks a declaration needs, each after the Types it contains."""
    out = []
    seen = set()

    def visit(td):
        if td is None or td.usr in seen:
            return
        seen.add(td.usr)
        for d in td.deps():
            visit(d)
        out.append(td)

    for td in roots:
        visit(td)
    return out
