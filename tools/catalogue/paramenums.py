"""Constant families of parameters, and the metadata's constants the headers lack.

Microsoft's Win32 metadata types many parameters with an enum (MessageBoxA's uType takes
MESSAGEBOX_STYLE, whose members are the MB_ constants). This module

- adds every integer and string constant of the metadata that the catalogue's constants
  lack: the value is computed again by mingw-w64's gcc from the header that defines the
  name (any header of the mingw-w64 tree, found by its text); a value the compiler
  contradicts is left out, and a name no header defines keeps the metadata's value with
  the header field "metadata" and is listed apart in the report;
- turns every enum that a parameter or the result of a catalogue function is typed with
  into a family (data/catalogue/enums.tsv): its members as the metadata orders them, and
  whether they combine with Or (the enum's "Flags");
- links each such parameter, by its name in the classic Basic declaration, to its family
  (data/catalogue/params.tsv), together with the links of param-overrides.tsv for the
  parameters the metadata leaves untyped (ShellExecute's nShowCmd, SendMessage's wMsg, ...).

check() holds the rules the data must keep; run alone, this file checks the committed data.
"""

import collections
import concurrent.futures
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import metadata as win32metadata  # noqa: E402
from cparse import MINGW  # noqa: E402
from constants import FEATURE, Constant, compile_to_assembly, LIMIT_HIGH, LIMIT_LOW, literal, read_literal  # noqa: E402

INCLUDE = os.path.join(MINGW, "include")
OVERRIDES = os.path.join(HERE, "param-overrides.tsv")
METADATA_HEADER = "metadata"
INTEGER_TYPES = {"Byte", "UInt16", "Int16", "UInt32", "Int32", "UInt64", "Int64"}
# Basic types a constant is passed as by value.
NUMBER_TYPES = {"Long", "Integer", "Byte"}
GROUP = 24            # headers compiled together (a group that fails is split)
LONGEST_LINE = 1023   # Basic's longest source line
# Words Basic reserves: no Const can take such a name (the metadata has True, False, In).
KEYWORDS = set("""
    and as boolean byref byte byval call case close const currency date declare dim do double
    each else elseif empty end enum eqv erase error event exit false for friend function get
    global gosub goto if imp implements in input integer is let lib like line load lock long
    longlong longptr loop lset me mod new next not nothing null object on open option optional
    or paramarray preserve print private property ptrsafe public put raiseevent redim rem
    resume return rset select set single static step stop string sub then to true type typeof
    until variant wend while with withevents write xor""".split())


class StringConstant(Constant):
    """A string constant: no number, a Basic line with the text."""

    def __init__(self, name, text, header):
        super().__init__(name, 0, header, False)
        self.text = text

    @property
    def long(self):
        return 0

    def value_field(self):
        return ""

    def basic(self):
        return 'Private Const %s As String = "%s"' % (self.name, self.text.replace('"', '""'))


def basic_string_ok(text):
    """Whether Basic's editor holds the text as a literal on one line: printable ASCII."""
    return text is not None and all(" " <= ch <= "~" for ch in text)


class Result:
    def __init__(self):
        self.added = {}                       # name -> Constant / StringConstant
        self.checked = set()                  # names whose value gcc computed again
        self.metadata_only = set()            # names no header gave the compiler
        self.left_out = collections.Counter()  # reason -> names
        self.contradicted = []                # "NAME: metadata X, gcc Y"
        self.enums = {}                       # family -> (combines, [members])
        self.params = []                      # (function, parameter, family, source)
        self.links = collections.Counter()    # source -> links
        self.skipped = collections.Counter()  # reason -> parameters not linked
        self.member_faults = collections.Counter()
        self.groups = 0
        self.compiles = 0


# --- the metadata ---------------------------------------------------------------------------

def metadata_constants(api):
    """The metadata's integer constants {name: [values]} (enum members of unscoped enums
    included) and string constants {name: [texts]}."""
    integers = collections.defaultdict(list)
    strings = collections.defaultdict(list)
    scoped = 0
    for ns in sorted(api):
        d = api[ns]
        for c in d["Constants"]:
            kind = c["Type"].get("Kind")
            if c["ValueType"] in INTEGER_TYPES and kind in ("Native", "ApiRef"):
                integers[c["Name"]].append(c["Value"])
            elif c["ValueType"] == "String" and c["Type"].get("Name") == "String":
                strings[c["Name"]].append(c["Value"])
        for t in d["Types"]:
            if t["Kind"] == "Enum":
                if t.get("Scoped"):
                    scoped += len(t["Values"])
                    continue
                for v in t["Values"]:
                    integers[v["Name"]].append(v["Value"])
    return integers, strings, scoped


