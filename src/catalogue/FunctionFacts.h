#pragma once

#include "CatalogueRecord.h"

#include <QString>

// What a caller needs to know of a function beyond its declaration, as the catalogue's
// metadata columns say it, and which of its forms a saved module puts where.
namespace FunctionFacts {

// Whether the VBA7 form is for 64-bit Office only: it uses LongLong, which 32-bit VBA7
// lacks, or it calls another export than the classic form (GetWindowLongPtrA, which
// 32-bit Windows does not export), or there is no classic form (the function is cdecl in
// 32 bits, which only 64-bit Basic calls, or a 64-bit import library alone exports it), or
// one of its Type blocks, laid out by 32-bit
// VBA (LongPtr four bytes, members aligned to at most four), is not the classic form's
// layout, which is the 32-bit C one (its members aligned to eight bytes in 64 bits, a union
// taken as its 64-bit largest member). A saved module puts such a form under "#If Win64".
bool onlyIn64Bits(const QString &vba7, const QString &classic);

// Whether a Type block of vba7, laid out as 32-bit Basic lays it out, differs in size or
// member offsets from the Type of the same name in classic (or cannot be laid out).
bool typesDifferIn32Bits(const QString &vba7, const QString &classic);
bool onlyIn64Bits(const QString &vba7, const QString &classic);

// The one short Persian line shown under the declaration: the first Windows that has the
// function, whether Err.LastDllError tells why it failed, whether it is obsolete and what
// replaces it, and, while the VBA7 form is shown, that the form is for 64-bit Office only.
// Parts joined by "؛ "; empty where the catalogue says none of this.
QString note(const CatalogueRecord &record, bool vba7Shown);

} // namespace FunctionFacts
