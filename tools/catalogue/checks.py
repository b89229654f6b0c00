#!/usr/bin/python3
"""Checks of the catalogue against faults that compile and then fail when called. The
generator runs them on what it is about to write and stops on any; run alone, they check
the committed data/catalogue (parsing the headers for the typedefs of void *):

    /usr/bin/python3 tools/catalogue/checks.py
"""

import collections
import glob
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import areas  # noqa: E402
import basic  # noqa: E402
import winecheck  # noqa: E402
import build as build_rules  # noqa: E402
import pnames  # noqa: E402
from build import SUPPLIED_BY_CALLER  # noqa: E402

DATA = os.path.join(os.path.dirname(os.path.dirname(HERE)), "data", "catalogue")

# (pattern on the name, area, whether the names belong there): placements that name
# patterns once got wrong, or that hand-chosen areas once missed.
AREA_FAULTS = [
    (r"^SafeArray", areas.SECURITY, False),
    (r"^SQL\w*Cursor", areas.ICONS, False),                 # an ODBC cursor walks a result set
    (r"Iconic|^OpenIcon$", areas.ICONS, False),             # minimized windows, taskbar thumbnails
    (r"^GetPointer\w*Cursor", areas.ICONS, False),          # a pen's tip and eraser
    (r"^(Get|Set)PhysicalCursorPos$", areas.ICONS, False),  # where the mouse is
    (r"^(CopyRect|EqualRect|IntersectRect|SubtractRect|UnionRect|IsRectEmpty|SetRectEmpty)$", areas.WINDOWS, False),
    (r"^(Get|Set)(ClipRgn|MetaRgn|DCBrushColor|DCPenColor|WindowOrgEx|WindowExtEx|BoundsRect)$", areas.WINDOWS, False),
    (r"^(DrawThemeBackground|GetThemeColor|GetThemeInt|BufferedPaintInit|BeginBufferedPaint)$", areas.WINDOWS, False),
    (r"^(GetPointerFrameInfo|EvaluateProximityToRect|QueryDisplayConfig|GetUpdatedClipboardFormats)$", areas.WINDOWS, False),
    (r"StringFormat|^Script(Itemize|Break|Layout|IsComplex|StringOut)$", areas.FONTS, False),
    (r"^(LoadLibrary|FreeLibrary|GetProcAddress)W?$", areas.MODULES, True),
    (r"^(ExtractIcon|Shell_NotifyIcon)W?$", areas.ICONS, True),
]

# char * members that are ANSI in the W form of a structure too: an OID is ANSI text in
# every form; GCP_RESULTSW.lpClass is an array of byte-sized classes.
ANSI_IN_WIDE = {("CRYPT_CREDENTIALS", "pszCredentialsOid"), ("GCP_RESULTSW", "lpClass")}

# Functions that must be there: the database half of the installer API (msiquery.h) and
# results that are 4-byte structures (a COORD comes back in EAX).
REQUIRED = {"MsiOpenDatabase", "MsiDatabaseOpenView", "MsiViewFetch", "MsiRecordGetString",
            "GetConsoleFontSize", "GetLargestConsoleWindowSize"}

TYPE_BLOCK = re.compile(r"Private Type (\w+)\r\n(.*?)\r\nEnd Type", re.S)
TYPE_BLOCK_NAMES = re.compile(r"^Private Type (\w+)", re.M)
DECLARE = re.compile(r'Private Declare (?:Function|Sub) (\w+) Lib "([^"]+)"(?: Alias "([^"]+)")? \((.*)\)')


class Row:
    """What the checks read of one catalogue function."""

    def __init__(self, name, declaration, library, areas, export, c_params, basic_params, prototype):
        self.name = name
        self.declaration = declaration
        self.library = library
        self.areas = areas
        self.export = export
        self.c_params = c_params
        self.basic_params = basic_params
        self.prototype = prototype


