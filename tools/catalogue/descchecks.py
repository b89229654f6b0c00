"""Checks on what the descriptions say, beyond their form (describe.py): one word for each
idea (glossary.tsv), every "NAME (value)" equal to the constant's value, no vbNullString
advised for a parameter declared ByVal ... As Long, and no parameter named after its type
where the metadata has a name. Each returns a list of faults, one line each."""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
GLOSSARY = os.path.join(HERE, "glossary.tsv")

PERSIAN_LETTER = "\u0621-\u064a\u067e\u0686\u0698\u06a9\u06af\u06c1\u06be"


def read_glossary(path=GLOSSARY):
    """[(term, [variants], idea)] from glossary.tsv (lines of four fields; # comments)."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip() and not line.startswith("#")]
    bad = [r for r in rows if len(r) != 4]
    if bad:
        raise SystemExit("glossary.tsv: %d fields instead of 4 in %r" % (len(bad[0]), bad[0][0]))
    return [(term, [v.strip() for v in variants.split("|") if v.strip()], idea) for term, variants, idea, _ in rows]


def _variant_pattern(variant):
    # A word of its own: no Persian letter right before or after it (a ZWNJ and a suffix
    # may follow: «پردازه‌اي»); a blank inside may be a ZWNJ.
    body = r"[ \u200c]".join(re.escape(w) for w in variant.split())
    return re.compile(r"(?<![%s\u200c])%s(?![%s])" % (PERSIAN_LETTER, body, PERSIAN_LETTER))


class Glossary:
    def __init__(self, path=GLOSSARY):
        self.entries = read_glossary(path)
        self.patterns = [(term, v, _variant_pattern(v)) for term, vs, _ in self.entries for v in vs]

    def variants_in(self, text):
        """[(variant, term)] for every variant the text holds."""
        return [(v, term) for term, v, p in self.patterns if p.search(text)]


def glossary_faults(records, glossary=None):
    glossary = glossary or Glossary()
    faults = []
    for r in records:
        for v, term in glossary.variants_in(r.description):
            faults.append("%s: «%s» where the glossary says «%s»" % (r.name, v, term))
    return faults


def glossary_variants_left(records, glossary=None):
    glossary = glossary or Glossary()
    return sum(len(glossary.variants_in(r.description)) for r in records)

# ---------------------------------------------------------------------------------------
# "NAME (value)"

_NUMBER = r"-?(?:&H[0-9A-Fa-f]+&?|0x[0-9A-Fa-f]+|[0-9]+)(?![0-9A-Za-z.])"
_NAME = r"[A-Z][A-Z0-9]*(?:_[A-Z0-9]+)*"
# "NAME (value)", "NAME برابر value", and a combination written as one:
# "A Or B (value)", where value is the names' values combined.
NAME_VALUE = re.compile(r"(?<![A-Za-z0-9_&])(%s(?:\s*(?:Or|\|)\s*%s)*)(?:\s*\((%s(?:\s*(?:Or|\||\+)\s*%s)*)\)|\s+برابر\s+(%s))"
                        % (_NAME, _NAME, _NUMBER, _NUMBER, _NUMBER))


def _number(text):
    text = text.strip().rstrip("&")
    neg = text.startswith("-")
    text = text.lstrip("-")
    if text.startswith("&H"):
        v = int(text[2:], 16)
    elif text.lower().startswith("0x"):
        v = int(text[2:], 16)
    else:
        v = int(text)
    return (-v if neg else v) & 0xFFFFFFFF


def written_value(text):
    """The 32-bit value a "(...)" writes: one number, or a combination of numbers joined
    by Or, | or + (the flags it combines)."""
    v = 0
    for part in re.split(r"\s*(?:Or|\||\+)\s*", text):
        v |= _number(part)
    return v


def const_value_faults(records, constants):
    """A "NAME (value)" whose value differs from the constant's (constants: name ->
    object with .long); names joined by Or stand for their values combined. A pair whose
    names the Const table lacks is not judged here."""
    faults = []
    for r in records:
        for m in NAME_VALUE.finditer(r.description):
            names = re.split(r"\s*(?:Or|\|)\s*", m.group(1))
            found = [constants.get(n) for n in names]
            if any(c is None for c in found):
                continue
            expected = 0
            for c in found:
                expected |= c.long & 0xFFFFFFFF
            written = m.group(2) if m.group(2) is not None else m.group(3)
            if written_value(written) != expected:
                faults.append("%s: %s (%s), the header gives %d (&H%X)" % (
                    r.name, m.group(1), written, expected - (1 << 32) if expected >= 1 << 31 else expected,
                    expected))
    return faults

# ---------------------------------------------------------------------------------------
# vbNullString for a ByVal ... As Long parameter


def _parameters(declaration):
    line = declaration.split("\r\n")[-1]
    inside = line[line.index("(") + 1:line.rindex(")")]
    return [(m.group(2), bool(m.group(1)) and m.group(3) == "Long")
            for m in re.finditer(r"(ByVal )?(\w+)(?:\(\))? As (\w+)", inside)]


def _word(name):
    return re.compile(r"(?<![A-Za-z0-9_])%s(?![A-Za-z0-9_])" % re.escape(name))


def _null_advice(text, declaration):
    """The places (offsets) where the text advises vbNullString for a parameter declared
    ByVal ... As Long, with that parameter: the parameter is the nearest one named before it
    on its line (else the first after it), unless a String parameter is named before it on
    the line ("lpBuffer و nSize: ... (vbNullString و صفر)" says it for the String)."""
    params = _parameters(declaration)
    kinds = {n: is_long for n, is_long in params}
    strings = {m.group(1) for m in re.finditer(r"ByVal (\w+) As String", declaration.split("\r\n")[-1])}
    out = []
    for m in re.finditer(r"vbNullString", text):
        start = max(text.rfind("\r\n", 0, m.start()) + 2, 0)
        end = text.find("\r\n", m.end())
        end = len(text) if end < 0 else end
        before, after = [], []
        for n in kinds:
            for w in _word(n).finditer(text, start, end):
                (before if w.start() < m.start() else after).append((w.start(), n))
        if any(n in strings for _, n in before):
            continue
        owner = max(before)[1] if before else (min(after)[1] if after else None)
        if owner is not None and kinds[owner]:
            out.append((m.start(), owner))
    return out


def null_string_faults(records):
    """A description advising vbNullString for a parameter its declaration passes ByVal
    ... As Long: Basic refuses the String (type mismatch); the null pointer there is 0&."""
    faults = []
    for r in records:
        if "vbNullString" not in r.description:
            continue
        for _, owner in _null_advice(r.description, r.declaration):
            faults.append("%s: vbNullString for %s, declared ByVal ... As Long" % (r.name, owner))
    return faults


def null_string_fix(text, declaration):
    """The text with vbNullString said as 0& where it is advised for a ByVal ... As Long
    parameter (the W half of a pair passes strings as StrPtr addresses)."""
    if "vbNullString" not in text:
        return text
    for at, _ in reversed(_null_advice(text, declaration)):
        if text[max(0, at - 6):at] == "ByVal ":
            text = text[:at - 6] + "0&" + text[at + len("vbNullString"):]
        else:
            text = text[:at] + "0&" + text[at + len("vbNullString"):]
    return text

# ---------------------------------------------------------------------------------------
# Advice to change the declaration into what it already is

# "اعلان را به As Any تغيير دهيد", "اعلان را As Any کنيد", "نيازمند تغيير به As Any": the
# text tells the reader to declare a parameter As Any.
TO_ANY = re.compile(r"اعلان[^.؛\r\n]{0,60}?As Any[^.؛\r\n]{0,25}?(?:کنيد|تغيير دهيد|بدل کنيد)"
                    r"|تغيير به As Any")


def stale_any_advice_faults(records):
    """A description line that tells the reader to make a parameter As Any which the
    declaration passes As Any already (a structure that may be NULL): the reader would
    look for a change to make and find none."""
    faults = []
    for r in records:
        if "As Any" not in r.description or not r.declaration:
            continue
        line = r.declaration.split("\r\n")[-1]
        as_any = set(re.findall(r"(?:\(|, )(\w+) As Any", line))
        for text in r.description.split("\r\n"):
            if TO_ANY.search(text):
                named = sorted(n for n in as_any if _word(n).search(text))
                if named:
                    faults.append("%s: tells the reader to make %s As Any, as declared already" % (
                        r.name, ", ".join(named)))
    return faults

# ---------------------------------------------------------------------------------------
# A Long (a Currency) variable for what VBA7 declares LongPtr (LongLong)

# Where a parameter's own part of a text begins: "name: " at the start of a line or after
# "؛ ", or "a و b: " for parameters told together.
_PART = re.compile(r"(?:^|(?<=؛ ))(\w+(?: و \w+)*): ", re.M)
# A Long said of the variable itself: "متغير Long", "آرايه Long", "آرايه‌اي از Long", "در اين
# Long", "ByRef As Long", a part that begins with it, or "(Long که ...)"; not "(Long)" after
# a member of a structure the parameter points to.
_LONG = re.compile(r"(?:(?<=متغير )|(?<=متغيرهاي )|(?<=آرايه )|(?<=آرايه\u200cاي از )|(?<=در اين )|(?<=اگر در )"
                   r"|(?<=ByRef As )|^)Long(?![A-Za-z0-9_])|(?<=\()Long(?![A-Za-z0-9_)])")
# A Currency in such a part is always the variable's (the classic form's stand-in for 64
# bits, its value the number divided by 10000).
_CURRENCY = re.compile(r"(?<![A-Za-z0-9_])Currency(?![A-Za-z0-9_])")
IN_VBA7 = " (در VBA7 از نوع LongPtr)"
IN_VBA7_LONGLONG = " (در VBA7 از نوع LongLong، که خود عدد را نگه مي\u200cدارد)"
# (the classic form's type, the VBA7 form's, the word told, where it is told of the
# variable, what follows it)
TOLD_IN_VBA7 = [("Long", "LongPtr", _LONG, IN_VBA7), ("Currency", "LongLong", _CURRENCY, IN_VBA7_LONGLONG)]


def _declared(declaration):
    """(ByVal, name, type) of each parameter of the declaration's first Declare line."""
    for line in declaration.split("\r\n"):
        if " Declare " in line and "(" in line:
            inside = line[line.index("(") + 1:line.rindex(")")]
            return [(bool(m.group(1)), m.group(2), m.group(3))
                    for m in re.finditer(r"(ByVal )?(\w+)(?:\(\))? As (\w+)", inside)]
    return []