def as_long(v):
    v &= 0xFFFFFFFF
    return v - (1 << 32) if v >= 1 << 31 else v


def ansi_text(name, strings):
    """The text Basic passes: the ANSI form's where the metadata has NAMEA beside NAME."""
    if name + "A" in strings and not name.endswith(("A", "W")):
        return strings[name + "A"][0]
    return strings[name][0]


# --- the headers ----------------------------------------------------------------------------

DEFINE = re.compile(r"^[ \t]*#[ \t]*define[ \t]+(\w+)(?![\w(])(.*)$", re.M)
ENUMERATOR = re.compile(r"^[ \t]*(\w+)[ \t]*(=[^=\n][^\n]*|,[^\n]*|$)", re.M)


def defining_headers(names):
    """For each name, the headers of the mingw-w64 tree whose text defines it (a macro or
    an enumerator), with whether the definition is written in hexadecimal."""
    found = collections.defaultdict(list)
    for root, dirs, files in os.walk(INCLUDE):
        dirs.sort()
        for f in sorted(files):
            if not f.endswith(".h"):
                continue
            path = os.path.join(root, f)
            header = os.path.relpath(path, INCLUDE).replace(os.sep, "/")
            with open(path, encoding="latin-1") as fh:
                text = fh.read()
            seen = set()
            for pattern in (DEFINE, ENUMERATOR):
                for m in pattern.finditer(text):
                    name = m.group(1)
                    if name in names and name not in seen:
                        seen.add(name)
                        found[name].append((header, "0x" in m.group(2).lower()))
    return found


def _unescape_ascii(text):
    out = bytearray()
    i = 0
    while i < len(text):
        ch = text[i]
        if ch == "\\":
            m = re.match(r"[0-7]{1,3}", text[i + 1:])
            if m:
                out.append(int(m.group(0), 8) & 0xFF)
                i += 1 + len(m.group(0))
                continue
            nxt = text[i + 1]
            out.append({"n": 10, "t": 9, "r": 13, "b": 8, "f": 12}.get(nxt, ord(nxt)))
            i += 2
            continue
        out.append(ord(ch))
        i += 1
    return bytes(out)


def _assembly_bytes(assembly):
    """The bytes of every _vorn_ label's data, as the compiler lays them out."""
    out = {}
    label = None
    for line in assembly.splitlines():
        m = re.match(r"^_vorn_(\w+):$", line)
        if m:
            label = m.group(1)
            out[label] = bytearray()
            continue
        if label is None:
            continue
        s = line.strip()
        m = re.match(r'^\.(ascii|string)\s+"(.*)"$', s)
        if m:
            out[label] += _unescape_ascii(m.group(2)) + (b"\0" if m.group(1) == "string" else b"")
            continue
        m = re.match(r"^\.(byte|word|value|long|quad)\s+(-?\d+)$", s)
        if m:
            size = {"byte": 1, "word": 2, "value": 2, "long": 4, "quad": 8}[m.group(1)]
            out[label] += (int(m.group(2)) & ((1 << (8 * size)) - 1)).to_bytes(size, "little")
            continue
        m = re.match(r"^\.(space|zero)\s+(\d+)$", s)
        if m:
            out[label] += bytes(int(m.group(2)))
            continue
        if s and not s.startswith("."):
            label = None
        elif s.startswith((".globl", ".section", ".text", ".data", ".ident")):
            label = None
    return out