def c_parameter_types(prototype):
    """The type name of each C parameter of a recorded prototype, without const."""
    inside = prototype[prototype.index("(") + 1:prototype.rindex(")")]
    if inside.strip() in ("", "void"):
        return []
    out = []
    for p in inside.split(","):
        words = [w for w in re.findall(r"[A-Za-z_]\w*|\*", p) if w not in ("const", "struct", "enum")]
        out.append(words[0] if words else "")
    return out


def c_parameter_texts(prototype):
    """Each C parameter of a recorded prototype as written."""
    inside = prototype[prototype.index("(") + 1:prototype.rindex(")")]
    return [] if inside.strip() in ("", "void") else inside.split(",")


# Words that end a C type spelling: a parameter written as "unsigned long" or "struct
# tagPOINT" has no name.
C_TYPE_WORDS = {"void", "char", "short", "int", "long", "float", "double", "signed", "unsigned",
                "__int64", "_Bool", "wchar_t"}
C_QUALIFIERS = {"const", "volatile", "struct", "enum", "union", "signed", "unsigned"}


def c_parameter_named(text):
    """Whether a C parameter of a recorded prototype ("HDC hdc", "HDC", "GpGraphics **",
    "unsigned long") carries a name: the prototype writes the type's spelling, then the
    name where the header gives one."""
    text = text.strip()
    if not text or not (text[-1].isalnum() or text[-1] == "_"):
        return False
    words = [w for w in re.findall(r"[A-Za-z_]\w*", text) if w not in C_QUALIFIERS]
    return len(words) >= 2 and words[-1] not in C_TYPE_WORDS


def metadata_name_faults(r, params, names):
    """Parameters the header leaves unnamed that the metadata names (pnames.py) and the
    declaration names otherwise: the name the type made kept."""
    texts = c_parameter_texts(r.prototype)
    if r.c_params != r.basic_params or len(texts) != r.c_params or len(params) != r.c_params:
        return []
    out = []
    given = names.given(r.export, r.library, ["x" if c_parameter_named(t) else "" for t in texts])
    for (name, _), p in zip(given, params):
        if name is None:
            continue
        declared = re.sub(r"^ByVal ", "", p).split(" As ")[0]
        wanted = basic.basic_identifier(name, "")
        if not re.match(r"^%s\d*$" % re.escape(wanted), declared):
            out.append("%s: %s, the metadata's %s" % (r.name, declared, name))
    return out


def null_refused_faults(r, params, names):
    """Structures the metadata lets be NULL that the declaration passes as their Type,
    where Basic refuses ByVal 0& (a parameter As RECT takes a RECT variable only)."""
    if r.c_params != r.basic_params or len(params) != r.c_params:
        return []
    types = set(TYPE_BLOCK_NAMES.findall(r.declaration))
    out = []
    for may_be_null, p in zip(names.optional(r.export, r.library, len(params)), params):
        if may_be_null and not p.startswith("ByVal ") and p.split(" As ")[-1] in types:
            out.append("%s: %s" % (r.name, p))
    return out


def sized_refused_faults(r, names):
    """Buffers whose size another parameter gives (the metadata's "MemorySize") that the
    declaration passes as their Type: Basic then refuses a larger buffer (a Byte array, a
    sockaddr_in6) and the function writes past the Type it was given."""
    out = []
    # Both forms: the VBA7 one types a structure the classic one cannot lay out.
    for text in (r.declaration, getattr(r, "vba7", "") or ""):
        m = DECLARE.search(text.split("\r\n")[-1])
        params = [p for p in m.group(4).split(", ") if p] if m else []
        if not params or r.c_params != len(params):
            continue
        types = set(TYPE_BLOCK_NAMES.findall(text))
        out += ["%s: %s" % (r.name, p) for sized, p in zip(names.sized(r.export, r.library, len(params)), params)
                if sized and not p.startswith("ByVal ") and p.split(" As ")[-1] in types]
    return sorted(set(out))


