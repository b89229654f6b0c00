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
};
