#!/usr/bin/python3
"""Writes the catalogue's text source (data/catalogue/api-*.tsv), the prototypes that the
catalogue's test checks it against (data/catalogue/prototypes.txt) and the report
(data/catalogue/REPORT.md) from the 32-bit mingw-w64 headers and import libraries.

Run by hand with Debian's python3 (the clang bindings live there):
    /usr/bin/python3 tools/catalogue/gencatalogue.py
See tools/README.md.
"""

import collections
import os
import re
import subprocess
import sys
import types

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import areas as area_rules  # noqa: E402
import basic  # noqa: E402
import constants as catalogue_constants  # noqa: E402
import build  # noqa: E402
import checks  # noqa: E402
import coverage  # noqa: E402
import vba7  # noqa: E402
from declare import Declaration  # noqa: E402
import describe as desc  # noqa: E402
from describe import describe, CRLF  # noqa: E402
from exports import DOCUMENTED, Exports, LIB_DIR_64, SixtyFourBitExports, library_name, witnessed_by  # noqa: E402
import winecheck  # noqa: E402
import descchecks  # noqa: E402
import widenote  # noqa: E402
import metadata as win32metadata  # noqa: E402
import dllcheck  # noqa: E402
import paramenums  # noqa: E402
import pnames  # noqa: E402
import time  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
OUT_DIR = os.path.join(ROOT, "data", "catalogue")
CURATED = os.path.join(HERE, "curated.tsv")
DESCRIPTIONS = os.path.join(HERE, "descriptions")
PHRASES = os.path.join(HERE, "phrases.tsv")
OVERRIDES = os.path.join(HERE, "overrides.tsv")
SEPARATOR = "\u060c"   # the Arabic comma between areas

# Characters that Persian text must not use: Windows-1256 has no FARSI YEH or Arabic KAF
# in the forms Persian Windows expects.
FORBIDDEN = {"\u06cc": "FARSI YEH (use U+064A)", "\u0643": "ARABIC KAF (use U+06A9)"}


def unescape(field):
    out = []
    i = 0
    while i < len(field):
        ch = field[i]
        if ch == "\\" and i + 1 < len(field):
            nxt = field[i + 1]
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}.get(nxt, nxt))
            i += 2
            continue
        out.append(ch)
        i += 1
    return "".join(out)


def escape(field):
    return field.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")


def read_table(path, columns):
    rows = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n").rstrip("\r")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != columns:
                sys.exit("%s:%d: %d fields instead of %d" % (path, number, len(parts), columns))
            for p in parts:
                # "C:\Windows" written with one backslash would lose it ("\W" reads "W"), and
                # "en-US\resources" would hold a carriage return.
                bad = re.search(r"(?<!\\)(?:\\\\)*\\(?![rnt\\])|\\$", p)
                if bad:
                    sys.exit("%s:%d: a backslash that is no escape (write \\\\ for one): %r" % (
                        path, number, p[max(0, bad.start() - 20):bad.end() + 20]))
            fields = [unescape(p) for p in parts]
            if any(f.replace("\r\n", "").count("\r") or f.replace("\r\n", "").count("\n") for f in fields):
                sys.exit("%s:%d: a line break other than \\r\\n" % (path, number))
            rows.append((number, fields))
    return rows


def check_text(where, text):
    for ch, what in FORBIDDEN.items():
        if ch in text:
            sys.exit("%s: contains %s" % (where, what))
    try:
        text.encode("cp1256")
    except UnicodeEncodeError as e:
        sys.exit("%s: not encodable in Windows-1256: %r" % (where, text[e.start:e.end]))


class Record:
    """One line of the catalogue, with what the test needs to check it."""

    def __init__(self, name, declaration, library, areas, description, export, stack, c_params,
                 basic_params, header, prototype, curated):
        self.name = name
        self.declaration = declaration
        self.library = library
        self.areas = areas
        self.description = description
        self.export = export
        self.stack = stack
        self.c_params = c_params
        self.basic_params = basic_params
        self.header = header
        self.prototype = prototype
        self.curated = curated
        self.written = curated      # text written by hand (curated.tsv or descriptions/)
        self.source = "curated.tsv" if curated else None
        self.vba7 = ""          # the VBA7 form, empty where 64-bit Office has none
        self.only64 = False     # the metadata has the VBA7 form's export in 64-bit Windows only
        self.facts = ["", "", ""]   # first Windows, LastDllError, Obsolete: the API table's last columns
        self.coverage = False   # joined from the headers read for the metadata's functions (coverage.py)
        self.made = {}          # name a parameter would have without the metadata's names -> its name
        self.hand = False       # the declaration is written by hand (curated.tsv, overrides.tsv)
        # cdecl in 32 bits, or in a 64-bit import library only: only 64-bit VBA7 calls it. Its
        # classic text is the ground of the VBA7 form and is written nowhere: the catalogue's
        # classic field stays empty.
        self.vba7_alone = False
        self.only_64_library = False    # of those, the ones witnessed for 64 bits alone
        self.witness = ""               # where the export was found beyond mingw-w64's 32-bit libraries
        self.wine_witness = False       # argument bytes from Wine's 32-bit import library


def type_blocks_for(decl, entry_typedefs, by_name):
    """The Type blocks a hand-written declaration needs, inner ones first."""
    roots = []
    for t in decl.used_types():
        td = next((x for x in entry_typedefs if x.name == t), None) or by_name.get(t)
        if td is None:
            sys.exit("%s: no Basic Type known for %s" % (decl.name, t))
        roots.append(td)
    return basic.ordered_typedefs(roots)


def verify_hand_declaration(where, decl, library, export_name, stack):
    if decl.lib != library:
        sys.exit("%s: Lib \"%s\" but the function is in %s" % (where, decl.lib, library))
    if decl.entry_name != export_name:
        sys.exit("%s: calls %s but the export is %s" % (where, decl.entry_name, export_name))
    if decl.stack_bytes() != stack:
        sys.exit("%s: passes %d bytes of arguments, the export takes %d" % (where, decl.stack_bytes(), stack))


