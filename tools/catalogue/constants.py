"""The integer constants of the headers the catalogue reads, as Basic `Const` lines.

Object-like macros and enumerators that evaluate to an integer in the 32-bit build are
taken, with the header that defines them. libclang evaluates each one (macros built from
other macros and casts included); mingw-w64's gcc then computes every value again as a
check. Each constant gets its Basic line: hexadecimal as &H...& where the header writes
hexadecimal, decimal otherwise, and every value as the 32-bit Long that Basic holds.
"""

import ctypes
import os
import re
import subprocess
import tempfile

import clang.cindex as ci

import cparse
from cparse import DEFINES, HEADERS, MINGW, RESOURCE_DIR

INCLUDE = os.path.join(MINGW, "include")

# Headers of the C runtime and of the compiler's own plumbing: their constants (EOF,
# INT_MAX, errno values, ...) are no Windows API a Basic program passes.
CRT_HEADERS = {
    "assert.h", "complex.h", "conio.h", "crtdbg.h", "ctype.h", "direct.h", "dos.h", "errno.h",
    "excpt.h", "fcntl.h", "fenv.h", "float.h", "inttypes.h", "io.h", "limits.h", "locale.h",
    "malloc.h", "math.h", "mbctype.h", "mbstring.h", "memory.h", "process.h", "search.h",
    "setjmp.h", "share.h", "signal.h", "stdarg.h", "stddef.h", "stdint.h", "stdio.h",
    "stdlib.h", "string.h", "tchar.h", "time.h", "wchar.h", "wctype.h", "vadefs.h",
    "sal.h", "specstrings.h", "driverspecs.h", "sdkddkver.h", "winapifamily.h",
    "pthread_signal.h", "pthread_time.h", "pthread_unistd.h", "corecrt.h", "swprintf.inl",
    "stralign.h", "strsafe.h", "intrin.h", "x86intrin.h", "emmintrin.h", "xmmintrin.h",
    "mmintrin.h", "stdbool.h", "iso646.h", "basetsd.h", "guiddef.h", "sys", "sec_api",
}

# Names that configure the headers rather than being passed to a function. (Include
# guards such as WINUSER_H have no value and go as empty definitions; GRADIENT_FILL_RECT_H
# is a constant.)
FEATURE = re.compile(
    r"^(_.*|.*_INCLUDED|.*_INCLUDED_|WINVER|NTDDI_.*|WINAPI_.*|WIN32_.*|"
    r"NULL|TRUE_?|FALSE_?|UNICODE|STRICT|NOMINMAX|NONAMELESS.*|MIDL_.*|RPC_NO_.*|"
    r"__.*|.*_DEFINED|.*_DEFINED_|DECLSPEC_.*|GUID_DEFS_ONLY|NO.*_INCLUDE.*|"
    r"COM_NO_WINDOWS_H|CINTERFACE|COBJMACROS|INITGUID|SECURITY_WIN32|PSAPI_VERSION)$")

# Tokens that make a macro no expression: declarations, statements, attributes.
NOT_EXPRESSION = {"{", "}", ";", "typedef", "struct", "union", "enum", "__declspec", "__attribute__",
                  "__stdcall", "__cdecl", "extern", "static", "const", "volatile", "do", "while",
                  "if", "return", "#", "##", "=", "__inline", "inline", "__extension__"}

LIMIT_LOW = -(1 << 31)
LIMIT_HIGH = (1 << 32) - 1


class Constant:
    def __init__(self, name, value, header, hexadecimal):
        self.name = name
        self.value = value             # as C computes it (may be negative or above 2^31)
        self.header = header
        self.hexadecimal = hexadecimal
        self.pointer = False            # a pointer type (HKEY_CURRENT_USER, IDC_ARROW, ...)
        self.enumerator = False

    @property
    def long(self):
        """The value as Basic's 32-bit Long."""
        v = self.value & 0xFFFFFFFF
        return v - (1 << 32) if v >= 1 << 31 else v

    @property
    def family(self):
        return self.name.split("_", 1)[0]

    def basic(self):
        return "Private Const %s As Long = %s" % (self.name, literal(self.long, self.hexadecimal))