def _compile(headers, items):
    """Compiles the items (name, kind) after windows.h and the headers. Returns
    (values {name: bytes}, names whose line the compiler rejected, whether a header failed)."""
    lines = ["#include <windows.h>\n"] + ["#include <%s>\n" % h for h in headers]
    first = len(lines) + 1
    by_line = {}
    for name, kind in items:
        by_line[first + len(by_line)] = name
        if kind == "int":
            lines.append("const long long vorn_%s = (long long)(unsigned int)(%s);\n" % (name, name))
        elif kind == "str":
            lines.append("const char vorn_%s[] = %s;\n" % (name, name))
        else:
            lines.append("const unsigned short vorn_%s[] = %s;\n" % (name, name))
    run = compile_to_assembly("".join(lines), ["-fmax-errors=0"])
    if run.returncode == 0:
        return _assembly_bytes(run.stdout), set(), False
    rejected = set()
    header_failed = False
    for line in run.stderr.splitlines():
        m = re.match(r"^(.*?):(\d+):\d+: (?:fatal )?error:", line)
        if not m:
            continue
        if m.group(1).endswith("check.c") and int(m.group(2)) in by_line:
            rejected.add(by_line[int(m.group(2))])
        else:
            header_failed = True
    if not rejected and not header_failed:
        header_failed = True
    return None, rejected, header_failed


def compiler_values(plan, result):
    """plan: {header: [(name, kind)]}. Returns {name: (kind, bytes)} for what gcc computes,
    trying headers in groups and splitting a group whose headers clash."""
    values = {}

    def run_group(headers):
        out = {}
        pending = {h: list(plan[h]) for h in headers}
        while True:
            items = [it for h in headers for it in pending[h]]
            if not items:
                return out, 1
            result.compiles += 1
            got, rejected, header_failed = _compile(headers, items)
            if got is not None:
                for name, kind in items:
                    if name in got:
                        out[name] = (kind, bytes(got[name]))
                return out, 0
            if header_failed:
                if len(headers) == 1:
                    return out, 0
                half = len(headers) // 2
                a, _ = run_group(headers[:half])
                b, _ = run_group(headers[half:])
                out.update(a)
                out.update(b)
                return out, 0
            for h in headers:
                kept = []
                for name, kind in pending[h]:
                    if name in rejected:
                        if kind == "str":        # a wide string: again as WCHAR
                            kept.append((name, "wstr"))
                        continue
                    kept.append((name, kind))
                pending[h] = kept

    headers = sorted(plan)
    groups = [headers[i:i + GROUP] for i in range(0, len(headers), GROUP)]
    result.groups = len(groups)
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for out, _ in pool.map(run_group, groups):
            values.update(out)
    return values


def decode(kind, data):
    if kind == "int":
        return as_long(int.from_bytes(data[:4], "little"))
    if kind == "str":
        return data.split(b"\0", 1)[0].decode("latin-1")
    units = [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data) - 1, 2)]
    end = units.index(0) if 0 in units else len(units)
    return "".join(chr(u) for u in units[:end])


# --- the constants --------------------------------------------------------------------------

def add_constants(api, constants, result, functions=()):
    """Adds the metadata's constants the catalogue lacks to result.added. functions: the
    catalogue's function names, which a Const beside their Declare cannot take."""
    functions = {f.lower() for f in functions}
    integers, strings, scoped = metadata_constants(api)
    result.left_out["members of scoped enums (no global name)"] = scoped
    lowered = {n.lower() for n in constants}
    candidates = {}
    for name in sorted(set(integers) | set(strings)):
        if name in constants:
            continue
        if name in integers and name in strings:
            result.left_out["both a number and a text in the metadata"] += 1
            continue
        if FEATURE.match(name):
            result.left_out["configuration macros of the headers (_..., NTDDI_..., WINVER)"] += 1
            continue
        if name.lower() in lowered:
            result.left_out["names that differ from another only in letter case"] += 1
            continue
        if name.lower() in KEYWORDS or name.lower() in functions:
            result.left_out["names Basic reserves or a catalogue function has (True, In, Shutdown)"] += 1
            continue
        if name in integers:
            if any(not LIMIT_LOW <= v <= LIMIT_HIGH for v in integers[name]):
                result.left_out["values beyond 32 bits"] += 1
                continue
            longs = {as_long(v) for v in integers[name]}
            if len(longs) > 1:
                result.left_out["two values in the metadata"] += 1
                continue
            candidates[name] = ("int", longs.pop())
        else:
            text = ansi_text(name, strings)
            if not basic_string_ok(text):
                result.left_out["texts that are not printable ASCII (Basic source is ANSI)"] += 1
                continue
            if len('Private Const %s As String = "%s"' % (name, text.replace('"', '""'))) > LONGEST_LINE:
                result.left_out["lines longer than Basic's 1023 characters"] += 1
                continue
            candidates[name] = ("str", text)
        lowered.add(name.lower())

    where = defining_headers(set(candidates))
    plan = collections.defaultdict(list)
    for name, (kind, _) in candidates.items():
        if name in where:
            plan[where[name][0][0]].append((name, kind))
    computed = compiler_values(plan, result)
    for name in sorted(candidates):
        kind, wanted = candidates[name]
        header, hexadecimal = where[name][0] if name in where else (METADATA_HEADER, None)
        got = computed.get(name)
        if got is None:
            header = METADATA_HEADER
        else:
            value = decode(*got)
            if value != wanted:
                result.contradicted.append("%s: metadata %r, gcc %r (%s)" % (name, wanted, value, header))
                result.left_out["values the compiler contradicts"] += 1
                continue
            result.checked.add(name)
        if header == METADATA_HEADER:
            result.metadata_only.add(name)
        if kind == "int":
            if hexadecimal is None:
                hexadecimal = not -0x8000 <= wanted <= 0xFFFF
            c = Constant(name, wanted, header, hexadecimal)
            if read_literal(literal(c.long, c.hexadecimal)) != c.long:
                raise SystemExit("%s: the Basic literal does not read back" % name)
        else:
            c = StringConstant(name, wanted, header)
        result.added[name] = c


