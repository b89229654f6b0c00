#!/usr/bin/env python3
"""Puts single faults into src/ one at a time and sees whether the test suite notices.

Each mutant is a file, the exact text to change (found exactly once), its replacement,
and what a user would see if the fault shipped. For each: apply, rebuild incrementally,
run the whole ctest suite (stopping at the first failure; the tests of the mutant's own
folder first), restore the file. A mutant the
suite fails on is killed; one it passes survives. A mutant whose text is no longer in the
file is reported as gone (the code changed under it), one that does not compile as
invalid; neither counts in the score.

    tools/mutate.py [--build DIR] [--only TEXT] [--list] [--report FILE]

The build folder (default build-mutate) is configured here with the program's libraries
shared, and programs not relinked when only a shared library changed, so that a changed
file rebuilds one library. The shipped catalogue is built again for every mutant (its
builder runs the catalogue code); a mutant that makes that build reject the catalogue is
killed by the build. The package tests are left out: an installed tree of shared
libraries does not start.

Slow (a build and a suite run per mutant): run by hand, not in CI.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent

# (file under src/, [(old, new), ...], what a user would see)
MUTANTS = [
    # catalogue
    ("catalogue/BasicLiteral.cpp",
     [("QString::number(static_cast<quint32>(value), 16).toUpper()", "QString::number(static_cast<quint32>(value), 16)")],
     "Const lines with lower-case hexadecimal (&Hff&)"),
    ("catalogue/BasicLiteral.cpp",
     [("(negative && magnitude > 0x80000000ULL)", "(negative && magnitude >= 0x80000000ULL)")],
     "-2147483648 is not a number the constants window can search for"),
    ("catalogue/BasicLiteral.cpp",
     [("static_cast<quint32>(*value) > 0xFFFFU)", "static_cast<quint32>(*value) >= 0xFFFFU)")],
     "&HFFFF in a Const line read as 65535 instead of Basic's -1"),
    ("catalogue/Recordset.cpp",
     [("    if (m_position > 0)\n        --m_position;", "    if (m_position > 1)\n        --m_position;")],
     "the day window's Previous on the first function never wraps to the last"),
    ("catalogue/Recordset.cpp",
     [("return m_position < 1 || m_records.empty();", "return m_position < 1;")],
     "an empty catalogue is not at its beginning"),
    ("catalogue/CatalogueTree.cpp",
     [("first >= u'a' && first <= u'z'", "first >= u'a' && first < u'z'")],
     "functions starting with z grouped under a lower-case letter"),
    ("catalogue/CatalogueTree.cpp",
     [("            return m_anyWorkAreas;", "            return true;")],
     "the Work root shows an expander with nothing under it"),
    ("catalogue/CatalogueTree.cpp",
     [("return c != 0 ? c < 0 : QString::compare(x, y, Qt::CaseSensitive) < 0;",
       "return c != 0 ? c > 0 : QString::compare(x, y, Qt::CaseSensitive) < 0;")],
     "groups of Latin names in reverse order"),
    ("catalogue/CatalogueTree.cpp",
     [("if (const int c = persianCollator().compare(x, y); c != 0)",
       "if (const int c = ((void)persianCollator(), QString::compare(x, y)); c != 0)")],
     "Persian work-area groups in code-point order instead of the alphabet's"),
    ("catalogue/DeclarationLayout.cpp",
     [('QStringLiteral(" _\\r\\n\\t\\t\\t")', 'QStringLiteral(" _\\n\\t\\t\\t")')],
     "formatted declarations broken with a bare LF, which a Basic IDE rejects"),
    ("catalogue/CatalogueStore.cpp",
     [("if (static_cast<qint64>(records.size()) >= limits.records)",
       "if (static_cast<qint64>(records.size()) > limits.records)")],
     "one record more than the limit is read"),
    # find
    ("find/CatalogueSearch.cpp",
     [("            *out++ = QChar(keheh);", "            *out++ = c;")],
     "a description search typed with Arabic KAF finds nothing"),
    ("find/CatalogueSearch.cpp",
     [("        case zeroWidthNonJoiner:\n            continue;", "        case 0xFEFF:\n            continue;")],
     "a search for a word without its non-joiner misses the descriptions that have it"),
    ("find/CatalogueSearch.cpp",
     [("return !fieldEmpty && (text.pattern().isEmpty()", "return ((void)fieldEmpty, true) && (text.pattern().isEmpty()")],
     "an empty search lists functions without a description"),
    ("find/CatalogueSearch.cpp",
     [("if (m_snapshotId != recordset.snapshotId() || m_count != recordset.RecordCount())",
       "if (m_count != recordset.RecordCount())")],
     "after another catalogue of the same size is opened, description search answers from the old one"),
    ("find/CatalogueSearch.cpp",
     [("std::vector<QString> &fields = m_prepared[byDescription ? 1 : 0];", "std::vector<QString> &fields = m_prepared[0];")],
     "after a name search, a description search looks in the names"),
    ("find/ExecutableTest.cpp",
     [("const bool mz = byteIs(0, 'M') && byteIs(1, 'Z');", "const bool mz = byteIs(0, 'M');")],
     "any file starting with M is taken for an executable"),
    ("find/ConstantFinder.cpp",
     [("c.name.contains(needle, Qt::CaseInsensitive)", "c.name.contains(needle, Qt::CaseSensitive)")],
     "constants typed in lower case are not found"),
    ("find/ConstantFinder.cpp",
     [("position != m_byName.cend() && !seen.contains(*position)", "position != m_byName.cend()")],
     "a constant a description names twice is listed twice"),
    # (A file shortened while analysed cannot be told apart: the next read comes back empty
    # and ends the pass anyway.)
    ("find/ExecutableAnalysis.cpp",
     [("::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)", "::fstat(file.get(), &status) != 0")],
     "a device such as /dev/zero chosen for analysis is read for ever"),
    # output
    ("output/ModuleExport.cpp",
     [("c == QLatin1Char('\\n') || c.isNull()", "c == QLatin1Char('\\n')")],
     "a NUL in a name ends the module's VB_Name early"),
    ("output/ModuleExport.cpp",
     [("name.replace(QLatin1Char('/'), QLatin1Char('_'));", "name.replace(QLatin1Char('\\\\'), QLatin1Char('_'));")],
     "a name with / offers a file name in a folder that is not there"),
    ("output/ModuleExport.cpp",
     [("if (c == QLatin1Char('\\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\\n'))",
       "if (c == QLatin1Char('\\r') && i + 1 < text.size())")],
     "a lone CR in a description eats the next character of the module"),
    ("output/ModuleExport.cpp",
     [("if (nameCharacterAt(declaration, at - 1) || nameCharacterAt(declaration, at + privateWord.size()))",
       "if (nameCharacterAt(declaration, at - 1))")],
     "a parameter named PrivateData becomes PublicData in the module"),
    ("output/ModuleExport.cpp",
     [('const bool only64 = vba7.contains(QStringLiteral("LongLong"));', "const bool only64 = false;")],
     "LongLong forms under #If VBA7, which 32-bit Office cannot compile"),
    ("output/ModuleExport.cpp",
     [("text += lineEnd + lineEnd + lineEnd + commentBlock", "text += lineEnd + lineEnd + commentBlock")],
     "one empty line too few before the description in a saved module"),
    ("output/ClipboardCopy.cpp",
     [("case declaration: return view.declaration;", "case declaration: return view.name;")],
     "Copy declaration puts the name on the clipboard"),
    ("output/ModuleFile.cpp",
     [("if (file.write(bytes) != bytes.size() || !file.flush()) {", "if (file.write(bytes) != bytes.size()) {")],
     "on a full disk a cut-off module replaces the old file and the save reports success"),
    ("output/ModuleFile.cpp",
     [("if (!QFileInfo(path).absoluteDir().exists())", "if (!QFileInfo(path).absoluteDir().exists() && false)")],
     "saving into a folder that is gone says access error instead of path not found"),
    # platform
    ("platform/Windows1256.cpp",
     [("            bytes.append('?');\n            ++i;", "            bytes.append('?');")],
     "a character beyond the BMP becomes two question marks in a module"),
    ("platform/Windows1256.cpp",
     [("return byte < 0x80 ? char16_t(byte)", "return byte <= 0x80 ? char16_t(byte)")],
     "byte 0x80 of a module read back as a control character instead of the euro sign"),
    ("platform/Twips.cpp",
     [("return static_cast<int>(std::lround(twips * dpi / perInch));",
       "return static_cast<int>(twips * dpi / perInch);")],
     "stored sizes shrink by a pixel at each start"),
    ("platform/Autostart.cpp",
     [("if (ch == QLatin1Char('%')) {", "if (ch == QLatin1Char('#')) {")],
     "a program path with % breaks the autostart entry"),
    ("platform/Autostart.cpp",
     [("if (!entry.exists() && !entry.isSymLink())", "if (!entry.exists())")],
     "disabling start with the system leaves a dangling link and reports success"),
    ("platform/Autostart.cpp",
     [("if (!target.isFile() || (target.size() > 0 && !isOwnEntry()))", "if (!target.isFile())")],
     "enabling start with the system overwrites the user's own file through a link"),
    ("platform/InstanceLock.cpp",
     [("return m_lock.tryLock(0) || (m_lock.removeStaleLockFile() && m_lock.tryLock(0));",
       "return m_lock.tryLock(0);")],
     "a damaged lock file nobody holds keeps Vorn from starting"),
    # settings
    # (Writing the marker first cannot be seen: the set is saved in one batch.)
    ("settings/FormSettings.cpp",
     [("    if (RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, key, formName, QString()) != formName)\n        return restored;\n", "")],
     "a window place cut off part-way (no marker after its numbers) is read as whole"),
    ("settings/FormSettings.cpp",
     [("width && *width > 0)", "width && *width >= 0)")],
     "a stored width of 0 restores an invisible window"),
    ("settings/FormGeometry.cpp",
     [("return a.left < b.right && b.left < a.right", "return a.left <= b.right && b.left < a.right")],
     "a window just off the right edge of the screen is left there"),
    ("settings/FormGeometry.cpp",
     [("fitted.width = std::min(geometry.width, area.width());", "fitted.width = geometry.width;")],
     "a stored window wider than the screen is not fitted"),
    ("settings/SettingText.cpp",
     [("return value != 0.0;", "return value > 0.0;")],
     "a setting stored as Basic's True (-1) reads as False"),
    ("settings/SettingText.cpp",
     [("value > 2160.0", "value > 21600.0")],
     "an absurd stored font size is accepted"),
    ("settings/RegKeys.cpp",
     [("return length < readBufferSize || (length == readBufferSize && holdsNul);",
       "return length <= readBufferSize || (length == readBufferSize && holdsNul);")],
     "a stored value one character too long for the read buffer is read"),
    ("settings/RegKeys.cpp",
     [("return !keys.isEmpty() && std::all_of(keys.begin(), keys.end()",
       "return !keys.isEmpty() && std::any_of(keys.begin(), keys.end()")],
     "a linked settings file holding the user's other settings is overwritten"),
    # ui
    ("ui/main/SearchPanel.cpp",
     [("if (key == Qt::Key_Return || key == Qt::Key_Enter) {", "if (key == Qt::Key_Return) {")],
     "the keypad's Enter in the search box does nothing"),
    ("ui/main/SearchPanel.cpp",
     [("&& !cboSearch->lineEdit()->hasSelectedText()) {", ") {")],
     "Ctrl+C on text selected in the search box copies the description instead"),
    ("ui/main/TextBox.cpp",
     [("        && textCursor().hasSelection()) {\n        event->accept();", ") {\n        event->accept();")],
     "Ctrl+C in a description box with nothing selected copies nothing"),
    ("ui/main/TextBox.cpp",
     [("    selected.remove(leftToRightIsolate);\n", "")],
     "copied description text carries invisible direction marks"),
    ("ui/main/AnalysePanel.cpp",
     [("if (current >= 0 && lstAnalyseApi->isRowSelected(current) && lstAnalyseApi->hasFocus()",
       "if (current >= 0 && lstAnalyseApi->hasFocus()")],
     "a second analysis shows a function the user never picked"),
    ("ui/main/StatusPanels.cpp",
     [("constexpr qsizetype shownLimit = 200;", "constexpr qsizetype shownLimit = 2000000;")],
     "a huge status text is laid out whole and freezes the window"),
    ("ui/main/PrintOut.cpp",
     [("if (top > 0 && top + height > page.height()) {", "if (top > 0 && top > page.height()) {")],
     "the last line of a full page printed past the bottom margin"),
    ("ui/windows/frmHelp.cpp",
     [("|| !file.isFile() || file.size() > largestHelpFile)", "|| !file.isFile())")],
     "a huge file in the help folder is read whole"),
    ("ui/windows/DayWalk.cpp",
     [("return static_cast<qint64>(scaled) + 1;", "return static_cast<qint64>(scaled);")],
     "the function of the day is never the last one, and position 0 is drawn"),
    ("ui/windows/DayWalk.cpp",
     [("    if (recordset.atBOF())\n        recordset.MoveLast();", "    if (recordset.atBOF())\n        recordset.MoveFirst();")],
     "Previous on the first function of the day stays on the first"),
    ("ui/controls/PropertyBag.cpp",
     [("|| *number > std::numeric_limits<qint32>::max())", "|| *number > std::numeric_limits<qint64>::max())")],
     "a stored integer above 2147483647 wraps to a negative size"),
    ("ui/controls/PropertyBag.cpp",
     [("        if (isDefault)\n            m_entries.removeAt(i);", "        if (false)\n            m_entries.removeAt(i);")],
     "setting a property back to its default keeps the old value"),
    ("ui/controls/ResizerGeometry.cpp",
     [("const qint64 half = (whole - m_state.separatorSize) / 2;", "const qint64 half = whole / 2;")],
     "the two panes overlap the separator when split in half"),
    ("ui/controls/ResizerGeometry.cpp",
     [("else if (extent > whole - minimum)", "else if (extent > whole)")],
     "a pane dragged to the edge crushes the other below its minimum"),
    ("ui/controls/CloseKeyState.cpp",
     [("return x >= 0 && x < width && y >= 0 && y < height;", "return x >= 0 && x <= width && y >= 0 && y <= height;")],
     "releasing the mouse just outside the close key still closes"),
    ("find/CatalogueSearch.cpp",
     [("folded.push_back(foldForDescription(description));", "folded.push_back(description.toLower());")],
     "the first description search after the search panel opens misses the spellings it should treat as one"),
    # the name scanner
    ("find/NameScanner.cpp",
     [("if (m_pending[static_cast<size_t>(node)] == 0 || next >= size)",
       "if (m_pending[static_cast<size_t>(node)] == 0 || next + 1 >= size)")],
     "a function whose name ends the file is not found in it"),
    ("find/NameScanner.cpp",
     [("m_tail = bytes.sliced(std::max<qsizetype>(ready, 0)).toByteArray();",
       "m_tail = bytes.sliced(std::max<qsizetype>(ready, 0) + (ready > 0 ? 1 : 0)).toByteArray();")],
     "a function name that stands across two pieces of a large file is not found"),
    ("find/NameScanner.cpp",
     [("reach |= ~std::uint64_t(0) << qCountTrailingZeroBits(endsNext) << 1;",
       "reach |= ~std::uint64_t(0) << qCountTrailingZeroBits(endsNext) << 2;")],
     "a long function name is missed where its last letters lie just past a stretch of 64 bytes"),
    ("find/NameScanner.cpp",
     [("if (--m_endingIn[last] == 0)", "if (--m_endingIn[last] < 65536)")],
     "once one function is found, the others ending in the same two letters are missed"),
    ("find/NameScanner.cpp",
     [("m_endsBeyondReach = m_endsBeyondReach || bytes.size() > 65;",
       "m_endsBeyondReach = m_endsBeyondReach || bytes.size() > 90;")],
     "a function name of 66 letters or more is missed where its last two letters stand nowhere near its start"),
    ("find/PairMarks.cpp",
     [("at[64] == at[0] && table[pairAt(at)] == 0", "at[64] == at[0]")],
     "a function name made of one letter repeated is missed inside a long run of that letter"),
    ("find/PairMarks.cpp",
     [("_mm_slli_epi16(flags, 6)", "_mm_slli_epi16(flags, 5)")],
     "the marking with vector instructions misreads which letter pairs end a name"),
    ("find/PairMarks.cpp",
     [("table[pairAt(quarter + 8 + i)]", "table[pairAt(quarter + 7 + i)]")],
     "the marking with vector instructions reads the second half of every 16 positions one early"),
]


def run(cmd, log, timeout=None):
    with open(log, "ab") as out:
        return subprocess.run(cmd, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode


def failed_tests(build):
    path = build / "Testing" / "Temporary" / "LastTestsFailed.log"
    try:
        return ",".join(line.split(":", 1)[-1].strip() for line in path.read_text().splitlines())
    except OSError:
        return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build-mutate", help="build folder (default build-mutate)")
    parser.add_argument("--only", default="", help="only mutants whose file contains this text, or these numbers (9,14)")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--report", help="also write the results, tab-separated, to this file")
    args = parser.parse_args()
    build = (ROOT / args.build).resolve()
    numbers = {int(n) for n in args.only.split(",")} if args.only.replace(",", "").isdigit() else None
    chosen = [(i + 1, m) for i, m in enumerate(MUTANTS)
              if (i + 1 in numbers if numbers is not None else args.only in "src/" + m[0])]
    if args.list:
        for number, (file, _, seen) in chosen:
            print(f"{number:3} src/{file}: {seen}")
        return 0

    log = build.parent / (build.name + ".log")
    log.unlink(missing_ok=True)
    env_note = os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    del env_note
    build.mkdir(exist_ok=True)
    if run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
            "-DVORN_SHARED_LIBS=ON", "-DCMAKE_LINK_DEPENDS_NO_SHARED=ON", "-DVORN_BUILD_BENCH=OFF"], log) != 0:
        sys.exit("cannot configure " + str(build) + ": see " + str(log))
    if run(["cmake", "--build", str(build), "-j2"], log) != 0:
        sys.exit("the unchanged tree does not build: see " + str(log))
    results = []
    for number, (file, edits, seen) in chosen:
        path = ROOT / "src" / file
        original = path.read_text(encoding="utf-8")
        mutated = original
        gone = False
        for old, new in edits:
            if mutated.count(old) != 1:
                gone = True
                break
            mutated = mutated.replace(old, new)
        if gone:
            results.append((number, file, "gone", "", seen))
            print(f"{number:3} gone      src/{file}: {seen}", flush=True)
            continue
        started = time.monotonic()
        try:
            path.write_text(mutated, encoding="utf-8")
            (build / "bin" / "API.mdb").unlink(missing_ok=True)
            before = log.stat().st_size
            if run(["cmake", "--build", str(build), "-j2"], log) != 0:
                with open(log, "rb") as out:
                    out.seek(before)
                    compiled = b"error:" not in out.read()
                outcome, by = ("killed", "build: the catalogue check") if compiled else ("invalid", "")
            else:
                # The tests of the mutant's own folder first (the likeliest to fail, so a
                # killed mutant costs little), then all the others.
                own = "^" + file.rsplit("/", 1)[0].replace("/", "_") + "_"
                code = 0
                for part in (["-R", own], ["-E", own]):
                    code = run(["ctest", "--test-dir", str(build), "-j2", "--stop-on-failure", "-LE", "system|package",
                                "--timeout", "120", "--no-tests=ignore"] + part, log)
                    if code != 0:
                        break
                outcome, by = ("killed", failed_tests(build)) if code != 0 else ("SURVIVED", "")
        finally:
            path.write_text(original, encoding="utf-8")
        results.append((number, file, outcome, by, seen))
        print(f"{number:3} {outcome:9} src/{file}: {seen} [{by}] {time.monotonic() - started:.0f} s", flush=True)
    run(["cmake", "--build", str(build), "-j2"], log)

    counted = [r for r in results if r[2] in ("killed", "SURVIVED")]
    killed = sum(1 for r in counted if r[2] == "killed")
    share = 100.0 * killed / len(counted) if counted else 0.0
    print(f"score: {killed} of {len(counted)} killed ({share:.1f}%); "
          f"{sum(1 for r in results if r[2] == 'gone')} gone, {sum(1 for r in results if r[2] == 'invalid')} invalid")
    if args.report:
        with open(args.report, "w", encoding="utf-8") as out:
            for r in results:
                out.write("\t".join(str(x) for x in r) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
