#!/usr/bin/python3
"""Every declaration calls its export in the DLL that Microsoft's metadata declares it in,
or is in metadata-dlls.tsv with the reason it does not. The generator writes, for every
export the catalogue calls, the metadata's DLLs into data/catalogue/dlls.txt (the
catalogue's test reads them beside prototypes.txt) and stops on a declaration that breaks
the rule. Run alone, it checks a data folder (data/catalogue by default) against the
metadata itself, not against its dlls.txt:

    /usr/bin/python3 tools/catalogue/dllcheck.py [data folder]
    /usr/bin/python3 tools/catalogue/dllcheck.py --draft     # lines for unlisted pairs
"""

import collections
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from metadata import Metadata, library_of  # noqa: E402
import winecheck  # noqa: E402

LIST = os.path.join(HERE, "metadata-dlls.tsv")
DATA = os.path.join(os.path.dirname(os.path.dirname(HERE)), "data", "catalogue")
FACTS = "dlls.txt"

# The categories of metadata-dlls.tsv.
OTHER_DLL = "other-dll"      # the metadata declares the export in another DLL
ABSENT = "not-in-metadata"   # the metadata does not declare the export at all
CATEGORIES = (OTHER_DLL, ABSENT)


def read_list(path=LIST):
    """{(library, export): (category, reason)}; stops on a malformed line."""
    return winecheck.read_list(path, CATEGORIES)


def metadata_dlls(md, export):
    """The Lib names of the DLLs the metadata declares the export in, sorted; () if none."""
    return tuple(md.libraries(export))


def check(rows, listed):
    """Problems with the rows (library, export, the metadata's DLLs): a library that is not
    the metadata's and not listed, a listed pair in the wrong category or that the metadata
    now agrees with, a listed pair the catalogue no longer calls."""
    problems = []
    for lib, export, dlls in sorted(set(rows)):
        entry = listed.get((lib, export))
        if lib in dlls:
            if entry is not None:
                problems.append("%s!%s: the metadata declares it in %s; remove it from metadata-dlls.tsv" % (
                    lib, export, lib))
            continue
        category = OTHER_DLL if dlls else ABSENT
        if entry is None:
            problems.append("%s!%s: %s, and not in metadata-dlls.tsv" % (
                lib, export, "the metadata declares it in " + ", ".join(dlls) if dlls else "the metadata lacks it"))
        elif entry[0] != category:
            problems.append("%s!%s: listed as %s, but it is %s" % (lib, export, entry[0], category))
    called = {(lib, export) for lib, export, _ in rows}
    for key in sorted(set(listed) - called):
        problems.append("%s!%s: in metadata-dlls.tsv but not in the catalogue" % key)
    return problems


def write_facts(out_dir, records, md):
    """data/catalogue/dlls.txt: every export the catalogue calls and the metadata's DLLs."""
    exports = sorted({r.export for r in records})
    with open(os.path.join(out_dir, FACTS), "w", encoding="utf-8", newline="\n") as f:
        f.write("# The DLLs that Microsoft's metadata declares each export of the catalogue in, for\n"
                "# the catalogue's test: a declaration's library is one of them, or the pair is in\n"
                "# tools/catalogue/metadata-dlls.tsv with its reason. Written by\n"
                "# tools/catalogue/gencatalogue.py. Fields, separated by TAB: export, the DLLs\n"
                "# (Lib names, separated by \",\"), \"-\" where the metadata lacks the export.\n")
        for e in exports:
            f.write("%s\t%s\n" % (e, ",".join(metadata_dlls(md, e)) or "-"))


def report_section(records, md, listed):
    """The exceptions, for REPORT.md."""
    pairs = sorted({(r.library, r.export) for r in records if r.library not in metadata_dlls(md, r.export)})
    other = [p for p in pairs if metadata_dlls(md, p[1])]
    absent = [p for p in pairs if not metadata_dlls(md, p[1])]
    out = ["### Declarations not in the metadata's DLL (%d exports)" % len(pairs), "",
           "Every declaration calls its export in a DLL the metadata declares it in, except these, each "
           "listed with its reason in `tools/catalogue/metadata-dlls.tsv` (the generator and the "
           "catalogue's test stop on any other).", "",
           "In another DLL than the metadata's (%d):" % len(other), ""]
    out += ["- %s!%s (the metadata: %s): %s" % (lib, e, ", ".join(metadata_dlls(md, e)), listed[(lib, e)][1])
            for lib, e in other if (lib, e) in listed]
    out += ["", "Exports the metadata does not declare (%d), by library and reason:" % len(absent), ""]
    groups = collections.defaultdict(list)
    for lib, e in absent:
        if (lib, e) in listed:
            groups[(lib, listed[(lib, e)][1])].append(e)
    out += ["| library | exports | reason | exports (more than 60: see the list) |", "|---|---:|---|---|"]
    for (lib, reason), names in sorted(groups.items(), key=lambda x: (-len(x[1]), x[0])):
        out.append("| %s | %d | %s | %s |" % (lib, len(names), reason, ", ".join(names) if len(names) <= 60 else "..."))
    out.append("")
    return out


def committed_rows(data=DATA, md=None):
    """(library, export, the metadata's DLLs) of each function of a data folder's
    prototypes.txt, the DLLs read from the metadata itself."""
    md = md or Metadata()
    rows = []
    with open(os.path.join(data, "prototypes.txt"), encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#") and line.strip():
                p = line.rstrip("\n").split("\t")
                rows.append((p[2], p[1], metadata_dlls(md, p[1])))
    return rows


def draft(rows, listed):
    """Proposed lines for pairs not yet listed, from what the import libraries and the
    metadata show; each is for a person to check before it goes in."""
    from exports import Exports
    exports = Exports()
    md = Metadata()
    per_dll = collections.Counter(library_of(fn.dll) for fns in md.by_name.values() for fn in fns)
    for lib, export, dlls in sorted(set(rows)):
        if lib in dlls or (lib, export) in listed:
            continue
        if dlls:
            named = ", ".join(d + (".dll" if "." not in d else "") for d in dlls)
            if all(d.startswith("api-ms-") for d in dlls):
                why = "the metadata names the API set %s; %s exports the name (its i686 import library)" % (named, lib)
            elif not any(d in exports.libraries for d in dlls):
                why = "the metadata names %s, which has no import library in mingw-w64; %s exports the name" % (named, lib)
            else:
                why = "the metadata names %s, whose i686 import library lacks the name; %s's has it" % (named, lib)
            print("\t".join([lib, export, OTHER_DLL, why]))
            continue
        if md.libraries("K32" + export) == ["kernel32"]:
            why = "the metadata declares it only under kernel32's name for it, K32 in front; %s exports the name" % lib
        elif per_dll[lib] == 0:
            why = "the metadata declares no function of %s; its i686 import library exports the name" % lib
        else:
            why = "the metadata declares other functions of %s, not this one; its i686 import library exports it" % lib
        print("\t".join([lib, export, ABSENT, why]))


def main(argv):
    if argv[1:] == ["--draft"]:
        draft(committed_rows(), read_list())
        return 0
    data = argv[1] if len(argv) > 1 else DATA
    problems = check(committed_rows(data), read_list())
    for p in problems[:int(os.environ.get("VORN_CHECKS_SHOWN", "20"))]:
        print("    " + p)
    print("%d declarations not in the metadata's DLL nor listed, or stale entries" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