# What a text written for the ANSI form says of it as a whole ("... (نسخه ANSI)", "...؛ نسخه
# ANSI."), which its W form sharing the text says of itself as the Unicode form.
ANSI_FORM = re.compile(r"\(نسخه ANSI\)|؛ نسخه ANSI(?=\.)")
UNICODE_WORD = "يونيکد"
# Any other word ANSI in a text the W form would share speaks of the ANSI form's text,
# characters or code page: GetCommandLineW's result read as an ANSI string, IsCharAlphaW's
# "ANSI character" tested with Asc, AddRadiusServerW "connected to AddRadiusServerA
# (ANSI)". Such a W form needs a text of its own; these share a text whose ANSI is right
# for both forms.
ANSI_WORD = re.compile(r"(?<![A-Za-z_])ANSI(?![A-Za-z_])")
INHERITS_ANSI_RIGHTLY = {
    "GetCPInfoExW",                     # CP_ACP is the system's ANSI code page in either form
    "RasDeleteSubEntryW",               # what the ANSI form's page says of dwSubEntryId
    "RegLoadMUIStringW",                # the ANSI form is not supported: use this one
    "SetupDiGetDeviceInterfaceDetailW",  # cbSize: 5 for the ANSI form, 6 for this one
}


def main():
    cat = build.Catalogue()
    cat.map_functions()
    entries = cat.entries()
    by_type_name = {}
    for td in cat.mapper.types.values():
        if td is not None:
            by_type_name.setdefault(td.name, td)

    records = {}
    for name, e in entries.items():
        e.areas = area_rules.areas_for(e.fn.name, e.fn.header)
        c_params = len(e.fn.params)
        records[name] = Record(name, e.declaration, e.library, e.areas, None, e.export_name,
                               e.stack_bytes, c_params, len(e.params), e.fn.header, e.fn.prototype(), False)
        records[name].coverage = e.fn.name in cat.coverage.joined
        records[name].made = {p.made: p.name for p in e.params if p.made and p.made != p.name}
        records[name].vba7_alone = e.vba7_alone
        records[name].only_64_library = e.only_64_library
        records[name].wine_witness = witnessed_by(e.export) == "wine"
        records[name].witness = witnessed_by(e.export)

    # Hand-written declarations for what the headers make macros of (CopyMemory, ...).
    for number, (name, library, export_name, header, c_params, prototype, text) in read_table(OVERRIDES, 7):
        where = "overrides.tsv:%d" % number
        exp = cat.exports.lookup(export_name)
        if exp is None or exp.stack_bytes is None:
            sys.exit("%s: %s is not a stdcall export" % (where, export_name))
        decl = Declaration(text)
        verify_hand_declaration(where, decl, library_name(exp.dll), export_name, exp.stack_bytes)
        if decl.name != name:
            sys.exit("%s: declares %s" % (where, decl.name))
        blocks = type_blocks_for(decl, [], by_type_name)
        full = "\r\n\r\n".join([td.text() for td in blocks] + [text])
        records[name] = Record(name, full, library, area_rules.areas_for(export_name, header), None,
                               export_name, exp.stack_bytes, int(c_params), len(decl.params), header,
                               prototype, False)
        records[name].hand = True

    # Curated descriptions (and the areas and declarations chosen by hand with them).
    curated_names = set()
    for number, (name, text, areas_text, description) in read_table(CURATED, 4):
        where = "curated.tsv:%d" % number
        if name not in records:
            sys.exit("%s: %s is not in the catalogue" % (where, name))
        if name in curated_names:
            sys.exit("%s: %s described twice" % (where, name))
        curated_names.add(name)
        r = records[name]
        check_text(where, description + areas_text)
        r.description = desc.typography(description)
        r.curated = True
        r.written = True
        r.source = "curated.tsv"
        if areas_text:
            chosen = areas_text.split(SEPARATOR)
            unknown = [a for a in chosen if a not in area_rules.ALL]
            if unknown or not 1 <= len(chosen) <= 3:
                sys.exit("%s: areas %r" % (where, chosen))
            r.areas = chosen
        if text:
            decl = Declaration(text)
            verify_hand_declaration(where, decl, r.library, r.export, r.stack)
            if decl.name != name:
                sys.exit("%s: declares %s" % (where, decl.name))
            if len(decl.params) != r.basic_params:
                sys.exit("%s: %d parameters, the header's prototype gives %d" % (
                    where, len(decl.params), r.basic_params))
            e = entries.get(name)
            blocks = type_blocks_for(decl, e.typedefs if e else [], by_type_name)
            r.declaration = "\r\n\r\n".join([td.text() for td in blocks] + [text])
            r.hand = True

    read_descriptions(records)

    inherits_ansi, inherits_rightly = [], []
    for name, r in records.items():
        if r.description is None:
            e = entries.get(name)
            if e is None:
                sys.exit("%s: a hand-written declaration needs a curated description" % name)
            plain = records.get(e.pair) if e.charset == "unicode" and e.pair else None
            if plain is None and e.charset == "unicode" and name.endswith("W"):
                # wldap32 has ldap_add beside ldap_addA and ldap_addW: the W form shares the
                # plain name's text, as it does where the plain name is the A form's alias.
                plain = records.get(name[:-1])
            if plain is not None and len(basic_parameter_names(plain.declaration)) != len(e.params):
                plain = None    # GetStringTypeW takes no locale: the halves differ
            if plain is not None and plain.written:
                # The W half of a pair shares the text written for its plain name, and
                # the areas chosen for it, so that both halves sit in the same branches.
                r.areas = list(plain.areas)
                text = plain.description
                # Names the tool gave unnamed parameters after their type differ between
                # the halves (pChoosecolor, pChoosecolorw).
                for a, b in zip(basic_parameter_names(plain.declaration), basic_parameter_names(r.declaration)):
                    if a != b:
                        text = re.sub(r"(?<![A-Za-z0-9_])%s(?![A-Za-z0-9_])" % re.escape(a), b, text)
                # The ANSI form's structures are the W twins here (CABINFOA, JET_RSTMAP_A).
                wide_types = set(TYPE_NAME.findall(r.declaration))
                for t in sorted(set(TYPE_NAME.findall(plain.declaration)) - wide_types):
                    twin = re.sub(r"A$", "W", t)
                    if twin != t and twin in wide_types:
                        text = re.sub(r"(?<![A-Za-z0-9_])%s(?![A-Za-z0-9_])" % re.escape(t), twin, text)
                # A String of the ANSI form is an address here: vbNullString becomes 0&.
                text = descchecks.null_string_fix(text, r.declaration)
                # "(the ANSI version)" said of the plain name is the Unicode one here.
                text = ANSI_FORM.sub(lambda m: m.group(0).replace("ANSI", UNICODE_WORD), text)
                if ANSI_WORD.search(text):
                    (inherits_rightly if name in INHERITS_ANSI_RIGHTLY else inherits_ansi).append(name)
                note = widenote.unicode_note(plain.name, plain.declaration, r.declaration,
                                             {p.name for p in e.params if p.kind == "wstring"})
                r.description = text + CRLF + note if note else text
                r.written = True
                r.source = plain.source
            elif r.coverage or r.vba7_alone:
                # describe() speaks of the classic declaration, which such a function lacks.
                r.description = coverage.PLACEHOLDER
            else:
                r.description = describe(e)
        check_text(name, r.description)
    if inherits_ansi:
        sys.exit("%d W forms would share a text that speaks of ANSI (write them their own): %s" % (
            len(inherits_ansi), ", ".join(sorted(inherits_ansi))))
    if INHERITS_ANSI_RIGHTLY - set(inherits_rightly):
        sys.exit("INHERITS_ANSI_RIGHTLY names W forms that share no text speaking of ANSI: %s" % (
            ", ".join(sorted(INHERITS_ANSI_RIGHTLY - set(inherits_rightly)))))
    ordered = sorted(records.values(), key=lambda r: (r.name.lower(), r.name))
    wide = {}
    classic_types = dict(cat.mapper.types)
    forms, layouts = vba7.add_forms(ordered, entries, classic_types, SixtyFourBitExports(cat.metadata), wide)
    ordered = alone_forms(cat, ordered, forms, wide)
    # A text written for the classic form tells a Long variable for a handle or pointer
    # that comes back (a Currency for 64 bits); the VBA7 form passes it ByRef As LongPtr
    # (As LongLong), which refuses the classic type: the text says so where it tells it.
    for r in ordered:
        if r.declaration and r.vba7:
            told = descchecks.vba7_types_fix(r.description, r.declaration, r.vba7)
            r.vba7_types_told = told != r.description
            r.description = told
    # A function with its VBA7 form alone is described by that form's parameters (a POINT by
    # value is one LongLong there, two Longs in the classic text): checked once forms exist.
    check_descriptions({r.name: r for r in ordered})
    shown = [types.SimpleNamespace(name=r.name, description=r.description, declaration=r.declaration or r.vba7)
             for r in ordered]
    description_faults = descchecks.glossary_faults(shown) + descchecks.null_string_faults(shown) + \
        descchecks.stale_any_advice_faults(shown) + descchecks.vba7_types_faults(ordered)
    if description_faults:
        sys.exit("%d descriptions against the glossary or their declaration:\n%s" % (
            len(description_faults), "\n".join(description_faults)))
    lowered = collections.Counter(r.name.lower() for r in ordered)
    clashes = [n for n, k in lowered.items() if k > 1]
    if clashes:
        sys.exit("names that differ only in letter case: %s" % ", ".join(clashes))
    if not 5000 <= len(ordered) <= 32767:
        sys.exit("%d functions: outside 5000..32767" % len(ordered))
    for r in ordered:
        form = forms.get(r.name)
        r.only64 = form is not None and (r.vba7_alone or cat.metadata.only_64_bit(form.export, form.lib))
        r.facts = metadata_facts(cat.metadata.lookup(r.export, r.library))
    hand = {r.name for r in ordered if r.hand}
    if hand != checks.hand_declared():
        sys.exit("checks.hand_declared() and the tool differ on which declarations are written by hand: %s" % (
            ", ".join(sorted(checks.hand_declared() ^ hand)[:10])))
    for r in ordered:
        e = entries.get(r.name)
        if e is not None and not r.hand:
            named = [checks.c_parameter_named(t) for t in checks.c_parameter_texts(r.prototype)]
            if len(named) == len(e.fn.params) and named != [bool(p.name) for p in e.fn.params]:
                sys.exit("%s: checks.c_parameter_named() misreads which parameters %s names" % (
                    r.name, r.prototype))
    problems = checks.check_rows(ordered, checks.void_pointer_typedefs(cat.headers), cat.names, hand)
    problems["64-bit only form not under #If Win64"] = checks.win64_faults(
        [(r.name, r.vba7, r.declaration) for r in ordered if r.only64])
    problems["cdecl function with a classic form, or without a VBA7 form"] = checks.cdecl_faults(
        [(r.name, r.vba7_alone, r.declaration, r.vba7) for r in ordered])
    problems["library neither the metadata's DLL nor in metadata-dlls.tsv"] = dllcheck.check(
        [(r.library, r.export, dllcheck.metadata_dlls(cat.metadata, r.export)) for r in ordered], dllcheck.read_list())
    problems["structure written from the metadata laid out otherwise than a header that defines it"] = \
        coverage.check_layouts(cat.written)
    if checks.report({k: v for k, v in problems.items() if v}):
        sys.exit("the catalogue fails the checks above (tools/catalogue/checks.py)")
    found, families, meanings, report = catalogue_constants.build(
        [r.description for r in ordered if r.curated], check_text)
    started = time.monotonic()
    # The metadata's constants join the table here; a description's "NAME (value)" is
    # checked against the whole table as written (PORTRAIT is 0, a printer's orientation,
    # not the display's ORIENTATION_PREFERENCE_PORTRAIT, 2).
    linked = paramenums.build(ordered, found)
    wrong_values = descchecks.const_value_faults(ordered, found)
    if wrong_values:
        sys.exit("values that differ from the Const table:\n" + "\n".join(wrong_values))
    write_catalogue(ordered)
    write_prototypes(ordered)
    dllcheck.write_facts(OUT_DIR, ordered, cat.metadata)
    write_vba7_facts(ordered, forms, layouts)
    write_report(cat, ordered, entries, wide)
    catalogue_constants.write(OUT_DIR, found, meanings)
    catalogue_constants.write_families(OUT_DIR, families)
    paramenums.write(OUT_DIR, linked)
    with open(os.path.join(OUT_DIR, "REPORT.md"), "a", encoding="utf-8", newline="\n") as f:
        f.write("\n\n" + "\n".join(report))
        f.write("\n" + "\n".join(paramenums.report(linked)))
    print("%d constants added from the metadata (%d metadata-only), %d families, %d links, in %.0f s" % (
        len(linked.added), len(linked.metadata_only), len(linked.enums), len(linked.params),
        time.monotonic() - started))
    print("%d functions in %d libraries, %d described by hand, %d with a written description" % (
        len(ordered), len({r.library for r in ordered}), sum(r.curated for r in ordered), sum(r.written for r in ordered)))
    print("%d constants in %d families" % (len(found), len({c.family for c in found.values()})))