def check_rows(rows, void_typedefs, metadata_names=None, hand_declared=()):
    """Problems by fault class: {class: [text, ...]}. metadata_names: the metadata's
    parameter names (pnames.Names), read where not given; hand_declared: functions whose declaration
    is written by hand (curated.tsv, overrides.tsv), which name their parameters as
    written."""
    metadata_names = metadata_names or pnames.Names()
    problems = collections.OrderedDict((k, []) for k in (
        "String member of a kept, offset or filled structure", "pointer to a handle passed ByVal",
        "typedef of void * passed As Any", "library", "reserved word as a function name",
        "filed under the wrong area", "W half filed apart from its plain name", "missing function",
        "ANSI structure in a W function", "declaration that fails when called",
        "unnamed parameter named after its type though the metadata names it",
        "structure that may be NULL passed as its Type, which refuses ByVal 0&",
        "buffer sized by another parameter passed as its Type, which refuses a larger one",
        "UTF-16 text not passed by its address"))
    names = set()
    pairs = []
    by_name = {r.name: r for r in rows}
    faults = [(re.compile(rx), area, belongs) for rx, area, belongs in AREA_FAULTS]
    matched = set()
    for r in rows:
        names.add(r.name)
        pairs.append((r.library, r.export))
        blocks = {t: body for t, body in TYPE_BLOCK.findall(r.declaration)}
        m = DECLARE.search(r.declaration.split("\r\n")[-1])
        params = [p for p in m.group(4).split(", ") if p] if m else []
        for t, body in blocks.items():
            strings = [ln[4:-len(" As String")] for ln in body.split("\r\n") if ln.endswith(" As String")]
            if t in basic.POINTER_MEMBERS and strings:
                problems["String member of a kept, offset or filled structure"].append(
                    "%s: %s.%s" % (r.name, t, strings[0]))
            if r.name.endswith("W") or r.name.endswith("_W"):
                for s in strings:
                    if (t, s) not in ANSI_IN_WIDE:
                        problems["ANSI structure in a W function"].append("%s: %s.%s As String" % (r.name, t, s))
        problems["declaration that fails when called"] += call_faults(r, params)
        if r.name not in hand_declared:
            problems["unnamed parameter named after its type though the metadata names it"] += \
                metadata_name_faults(r, params, metadata_names)
            problems["structure that may be NULL passed as its Type, which refuses ByVal 0&"] += \
                null_refused_faults(r, params, metadata_names)
            problems["buffer sized by another parameter passed as its Type, which refuses a larger one"] += \
                sized_refused_faults(r, metadata_names)
        if r.c_params == r.basic_params:
            for ctype, ctext, p in zip(c_parameter_types(r.prototype), c_parameter_texts(r.prototype), params):
                if ctype in basic.WIDE_TEXT_POINTERS and "*" not in ctext and not p.startswith("ByVal "):
                    problems["UTF-16 text not passed by its address"].append("%s: %s as %s" % (r.name, ctype, p))
                if re.match(r"^(LP|P)\w*HANDLE$", ctype) and p.startswith("ByVal "):
                    problems["pointer to a handle passed ByVal"].append("%s: %s as %s" % (r.name, ctype, p))
                if ctype in void_typedefs and p.endswith(" As Any"):
                    problems["typedef of void * passed As Any"].append("%s: %s as %s" % (r.name, ctype, p))
        if r.library.endswith(".sys"):
            problems["library"].append("%s: a kernel-mode driver, %s" % (r.name, r.library))
        if r.export in SUPPLIED_BY_CALLER:
            problems["library"].append("%s: the program supplies it" % r.name)
        if r.name.lower() in basic.RESERVED:
            problems["reserved word as a function name"].append(r.name)
        for number, (rx, area, belongs) in enumerate(faults):
            if rx.search(r.name):
                matched.add(number)
                if (area in r.areas) != belongs:
                    problems["filed under the wrong area"].append(
                        "%s %s %s" % (r.name, "not under" if belongs else "under", area))
        plain = by_name.get(r.name[:-1]) if r.name.endswith("W") else None
        if (plain and 'Alias "%sA"' % plain.name in plain.declaration
                and plain.basic_params == r.basic_params and plain.areas != r.areas):
            problems["W half filed apart from its plain name"].append(r.name)
    for number, (rx, _, _) in enumerate(AREA_FAULTS):
        if number not in matched:
            problems["filed under the wrong area"].append("no function matches %s" % rx)
    for n in sorted(REQUIRED - names):
        problems["missing function"].append(n)
    wine = winecheck.Wine()
    if wine.installed():
        found, _ = winecheck.check(pairs, wine)
        problems["library"] += found
    else:
        print("Wine's DLLs are not installed (Debian package libwine): exports not compared with Wine")
    return problems