def byref_changed(classic, vba7, classic_type, vba7_type):
    """The parameters passed by reference as classic_type in the classic form and as
    vba7_type in the VBA7 one: the variable handed to them must be of the VBA7 type in
    64-bit Office, or Basic refuses it (ByRef argument type mismatch)."""
    a, b = _declared(classic), _declared(vba7)
    if not a or len(a) != len(b):
        return set()
    return {pb[1] for pa, pb in zip(a, b)
            if not pa[0] and not pb[0] and pa[1] == pb[1] and pa[2] == classic_type and pb[2] == vba7_type}


def _told_parts(text, names, word, vba7_type, told):
    """(offset where the VBA7 type is to be told, parameter names) of each part of the text
    that tells `word` of the variable of one of the names, with no word of the VBA7 type.
    The offset is after the word, or after the parentheses it opens ("(Currency، ...)")."""
    out = []
    for line_start, line in _lines(text):
        starts = list(_PART.finditer(line))
        for k, m in enumerate(starts):
            named = set(m.group(1).split(" و "))
            if not named & names:
                continue
            body = line[m.end():starts[k + 1].start() if k + 1 < len(starts) else len(line)]
            first = told.search(body)
            if not first or vba7_type in body:
                continue
            at = first.end()
            if first.start() > 0 and body[first.start() - 1] == "(" and ")" in body[at:]:
                at = body.index(")", at) + 1
            out.append((line_start + m.end() + at, sorted(named & names)))
    return out