def alone_forms(cat, ordered, forms, report):
    """The functions that are cdecl in 32 bits, or whose export is witnessed for 64 bits
    alone (a 64-bit import library, or the metadata), keep their VBA7 form alone, under
    "#If Win64" in a saved module; one without a
    VBA7 form is left out with the form's reason. Counts them by DLL into report."""
    kept = []
    joined = {"cdecl": collections.Counter(), "x86_64": collections.Counter(), "metadata": collections.Counter()}
    for r in ordered:
        if not r.vba7_alone:
            kept.append(r)
        elif r.name in forms:
            r.declaration = ""
            # Its Basic parameters are the VBA7 form's: a POINT by value is one LongLong there
            # (AccNotifyTouchInteraction), two Longs in a classic form.
            r.basic_params = len(basic_parameter_names(r.vba7))
            kept.append(r)
            joined[r.witness if r.only_64_library else "cdecl"][r.library] += 1
        else:
            why = "no VBA7 form"
            for reason, names in report["none"].items():
                if r.name in names:
                    why = reason
                    names.remove(r.name)
            cat.leave_out(({"x86_64": "in a 64-bit import library only",
                            "metadata": "declared by the metadata alone"}.get(r.witness, "cdecl")
                           if r.only_64_library else "cdecl") +
                          ", and no VBA7 form: " + why, r.prototype.split("(")[0].split()[-1])
    report["none"] = {k: v for k, v in report["none"].items() if v}
    report["alone"] = joined
    return kept