def literal(value, hexadecimal):
    """Basic's spelling of a 32-bit value: &H...& (the & keeps &H8000..&HFFFF a Long) or
    decimal, negative where the high bit is set."""
    if hexadecimal:
        return "&H%X&" % (value & 0xFFFFFFFF)
    return str(value)


def read_literal(text):
    """The 32-bit value that Basic reads from a literal written by literal()."""
    m = re.fullmatch(r"&H([0-9A-F]{1,8})&", text)
    if m:
        v = int(m.group(1), 16)
        return v - (1 << 32) if v >= 1 << 31 else v
    m = re.fullmatch(r"-?[0-9]+", text)
    if m:
        v = int(text)
        if LIMIT_LOW <= v < 1 << 31:
            return v
    raise ValueError(text)


def _configure_evaluation():
    lib = ci.conf.lib
    lib.clang_Cursor_Evaluate.argtypes = [ci.Cursor]
    lib.clang_Cursor_Evaluate.restype = ctypes.c_void_p
    lib.clang_EvalResult_getKind.argtypes = [ctypes.c_void_p]
    lib.clang_EvalResult_getKind.restype = ctypes.c_int
    lib.clang_EvalResult_isUnsignedInt.argtypes = [ctypes.c_void_p]
    lib.clang_EvalResult_isUnsignedInt.restype = ctypes.c_uint
    lib.clang_EvalResult_getAsUnsigned.argtypes = [ctypes.c_void_p]
    lib.clang_EvalResult_getAsUnsigned.restype = ctypes.c_ulonglong
    lib.clang_EvalResult_getAsLongLong.argtypes = [ctypes.c_void_p]
    lib.clang_EvalResult_getAsLongLong.restype = ctypes.c_longlong
    lib.clang_EvalResult_dispose.argtypes = [ctypes.c_void_p]
    lib.clang_Cursor_isMacroFunctionLike.argtypes = [ci.Cursor]
    lib.clang_Cursor_isMacroFunctionLike.restype = ctypes.c_uint
    return lib


def evaluate(lib, cursor):
    """The integer value of an expression cursor, or None."""
    result = lib.clang_Cursor_Evaluate(cursor)
    if not result:
        return None
    try:
        if lib.clang_EvalResult_getKind(result) != 1:   # CXEval_Int
            return None
        if lib.clang_EvalResult_isUnsignedInt(result):
            return lib.clang_EvalResult_getAsUnsigned(result)
        return lib.clang_EvalResult_getAsLongLong(result)
    finally:
        lib.clang_EvalResult_dispose(result)


def header_of(cursor):
    f = cursor.location.file
    if f is None:
        return None
    path = os.path.normpath(f.name)
    if not path.startswith(INCLUDE + os.sep):
        return None
    relative = os.path.relpath(path, INCLUDE)
    first = relative.split(os.sep)[0]
    if first in CRT_HEADERS or os.path.basename(path) in CRT_HEADERS or first.startswith("_"):
        return None
    return relative.replace(os.sep, "/")


def _parse(source, warnings=("-w",)):
    index = ci.Index.create()
    args = ["-target", "i686-w64-mingw32", "-isystem", INCLUDE, "-resource-dir", RESOURCE_DIR,
            "-x", "c", "-std=gnu11", "-ferror-limit=0"] + list(warnings) + DEFINES
    return index.parse("constants.c", args=args, unsaved_files=[("constants.c", source)],
                       options=ci.TranslationUnit.PARSE_SKIP_FUNCTION_BODIES
                       | ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)


def _is_hex(tokens, styles):
    """Whether a definition writes its value in hexadecimal: a hexadecimal literal, or
    (with no literal of its own) a constant that does."""
    numbers = [t for t in tokens if t[:1].isdigit()]
    if numbers:
        return any(t.lower().startswith("0x") for t in numbers)
    return any(styles.get(t, False) for t in tokens)


def _top_level_comma(tokens):
    depth = 0
    for t in tokens:
        if t in ("(", "["):
            depth += 1
        elif t in (")", "]"):
            depth -= 1
        elif t == "," and depth == 0:
            return True
    return False


class Extraction:
    def __init__(self):
        self.constants = {}        # name -> Constant
        self.strings = set()       # macros that are string constants
        self.left_out = {}         # reason -> count
        self.other_names = set()   # typedefs, functions and function-like macros


