"""The VBA7 form of every declaration, for 64-bit Office: Declare PtrSafe, pointer-sized
values as LongPtr, 64-bit integers as LongLong, Type blocks laid out as 64-bit VBA lays
them out.

The classic declaration is taken as it stands (names, order, ByVal or not, String, Any,
Type) and every number in it is typed again from the 64-bit C prototype of the same
export, read from the x86_64 headers:

  C (x86_64)                                    VBA7
  --------------------------------------------  ---------------------------------------
  pointer, handle, callback, WPARAM, LPARAM,    ByVal x As LongPtr (a pointer passed by
  LRESULT, SIZE_T, *_PTR (8 bytes)              value; ByRef x As LongPtr for one to it)
  LONGLONG, ULONGLONG, DWORD64, LARGE_INTEGER   LongLong (where the classic form has
                                                Currency)
  4-, 2-, 1-byte integers, float, double        Long, Integer, Byte, Single, Double
  structure by value of 1, 2, 4 or 8 bytes      ByVal x As Byte / Integer / Long /
  (POINT, SIZE, FILETIME, COORD)                LongLong: the x64 rules pass it in one
                                                register
  any other structure by value (RECT)           x As RECT: x64 passes a pointer to a copy
  VARIANT by value                              none: left without a VBA7 form

64-bit VBA aligns every member of a Type to its own size (LongPtr, LongLong, Double and
String at 8, at most 8), as C does on x64; where C leaves a larger gap a padding member
fills it, and a structure that C packs tighter is passed As Any.
"""

import collections
import os
import re
import subprocess
import tempfile

import clang.cindex as ci

import basic
from basic import INT_KINDS, Member, TypeDef, basic_identifier, canonical, is_ansi_char, \
    is_handle_record, is_interface, record_decl
import coverage
from cparse import DEFINES, HEADERS, SEPARATE_HEADERS, strip_sugar, typedef_chain
from declare import Declaration, INTRINSIC
from exports import library_name

K = ci.TypeKind
TARGET = "x86_64-w64-mingw32"
GCC = "x86_64-w64-mingw32-gcc"

SIZE = {"Byte": 1, "Integer": 2, "Long": 4, "Single": 4, "Double": 8, "Currency": 8,
        "LongLong": 8, "LongPtr": 8, "String": 8}
# Integer typedefs that are as wide as a pointer (8 bytes on x64, 4 on 32-bit Windows).
POINTER_WIDE = {"SIZE_T", "SSIZE_T", "size_t", "ssize_t", "intptr_t", "uintptr_t", "ptrdiff_t",
                "WPARAM", "LPARAM", "LRESULT"}
BY_VALUE = {1: "Byte", 2: "Integer", 4: "Long", 8: "LongLong"}


class NoForm(Exception):
    """A function without a faithful VBA7 form."""


def pointer_wide(t):
    """True for an integer type that is as wide as a pointer (ULONG_PTR, SIZE_T, LPARAM)."""
    return any(n.endswith("_PTR") or n in POINTER_WIDE for n in typedef_chain(t))


def scalar(t):
    """VBA7 type of a scalar C type (sugared, 64-bit), or None."""
    c = canonical(t)
    if c.kind in INT_KINDS:
        size = c.get_size()
        if size == 8:
            return "LongPtr" if pointer_wide(t) else "LongLong"
        return {1: "Byte", 2: "Integer", 4: "Long"}.get(size)
    if c.kind == K.FLOAT:
        return "Single"
    if c.kind == K.DOUBLE:
        return "Double"
    if c.kind in (K.POINTER, K.BLOCKPOINTER):
        return "LongPtr"
    return None


def _member(name, btype, off, path, count=None, fixed=None, dep=None, size=None, align=None):
    size = size if size is not None else SIZE[btype] * (count or 1)
    m = Member(name, btype, off, size, align if align is not None else SIZE.get(btype, 1), count, fixed, dep)
    m.cpath = path
    return m


