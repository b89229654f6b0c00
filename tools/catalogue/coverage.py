"""The functions of Microsoft's metadata that the headers of HEADERS (cparse.py) leave out:
more headers read, whose functions join the catalogue only where the metadata declares
them, with the same rules as the rest (a stdcall export whose argument bytes agree with the
prototype and the Basic declaration). What stays out is counted by reason for the report.

The headers here are parsed after the classic ones, in a pass of their own, so that they
change nothing the classic headers give: no function, no rename of a classic function and
no other name for a classic structure.
"""

import collections
import os
import re

from metadata import library_of

MINGW_INCLUDE = "/usr/i686-w64-mingw32/include"

# Headers of mingw-w64 that declare functions of the metadata (the DLL they are in, where
# the name says little). Each compiles without an error after windows.h and the classic
# headers; those that do not are in BROKEN.
HEADERS = [
    "esent.h", "p2p.h", "fwpmu.h", "mfapi.h", "msdrm.h", "mfidl.h", "stdio.h", "clfsw32.h",
    "rtutils.h", "winsplp.h", "wdsclientapi.h", "dsgetdc.h",
    "highlevelmonitorconfigurationapi.h", "physicalmonitorenumerationapi.h", "lmdfs.h",
    "mgm.h", "wmcontainer.h", "npapi.h", "winineti.h", "perflib.h", "nspapi.h",
    "wdstci.h", "davclnt.h", "prntvpt.h", "webauthn.h", "winber.h", "winnls32.h",
    "appmgmt.h", "madcapcl.h", "gpedit.h", "evr.h", "dmort.h",
    "slpublic.h", "tbs.h", "wincodec.h", "ws2spi.h", "xinput.h", "dmoreg.h",
    "mfreadwrite.h", "elscore.h", "schannel.h", "ntquery.h", "wct.h", "lmat.h",
    "errorrep.h", "dssec.h", "txfw32.h", "atacct.h", "cscapi.h",
]
# Read in a pass of their own after windows.h: they clash with a header read before them
# (MAPI's BOOKMARK is ODBC's too, of another size in 64 bits). The headers after the first
# of a group are those that declare the structures the layout checker names.
SEPARATE = [["windows.h", "wabutil.h"], ["windows.h", "mapiutil.h", "mapidefs.h", "mapix.h"]]

# Headers with functions of the metadata that are not read: mingw-w64's copy does not
# compile (types it never defines, or defines twice), so their prototypes would carry
# guessed types; or they are for drivers.
BROKEN = {
    "clusapi.h": "redefines CLUSTER_RESOURCE_STATE and HGROUP",
    "resapi.h": "includes clusapi.h",
    "dhcpsapi.h": "redefines DHCP_BINARY_DATA",
    "iscsidsc.h": "MAX_ISCSI_NAME_LEN undefined",
    "werapi.h": "HREPORT undefined",
    "ndfapi.h": "ndattrib.h's types undefined",
    "cryptxml.h": "members of type void",
    "evcoll.h": "EC_OBJECT_ARRAY_PROPERTY_HANDLE undefined",
    "prnasnot.h": "PrintAsyncNotificationType undefined",
    "qos2.h": "QOS_FLOWID undefined",
    "mschapp.h": "ENCRYPTED_LM_OWF_PASSWORD undefined",
    "eappapis.h": "EapHostPeerMethodResult undefined",
    "eaphostpeerconfigapis.h": "IXMLDOMDocument2 undefined",
    "clfsmgmtw32.h": "CLFS_LSN undefined",
    "dhcpv6csdk.h": "Dhcpv6RenewPrefix declared twice",
    "wsdutil.h": "to be read through wsdapi.h only",
    "winddi.h": "compiles, but declares what display drivers (kernel mode) call",
}

# The one-line description of a function that joined the catalogue this way, until one is
# written for it: it says what is known, and nothing is made up.
PLACEHOLDER = "\u062a\u0648\u0636\u064a\u062d \u0627\u064a\u0646 \u062a\u0627\u0628\u0639 \u0647\u0646\u0648\u0632 \u0646\u0648\u0634\u062a\u0647 \u0646\u0634\u062f\u0647 \u0627\u0633\u062a."


def parse(headers, target="i686-w64-mingw32"):
    """Reads HEADERS and SEPARATE into headers (a cparse.Headers that has read the classic
    headers already); returns the names of the functions they add. Renames (macros) that
    lead to a classic function and new typedef names of classic structures are dropped."""
    before = set(headers.functions)
    macros = dict(headers.macros)
    record_names = {usr: set(names) for usr, names in headers.record_names.items()}
    headers.parse(["windows.h"] + HEADERS, target=target)
    for group in SEPARATE:
        headers.parse(group, target=target)
    for name in list(headers.macros):
        if name in macros:
            continue
        target_name = headers.macros[name]
        if target_name in before:
            del headers.macros[name]
    for usr, names in record_names.items():
        headers.record_names[usr] = names
    return set(headers.functions) - before


