#pragma once

#include "CatalogueRecord.h"

#include <QString>

#include <vector>

// The one shared, read-only snapshot of the catalogue table with a single current
// position. Positions are 1-based; EOF is the place after the last record and BOF the
// place before the first. Every walk over the catalogue moves this one cursor.
class Recordset
{
public:
    Recordset() = default;
    // vba7Column: the table has the sixth column, the VBA7 declarations.
    explicit Recordset(std::vector<CatalogueRecord> records, bool vba7Column = true);
    Q_DISABLE_COPY(Recordset)
    Recordset(Recordset &&) = default;
    Recordset &operator=(Recordset &&) = default;

    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // ADO's EOF and BOF; named so because EOF is a macro of the C library.
    bool atEOF() const;
    bool atBOF() const;

    // The 1-based ordinal of the current record; 0 at BOF, RecordCount()+1 at EOF.
    qsizetype AbsolutePosition() const { return m_position; }
    // Moves to the record with that ordinal; false (and no move) when out of range.
    bool setAbsolutePosition(qsizetype position);

    // Field of the current record; nullptr when the cursor is at BOF or EOF (reading
    // there fails) or the field number is out of range.
    const QString *field(int index) const;
    // The current record; nullptr at BOF or EOF.
    const CatalogueRecord *current() const;

    // Direct access for code that needs a record without moving the shared cursor.
    qsizetype RecordCount() const { return static_cast<qsizetype>(m_records.size()); }
    const CatalogueRecord &at(qsizetype position) const;

    // Whether the catalogue has the VBA7 declarations; an older one has five columns.
    bool hasVba7Column() const { return m_vba7Column; }

    void Close();
    bool isOpen() const { return m_open; }

    // Tells one snapshot from another: what is derived from a snapshot's records (such as
    // the search's folded descriptions) stays valid while this number is the same.
    quint64 snapshotId() const { return m_snapshotId; }

private:
    std::vector<CatalogueRecord> m_records;
    qsizetype m_position = 0;
    bool m_open = false;
    bool m_vba7Column = false;
    quint64 m_snapshotId = 0;
};
