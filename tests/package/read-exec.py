#!/usr/bin/env python3
"""Reads the Exec lines of a desktop entry back as a launcher does (the escapes of a
string value first, then the quoting of arguments, and %% as a plain %) and prints each
line's arguments as a JSON list, one line per Exec line.

Usage: read-exec.py ENTRY
"""
import json
import sys


def unescape_string(value: str) -> str:
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    out, i = [], 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value):
            out.append(escapes.get(value[i + 1], "\\" + value[i + 1]))
            i += 2
        else:
            out.append(value[i])
            i += 1
    return "".join(out)


def split_arguments(line: str) -> list:
    args, current, quoted, started = [], [], False, False
    i = 0
    while i < len(line):
        c = line[i]
        if quoted:
            if c == "\\" and i + 1 < len(line) and line[i + 1] in '"`$\\':
                current.append(line[i + 1])
                i += 1
            elif c == '"':
                quoted = False
            else:
                current.append(c)
        elif c == '"':
            quoted = started = True
        elif c == " ":
            if started or current:
                args.append("".join(current))
            current, started = [], False
        else:
            current.append(c)
        i += 1
    if quoted:
        raise ValueError("an Exec line ends inside quotes")
    if started or current:
        args.append("".join(current))
    return [expand_percent(a) for a in args]


def expand_percent(argument: str) -> str:
    # %% is a plain %; any other % starts a field code, which the launcher would replace
    # with file names or drop: where a path was meant, that is a fault.
    out, i = [], 0
    while i < len(argument):
        if argument[i] == "%":
            if argument[i + 1:i + 2] != "%":
                raise ValueError(f"a field code %{argument[i + 1:i + 2]} in {argument!r}")
            out.append("%")
            i += 2
        else:
            out.append(argument[i])
            i += 1
    return "".join(out)


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as entry:
        for line in entry.read().splitlines():
            if line.startswith("Exec="):
                print(json.dumps(split_arguments(unescape_string(line[len("Exec="):]))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