class Coverage:
    """Which of the functions the extra headers add may join, and why the rest stay out."""

    def __init__(self, metadata, added):
        self.metadata = metadata
        self.added = added          # C names the extra headers declare
        self.joined = set()         # C names admitted (before the classic rules run)

    def admits(self, name, library):
        """A function of the extra headers joins when the metadata declares it in the DLL
        chosen for it."""
        if name not in self.added:
            return True
        found = self.metadata.by_name.get(name, [])
        if not any(library_of(fn.dll) == library for fn in found):
            return False
        self.joined.add(name)
        return True


def left_out(metadata, records, exports, headers, cat_left_out):
    """The metadata's functions the catalogue lacks, counted by reason: {reason: [names]}."""
    have = {r.export for r in records}
    in_headers = set(headers.functions)
    unread = set()
    for header in BROKEN:
        with open(os.path.join(MINGW_INCLUDE, header), encoding="utf-8", errors="replace") as f:
            unread.update(re.findall(r"\b([A-Za-z_]\w*)\s*\(", f.read()))
    why_of = {}
    for reason, names in cat_left_out.items():
        for n in names:
            why_of.setdefault(n, reason)
    out = collections.OrderedDict()
    for name in sorted(metadata.by_name):
        if name in have:
            continue
        fns = metadata.by_name[name]
        if all(fn.sixty_four_bit_only for fn in fns):
            reason = "exists in 64-bit Windows only"
        elif name not in exports.by_name:
            reason = "no 32-bit import library of mingw-w64 exports it"
        elif name in why_of:
            reason = why_of[name]
        elif name in in_headers:
            reason = "declared in the headers, not in the metadata's DLL"
        elif name in unread:
            reason = "declared in a header not read (below)"
        else:
            reason = "not declared in the headers read (the metadata's own types not yet used)"
        out.setdefault(reason, []).append(name)
    return out


def report(records, added_names, metadata, exports, headers, cat_left_out):
    """The report's section: counts by DLL before (the classic headers) and after, and the
    metadata's functions left out by reason."""
    after = collections.Counter(r.library for r in records)
    new = collections.Counter(r.library for r in records if r.coverage)
    lines = ["## Functions of Microsoft's metadata that the classic headers leave out", "",
             "`tools/catalogue/coverage.py` reads %d more headers of mingw-w64; a function they "
             "declare joins where the metadata declares it in the DLL whose 32-bit import library "
             "exports it, by the same rules as the rest. %d functions joined; each has the one-line "
             "placeholder description until one is written (%d)." % (
                 len(HEADERS) + sum(len(g) - 1 for g in SEPARATE), sum(new.values()),
                 sum(r.description == PLACEHOLDER for r in records)), "",
             "| library | before | after |", "|---|---:|---:|"]
    for lib in sorted(after, key=lambda l: (-new[l], l)):
        if new[lib]:
            lines.append("| %s | %d | %d |" % (lib, after[lib] - new[lib], after[lib]))
    lines.append("")
    lines += ["Headers of mingw-w64 with functions of the metadata, not read:", ""]
    lines += ["- %s: %s" % (h, why) for h, why in sorted(BROKEN.items())]
    lines.append("")
    missing = left_out(metadata, records, exports, headers, cat_left_out)
    lines += ["### The metadata's functions not in the catalogue, by reason (%d)" % sum(
        len(v) for v in missing.values()), "", "| reason | functions |", "|---|---:|"]
    for reason, names in sorted(missing.items(), key=lambda x: (-len(x[1]), x[0])):
        lines.append("| %s | %d |" % (reason, len(names)))
    lines.append("")
    by_dll = collections.defaultdict(collections.Counter)
    for reason, names in missing.items():
        for n in names:
            by_dll[library_of(metadata.by_name[n][0].dll)][reason] += 1
    lines += ["By the metadata's DLL, the 40 with the most, and why:", ""]
    for dll, reasons in sorted(by_dll.items(), key=lambda x: (-sum(x[1].values()), x[0]))[:40]:
        lines.append("- %s %d: %s" % (dll, sum(reasons.values()), "; ".join(
            "%s %d" % (r, n) for r, n in sorted(reasons.items(), key=lambda x: (-x[1], x[0])))))
    lines.append("")
    return lines