def metadata_facts(fn):
    """The API table's columns FirstWindows, LastDllError and Obsolete from the metadata's
    function (None: all three empty, unknown)."""
    if fn is None:
        return ["", "", ""]
    obsolete = (", ".join(fn.replacements()) or "-") if fn.is_obsolete else ""
    return [fn.windows, "1" if fn.set_last_error else "0", obsolete]


def read_descriptions(records):
    """The descriptions written by library, descriptions/<library>.tsv: name and text.
    curated.tsv keeps precedence over them."""
    if not os.path.isdir(DESCRIPTIONS):
        return
    # By name: a file holds the functions of one library as the catalogue had them when
    # they were written; a function the rules later move to another library keeps its text.
    seen = {}
    for file in sorted(os.listdir(DESCRIPTIONS)):
        if not file.endswith(".tsv"):
            continue
        path = os.path.join(DESCRIPTIONS, file)
        for number, (name, text) in read_table(path, 2):
            where = "descriptions/%s:%d" % (file, number)
            r = records.get(name)
            if r is None:
                sys.exit("%s: %s is not in the catalogue" % (where, name))
            if name in seen:
                sys.exit("%s: %s described already in %s" % (where, name, seen[name]))
            seen[name] = where
            if r.curated:
                continue
            check_text(where, text)
            r.description = desc.typography(text)
            r.written = True
            r.source = "descriptions/" + file


def read_phrases():
    """The sentences allowed in more than desc.MAX_REPEATS descriptions, with the reason."""
    return {phrase: reason for _, (phrase, reason) in read_table(PHRASES, 2)}


def check_descriptions(records):
    """Stops on a description that uses a parameter name its declaration does not have, a
    full written description that leaves a parameter out, Persian typography not applied,
    and a sentence repeated in more descriptions than desc.MAX_REPEATS (phrases.tsv lists
    the few allowed)."""
    # Besides its own declaration's, a description may name functions and the members
    # of any structure (bInheritHandle of a SECURITY_ATTRIBUTES passed As Any).
    known = set(records)
    for r in records.values():
        for block in (r.declaration or r.vba7).split(CRLF + CRLF)[:-1]:
            known.update(line.split()[0] for line in block.split(CRLF)[1:-1])
    repeats = collections.Counter()
    faults = []
    for name, r in records.items():
        text = r.description
        fault = desc.typography_fault(text)
        if fault:
            faults.append("%s: Persian typography (ZWNJ) not applied at %r" % (name, fault))
        declaration = r.declaration or r.vba7
        params = basic_parameter_names(declaration)
        if r.written:
            unknown = desc.unknown_parameter_names(text, declaration, known)
            if unknown:
                faults.append("%s (%s): names %s, not in its declaration" % (name, r.source, ", ".join(unknown)))
            # A name the parameter had before the metadata named it or its neighbours:
            # stale where the declaration has it no more, or has it for another parameter
            # while the text does not name this one by its new name.
            # A name made from the parameter's type (va_list) is no stale name of it.
            stale = [old for old in sorted(r.made) if old not in basic.ARGUMENT_LISTS and desc.names_word(text, old) and (
                old not in params or not desc.names_word(text, r.made[old]))]
            if stale:
                faults.append("%s (%s): names %s, now %s" % (
                    name, r.source, ", ".join(stale), ", ".join(r.made[old] for old in stale)))
            if text.count(CRLF) + 1 >= desc.FULL_LINES:
                missing = desc.unnamed_parameters(text, params)
                if missing:
                    faults.append("%s (%s): a full description that does not name %s" % (
                        name, r.source, ", ".join(missing)))
        repeats.update(set(desc.sentences(text)))
    allowed = read_phrases()
    over = [(n, s) for s, n in repeats.items() if n > desc.MAX_REPEATS and s not in allowed]
    if faults:
        sys.exit("%d descriptions to mend:\n%s" % (len(faults), "\n".join(faults)))
    if over:
        sys.exit("sentences in more than %d descriptions:\n%s" % (
            desc.MAX_REPEATS, "\n".join("%d %s" % x for x in sorted(over, reverse=True)[:20])))


TYPE_NAME = re.compile(r"^Private Type (\w+)", re.M)


def basic_parameter_names(declaration):
    line = declaration.split("\r\n")[-1]
    inside = line[line.index("(") + 1:line.rindex(")")]
    return [re.sub(r"^ByVal ", "", p).split(" As ")[0] for p in inside.split(", ") if p]


# Queries of the description search, the area each should find, and what they matched
# before the descriptions were written (10,457 functions, 7 December 2026): matches in
# the whole catalogue and in the area, the area as the rules draw it today. The
# catalogue's data test holds the thresholds.
SEARCH_QUERIES = [
    ("فايل", "فايل و پوشه", 10100, 630),
    ("پنجره", "پنجره ها", 104, 68),
    ("حافظه", "حافظه", 451, 42),
    ("رجيستري", "رجيستري", 13, 11),
    ("منو", "منو", 18, 16),
    ("فونت", "فونت", 13, 5),
    ("چاپ", "چاپ", 6, 4),
    ("کليپبورد", "کليپ بورد", 0, 0),
    ("سرويس", "سرويس ها", 7, 6),
    ("کنسول", "کنسول", 5, 4),
    ("آيکن", "آيکن و مکان نما", 8, 7),
    ("صدا", "صدا و چندرسانه اي", 1683, 60),
    ("زمان", "زمان", 30, 22),
]