# --- the families and links -----------------------------------------------------------------

def declaration_parameters(declaration):
    """[(name, byval, type)] of the declaration's Declare line, and its result type."""
    line = declaration.split("\r\n")[-1]
    inside = line[line.index("(") + 1:line.rindex(")")]
    params = []
    for p in inside.split(", "):
        if not p:
            continue
        byval = p.startswith("ByVal ")
        p = re.sub(r"^(Optional |ByVal |ByRef )+", "", p)
        name, _, typ = p.partition(" As ")
        params.append((name.replace("()", ""), byval, typ))
    tail = line[line.rindex(")") + 1:].strip()
    words = [w for w in line.split() if w != "PtrSafe"]
    result_type = tail[3:] if words[2] == "Function" and tail.startswith("As ") else None
    return params, result_type


def metadata_functions(api):
    by_name = collections.defaultdict(list)
    enums = {}
    for ns in sorted(api):
        for f in api[ns]["Functions"]:
            by_name[f["Name"]].append(f)
        for t in api[ns]["Types"]:
            if t["Kind"] == "Enum":
                enums[(ns, t["Name"])] = t
    return by_name, enums


def enum_of(type_, enums):
    if type_.get("Kind") == "ApiRef":
        return enums.get((type_.get("Api"), type_.get("Name")))
    return None


# Names that mark the ends of a range of messages (LVM_FIRST, CB_MSGMAX), not messages.
RANGE_MARKERS = ("_FIRST", "_LAST", "_MSGMAX")


def parse_value_range(text, where):
    """LOW-HIGH in hexadecimal (B0-7FFF) as a pair of numbers."""
    try:
        low, high = (int(part, 16) for part in text.split("-"))
    except ValueError:
        raise SystemExit("%s: the value range %r is not LOW-HIGH in hexadecimal" % (where, text))
    if low > high:
        raise SystemExit("%s: the value range %r runs backwards" % (where, text))
    return low, high


def read_overrides(path=OVERRIDES):
    """param-overrides.tsv, reviewed by hand: families (F NAME COMBINES PREFIX HEADER [RANGE]:
    the constants of the header named PREFIX..., and where RANGE (LOW-HIGH, hexadecimal) is
    given only those whose value as an unsigned 32-bit number lies in it, range markers
    (..._FIRST, ..._LAST, ..._MSGMAX) left out; several F lines of one family add up) and
    links (L FUNCTION POSITION NAMES FAMILY: the parameter at POSITION, counted from 1, 0 for
    the result, of every catalogue function that calls FUNCTION, FUNCTIONA or FUNCTIONW,
    named one of NAMES in its declaration)."""
    families, links = {}, []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            where = "param-overrides.tsv:%d" % number
            if parts[0] == "F" and len(parts) in (5, 6) and parts[2] in ("0", "1"):
                combines = parts[2] == "1"
                value_range = parse_value_range(parts[5], where) if len(parts) == 6 else None
                if parts[1] in families and families[parts[1]][0] != combines:
                    raise SystemExit("%s: %s combines with Or on one line and not on another" % (where, parts[1]))
                sources = families.setdefault(parts[1], (combines, []))[1]
                if any(s[:2] == (parts[3], parts[4]) for s in sources):
                    raise SystemExit("%s: %s takes %s* of %s twice" % (where, parts[1], parts[3], parts[4]))
                sources.append((parts[3], parts[4], value_range, where))
            elif parts[0] == "L" and len(parts) == 5 and parts[2].isdigit():
                links.append((parts[1], int(parts[2]), parts[3].split(","), parts[4], where))
            else:
                raise SystemExit("%s: F NAME COMBINES PREFIX HEADER or L FUNCTION POSITION NAMES FAMILY" % where)
    return families, links


