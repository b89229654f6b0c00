#pragma once

#include <QByteArrayView>

// The quick look at a file's first bytes that decides whether it is taken for an
// executable (exe, ocx, dll) before its content is searched.
namespace ExecutableTest {

// How many leading bytes the test reads at most.
inline constexpr qsizetype headerSize = 14;

// A file is taken for an executable when any one of these holds: "MZ" at offset 0, 0xFF
// at both 12 and 13, 'Z' at 2, 0x03 at 4, 0x04 at 8. A byte past the end of a short file
// matches nothing, so the empty file is not an executable. head is the file's start (it
// may be longer than the header).
bool isExecutable(QByteArrayView head);

} // namespace ExecutableTest