# Declarations that compile and then fail when called, by what gives them away.
SYSTEM_CONTEXT_TYPES = re.compile(r"^P?C?(C(ERT|RL|TL|ERT_CHAIN)_CONTEXT|PERF_COUNTERSET_INSTANCE)$")
SYSTEM_STRUCTURE_BY_REFERENCE = re.compile(r"(?:\(|, )(\w+ As (?:%s))(?=[,)])" % "|".join(sorted(basic.SYSTEM_CONTEXTS)))
BINARY_AS_TEXT = re.compile(r"^    (%s) As String" % "|".join(sorted(basic.BINARY_CHAR_ARRAYS)), re.M)


def call_faults(r, params):
    out = []
    types = c_parameter_types(r.prototype) if r.c_params == r.basic_params else [None] * len(params)
    raw = c_parameter_texts(r.prototype) if r.c_params == r.basic_params else [""] * len(params)
    export = r.export
    for ctype, text, p in zip(types, raw, params):
        if re.match(r"^ByVal pc[A-Z]\w* As String$", p):
            out.append("%s: %s, a one-byte output as text" % (r.name, p))
        if ctype in ("va_list", "__gnuc_va_list") and "*" not in text and not re.match(r"^ByVal \w+ As Long$", p):
            out.append("%s: %s, an argument list" % (r.name, p))
        if ctype and SYSTEM_CONTEXT_TYPES.match(ctype) and "*" not in text and "[" not in text \
                and not re.match(r"^ByVal \w+ As Long$", p):
            out.append("%s: %s, a context the system hands out" % (r.name, p))
        if export in build_rules.GIVES_BACK and (p.endswith(" As String") or (
                not p.startswith("ByVal ") and p.split(" As ")[-1] in TYPE_BLOCK_NAMES.findall(r.declaration))):
            out.append("%s: %s, what the system handed out given back as Basic's copy" % (r.name, p))
        if export in build_rules.KEEPS_TEXT and p.endswith(" As String"):
            out.append("%s: %s, text the structure keeps" % (r.name, p))
    # A structure the system hands out, taken by reference: Basic would pass its own copy.
    # A function with its VBA7 form alone is checked there.
    for m in SYSTEM_STRUCTURE_BY_REFERENCE.finditer((r.declaration or getattr(r, "vba7", "")).split("\r\n")[-1]):
        out.append("%s: %s, a structure the system hands out taken as Basic's copy" % (r.name, m.group(1)))
    for m in BINARY_AS_TEXT.finditer(r.declaration):
        out.append("%s: %s As String, bytes as text" % (r.name, m.group(1)))
    return out


def called_export(declaration):
    m = DECLARE.search(declaration.split("\r\n")[-1].replace("Declare PtrSafe ", "Declare "))
    return (m.group(3) or m.group(1)) if m else None


def win64_faults(forms):
    """VBA7 forms of exports that exist in 64-bit Windows only ((name, vba7, classic) each)
    that a saved module would not put under #If Win64: those that use LongLong or call
    another export than the classic form (src/catalogue/FunctionFacts.cpp, the same rule)."""
    return ["%s: %s" % (name, called_export(vba7)) for name, vba7, classic in forms
            if vba7 and "LongLong" not in vba7 and called_export(vba7) == called_export(classic)]