def build_links(api, records, constants, result):
    """Families and links from the metadata and the overrides; constants holds every
    constant of the catalogue (the headers' and the added ones)."""
    by_name, enums = metadata_functions(api)
    used = {}
    for r in records:
        candidates = by_name.get(r.export, [])
        fn = next((f for f in candidates if win32metadata.library_of(f["DllImport"]) == r.library),
                  candidates[0] if candidates else None)
        if fn is None:
            continue
        # A function with its VBA7 form alone (cdecl in 32 bits, or in a 64-bit import library
        # only) names the same parameters there.
        params, result_type = declaration_parameters(r.declaration or r.vba7)
        typed = [(i, p, enum_of(p["Type"], enums)) for i, p in enumerate(fn["Params"])]
        typed = [(i, p, e) for i, p, e in typed if e is not None]
        pointers = [p for p in fn["Params"] if p["Type"].get("Kind") == "PointerTo"
                    and enum_of(p["Type"].get("Child", {}), enums) is not None]
        result.skipped["pointers to an enum (the constant is not passed by value)"] += len(pointers)
        if typed and len(params) != len(fn["Params"]):
            result.skipped["parameters of declarations whose count differs from the metadata's"] += len(typed)
            typed = []
        for i, p, e in typed:
            name, byval, typ = params[i]
            if not byval or typ not in NUMBER_TYPES:
                result.skipped["parameters the declaration passes otherwise than ByVal as a number"] += 1
                continue
            if e.get("Scoped"):
                result.skipped["parameters typed with a scoped enum"] += 1
                continue
            used.setdefault(e["Name"], e)
            result.params.append((r.name, name, e["Name"], "metadata"))
        e = enum_of(fn["ReturnType"], enums)
        if e is not None:
            if result_type not in NUMBER_TYPES or e.get("Scoped"):
                result.skipped["results the declaration returns otherwise than as a number"] += 1
            else:
                used.setdefault(e["Name"], e)
                result.params.append((r.name, "", e["Name"], "metadata"))

    families, links = read_overrides()
    by_enum_name = collections.defaultdict(list)
    for (_, n), e in enums.items():
        by_enum_name[n].append(e)
    for _, _, _, family, where in links:
        if family not in families and family not in used:
            found = by_enum_name.get(family, [])
            if len(found) != 1 or found[0].get("Scoped"):
                raise SystemExit("%s: %s is no family of the overrides and no single unscoped enum "
                                 "of the metadata" % (where, family))
            used[family] = found[0]
    for name, e in used.items():
        members = []
        for v in e["Values"]:
            c = constants.get(v["Name"])
            if c is None:
                result.member_faults["members left out with their constant"] += 1
                continue
            if c.long != as_long(v["Value"]) or isinstance(c, StringConstant):
                result.member_faults["members whose value the compilers contradict"] += 1
                result.contradicted.append("%s.%s: metadata %d, catalogue %d" % (
                    name, v["Name"], as_long(v["Value"]), c.long))
                continue
            if v["Name"] not in members:
                members.append(v["Name"])
        result.enums[name] = (bool(e.get("Flags")) and name not in NOT_COMBINED, members)

    # A family whose members all fell out links to nothing.
    empty = {n for n, (_, m) in result.enums.items() if not m}
    for n in empty:
        del result.enums[n]
    kept = [p for p in result.params if p[2] not in empty]
    result.skipped["links to an enum none of whose members is a constant"] += len(result.params) - len(kept)
    result.params = kept

    for family, (combines, sources) in families.items():
        if family in result.enums or family in by_enum_name:
            raise SystemExit("%s: %s is a family of the metadata already" % (sources[0][3], family))
        members = set()
        for prefix, header, value_range, where in sources:
            found = {n for n, c in constants.items() if n.startswith(prefix) and c.header == header
                     and not isinstance(c, StringConstant)}
            if value_range:
                low, high = value_range
                found = {n for n in found if low <= constants[n].long & 0xFFFFFFFF <= high
                         and not n.endswith(RANGE_MARKERS)}
            if not found:
                raise SystemExit("%s: no constant %s* in %s" % (where, prefix, header))
            members |= found
        result.enums[family] = (combines, sorted(members, key=lambda n: (constants[n].long & 0xFFFFFFFF, n)))
    by_export = collections.defaultdict(list)
    for r in records:
        by_export[r.export].append(r)
    present = {(f, p) for f, p, _, _ in result.params}
    for function, position, names, family, where in links:
        matched = [r for r in by_export.get(function, []) + by_export.get(function + "A", []) + by_export.get(function + "W", [])
                   if r.declaration]
        if not matched:
            raise SystemExit("%s: no catalogue function calls %s(A/W)" % (where, function))
        if family not in result.enums:
            raise SystemExit("%s: no family %s" % (where, family))
        for r in matched:
            params, result_type = declaration_parameters(r.declaration)
            if position:
                if position > len(params):
                    raise SystemExit("%s: %s has %d parameters" % (where, r.name, len(params)))
                name, byval, typ = params[position - 1]
                if name not in names or not byval or typ not in NUMBER_TYPES:
                    raise SystemExit("%s: %s's parameter %d is %s%s As %s, not ByVal %s As a number" % (
                        where, r.name, position, "ByVal " if byval else "", name, typ, "/".join(names)))
            else:
                name = ""
                if result_type not in NUMBER_TYPES:
                    raise SystemExit("%s: %s returns no number" % (where, r.name))
            if (r.name, name) in present:
                raise SystemExit("%s: the metadata links %s %s already" % (where, r.name, name or "(result)"))
            present.add((r.name, name))
            result.params.append((r.name, name, family, "override"))
    result.params.sort()
    for p in result.params:
        result.links[p[3]] += 1


