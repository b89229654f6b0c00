#pragma once

#include "PeImage.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Tells apart the catalogue names found in an executable: the functions its import table
// names (it calls them), the functions its export table names (it is their DLL), and the
// names whose bytes merely stand somewhere in it (a string, perhaps a name handed to
// GetProcAddress, perhaps nothing). A record is matched by the function its declaration
// calls: the name after Alias when it has one ("CreateFile" calls "CreateFileA").
class NameKinds
{
public:
    enum class Kind { Imported, Exported, String };
    struct Row
    {
        qsizetype index = 0;       // of the catalogue name; -1 for an import by ordinal
        Kind kind = Kind::String;
        QString dll;               // Imported: the DLL it comes from, as the file writes it
        bool otherLibrary = false; // Imported: from a DLL other than the catalogue's (where it names one)
        quint16 ordinal = 0;       // index -1: the ordinal the file imports from the DLL

        // What the row shows for an import by ordinal: "WS2_32.dll#23", the form the
        // linker's definition files and GetProcAddress's "#23" use.
        QString ordinalText() const { return dll + u'#' + QString::number(ordinal); }
    };

    NameKinds() = default;
    // The catalogue's names, declarations and libraries, in record order.
    NameKinds(const QStringList &names, const QStringList &declarations, const QStringList &libraries);

    // The rows of the found names (indices, as the scan gives them) and of the names the
    // tables hold: the imported ones, then the exported ones, then the rest, each group in
    // record order. An import by ordinal names no function (which function an ordinal
    // stands for is the DLL's own choice, and may change between its versions): it is a
    // row of its own, index -1, after the named imports, in table order, once for each
    // DLL and ordinal.
    QList<Row> group(const QList<qsizetype> &found, const PeImage::Tables &tables) const;
    qsizetype size() const { return m_libraries.size(); }

    // The library part of a DLL's name, for comparison: "KERNEL32.dll" and "kernel32" agree.
    static QString libraryKey(QStringView dll);

private:
    QHash<QByteArray, QList<qsizetype>> m_byEntryPoint;
    QStringList m_libraries; // as libraryKey gives them
};
