#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct CatalogueRecord;
struct Constant;

// One Basic module of several functions and constants, as the pick list and "vorn
// --module" make it: each Type once, ahead of every Type and declaration that uses it,
// the constants family by family, in the form the user chose. Every line ends in CR LF;
// the file is written in Windows-1256, as a saved function is.
namespace PickModule {

inline const QString defaultName = QStringLiteral("ApiDeclarations");

enum class Form { Classic, Vba7, Both };

struct Options
{
    QString name = defaultName;
    Form form = Form::Classic;
    bool isPrivate = false; // Private declarations, for a form or class module; else Public
    bool comments = false;  // each function's description (a constant's meaning) as comments
};

// Whether a Basic IDE takes the name for a module: a letter, then letters, digits and
// "_", at most 31 characters, and no word of the language.
bool isModuleName(const QString &name);

struct Module
{
    QString text;
    // A Type that two functions declare differently ("RECT: GetA, GetB"): a module
    // holding both would not compile, so text stays empty.
    QStringList conflicts;
};

// The module of the functions and constants, in the order given; one given twice counts once.
Module build(const std::vector<const CatalogueRecord *> &functions, const std::vector<const Constant *> &constants,
             const Options &options);

// The module's text as the bytes of the file.
QByteArray bytes(const Module &module);

} // namespace PickModule