def build(records, constants):
    """Adds the metadata's constants to constants (in place) and returns the Result."""
    result = Result()
    api = win32metadata.load_api()
    add_constants(api, constants, result, [r.name for r in records])
    constants.update(result.added)
    build_links(api, records, constants, result)
    faults = check(result.enums, result.params, constants, {r.name for r in records},
                   result.metadata_only, result.checked, set(result.added))
    if faults:
        raise SystemExit("parameter families fail their checks:\n" + "\n".join(faults[:40]))
    return result


# --- the checks -----------------------------------------------------------------------------

# Rows the data must hold: (function, parameter, family, source), and families' sizes.
EXPECTED_LINKS = [
    ("MessageBox", "wType", "MESSAGEBOX_STYLE", "metadata"),
    ("MessageBoxW", "uType", "MESSAGEBOX_STYLE", "metadata"),
    ("MessageBox", "", "MESSAGEBOX_RESULT", "metadata"),
    ("CreateFile", "dwDesiredAccess", "FILE_ACCESS_FLAGS", "metadata"),
    ("CreateFile", "dwShareMode", "FILE_SHARE_MODE", "metadata"),
    ("CreateFile", "dwCreationDisposition", "FILE_CREATION_DISPOSITION", "metadata"),
    ("CreateFile", "dwFlagsAndAttributes", "FILE_FLAGS_AND_ATTRIBUTES", "metadata"),
    ("ShowWindow", "nCmdShow", "SHOW_WINDOW_CMD", "metadata"),
    ("SetWindowPos", "wFlags", "SET_WINDOW_POS_FLAGS", "metadata"),
    ("ShellExecute", "nShowCmd", "SHOW_WINDOW_CMD", "override"),
    ("GetAsyncKeyState", "vKey", "VIRTUAL_KEY", "override"),
]
EXPECTED_SIZES = {"MESSAGEBOX_STYLE": 37, "FILE_CREATION_DISPOSITION": 5}
EXPECTED_COMBINES = {"MESSAGEBOX_STYLE": True, "SET_WINDOW_POS_FLAGS": True, "FILE_CREATION_DISPOSITION": False,
                     "SHOW_WINDOW_CMD": False}

