#!/usr/bin/env python3
"""Checks the #include lines of src/ against the layers that README.md draws.

README.md holds, in a fenced block after the line that says "includes only from", one
line per folder of src/: the folder, "->", and the folders it may include from. A file
may include from its own folder and from those; besides, no two folders may include each
other, and no unit (a header with its source files) may take part in an include circle.
Prints every fault and exits 1 when there is one; with --print, prints who includes whom.
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 and not sys.argv[1].startswith('-') else '.')
src = root / 'src'
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def drawn_layers():
    text = (root / 'README.md').read_text(encoding='utf-8')
    at = text.find('includes only from')
    block = re.search(r'```\n(.*?)```', text[at:], re.S) if at >= 0 else None
    if not block:
        sys.exit('README.md draws no layers ("includes only from" and a fenced block)')
    layers = {}
    for line in block.group(1).splitlines():
        if '->' in line:
            folder, below = line.split('->', 1)
            layers[folder.strip()] = set(below.split())
    return layers


def folder_of(path):
    return str(path.parent.relative_to(src))


def unit_of(path):
    return str(path.relative_to(src).with_suffix(''))


def main():
    layers = drawn_layers()
    faults = []
    folder_edges = {}
    unit_edges = {}
    files = sorted(p for p in src.rglob('*') if p.suffix in ('.h', '.cpp'))
    for path in files:
        folder = folder_of(path)
        if folder not in layers:
            faults.append(f'{path.relative_to(root)}: folder {folder} is not drawn in README.md')
            continue
        for name in include.findall(path.read_text(encoding='utf-8')):
            target = path.parent / name if '/' not in name else src / name
            if not target.exists():
                continue  # a generated file (moc) or one outside src/
            to_folder = folder_of(target)
            if to_folder != folder:
                folder_edges.setdefault(folder, set()).add(to_folder)
                if to_folder not in layers[folder]:
                    faults.append(f'{path.relative_to(root)}: includes {name} from {to_folder}, '
                                  f'which {folder} may not use')
            if unit_of(target) != unit_of(path):
                unit_edges.setdefault(unit_of(path), set()).add(unit_of(target))
    for a, targets in folder_edges.items():
        for b in targets:
            if a < b and a in folder_edges.get(b, ()):
                faults.append(f'{a} and {b} include each other')
    # Units in an include circle: depth-first search for a back edge.
    state = {}

    def visit(unit, trail):
        state[unit] = 1
        for other in sorted(unit_edges.get(unit, ())):
            if state.get(other) == 1:
                faults.append('include circle: ' + ' -> '.join(trail[trail.index(other):] + [unit, other]))
            elif other not in state:
                visit(other, trail + [unit])
        state[unit] = 2

    for unit in sorted(unit_edges):
        if unit not in state:
            visit(unit, [])
    if '--print' in sys.argv:
        for folder in sorted(folder_edges):
            print(f'{folder} -> {" ".join(sorted(folder_edges[folder]))}')
    for fault in faults:
        print(fault)
    return 1 if faults else 0


sys.exit(main())