def extract(headers=HEADERS):
    cparse._configure()
    lib = _configure_evaluation()
    includes = "".join("#include <%s>\n" % h for h in headers)
    unit = _parse(includes)

    out = Extraction()
    macros = []                   # (name, header, body tokens) in definition order
    styles = {}                   # name -> hexadecimal?
    enumerators = []
    seen = set()

    def leave(reason):
        out.left_out[reason] = out.left_out.get(reason, 0) + 1

    def walk_enums(cursor):
        for c in cursor.get_children():
            if c.kind == ci.CursorKind.ENUM_DECL:
                for e in c.get_children():
                    if e.kind == ci.CursorKind.ENUM_CONSTANT_DECL:
                        enumerators.append(e)
            elif c.kind in (ci.CursorKind.STRUCT_DECL, ci.CursorKind.UNION_DECL,
                            ci.CursorKind.TYPEDEF_DECL):
                walk_enums(c)

    for c in unit.cursor.get_children():
        if c.kind == ci.CursorKind.MACRO_DEFINITION:
            header = header_of(c)
            if header is None or c.spelling in seen:
                continue
            seen.add(c.spelling)
            if lib.clang_Cursor_isMacroFunctionLike(c):
                out.other_names.add(c.spelling)
                leave("function-like macros")
                continue
            if FEATURE.match(c.spelling):
                leave("include guards and feature macros")
                continue
            body = [t.spelling for t in c.get_tokens()][1:]
            if not body:
                leave("include guards and other empty definitions")
                continue
            if any(t in NOT_EXPRESSION for t in body):
                leave("macros that are no expression")
                continue
            if _top_level_comma(body):
                leave("lists of values (GUID initializers, ...)")
                continue
            macros.append((c.spelling, header, body))
            styles[c.spelling] = _is_hex(body, styles)
        elif c.kind == ci.CursorKind.FUNCTION_DECL:
            out.other_names.add(c.spelling)
        elif c.kind in (ci.CursorKind.ENUM_DECL, ci.CursorKind.TYPEDEF_DECL,
                        ci.CursorKind.STRUCT_DECL, ci.CursorKind.UNION_DECL):
            out.other_names.add(c.spelling)
            if c.kind == ci.CursorKind.ENUM_DECL:
                for e in c.get_children():
                    if e.kind == ci.CursorKind.ENUM_CONSTANT_DECL:
                        enumerators.append(e)
            else:
                walk_enums(c)

    enum_names = set()
    for e in enumerators:
        header = header_of(e)
        if header is None or e.spelling in enum_names or FEATURE.match(e.spelling):
            continue
        enum_names.add(e.spelling)
        tokens = [t.spelling for t in e.get_tokens()][2:]
        hexadecimal = _is_hex(tokens, styles)
        styles[e.spelling] = hexadecimal
        if not LIMIT_LOW <= e.enum_value <= LIMIT_HIGH:
            leave("values beyond 32 bits")
            continue
        constant = Constant(e.spelling, e.enum_value, header, hexadecimal)
        constant.enumerator = True
        out.constants[e.spelling] = constant

    # Every macro as an initializer whose type and value libclang then tells.
    # A comma operator (the lists of GUID initializers) is no constant for C, though
    # libclang folds it to its last value; the warning about its dead left side tells.
    probe = [includes]
    line_names = {}
    first_line = includes.count("\n") + 1
    for name, _header, _body in macros:
        if name in enum_names:
            continue
        line_names[first_line + len(probe) - 1] = name
        probe.append("static __auto_type vorn_t_%s = (%s);\n" % (name, name))
        line_names[first_line + len(probe) - 1] = name
        probe.append("static const unsigned int vorn_p_%s = (unsigned int)(%s);\n" % (name, name))
    unit2 = _parse("".join(probe), ("-Wno-everything", "-Wunused-value"))
    comma = set()
    for d in unit2.diagnostics:
        if "comma" in d.spelling and d.location.file and d.location.file.name == "constants.c":
            comma.add(line_names.get(d.location.line))
    values = {}
    for c in unit2.cursor.get_children():
        if c.kind != ci.CursorKind.VAR_DECL or not c.spelling.startswith("vorn_"):
            continue
        children = list(c.get_children())
        if not children:
            continue
        values[c.spelling] = (c.type.get_canonical().kind, children[-1], c)
    for name, header, body in macros:
        if name in enum_names:
            continue
        typed = values.get("vorn_t_" + name)
        if name in comma:
            leave("lists of values (GUID initializers, ...)")
            continue
        if typed is None:
            leave("macros that are no expression")
            continue
        kind = typed[0]
        if kind == ci.TypeKind.POINTER:
            pointee = typed[2].type.get_canonical().get_pointee().get_canonical().kind
            if '"' in "".join(body) or any(t.startswith(('"', 'L"')) for t in body):
                out.strings.add(name)
                leave("string constants")
                continue
            if pointee in (ci.TypeKind.CHAR_S, ci.TypeKind.SCHAR, ci.TypeKind.CHAR_U,
                           ci.TypeKind.WCHAR, ci.TypeKind.USHORT) and name in out.strings:
                continue
            casted = values.get("vorn_p_" + name)
            value = evaluate(lib, casted[1]) if casted else None
            if value is None:
                leave("pointers that are no constant number")
                continue
            constant = Constant(name, value, header, styles[name])
            constant.pointer = True
        elif kind in (ci.TypeKind.INT, ci.TypeKind.UINT, ci.TypeKind.LONG, ci.TypeKind.ULONG,
                      ci.TypeKind.LONGLONG, ci.TypeKind.ULONGLONG, ci.TypeKind.SHORT,
                      ci.TypeKind.USHORT, ci.TypeKind.CHAR_S, ci.TypeKind.SCHAR,
                      ci.TypeKind.UCHAR, ci.TypeKind.CHAR_U, ci.TypeKind.BOOL, ci.TypeKind.WCHAR,
                      ci.TypeKind.ENUM):
            value = evaluate(lib, typed[1])
            if value is None:
                leave("not constant")
                continue
            constant = Constant(name, value, header, styles[name])
        else:
            if any(t.startswith(('"', 'L"', "u8\"", "u\"")) for t in body):
                out.strings.add(name)
                leave("string constants")
            else:
                leave("no integer (floating point, structures, ...)")
            continue
        if not LIMIT_LOW <= constant.value <= LIMIT_HIGH:
            leave("values beyond 32 bits")
            continue
        out.constants[name] = constant
    return out