# Enums the metadata marks as flags whose values a caller gives one at a time, reviewed by
# hand against the headers' documentation: ShowWindow's nCmdShow is one SW_ command
# (SW_SHOWMINNOACTIVE is 7, not SW_SHOWMINIMIZED Or SW_SHOWNORMAL).
NOT_COMBINED = {"SHOW_WINDOW_CMD"}


def check(enums, params, constants, functions, metadata_only, checked, added):
    """The rules of the data: returns the faults."""
    faults = []
    for name, (_, members) in sorted(enums.items()):
        if not members:
            faults.append("family %s has no member" % name)
        for m in members:
            if m not in constants:
                faults.append("family %s: member %s is no constant" % (name, m))
    seen = set()
    for function, parameter, family, source in params:
        if family not in enums:
            faults.append("%s %s: no family %s" % (function, parameter or "(result)", family))
        if function not in functions:
            faults.append("%s: no catalogue function" % function)
        if source not in ("metadata", "override"):
            faults.append("%s %s: source %s" % (function, parameter, source))
        if (function, parameter) in seen:
            faults.append("%s %s linked twice" % (function, parameter or "(result)"))
        seen.add((function, parameter))
    lowered = {f.lower() for f in functions}
    for name in sorted(added):
        c = constants[name]
        if name.lower() in KEYWORDS or name.lower() in lowered:
            faults.append("%s: a word Basic reserves or a function's name" % name)
        if (c.header == METADATA_HEADER) != (name in metadata_only):
            faults.append("%s: header %s but %slisted metadata-only" % (
                name, c.header, "" if name in metadata_only else "not "))
        if c.header != METADATA_HEADER and name not in checked:
            faults.append("%s: from %s but not computed by the compiler" % (name, c.header))
    links = set(params)
    for row in EXPECTED_LINKS:
        if row not in links:
            faults.append("expected link missing: %s" % " ".join(row))
    for name, size in EXPECTED_SIZES.items():
        if len(enums.get(name, (0, []))[1]) != size:
            faults.append("family %s: %d members, not %d" % (name, len(enums.get(name, (0, []))[1]), size))
    for name, combines in EXPECTED_COMBINES.items():
        if name in enums and enums[name][0] != combines:
            faults.append("family %s: combines %s" % (name, enums[name][0]))
    return faults


# --- output ---------------------------------------------------------------------------------

