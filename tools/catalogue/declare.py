"""Reads a Basic Declare statement back: the checks that hand-written declarations pass
before they enter the catalogue, and that the catalogue's test repeats."""

import re

DECLARE = re.compile(
    r'^(?:Private |Public )?Declare (Function|Sub) ([A-Za-z][A-Za-z0-9_]*) Lib "([^"]+)"'
    r'(?: Alias "([^"]+)")? \((.*)\)(?: As ([A-Za-z][A-Za-z0-9_]*))?$')
PARAM = re.compile(r'^(Optional )?(ByVal |ByRef )?([A-Za-z][A-Za-z0-9_]*)(\(\))?(?: As ([A-Za-z][A-Za-z0-9_]*))?$')
INTRINSIC = {"Long", "Integer", "Byte", "String", "Any", "Currency", "Double", "Single",
             "Boolean", "Variant", "Object", "Date"}


class Declaration:
    def __init__(self, text):
        self.text = text
        line = text.split("\r\n")[-1]
        m = DECLARE.match(line)
        if not m:
            raise ValueError("not a Declare statement: " + line)
        self.kind, self.name, self.lib, self.alias, plist, self.result = m.groups()
        self.params = []
        if plist.strip():
            for part in plist.split(", "):
                pm = PARAM.match(part)
                if not pm:
                    raise ValueError("bad parameter: " + part)
                optional, how, name, array, btype = pm.groups()
                self.params.append((bool(how and how.startswith("ByVal")), name, btype or "Variant"))
        if (self.kind == "Sub") != (self.result is None):
            raise ValueError("Sub with a result or Function without one: " + line)
        self.type_blocks = text.split("\r\n")[:-1]

    @property
    def entry_name(self):
        return self.alias or self.name

    def stack_bytes(self):
        total = 0
        for byval, _, btype in self.params:
            if byval and btype in ("Currency", "Double"):
                total += 8
            elif byval and btype == "Variant":
                total += 16
            else:
                total += 4
        return total

    def used_types(self):
        return [t for _, _, t in self.params if t not in INTRINSIC]