def _lines(text):
    at = 0
    for line in text.split("\r\n"):
        yield at, line
        at += len(line) + 2


def vba7_types_fix(text, classic, vba7):
    """The text with "(در VBA7 از نوع LongPtr)" after the Long it tells of a parameter that
    the VBA7 form passes by reference As LongPtr (a handle, a pointer that comes back), and
    the like after the Currency it tells of one passed As LongLong."""
    for classic_type, vba7_type, told, note in TOLD_IN_VBA7:
        names = byref_changed(classic, vba7, classic_type, vba7_type)
        for at, _ in reversed(_told_parts(text, names, classic_type, vba7_type, told) if names else []):
            text = text[:at] + note + text[at:]
    return text


def vba7_types_faults(records):
    """A part of a text that tells a Long (a Currency) variable for a parameter the VBA7
    form passes by reference As LongPtr (As LongLong), without a word of that type: 64-bit
    Office refuses the classic one."""
    faults = []
    for r in records:
        if not r.declaration or not r.vba7:
            continue
        for classic_type, vba7_type, told, _ in TOLD_IN_VBA7:
            names = byref_changed(r.declaration, r.vba7, classic_type, vba7_type)
            for _, named in _told_parts(r.description, names, classic_type, vba7_type, told) if names else []:
                faults.append("%s: %s told %s, which VBA7 declares ByRef As %s" % (
                    r.name, ", ".join(named), classic_type, vba7_type))
    return faults