def fold_for_search(text):
    """The description search's comparison form: lower case, one YEH, one KAF, no ZWNJ."""
    return text.lower().replace(desc.ZWNJ, "").replace("\u06cc", "\u064a").replace(
        "\u0649", "\u064a").replace("\u0643", "\u06a9")


def description_report(records):
    """REPORT.md's part on descriptions: written and full ones per library, and what the
    search queries match."""
    lines = []
    add = lines.append
    written = [r for r in records if r.written]
    full = [r for r in written if r.description.count(CRLF) + 1 >= desc.FULL_LINES]
    add("## Descriptions")
    add("")
    add("Written by hand: %d of %d functions (`curated.tsv` %d, `descriptions/*.tsv` %d, "
        "counting the W half of a pair that shares its plain name's text); full ones (%d lines "
        "or more, naming every parameter): %d. The others carry the tool's interim text: their "
        "parameters by name with what their types mean, and their result where its type says "
        "what it means." % (len(written), len(records), sum(r.source == "curated.tsv" for r in written),
                            sum(r.source != "curated.tsv" for r in written), desc.FULL_LINES, len(full)))
    add("")
    add("Described: %d of %d functions; full descriptions %d, %.1f%% of the catalogue. Glossary "
        "variants left: %d (`tools/catalogue/glossary.tsv`, %d terms; the generator stops on any)." % (
            sum(1 for r in records if r.description), len(records), len(full),
            100.0 * len(full) / len(records), descchecks.glossary_variants_left(records),
            len(descchecks.read_glossary())))
    add("")
    add("Texts written for the classic form that tell a Long (a Currency) variable for a parameter the "
        "VBA7 form passes `ByRef As LongPtr` (`As LongLong`), told \"%s\" (\"%s\") there: %d (the "
        "generator stops on any such type left untold)." % (
            descchecks.IN_VBA7.strip(), descchecks.IN_VBA7_LONGLONG.strip(),
            sum(getattr(r, "vba7_types_told", False) for r in records)))
    add("")
    add("| library | functions | written | full |")
    add("|---|---:|---:|---:|")
    libs = collections.Counter(r.library for r in records)
    w = collections.Counter(r.library for r in written)
    f = collections.Counter(r.library for r in full)
    for lib, n in sorted(libs.items(), key=lambda x: (-w[x[0]], -x[1], x[0])):
        if w[lib]:
            add("| %s | %d | %d | %d |" % (lib, n, w[lib], f[lib]))
    add("| (other libraries) | %d | 0 | 0 |" % sum(n for lib, n in libs.items() if not w[lib]))
    add("")
    add("Description search (the program folds YEH, KAF and ZWNJ the same way): functions "
        "matched in the whole catalogue and in the query's area, before the descriptions were "
        "written and now.")
    add("")
    add("| query | area | area size | before: all | before: area | now: all | now: area |")
    add("|---|---|---:|---:|---:|---:|---:|")
    folded = [(r, fold_for_search(r.description)) for r in records]
    for query, area, before_all, before_area in SEARCH_QUERIES:
        q = fold_for_search(query)
        hits = [r for r, text in folded if q in text]
        in_area = [r for r in records if area in r.areas]
        add("| %s | %s | %d | %d | %d | %d | %d |" % (
            query, area, len(in_area), before_all, before_area, len(hits),
            sum(1 for r in hits if area in r.areas)))
    add("")
    return lines


def write_catalogue(records):
    for old in os.listdir(OUT_DIR):
        if old.endswith(".tsv"):
            os.remove(os.path.join(OUT_DIR, old))
    by_letter = collections.OrderedDict()
    for r in records:
        by_letter.setdefault(r.name[0].lower(), []).append(r)
    for letter, group in by_letter.items():
        path = os.path.join(OUT_DIR, "api-%s.tsv" % letter)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write("# Written by tools/catalogue/gencatalogue.py: edit tools/catalogue/curated.tsv "
                    "or the tool, never this file.\n")
            for r in group:
                fields = [r.name, r.declaration, r.library, SEPARATOR.join(r.areas), r.description, r.vba7] + r.facts
                f.write("\t".join(escape(x) for x in fields) + "\n")


def write_prototypes(records):
    path = os.path.join(OUT_DIR, "prototypes.txt")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# The C prototype behind every catalogue function, as the headers give it, and the\n"
                "# export it calls. Written by tools/catalogue/gencatalogue.py; the catalogue's test\n"
                "# checks every declaration against it. Fields, separated by TAB:\n"
                "# name, export, library, argument bytes (the export's @N; \"-\" for a cdecl\n"
                "# export or one a 64-bit import library alone has, which only 64-bit VBA7\n"
                "# calls), C parameters,\n"
                "# Basic parameters (more than C's where a structure passed by value is split),\n"
                "# header, C prototype.\n")
        for r in records:
            f.write("\t".join([r.name, r.export, r.library, "-" if r.vba7_alone else str(r.stack), str(r.c_params),
                               str(r.basic_params), r.header, r.prototype]) + "\n")


def write_vba7_facts(records, forms, layouts):
    path = os.path.join(OUT_DIR, "vba7.txt")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# What the catalogue's test checks the VBA7 forms against. Written by\n"
                "# tools/catalogue/gencatalogue.py. Fields, separated by TAB:\n"
                "# F, name, the DLL whose 64-bit import library has the export, one letter a\n"
                "#    parameter and then one for the result: P where the value (or what it\n"
                "#    points to) is pointer-sized, so never Long, else \"-\"; 64 where\n"
                "#    Microsoft's metadata has the export in 64-bit Windows only, else \"-\";\n"
                "# T, Type name, sizeof on x86_64, then member=offsetof for each member that C\n"
                "#    names, as x86_64-w64-mingw32-gcc lays the structure out.\n")
        for r in records:
            form = forms.get(r.name)
            if form is not None:
                flags = "".join("P" if w else "-" for w in form.wide) + ("P" if form.wide_result else "-")
                f.write("\t".join(["F", r.name, form.lib, flags, "64" if r.only64 else "-"]) + "\n")
        for name in sorted(layouts):
            size, offsets = layouts[name]
            f.write("\t".join(["T", name, str(size)] + ["%s=%d" % m for m in offsets.items()]) + "\n")


def package_version(name):
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], capture_output=True,
                              text=True, check=False).stdout.strip() or "?"
    except OSError:
        return "?"