def compile_to_assembly(text, options=()):
    """Runs i686-w64-mingw32-gcc on the C text: the completed process, with the assembly
    on its standard output and the diagnostics (naming the file check.c) on its error."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "check.c")
        with open(source, "w") as f:
            f.write(text)
        return subprocess.run(["i686-w64-mingw32-gcc", "-S", "-O0", "-w", "-std=gnu11"] + list(options)
                              + ["-o", "-", source] + DEFINES, capture_output=True, text=True, errors="replace")


def gcc_check(constants, headers=HEADERS):
    """mingw-w64's gcc computes every constant: each becomes a global whose initial value
    the assembly output spells out. Returns (checked, differences)."""
    names = sorted(constants)
    lines = ["#include <%s>\n" % h for h in headers]
    for name in names:
        c = constants[name]
        if c.pointer:
            lines.append("const unsigned int vorn_%s = (unsigned int)(%s);\n" % (name, name))
        else:
            lines.append("const long long vorn_%s = (%s);\n" % (name, name))
    run = compile_to_assembly("".join(lines))
    if run.returncode != 0:
        raise SystemExit("the compiler check does not compile:\n" + run.stderr[-20000:])
    assembly = run.stdout
    computed = {}
    label = None
    words = []
    for line in assembly.splitlines():
        m = re.match(r"^_vorn_(\w+):$", line)
        if m:
            if label:
                computed[label] = words
            label, words = m.group(1), []
            continue
        m = re.match(r"^\s+\.(long|quad|space|zero)\s+(-?\d+)$", line)
        if m and label:
            if m.group(1) in ("space", "zero"):      # a zero value: that many zero bytes
                words += [0] * (int(m.group(2)) // 4)
            else:
                words.append(int(m.group(2)) & 0xFFFFFFFF)
        elif label and line.strip() and not line.strip().startswith(".") and words:
            computed[label] = words
            label, words = None, []
    if label:
        computed[label] = words
    differences = []
    for name in names:
        c = constants[name]
        words = computed.get(name)
        if words is None:
            differences.append("%s: the compiler emitted no value" % name)
            continue
        if len(words) == 2:
            value = words[0] | words[1] << 32
            if value >= 1 << 63:
                value -= 1 << 64
        else:
            value = words[0]
        expected = c.value & 0xFFFFFFFF if c.pointer else c.value
        if value != expected:
            differences.append("%s: libclang %d, gcc %d" % (name, expected, value))
    return len(names), differences


HERE = os.path.dirname(os.path.abspath(__file__))
FAMILIES = os.path.join(HERE, "families.tsv")
ERRORS = os.path.join(HERE, "errors.tsv")
NAMED_FAMILIES = 100
# Shortened mentions in the descriptions, and the constants they stand for.
SHORTENED = {"START_PENDING": "SERVICE_START_PENDING", "STOP_PENDING": "SERVICE_STOP_PENDING"}
MENTION = re.compile(r"\b[A-Z][A-Z0-9]*_[A-Za-z0-9_]*[A-Za-z0-9]\b(\*)?|\b[A-Z][A-Z0-9]*_\*")


def _hand_table(path, check_text):
    rows = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            where = "%s:%d" % (os.path.basename(path), number)
            if len(parts) != 2 or parts[0] in rows:
                raise SystemExit("%s: two fields and a name not given before" % where)
            check_text(where, parts[1])
            rows[parts[0]] = parts[1]
    return rows


def mentioned_missing(descriptions, extraction):
    """Constant names the hand-written descriptions mention that the catalogue lacks:
    every NAME_LIKE_THIS is a constant, a string constant or a type or function name,
    and every PREFIX_* names a family that has constants."""
    missing = set()
    present = set()
    constants = extraction.constants
    for text in descriptions:
        for m in MENTION.finditer(text):
            word = m.group(0)
            if word.endswith("*"):
                prefix = word[:-1]
                if not any(n.startswith(prefix) for n in constants):
                    missing.add(word)
                else:
                    present.add(word)
            elif SHORTENED.get(word, word) not in constants and word not in extraction.strings \
                    and word not in extraction.other_names:
                missing.add(word)
            elif SHORTENED.get(word, word) in constants:
                present.add(word)
    return len(present), sorted(missing)


def build(descriptions, check_text):
    """Extracts, checks and names the constants; returns (constants, families, meanings,
    report lines). Stops on any fault."""
    extraction = extract()
    constants = extraction.constants
    # Names are unique by construction (a dict); letter case must tell them apart too,
    # as Basic does not.
    lowered = {}
    for name in constants:
        lowered.setdefault(name.lower(), []).append(name)
    clashes = [v for v in lowered.values() if len(v) > 1]
    for group in clashes:
        # Basic cannot hold both: keep the one the headers spell in capitals.
        group.sort(key=lambda n: (n != n.upper(), n))
        for name in group[1:]:
            del constants[name]
            extraction.left_out["names that differ from another only in letter case"] = \
                extraction.left_out.get("names that differ from another only in letter case", 0) + 1
    for c in constants.values():
        text = literal(c.long, c.hexadecimal)
        if read_literal(text) != c.long:
            raise SystemExit("%s: %s reads back as %d, not %d" % (c.name, text, read_literal(text), c.long))
    checked, differences = gcc_check(constants)
    wide_only = [d for d in differences if _long_agrees(d)]
    wrong = [d for d in differences if d not in wide_only]
    if wrong:
        raise SystemExit("values that gcc computes otherwise:\n" + "\n".join(wrong[:50]))
    mentioned, missing = mentioned_missing(descriptions, extraction)
    if missing:
        raise SystemExit("the hand-written descriptions mention constants the catalogue lacks: "
                         + ", ".join(missing))
    if len(constants) < 20000:
        raise SystemExit("%d constants: fewer than 20000" % len(constants))

    by_family = {}
    for c in constants.values():
        by_family.setdefault(c.family, []).append(c)
    commonest = sorted(by_family, key=lambda f: (-len(by_family[f]), f))[:NAMED_FAMILIES]
    families = _hand_table(FAMILIES, check_text)
    for family in families:
        if family not in commonest:
            raise SystemExit("families.tsv: %s is not among the %d commonest families" % (family, NAMED_FAMILIES))
    meanings = _hand_table(ERRORS, check_text)
    for name in meanings:
        c = constants.get(name)
        if c is None or c.family != "ERROR" or c.header != "winerror.h":
            raise SystemExit("errors.tsv: %s is no ERROR_ constant of winerror.h" % name)
    report = _report(constants, by_family, commonest, families, meanings, extraction, checked,
                     differences, wide_only)
    report.insert(report.index("Left out:"), "Constants named in the hand-written descriptions "
                  "(`tools/catalogue/curated.tsv`): %d, every one present (the generator stops "
                  "otherwise).\n" % mentioned)
    return constants, families, meanings, report


def _long_agrees(difference):
    m = re.match(r"\w+: libclang (-?\d+), gcc (-?\d+)$", difference)
    return bool(m) and (int(m.group(1)) - int(m.group(2))) % (1 << 32) == 0


def write(out_dir, constants, meanings):
    by_letter = {}
    for name in sorted(constants, key=lambda n: (n.lower(), n)):
        by_letter.setdefault(name[0].lower(), []).append(constants[name])
    for letter, group in by_letter.items():
        with open(os.path.join(out_dir, "const-%s.tsv" % letter), "w", encoding="utf-8", newline="\n") as f:
            f.write("# Written by tools/catalogue/gencatalogue.py (constants.py): edit the tool, "
                    "never this file.\n# Name, value as 32-bit Long, Basic line, family, header, meaning\n")
            for c in group:
                value = c.value_field() if hasattr(c, "value_field") else str(c.long)
                f.write("\t".join([c.name, value, c.basic(), c.family, c.header,
                                   meanings.get(c.name, "")]) + "\n")


def write_families(out_dir, families):
    with open(os.path.join(out_dir, "families.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# Written by tools/catalogue/gencatalogue.py from tools/catalogue/families.tsv.\n"
                "# Family, Persian name\n")
        for family in sorted(families):
            f.write("%s\t%s\n" % (family, families[family]))


def _report(constants, by_family, commonest, families, meanings, extraction, checked, differences,
            wide_only):
    lines = []
    add = lines.append
    headers = {}
    for c in constants.values():
        headers[c.header] = headers.get(c.header, 0) + 1
    add("## Constants")
    add("")
    add("Object-like macros and enumerators of the same headers that evaluate to an integer in "
        "the 32-bit build (libclang), each as a Basic `Private Const ... As Long` line.")
    add("")
    add("| | |")
    add("|---|---|")
    add("| constants | %d |" % len(constants))
    add("| of them enumerators | %d |" % sum(1 for c in constants.values() if c.enumerator))
    add("| written in hexadecimal (`&H...&`) | %d |" % sum(1 for c in constants.values() if c.hexadecimal))
    add("| families (name before the first `_`) | %d |" % len(by_family))
    add("| families with a Persian name (of the %d commonest) | %d |" % (NAMED_FAMILIES, len(families)))
    add("| `ERROR_` codes of winerror.h with a Persian meaning | %d |" % len(meanings))
    add("| headers | %d |" % len(headers))
    add("| values computed again by i686-w64-mingw32-gcc | %d |" % checked)
    add("| of them equal to libclang's | %d |" % (checked - len(differences)))
    add("| differing only above 32 bits (the Long is the same) | %d |" % len(wide_only))
    add("")
    if wide_only:
        add("Differing above 32 bits: " + "; ".join(wide_only))
        add("")
    add("Left out:")
    add("")
    add("| reason | names |")
    add("|---|---:|")
    for reason, n in sorted(extraction.left_out.items(), key=lambda x: -x[1]):
        add("| %s | %d |" % (reason, n))
    add("")
    add("Families without a Persian name among the %d commonest (left out where the meaning "
        "was not sure): %s" % (NAMED_FAMILIES, ", ".join(f for f in commonest if f not in families) or "none"))
    add("")
    add("### Constants per header")
    add("")
    add("| header | constants |")
    add("|---|---:|")
    for h, n in sorted(headers.items(), key=lambda x: (-x[1], x[0])):
        add("| %s | %d |" % (h, n))
    add("")
    add("### The commonest families")
    add("")
    add("| family | constants | Persian name |")
    add("|---|---:|---|")
    for f in commonest:
        add("| %s | %d | %s |" % (f, len(by_family[f]), families.get(f, "")))
    add("")
    return lines
