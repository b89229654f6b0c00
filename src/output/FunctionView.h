#pragma once

#include <QString>

// What the function view shows: the three fields that saving, copying and printing hand
// on. They are read from the view as the user sees it (a formatted declaration keeps its
// line continuations), never from the catalogue.
struct FunctionView
{
    QString name;        // the caption of lblFunctionName
    QString declaration; // the text of txtFunction
    QString description; // the text of txtComment
    // While the VBA7 form is shown: the classic form, laid out as the shown one, which a
    // saved module carries beside it. Empty otherwise.
    QString classicDeclaration = {};
    // A function that has its VBA7 form alone (cdecl in 32 bits, which only 64-bit Basic
    // calls): that form, laid out as the shown one, which a saved module puts under
    // "#If Win64 Then" whichever form is shown. Empty otherwise.
    QString vba7OnlyDeclaration = {};
};