class Mapper64(basic.Mapper):
    """Lays structures out as 64-bit VBA does, from the x86_64 headers. A structure keeps
    the name of its classic Type; a pointer member is a String where the classic Type has
    a String there."""

    def __init__(self, headers64, classic):
        super().__init__(headers64)
        self.classic = classic    # usr -> classic TypeDef, or None where 32-bit Basic has none
        self.classic_names = {td.name.lower(): usr for usr, td in classic.items() if td}

    def typedef_of(self, t):
        decl = record_decl(t)
        if decl is None:
            return None
        usr = decl.get_usr()
        if usr in self.types:
            return self.types[usr]
        self.types[usr] = None
        c = canonical(t)
        size = c.get_size()
        if size <= 0 or decl.kind != ci.CursorKind.STRUCT_DECL or is_handle_record(decl) or is_interface(decl):
            return None
        if not self.headers.record_names.get(usr) and (not decl.spelling or decl.spelling.startswith("(")):
            return None   # a structure C has no name for: its layout could not be checked
        old = self.classic.get(usr)
        name = old.name if old else basic_identifier(self.record_name(decl) or "", "STRUCT")
        if not old and name.lower() in self.classic_names:
            name += "64"     # a name the classic form gives another structure
        self._strings = {m.name for m in old.members if m.btype == "String" and not m.fixed} if old else None
        try:
            members, align = self._place(self._layout(c, 0, ""), size)
        except (basic.Unsupported, NoForm) as e:
            self.failures[usr] = str(e)
            return None
        td = TypeDef(name, members, size, align, usr)
        td.cname = c_name(self.headers, decl)
        td.header = os.path.basename(decl.location.file.name) if decl.location.file else ""
        self.types[usr] = td
        return td

    def _layout(self, rec, base, prefix):
        out = []
        strings = self._strings
        bit_unit_end = -1
        for f in rec.get_fields():
            ft = f.type
            c = canonical(ft)
            off = base + f.get_field_offsetof() // 8
            fname = basic_identifier(f.spelling, "Member")
            # clang calls a named member of an unnamed structure type anonymous too:
            # only the empty spelling tells a member that C reaches through.
            path = prefix + f.spelling if f.spelling else None
            if f.is_bitfield():
                unit = c.get_size()
                start = base + (f.get_field_offsetof() // (unit * 8)) * unit
                if start < bit_unit_end:
                    continue
                out.append(_member(fname, {1: "Byte", 2: "Integer", 4: "Long", 8: "LongLong"}[unit], start, None))
                bit_unit_end = start + unit
                continue
            if c.kind == K.RECORD:
                d = c.get_declaration()
                anonymous = f.is_anonymous() or not d.spelling or d.spelling.startswith("(")
                inner = path + "." if path else prefix
                if d.kind == ci.CursorKind.UNION_DECL:
                    out += self._union(c, off, fname, inner)
                elif anonymous and not self.headers.record_names.get(d.get_usr()):
                    out += self._layout(c, off, inner)
                else:
                    saved = self._strings
                    td = self.typedef_of(ft)
                    self._strings = saved
                    if td is None:
                        out += self._bytes(fname, off, c.get_size())
                    else:
                        out.append(_member(fname, td.name, off, path, dep=td, size=td.size, align=td.align))
                continue
            if c.kind == K.INCOMPLETEARRAY:
                continue
            if c.kind == K.CONSTANTARRAY:
                out += self._array(ft, off, fname, path)
                continue
            if c.kind == K.POINTER:
                st = strip_sugar(ft)
                pointee = st.get_pointee() if st.kind == K.POINTER else c.get_pointee()
                text = c.get_pointee().kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and is_ansi_char(pointee)
                wanted = text and (strings is None or fname in strings)
                out.append(_member(fname, "String" if wanted else "LongPtr", off, path))
                continue
            b = scalar(ft)
            if b is None:
                raise NoForm("member %s of type %s" % (f.spelling, ft.spelling))
            out.append(_member(fname, b, off, path))
        return out

    def _bytes(self, name, off, size):
        return [_member(name, "Byte", off, None, count=size)] if size > 0 else []

    def _union(self, c, off, fname, prefix):
        size = c.get_size()
        best = max(c.get_fields(), key=lambda f: canonical(f.type).get_size(), default=None)
        if best is None or canonical(best.type).get_size() != size:
            return self._bytes(fname, off, size)
        bc = canonical(best.type)
        path = prefix + best.spelling if best.spelling else None
        name = fname if fname != "Member" else basic_identifier(best.spelling, "Member")
        b = scalar(best.type)
        if b:
            return [_member(name, b, off, path)]
        if bc.kind == K.RECORD and bc.get_declaration().kind == ci.CursorKind.STRUCT_DECL:
            d = bc.get_declaration()
            if best.is_anonymous() or not self.headers.record_names.get(d.get_usr()):
                return self._layout(bc, off, path + "." if path else prefix)
            saved = self._strings
            td = self.typedef_of(best.type)
            self._strings = saved
            if td is not None:
                return [_member(basic_identifier(best.spelling, fname), td.name, off, path, dep=td,
                                size=td.size, align=td.align)]
        return self._bytes(fname, off, size)

    def _array(self, ft, off, fname, path):
        c = canonical(ft)
        count, elem_t = basic.array_elements(ft)
        ec = canonical(elem_t)
        if count == 0:
            return []
        if ec.kind in (K.CHAR_S, K.CHAR_U, K.SCHAR) and is_ansi_char(elem_t) and fname not in basic.BINARY_CHAR_ARRAYS:
            return [_member(fname, "String", off, path, fixed=count, size=count, align=1)]
        if ec.kind == K.RECORD:
            saved = self._strings
            td = self.typedef_of(elem_t)
            self._strings = saved
            if td is None or td.size != ec.get_size():
                return self._bytes(fname, off, c.get_size())
            return [_member(fname, td.name, off, path, count=count, dep=td, size=td.size * count, align=td.align)]
        b = scalar(elem_t)
        if b is None:
            return self._bytes(fname, off, c.get_size())
        return [_member(fname, b, off, path, count=count)]


def c_name(headers, decl):
    """A name C accepts for the structure: a typedef of it, else its tag (a typedef that
    the checker makes, since some headers define the tag as a macro as well)."""
    names = sorted(headers.record_names.get(decl.get_usr(), ()), key=lambda n: (n.startswith(("P", "LP", "NP")), len(n), n))
    if names:
        return names[0]
    return "vorn_tag_" + decl.spelling


class Form:
    """The VBA7 declaration of one function, with what the checks need."""

    def __init__(self, text, lib, export, typedefs, wide, wide_result):
        self.text = text
        self.lib = lib
        self.export = export
        self.typedefs = typedefs
        self.wide = wide                # per parameter: its value (or what it points to) is pointer-sized
        self.wide_result = wide_result


class Vba7:
    def __init__(self, headers64, classic_types):
        self.headers = headers64
        self.mapper = Mapper64(headers64, classic_types)

    def unlike_32(self, pointee):
        """A structure that has no classic Type because 32-bit Basic cannot lay it out."""
        decl = record_decl(pointee)
        return decl is not None and self.mapper.classic.get(decl.get_usr(), 0) is None

    def form(self, classic_text, fn, export=None, given=(), loose=()):
        """The VBA7 form of a classic declaration whose export has the 64-bit prototype fn;
        export replaces the classic Alias where 64-bit Windows calls another export. given:
        the name the classic form took from the metadata for each C parameter the header
        leaves unnamed (None for the others), as Mapper.param took it. loose: for each C
        parameter whether the classic form passes it As Any for the metadata's sake (a
        structure that may be NULL, or a buffer sized by another parameter), which this
        form keeps whatever the layout."""
        given = list(given) if len(given) == len(fn.params) else [None] * len(fn.params)
        loose = list(loose) if len(loose) == len(fn.params) else [False] * len(fn.params)
        decl = Declaration(classic_text)
        classic = list(decl.params)
        classic_blocks = classic_text.split("\r\n\r\n")[:-1]
        out = []            # (byval, name, type, wide)
        roots = []
        j = 0
        for i, p in enumerate(fn.params):
            if j >= len(classic):
                raise NoForm("fewer parameters than the prototype")
            t = p.type
            c = canonical(t)
            byval, name, btype = classic[j]
            if c.kind == K.RECORD:
                size = c.get_size()
                if btype == "Variant":
                    raise NoForm("VARIANT passed by value")
                # The classic form splits a structure of 32-bit members into one Long each.
                taken = 1 if btype == "Currency" or size <= 4 else len(list(c.get_fields()))
                j += taken
                if taken > 1:
                    made = self.mapper._unnamed(t, typedef_chain(t), "Arg%d" % (i + 1))
                    name = basic_identifier(p.name, "") if p.name else basic_identifier(given[i], made) if given[i] else made
                if size in BY_VALUE:
                    out.append((True, name, BY_VALUE[size], False))
                else:
                    td = self.mapper.typedef_of(t)
                    out.append((False, name, td.name if td else "Any", False))
                    if td:
                        roots.append(td)
                continue
            j += 1
            if btype == "Any" and not byval and c.kind == K.POINTER and self.unlike_32(c.get_pointee()):
                # A structure whose 32-bit layout Basic cannot give (SHFILEOPSTRUCT packs to
                # 1 byte there) is passed As Any; 64-bit VBA may lay it out as x64 C does,
                # and pass it as that Type, unless it may be NULL or be a larger buffer.
                td = self.mapper.typedef_of(c.get_pointee())
                out.append((False, name, td.name if td and not loose[i] else "Any", False))
                if td:
                    roots.append(td)
                continue
            if btype == "Any":
                out.append((byval, name, btype, False))   # SendMessage's lParam As Any
                if not byval and c.kind == K.POINTER and canonical(c.get_pointee()).kind == K.RECORD:
                    # A structure that may be NULL keeps its Type block, as in the classic form.
                    td = self.mapper.typedef_of(c.get_pointee())
                    if td is not None and any(b.startswith("Private Type %s\r\n" % td.name) for b in classic_blocks):
                        roots.append(td)
                continue
            if c.kind in (K.POINTER, K.CONSTANTARRAY, K.INCOMPLETEARRAY):
                if btype == "String":
                    out.append((byval, name, btype, False))
                elif byval:
                    out.append((True, name, "LongPtr", True))
                elif btype not in INTRINSIC:
                    st = strip_sugar(t)
                    td = self.mapper.typedef_of(st.get_pointee() if st.kind == K.POINTER else c.get_pointee())
                    out.append((False, name, td.name if td else "Any", False))
                    if td:
                        roots.append(td)
                else:
                    st = strip_sugar(t)
                    while st.kind == K.TYPEDEF:
                        st = strip_sugar(st.get_declaration().underlying_typedef_type)
                    if st.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
                        pointee = st.element_type   # GLdouble m[16]: a pointer to the first
                    else:
                        pointee = st.get_pointee() if st.kind == K.POINTER else c.get_pointee()
                    pc = canonical(pointee)
                    if pc.kind == K.RECORD and pc.get_size() == 8 and btype == "Currency":
                        b = "LongLong"
                    else:
                        b = scalar(pointee)
                    if b is None:
                        raise NoForm("pointer to %s" % pointee.spelling)
                    out.append((False, name, b, b == "LongPtr"))
                continue
            if not byval:
                raise NoForm("%s passed by reference for a value" % name)
            b = "Long" if c.kind == K.ENUM else scalar(t)
            if b is None:
                raise NoForm("parameter %s of type %s" % (p.name, t.spelling))
            out.append((True, name, b, b == "LongPtr"))
        if j != len(classic):
            raise NoForm("more parameters than the prototype")
        result = None
        rc = canonical(fn.result)
        if rc.kind != K.VOID:
            result = scalar(fn.result) if rc.kind != K.ENUM else "Long"
            if result is None:
                raise NoForm("returns %s" % fn.result.spelling)
        names = {decl.name.lower()} | {td.name.lower() for td in roots}
        params = []
        for byval, name, btype, wide in out:
            base, n = name, 2
            while name.lower() in names:
                name = "%s%d" % (base, n)
                n += 1
            names.add(name.lower())
            params.append(("ByVal " if byval else "") + name + " As " + btype)
        alias = decl.alias if export is None else export if export != decl.name else None
        text = "Private Declare PtrSafe %s %s Lib \"%s\"" % (decl.kind, decl.name, decl.lib)
        if alias:
            text += " Alias \"%s\"" % alias
        text += " (" + ", ".join(params) + ")"
        if result:
            text += " As " + result
        typedefs = basic.ordered_typedefs(roots)
        full = "\r\n\r\n".join([td.text() for td in typedefs] + [text])
        return Form(full, decl.lib, alias or decl.name, typedefs, [w for *_, w in out], result == "LongPtr")


def vba_layout(td):
    """Offsets and size of a Type as 64-bit VBA places its members: each at the next
    multiple of its own alignment (at most 8), the whole rounded up to the largest."""
    pos = 0
    most = 1
    offsets = []
    for m in td.members:
        if m.dep:
            align, unit = m.dep.align, m.dep.size
        elif m.fixed:
            align, unit = 1, 1
        else:
            align = unit = SIZE[m.btype]
        pos = (pos + align - 1) // align * align
        offsets.append(pos)
        pos += unit * (m.fixed or m.count or 1)
        most = max(most, align)
    return offsets, (pos + most - 1) // most * most


def gcc_layouts(typedefs):
    """sizeof and offsetof of each structure as x86_64-w64-mingw32-gcc lays it out: a C file
    puts them in a table, and the table is read back from the compiler's assembly output.
    Returns {Type name: (size, {member: offset})}."""
    groups = [HEADERS + coverage.HEADERS] + SEPARATE_HEADERS + coverage.SEPARATE
    where = {}
    for td in typedefs:
        decl_file = getattr(td, "header", "")
        group = next((g for g in groups[1:] if decl_file in g[1:]), groups[0])
        where.setdefault(groups.index(group), []).append(td)
    result = {}
    for gi, tds in where.items():
        lines = ["#include <%s>" % h for h in groups[gi]] + ["#include <stddef.h>",
                                                               ]
        if gi == 0 and coverage.written() is not None:
            # The structures written from the metadata, where the prototypes read them.
            lines.append(coverage.written().struct_text)
        for td in tds:
            if td.cname.startswith("vorn_tag_"):
                tag = td.cname[len("vorn_tag_"):]
                lines += ["#ifdef %s" % tag, "typedef %s %s;" % (tag, td.cname), "#else",
                          "typedef struct %s %s;" % (tag, td.cname), "#endif"]
        lines.append("const unsigned long long vorn_layout[] = {")
        keys = []
        for td in tds:
            lines.append("sizeof(%s)," % td.cname)
            keys.append((td.name, None))
            for m in td.members:
                if getattr(m, "cpath", None):
                    lines.append("offsetof(%s, %s)," % (td.cname, m.cpath))
                    keys.append((td.name, m.name))
        lines.append("0};")
        with tempfile.NamedTemporaryFile("w", suffix=".c", delete=False) as f:
            f.write("\n".join(lines) + "\n")
            source = f.name
        try:
            run = subprocess.run([GCC, "-S", "-o", "-", "-w"] + DEFINES + [source], capture_output=True, text=True)
        finally:
            os.unlink(source)
        if run.returncode != 0:
            raise SystemExit("the layout checker does not compile:\n" + run.stderr[:4000])
        values = [int(v) for v in re.findall(r"^\s*\.quad\s+(\d+)\s*$", run.stdout, re.M)]
        if len(values) != len(keys) + 1:
            raise SystemExit("the layout checker gave %d values for %d" % (len(values), len(keys) + 1))
        for (tname, member), v in zip(keys, values):
            size, offsets = result.setdefault(tname, [None, {}])
            if member is None:
                result[tname][0] = v
            else:
                offsets[member] = v
    return result


def signature(fn):
    return [canonical(fn.result).spelling] + [canonical(p.type).spelling for p in fn.params]


def read(text):
    """A classic or VBA7 declaration read back (PtrSafe aside, the grammar is the same)."""
    return Declaration(text.replace("Declare PtrSafe ", "Declare ", 1))


def same_names(classic_text, vba7_text):
    """The two forms name the same parameters in the same order; a structure that the
    classic form splits into members (xPoint, yPoint) is one parameter in VBA7 (Point)."""
    old = [n for _, n, _ in Declaration(classic_text).params]
    new = [n for _, n, _ in read(vba7_text).params]
    i = 0
    for name in new:
        if i < len(old) and old[i] == name:
            i += 1
            continue
        run = 0
        stem = name.rstrip("0123456789").lower()   # GOffset2: GOffset is the Type GOFFSET's name
        while i + run < len(old) and old[i + run].lower().endswith((name.lower(), stem)) and old[i + run] != name:
            run += 1
        if run < 2:
            return False
        i += run
    return i == len(old)


def long_where_wide(form, fn32, fn64, classic_text):
    """Parameters typed Long (or narrower) although the value, or what it points to, is
    4 bytes wide on 32-bit Windows and 8 on 64-bit: a pointer or a pointer-sized integer."""
    params = read(form.text).params
    if len(params) != len(fn64.params) or len(fn32.params) != len(fn64.params):
        return [], 0
    wrong = []
    checked = 0
    for (byval, name, btype), p32, p64 in zip(params, fn32.params, fn64.params):
        c32, c64 = canonical(p32.type), canonical(p64.type)
        if not byval and c64.kind == K.POINTER and c32.kind == K.POINTER:
            c32, c64 = canonical(c32.get_pointee()), canonical(c64.get_pointee())
        elif not byval:
            continue
        checked += 1
        if c32.get_size() == 4 and c64.get_size() == 8 and btype in ("Long", "Integer", "Byte"):
            wrong.append(name)
    return wrong, checked


def add_forms(records, entries, classic_types, exports64, report):
    """Gives every record its VBA7 form (record.vba7, empty where there is none) and runs
    the checks; stops on any failure. report collects the counts and the reasons."""
    from cparse import Headers
    extra = []
    fn_name = {}
    for r in records:
        e = entries.get(r.name)
        if e is not None and e.export_name == r.export:
            fn_name[r.name] = e.fn.name
        else:
            proto = "vorn_form_%s" % r.name
            extra.append(re.sub(r"\b%s\s*\(" % re.escape(r.export), proto + "(", r.prototype, count=1) + ";")
            fn_name[r.name] = proto
    headers = Headers()
    headers.parse(HEADERS, target=TARGET, extra="\n" + "\n".join(extra) + "\n")
    for group in SEPARATE_HEADERS:
        headers.parse(group, target=TARGET)
    coverage.parse(headers, target=TARGET)
    maker = Vba7(headers, classic_types)
    none = {}
    forms = {}
    witnessed = collections.Counter()
    redirected = []
    for r in records:
        fn = headers.functions.get(fn_name[r.name])
        export = None
        if fn is None:
            none.setdefault("not in the 64-bit headers", []).append(r.name)
            continue
        # A name that the 32-bit headers make another function's, and the 64-bit ones an
        # export of another prototype (GetWindowLongPtr is GetWindowLongA in 32 bits,
        # GetWindowLongPtrA, which returns a LONG_PTR, in 64): that export.
        target, seen = r.name, set()
        while target in headers.macros and target not in seen:
            seen.add(target)
            target = headers.macros[target]
        if fn.name != r.name and target != fn.name and target in headers.functions \
                and signature(headers.functions[target]) != signature(fn) \
                and r.library in set(exports64.libraries_of(target)):
            fn, export = headers.functions[target], target
            redirected.append("%s (%s)" % (r.name, target))
        e = entries.get(r.name)
        same = e is not None and fn.name == fn_name[r.name] and fn_name[r.name] == e.fn.name
        given = e.given if same else ()
        loose = e.loose if same else ()
        try:
            form = maker.form(r.declaration, fn, export, given, loose)
        except NoForm as e:
            none.setdefault(str(e).split(" of type ")[0].split(" passed")[0], []).append(r.name)
            continue
        # An export called by its ordinal ("#9") is witnessed by its name.
        witnesses = exports64.witnesses(r.export if form.export.startswith("#") else form.export, form.lib)
        if not witnesses:
            none.setdefault("its DLL's 64-bit export not witnessed (no import library here, nor "
                            "Microsoft's metadata)", []).append(r.name)
            continue
        # The strongest witness: an import library of mingw-w64, then Wine's, then the metadata.
        witnessed[witnesses[0]] += 1
        forms[r.name] = form
        r.vba7 = form.text
    # The checks.
    failures = []
    checked_params = 0
    for r in records:
        form = forms.get(r.name)
        if form is None:
            continue
        if not same_names(r.declaration, form.text):
            failures.append("%s: the parameters differ in name or order" % r.name)
        e = entries.get(r.name)
        if e is not None and fn_name[r.name] == e.fn.name:
            fn64 = headers.functions[fn_name[r.name]]
            wrong, n = long_where_wide(form, e.fn, fn64, r.declaration)
            checked_params += n
            failures += ["%s: %s is Long but pointer-sized" % (r.name, w) for w in wrong]
    typedefs = {}
    for form in forms.values():
        for td in form.typedefs:
            typedefs.setdefault(td.name, td)
    measured = gcc_layouts(list(typedefs.values()))
    offsets_checked = 0
    for name, td in typedefs.items():
        size, offsets = measured[name]
        ours, our_size = vba_layout(td)
        if our_size != size:
            failures.append("Type %s: 64-bit VBA makes it %d bytes, C %d" % (name, our_size, size))
        for m, at in zip(td.members, ours):
            if m.name in offsets:
                offsets_checked += 1
                if offsets[m.name] != at:
                    failures.append("Type %s: %s at %d in VBA, %d in C" % (name, m.name, at, offsets[m.name]))
    if failures:
        raise SystemExit("VBA7 checks failed:\n" + "\n".join(failures[:50]))
    report.update(forms=len(forms), none=none, redirected=redirected, types=len(typedefs), offsets=offsets_checked,
                  imports=len(forms), params=checked_params, witnessed=witnessed)
    return forms, measured