def write(out_dir, result):
    with open(os.path.join(out_dir, "enums.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# Written by tools/catalogue/gencatalogue.py (paramenums.py): edit the tool or\n"
                "# tools/catalogue/param-overrides.tsv, never this file.\n"
                "# Family, 1 where the values combine with Or, members separated by one blank\n")
        for name in sorted(result.enums):
            combines, members = result.enums[name]
            f.write("%s\t%d\t%s\n" % (name, combines, " ".join(members)))
    with open(os.path.join(out_dir, "params.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# Written by tools/catalogue/gencatalogue.py (paramenums.py): edit the tool or\n"
                "# tools/catalogue/param-overrides.tsv, never this file.\n"
                "# Function, parameter (empty: the result), family of enums.tsv, source\n")
        for row in result.params:
            f.write("\t".join(row) + "\n")


def report(result):
    lines = []
    add = lines.append
    ints = [n for n, c in result.added.items() if not isinstance(c, StringConstant)]
    strs = [n for n, c in result.added.items() if isinstance(c, StringConstant)]
    add("## Parameter constants")
    add("")
    add("Constants of Microsoft's metadata that the headers' extraction lacks, the constant "
        "families of enum-typed parameters (`enums.tsv`) and the links of parameters and results "
        "to them (`params.tsv`).")
    add("")
    add("| | |")
    add("|---|---|")
    add("| constants added | %d |" % len(result.added))
    add("| of them numbers, computed again by i686-w64-mingw32-gcc | %d |" % sum(1 for n in ints if n in result.checked))
    add("| of them numbers the metadata alone gives (header field `metadata`) | %d |" % sum(1 for n in ints if n in result.metadata_only))
    add("| of them texts (`As String`), computed again by gcc (ANSI form) | %d |" % sum(1 for n in strs if n in result.checked))
    add("| of them texts the metadata alone gives | %d |" % sum(1 for n in strs if n in result.metadata_only))
    add("| compilations (header groups of %d, %d groups; a failing group is split) | %d |" % (GROUP, result.groups, result.compiles))
    add("| families | %d |" % len(result.enums))
    add("| of them combining with Or | %d |" % sum(1 for c, _ in result.enums.values() if c))
    for source in sorted(result.links):
        add("| links from the %s | %d |" % (source, result.links[source]))
    add("| functions with a link | %d |" % len({p[0] for p in result.params}))
    add("| links to a result | %d |" % sum(1 for p in result.params if not p[1]))
    add("")
    for title, unit, counts in (("Constants left out:", "names", result.left_out),
                                ("Family members left out:", "members", result.member_faults),
                                ("Enum-typed parameters not linked:", "parameters", result.skipped)):
        add(title)
        add("")
        add("| reason | %s |" % unit)
        add("|---|---:|")
        for reason, n in sorted(counts.items(), key=lambda x: (-x[1], x[0])):
            add("| %s | %d |" % (reason, n))
        add("")
    if result.contradicted:
        add("Values the compiler contradicts (first 100 of %d):" % len(result.contradicted))
        add("")
        for line in sorted(result.contradicted)[:100]:
            add("- `%s`" % line)
        add("")
    add("### Constants the metadata alone gives")
    add("")
    add("No header of mingw-w64 defines these names in a form the compiler computes; their "
        "value is the metadata's. By family (name before the first `_`):")
    add("")
    fams = collections.Counter(n.split("_", 1)[0] for n in result.metadata_only)
    add(", ".join("%s %d" % (f, n) for f, n in sorted(fams.items(), key=lambda x: (-x[1], x[0]))))
    add("")
    return lines


# --- the committed data, checked alone -------------------------------------------------------

def read_committed(data_dir):
    constants = {}
    metadata_only = set()
    for f in sorted(os.listdir(data_dir)):
        if f.startswith("const-") and f.endswith(".tsv"):
            with open(os.path.join(data_dir, f), encoding="utf-8") as fh:
                for line in fh:
                    if line.startswith("#"):
                        continue
                    p = line.rstrip("\n").split("\t")
                    if p[1] == "":
                        m = re.fullmatch(r'Private Const (\w+) As String = "((?:[^"]|"")*)"', p[2])
                        if not m or m.group(1) != p[0]:
                            raise SystemExit("%s: %s: no Basic string constant" % (f, p[0]))
                        c = StringConstant(p[0], m.group(2).replace('""', '"'), p[4])
                    else:
                        c = Constant(p[0], int(p[1]), p[4], False)
                    constants[p[0]] = c
                    if p[4] == METADATA_HEADER:
                        metadata_only.add(p[0])
    enums = {}
    with open(os.path.join(data_dir, "enums.tsv"), encoding="utf-8") as fh:
        for line in fh:
            if not line.startswith("#"):
                n, c, m = line.rstrip("\n").split("\t")
                enums[n] = (c == "1", m.split(" "))
    params = []
    with open(os.path.join(data_dir, "params.tsv"), encoding="utf-8") as fh:
        for line in fh:
            if not line.startswith("#"):
                params.append(tuple(line.rstrip("\n").split("\t")))
    functions = set()
    for f in sorted(os.listdir(data_dir)):
        if f.startswith("api-") and f.endswith(".tsv"):
            with open(os.path.join(data_dir, f), encoding="utf-8") as fh:
                functions.update(line.split("\t", 1)[0] for line in fh if not line.startswith("#"))
    return constants, enums, params, functions, metadata_only


if __name__ == "__main__":
    data = os.path.join(os.path.dirname(os.path.dirname(HERE)), "data", "catalogue")
    constants, enums, params, functions, metadata_only = read_committed(data)
    # The committed data cannot tell which values gcc computed; the header field says
    # which are listed apart, and every other one carries its header.
    faults = check(enums, params, constants, functions, metadata_only, set(constants) - metadata_only, set())
    print("\n".join(faults) if faults else "%d families, %d links, %d constants (%d metadata-only): no fault" % (
        len(enums), len(params), len(constants), len(metadata_only)))
    sys.exit(1 if faults else 0)