def input_versions():
    """Every input of the generator with its version: a rerun on the same inputs writes
    the same bytes (no date)."""
    v, commit = win32metadata.version()
    wine = package_version("libwine")
    return [
        "the 32-bit Windows headers and import libraries of mingw-w64 (Debian package "
        "mingw-w64-i686-dev %s), `/usr/i686-w64-mingw32`;" % package_version("mingw-w64-i686-dev"),
        "the 64-bit Windows headers and import libraries of mingw-w64 (Debian package "
        "mingw-w64-x86-64-dev %s), `/usr/x86_64-w64-mingw32`;" % package_version("mingw-w64-x86-64-dev"),
        "the compilers i686-w64-mingw32-gcc (gcc-mingw-w64-i686-win32 %s) and x86_64-w64-mingw32-gcc "
        "(gcc-mingw-w64-x86-64-win32 %s), which compute the constants and the 64-bit layouts again;" % (
            package_version("gcc-mingw-w64-i686-win32"), package_version("gcc-mingw-w64-x86-64-win32")),
        "libclang 14 through Debian's python3-clang-14 (%s; libclang1-14 %s);" % (
            package_version("python3-clang-14"), package_version("libclang1-14")),
        "Wine's export tables: %s;" % ("Debian package libwine %s" % wine if wine != "?" else "not installed"),
        "Wine's 32-bit import libraries (Debian package libwine-dev:i386 %s), "
        "`/usr/lib/i386-linux-gnu/wine/i386-windows`;" % package_version("libwine-dev:i386"),
        "Microsoft's Win32 metadata %s (the JSON rendering at commit %s), as far as the generator "
        "reads it: `tools/catalogue/win32metadata/functions.tsv.xz` (the functions' facts) and "
        "`api.json.xz` (parameters, constants, enums and types), MIT licence beside them;" % (v, commit),
        "the hand-written files `tools/catalogue/curated.tsv` (descriptions, and the areas and "
        "declarations chosen with them) and `tools/catalogue/overrides.tsv` (functions the headers "
        "make macros of).",
    ]


def sixty_four_bit_only(cat, libraries, called):
    """Exports that only the 64-bit import libraries have, for the catalogue's DLLs, and that
    no catalogue function calls."""
    if not os.path.isdir(LIB_DIR_64):
        return None
    wide = Exports(LIB_DIR_64)
    names = []
    for name, exports in wide.by_name.items():
        libs = {library_name(e.dll) for e in exports}
        if libs & libraries and name not in cat.exports.by_name and name not in called:
            names.append(name)
    return sorted(names)


def rule_sections(cat, records, entries):
    """What each rule of tools/README.md shapes, as (title, items) for the report."""
    import clang.cindex as ci
    from cparse import typedef_chain
    pointer_members, handle_refs, opaque = [], [], []
    for r in records:
        kept = sorted(t for t in checks.TYPE_BLOCK_NAMES.findall(r.declaration) if t in basic.POINTER_MEMBERS)
        if kept:
            pointer_members.append("%s (%s)" % (r.name, ", ".join(kept)))
        e = entries.get(r.name)
        if e is None or e.via:
            continue
        for p in e.params:
            chain = typedef_chain(p.ctype)
            c = p.ctype.get_canonical()
            if chain and re.match(r"^(LP|P)\w*HANDLE$", chain[0]) and c.kind == ci.TypeKind.POINTER \
                    and c.get_pointee().kind != ci.TypeKind.POINTER:
                handle_refs.append("%s(%s As %s)" % (r.name, p.name, p.btype))
            if p.kind == "handle" and basic.opaque_pointer(p.ctype) and not any(
                    n in basic.HANDLE_NAMES or basic._handle_like(n) for n in chain):
                opaque.append("%s(%s: %s)" % (r.name, p.name, chain[0]))
    documented = []
    for r in records:
        others = [lib for lib in cat.exports.libraries_of(r.export) if lib != r.library]
        if others and (r.export in DOCUMENTED or r.library in ("rpcrt4", "oledlg", "usp10", "shlwapi")) \
                and not set(others) <= {"shcore", "wsock32", "kernelbase"}:
            documented.append("%s: %s, not %s" % (r.name, r.library, ", ".join(others)))
    renamed = ["%s (Alias \"%s\")" % (r.name, r.export) for r in records
               if r.name.endswith("_") and r.name[:-1].lower() in basic.RESERVED]
    four = [r.name for r in records if entries.get(r.name) is not None
            and entries[r.name].fn.result.get_canonical().kind == ci.TypeKind.RECORD]
    msiquery = [r.name for r in records if r.header == "msiquery.h"]
    wide = ["%s (%s)" % (e.name, ", ".join(cat.wide_forms[e.fn.name])) for e in
            sorted(entries.values(), key=lambda e: e.name) if e.fn.name in cat.wide_forms and not e.via]
    return [
        ("`char *` members that are `Long` (pointer-members.tsv)", pointer_members),
        ("pointers to handles that are numbers or structures, `ByRef`", handle_refs),
        ("typedefs of `void *` passed as handles, `ByVal ... As Long`", opaque),
        ("library chosen as documented where several export the name", documented),
        ("functions named after a reserved word, renamed with `Alias`", renamed),
        ("structure results of 4 bytes, `As Long`", four),
        ("functions of msiquery.h", msiquery),
        ("W functions given the W form of a structure", wide),
    ]