def cdecl_faults(rows):
    """Functions that are cdecl in 32 bits ((name, cdecl, classic, vba7) each) with a classic
    form, which 32-bit Basic would call as stdcall and so unbalance the stack, or without the
    VBA7 form they are in the catalogue for; and a classic field left empty for any other."""
    faults = []
    for name, cdecl, classic, vba7 in rows:
        # wldap32's session and results are the system's: held by address, never as a Type.
        handed_out = re.search(r"[(,] ?(ByRef )?\w+ As (LDAP|LDAPMessage|BerElement)\b", (classic + vba7).split("\r\n")[-1])
        if handed_out:
            faults.append("%s: %s, what wldap32 hands out, as a Type" % (name, handed_out.group(0).lstrip("(, ")))
        # ldap_value_free takes the array ldap_get_values gave, not the caller's variable.
        if name in build_rules.GIVES_BACK and re.search(r"[(,] ?(?!ByVal )\w+ As ", (classic + vba7).split("\r\n")[-1]):
            faults.append("%s: what the system gave, passed ByRef" % name)
        if cdecl and classic:
            faults.append("%s: cdecl, with a classic form" % name)
        elif cdecl and not vba7:
            faults.append("%s: cdecl, without a VBA7 form" % name)
        elif not cdecl and not classic:
            faults.append("%s: stdcall, without a classic form" % name)
    return faults


def committed_cdecl_rows():
    """(name, cdecl, classic, vba7) of every committed function: cdecl where prototypes.txt
    records no argument bytes ("-")."""
    cdecl = set()
    with open(os.path.join(DATA, "prototypes.txt"), encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#") and line.strip():
                p = line.rstrip("\n").split("\t")
                if p[3] == "-":
                    cdecl.add(p[0])
    rows = []
    for path in sorted(glob.glob(os.path.join(DATA, "api-*.tsv"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if not line.startswith("#"):
                    fields = line.rstrip("\n").split("\t")
                    rows.append((fields[0], fields[0] in cdecl, fields[1], fields[5] if len(fields) > 5 else ""))
    return rows


def void_pointer_typedefs(headers):
    """Typedef names of void * other than the generic ones (LPVOID, PVOID, ...)."""
    return {n for n, t in headers.pointer_typedefs.items() if basic.opaque_pointer(t)}


def committed_rows():
    protos = {}
    with open(os.path.join(DATA, "prototypes.txt"), encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#") and line.strip():
                p = line.rstrip("\n").split("\t")
                protos[p[0]] = p
    rows = []
    for path in sorted(glob.glob(os.path.join(DATA, "api-*.tsv"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#"):
                    continue
                name, decl, lib, area_text = line.rstrip("\n").split("\t")[:4]
                decl = decl.replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t")
                p = protos[name]
                rows.append(Row(name, decl, lib, area_text.split("\u060c"), p[1], int(p[4]), int(p[5]), p[7]))
    return rows


def hand_declared():
    """The functions whose declaration curated.tsv or overrides.tsv writes by hand."""
    out = set()
    for table, column in (("curated.tsv", 1), ("overrides.tsv", 6)):
        with open(os.path.join(HERE, table), encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").rstrip("\r").split("\t")
                if line.startswith("#") or len(fields) <= column:
                    continue
                if fields[column].strip():
                    out.add(fields[0])
    return out


def report(problems):
    total = 0
    for k, v in problems.items():
        print("%s: %d" % (k, len(v)))
        for text in v[:int(os.environ.get("VORN_CHECKS_SHOWN", "20"))]:
            print("    " + text)
        total += len(v)
    return total


def main():
    from cparse import Headers, HEADERS, SEPARATE_HEADERS
    headers = Headers()
    headers.parse(HEADERS)
    for group in SEPARATE_HEADERS:
        headers.parse(group)
    import coverage
    coverage.parse(headers)
    problems = check_rows(committed_rows(), void_pointer_typedefs(headers), hand_declared=hand_declared())
    problems["cdecl function with a classic form, or without a VBA7 form"] = cdecl_faults(committed_cdecl_rows())
    return 1 if report(problems) else 0


if __name__ == "__main__":
    sys.exit(main())
