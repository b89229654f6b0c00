"""The note the W half of an A/W pair gets under the text written for its plain name: which
of its parameters take a string's address (StrPtr) where the ANSI form takes a String, said
with the pair's and the parameters' names so that no two pairs repeat one sentence. Nothing
where the declarations differ in no string (the W form differs only in its structures)."""

import re
import zlib


def _params(declaration):
    line = declaration.split("\r\n")[-1]
    inside = line[line.index("(") + 1:line.rindex(")")]
    out = []
    for p in inside.split(", "):
        if not p:
            continue
        m = re.match(r"(ByVal |ByRef )?(\w+)(?:\(\))? As (\w+)", p)
        if m:
            out.append((m.group(1) or "", m.group(2), m.group(3)))
    return out


def _join(names):
    if len(names) == 1:
        return names[0]
    return "، ".join(names[:-1]) + " و " + names[-1]


def string_parameters(plain_declaration, wide_declaration, wide_text=()):
    """The W form's parameters that are ByVal ... As Long where the plain form has a String,
    or As Any where the W form's parameter is UTF-16 text (wide_text: their names; rpcrt4's
    ANSI forms take their text as bytes, As Any, and it is sent ByVal s)."""
    a, w = _params(plain_declaration), _params(wide_declaration)
    if len(a) != len(w):
        return []
    return [pw[1] for pa, pw in zip(a, w)
            if (pa[2] == "String" or (pa[2] == "Any" and pw[1] in wide_text)) and pw[2] == "Long" and pw[0] == "ByVal "]


# Three ways of saying it, one picked by the pair's name (the same every run).
ONE = [
    "در اين شکل يونيکد، {p} نشاني رشته است: StrPtr متغير را بدهيد ({f} رشته ANSI مي‌گيرد)؛ هر نويسه دو بايت است.",
    "برخلاف {f} که رشته ANSI مي‌گيرد، اينجا {p} را با StrPtr بفرستيد؛ هر نويسه يونيکد دو بايت جا مي‌گيرد.",
    "{p} در اين شکل نشاني رشته‌اي يونيکد است، پس StrPtr متغير را بدهيد نه خود آن را ({f} همان را ANSI مي‌گيرد).",
]
MANY = [
    "در اين شکل يونيکد، {p} نشاني رشته‌اند: StrPtr هر متغير را بدهيد ({f} رشته ANSI مي‌گيرد)؛ هر نويسه دو بايت است.",
    "برخلاف {f} که رشته‌هاي ANSI مي‌گيرد، اينجا {p} را با StrPtr بفرستيد؛ هر نويسه يونيکد دو بايت جا مي‌گيرد.",
    "{p} در اين شکل نشاني رشته‌هاي يونيکدند، پس StrPtr متغيرها را بدهيد نه خود آنها را ({f} همان‌ها را ANSI مي‌گيرد).",
]


def unicode_note(plain_name, plain_declaration, wide_declaration, wide_text=()):
    names = string_parameters(plain_declaration, wide_declaration, wide_text)
    if not names:
        return None
    forms = ONE if len(names) == 1 else MANY
    return forms[zlib.crc32(plain_name.encode()) % len(forms)].format(p=_join(names), f=plain_name)