def metadata_section(records, md, exports):
    """What Microsoft's metadata says of the catalogue's exports, for the report."""
    saved, exports.metadata = exports.metadata, None
    before = {r.name: exports.lookup(r.export) for r in records}
    exports.metadata = saved
    moved = collections.defaultdict(list)
    for r in records:
        old = library_name(before[r.name].dll) if before[r.name] is not None else r.library
        if old != r.library:
            moved[(old, r.library)].append(r.name)
    found = [(r, md.lookup(r.export, r.library)) for r in records]
    absent = [r for r, fn in found if fn is None]
    other = collections.Counter((r.library, win32metadata.library_of(fn.dll)) for r, fn in found
                                if fn is not None and win32metadata.library_of(fn.dll) != r.library)
    dlls = {win32metadata.library_of(fn.dll) for fns in md.by_name.values() for fn in fns}
    out = ["## Microsoft's metadata", "",
           "The metadata declares %d functions in %d DLLs. Of the catalogue's %d declarations, %d call an "
           "export that the metadata declares (%d in the DLL the declaration names, %d in another); %d "
           "call one it does not declare." % (
               sum(len(v) for v in md.by_name.values()), len(dlls), len(records), len(records) - len(absent),
               sum(1 for r, fn in found if fn is not None and win32metadata.library_of(fn.dll) == r.library),
               sum(other.values()), len(absent)), ""]
    if other:
        out += ["| the catalogue's DLL | the metadata's DLL | functions |", "|---|---|---:|"]
        out += ["| %s | %s | %d |" % (a, b, n) for (a, b), n in sorted(other.items(), key=lambda x: (-x[1], x[0]))]
        out.append("")
        out += ["Where the metadata's DLL is not an import library of mingw-w64 (the api-ms-win-* sets) "
                "or the library was chosen by hand (`DOCUMENTED` in `tools/catalogue/exports.py`), the "
                "declaration keeps its DLL.", ""]
    facts = [r.facts for r in records]
    first = collections.Counter(f[0] for f in facts if f[0])
    out += ["The API table's last three columns come from the metadata: the first Windows that has "
            "the function (%d functions; %s), whether Err.LastDllError tells why it failed (%d yes, %d no) "
            "and whether it is obsolete (%d, %d of them naming what replaces it); empty where the metadata "
            "does not declare the export." % (
                sum(first.values()), ", ".join("%s %d" % (w, first[w]) for w in sorted(first, key=lambda w: (
                    [v for _, v in win32metadata.WINDOWS].index(w)))),
                sum(f[1] == "1" for f in facts), sum(f[1] == "0" for f in facts),
                sum(bool(f[2]) for f in facts), sum(f[2] not in ("", "-") for f in facts)), ""]
    # The cdecl functions stand under "#If Win64" alone; the VBA7 forms section counts them.
    only64 = sorted(r.name for r in records if r.only64 and not r.vba7_alone)
    out += ["VBA7 forms whose export the metadata has in 64-bit Windows only, which a saved module puts "
            "under `#If Win64` with the classic form under `#Else` (%d): %s" % (len(only64), ", ".join(only64)), ""]
    out += ["### The DLL taken from the metadata (%d)" % sum(len(v) for v in moved.values()), "",
            "Where several DLLs export a name, the metadata's `DllImport` names the documented one. "
            "Declarations whose DLL it changed, from the DLL the generator chose before:", ""]
    for (a, b), names in sorted(moved.items(), key=lambda x: (-len(x[1]), x[0])):
        out += ["- %s to %s (%d): %s" % (a, b, len(names), ", ".join(sorted(names)))]
    out.append("")
    return out


def wine_section(records):
    """The comparison with Wine's export tables, for the report."""
    wine = winecheck.Wine()
    if not wine.installed():
        return ["Wine's DLLs were not installed when this was written: not compared."]
    listed = winecheck.read_list()
    _, missing = winecheck.check([(r.library, r.export) for r in records], wine, listed)
    by_category = collections.Counter(listed[m][0] for m in missing)
    elsewhere = collections.Counter(listed[m][1] for m in missing if listed[m][0] == winecheck.ELSEWHERE)
    out = ["Of %d declarations, %d name an export that the Wine DLL of their library lacks; every one "
           "is in `tools/catalogue/not-in-wine.tsv` with its reason:" % (len(records), len(missing)), ""]
    out += ["- %s: %d" % (c, by_category[c]) for c in winecheck.CATEGORIES]
    out += ["", "Where Wine keeps the functions of the `elsewhere` category:", ""]
    out += ["- %s: %d" % (why, n) for why, n in sorted(elsewhere.items(), key=lambda x: (-x[1], x[0]))]
    return out


def parameter_names_section(cat, records, entries):
    """How the parameters the headers leave unnamed were named: from the metadata
    (pnames.py), or after their type, and why."""
    reasons = collections.Counter()
    functions = collections.defaultdict(set)
    for r in records:
        e = entries.get(r.name)
        if e is None or r.hand:
            continue
        for reason in cat.named_by.get(e.fn.name, []):
            if reason:
                reasons[reason] += 1
                functions[reason].add(r.name)
    out = ["## Parameters the headers leave unnamed", "",
           "Where a header declares a parameter by its type alone, the declaration takes the name "
           "Microsoft's metadata gives it in the same export of the same DLL (for an A/W pair, each "
           "half's own export), if the metadata declares as many parameters; otherwise the tool makes "
           "one from the type (`value2`, `pvoid`, `lpcwstr2`). Counted over the declarations the tool "
           "writes (a name the macros of the headers give a function counts again):", "",
           "| | parameters | functions |", "|---|---:|---:|"]
    for reason in (pnames.FROM_METADATA, pnames.NO_ENTRY, pnames.AMBIGUOUS, pnames.COUNT_DIFFERS,
                   pnames.PLACEHOLDER_NAME):
        label = reason if reason == pnames.FROM_METADATA else "named after the type: " + reason
        out.append("| %s | %d | %d |" % (label, reasons[reason], len(functions[reason])))
    out.append("")
    return out


def write_report(cat, records, entries, wide):
    libraries = collections.Counter(r.library for r in records)
    area_count = collections.Counter(a for r in records for a in r.areas)
    lines = []
    add = lines.append
    add("# The catalogue: how it was made")
    add("")
    add("Written by `tools/catalogue/gencatalogue.py` from:")
    add("")
    for line in input_versions():
        add("- " + line)
    add("")
    add("Every function is exported under its name (or its `Alias`) by the library it names, as a "
        "stdcall export whose argument bytes (the `@N` of the import library's symbol) equal the bytes "
        "its Basic declaration passes; anything else was left out (below). The one exception: "
        "a function that is cdecl in 32 bits, which 32-bit Basic cannot call, has its VBA7 form "
        "alone, for 64-bit Office (x64 Windows has one calling convention); a saved module puts "
        "it under `#If Win64`. So has a function that Microsoft's metadata declares in a DLL "
        "whose 64-bit import library exports it and no 32-bit one does (of mingw-w64 or of "
        "Wine): nothing checks what 32-bit Windows would be passed. Where mingw-w64 has no "
        "32-bit import library of the name but Wine's has it as a stdcall export of the DLL the "
        "metadata names, Wine's `@N` is the argument bytes checked.")
    add("")
    add("## Totals")
    add("")
    add("| | |")
    add("|---|---|")
    add("| functions | %d |" % len(records))
    add("| libraries | %d |" % len(libraries))
    add("| areas of work | %d |" % len(area_count))
    add("| with a description written for it | %d |" % sum(r.written for r in records))
    add("| with the tool's interim text (parameters and result from the prototype) | %d |" % sum(not r.written for r in records))
    add("| ANSI functions under their plain name, with `Alias` of the A form | %d |" % sum(
        1 for r in records if r.export == r.name + "A"))
    add("| Unicode (W) forms | %d |" % sum(1 for r in records if r.name.endswith("W") and r.export == r.name))
    add("| declarations that carry `Type` blocks | %d |" % sum(1 for r in records if "End Type" in r.declaration))
    add("| structures with no faithful Basic layout (passed `As Any`) | %d |" % sum(
        1 for td in cat.mapper.types.values() if td is None))
    nullable = [(r.name, p.name) for r in records if not r.hand and r.name in entries
                for p in entries[r.name].params if p.may_be_null]
    add("| structures the metadata lets be NULL (`Optional`), passed `As Any` with their `Type` block | "
        "%d parameters in %d functions |" % (len(nullable), len({n for n, _ in nullable})))
    sized = [(r.name, p.name) for r in records if not r.hand and r.name in entries
             for p in entries[r.name].params if p.sized]
    add("| buffers whose size another parameter gives (`MemorySize`), passed `As Any` with their `Type` block | "
        "%d parameters in %d functions |" % (len(sized), len({n for n, _ in sized})))
    add("| with a VBA7 form (64-bit Office) | %d |" % wide["forms"])
    add("")
    lines.extend(parameter_names_section(cat, records, entries))
    add("## The VBA7 forms")
    add("")
    add("Typed again from the x86_64 headers (see `tools/catalogue/vba7.py`) and checked: "
        "%d exports found in the DLL each names in 64 bits (%s); %d Type blocks whose "
        "size and %d member offsets, as 64-bit VBA lays them out, equal what "
        "x86_64-w64-mingw32-gcc gives; %d parameters that are pointer-sized on x64 typed other "
        "than Long; both forms with the same parameters in the same order." % (
            wide["imports"], ", ".join("%d %s" % (n, {
                "mingw": "by mingw-w64's 64-bit import libraries",
                "wine": "by Wine's 64-bit ones alone",
                "metadata": "by Microsoft's metadata alone"}[k]) for k, n in sorted(
                    wide["witnessed"].items(), key=lambda x: ("mingw", "wine", "metadata").index(x[0]))),
            wide["types"], wide["offsets"], wide["params"]))
    add("")
    add("Calling in 64 bits the export that the headers name there rather than the 32-bit one "
        "(%d): %s" % (len(wide["redirected"]), ", ".join(wide["redirected"])))
    add("")
    wine = collections.Counter(r.library for r in records if r.wine_witness)
    add("Argument bytes witnessed by Wine's 32-bit import library, where mingw-w64 has no 32-bit "
        "one of the name (%d): %s" % (sum(wine.values()), ", ".join(
            "%s %d" % x for x in sorted(wine.items(), key=lambda x: (-x[1], x[0])))))
    add("")
    for key, what in (("cdecl", "cdecl in 32 bits"),
                      ("x86_64", "exported by a 64-bit import library only (the metadata's DLL)"),
                      ("metadata", "exported by no import library here, declared in its DLL by Microsoft's "
                       "metadata (whose DllImport is taken from the import libraries of Windows's SDK)")):
        joined = wide["alone"][key]
        add("%s, with the VBA7 form alone (%d): %s" % (what, sum(joined.values()), ", ".join(
            "%s %d" % x for x in sorted(joined.items(), key=lambda x: (-x[1], x[0])))))
        add("")
    add("Without a VBA7 form:")
    add("")
    for reason, names in sorted(wide["none"].items()):
        add("- %s (%d): %s" % (reason, len(names), ", ".join(sorted(names))))
    add("")
    add("## Functions per library")
    add("")
    add("| library | functions |")
    add("|---|---:|")
    for lib, n in sorted(libraries.items(), key=lambda x: (-x[1], x[0])):
        add("| %s | %d |" % (lib, n))
    add("")
    add("## Functions per area of work")
    add("")
    add("| area | functions |")
    add("|---|---:|")
    for a, n in sorted(area_count.items(), key=lambda x: (-x[1], x[0])):
        add("| %s | %d |" % (a, n))
    add("")
    lines.extend(description_report(records))
    add("## Left out, and why")
    add("")
    add("Functions declared in the headers read (see `HEADERS` in `tools/catalogue/cparse.py`) that "
        "are not in the catalogue:")
    add("")
    add("| reason | functions |")
    add("|---|---:|")
    kept_c_names = {r.prototype.split("(")[0].split()[-1] for r in records}
    left = collections.OrderedDict()
    for reason, names in cat.left_out.items():
        left[reason] = sorted(set(names) - kept_c_names)
    for reason, names in left.items():
        add("| %s | %d |" % (reason, len(names)))
    wide = sixty_four_bit_only(cat, set(libraries), {r.export for r in records})
    if wide is not None:
        add("| (not in the headers read as 32-bit) exports that only the 64-bit import libraries of these DLLs have | %d |" % len(wide))
    add("")
    for reason, names in left.items():
        add("### %s (%d)" % (reason, len(names)))
        add("")
        add(", ".join(names) if names else "none")
        add("")
    if wide:
        add("### 64-bit only exports (%d)" % len(wide))
        add("")
        add(", ".join(wide))
        add("")
    add("## What the rules that keep declarations callable shape")
    add("")
    add("The rules are written in `tools/README.md`; `tools/catalogue/checks.py` checks each.")
    add("")
    for title, items in rule_sections(cat, records, entries):
        add("### %s (%d)" % (title, len(items)))
        add("")
        add(", ".join(items) if items else "none")
        add("")
    lines.extend(metadata_section(records, cat.metadata, cat.exports))
    lines.extend(dllcheck.report_section(records, cat.metadata, dllcheck.read_list()))
    lines.extend(coverage.report(records, cat.coverage.joined, cat.metadata, cat.sources, cat.headers, cat.left_out))
    add("## Compared with Wine's export tables")
    add("")
    for line in wine_section(records):
        add(line)
    add("")
    add("## Structures passed `As Any`")
    add("")
    add("A structure whose C layout Basic cannot reproduce (Basic aligns members to at most 4 bytes, "
        "packs no bit fields and has no unions; padding members make up the difference where they "
        "can) is passed `As Any`; the caller builds the bytes. These structures:")
    add("")
    def shown(usr):
        name = usr.split("@")[-1]
        return name if name and not name.isdigit() else "(an anonymous structure)"

    failures = sorted({(cat.mapper.failures.get(usr, "?"), shown(usr))
                       for usr, td in cat.mapper.types.items() if td is None})
    by_reason = collections.OrderedDict()
    for reason, name in failures:
        key = re.sub(r"member \w+ ", "member ", reason)
        key = re.sub(r"\d+", "N", key)
        by_reason.setdefault(key, []).append(name)
    for reason, names in by_reason.items():
        add("- %s (%d): %s" % (reason, len(names), ", ".join(n for n in names if n)))
    add("")
    with open(os.path.join(OUT_DIR, "REPORT.md"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
