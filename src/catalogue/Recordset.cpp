#include "Recordset.h"

#include <atomic>

namespace {

std::atomic<quint64> lastSnapshotId{0};

} // namespace

Recordset::Recordset(std::vector<CatalogueRecord> records, bool vba7Column)
    : m_records(std::move(records))
    , m_position(1)
    , m_open(true)
    , m_vba7Column(vba7Column)
    , m_snapshotId(++lastSnapshotId)
{
}

void Recordset::MoveFirst()
{
    // On an empty table the first record is the end: EOF, and nothing fails.
    m_position = 1;
}

void Recordset::MoveNext()
{
    if (m_position <= RecordCount())
        ++m_position;
}

void Recordset::MovePrevious()
{
    if (m_position > 0)
        --m_position;
}

void Recordset::MoveLast()
{
    m_position = m_records.empty() ? 1 : RecordCount();
}

bool Recordset::atEOF() const
{
    return m_position > RecordCount();
}

bool Recordset::atBOF() const
{
    return m_position < 1 || m_records.empty();
}

bool Recordset::setAbsolutePosition(qsizetype position)
{
    if (position < 1 || position > RecordCount())
        return false;
    m_position = position;
    return true;
}

const CatalogueRecord *Recordset::current() const
{
    if (!m_open || m_position < 1 || m_position > RecordCount())
        return nullptr;
    return &m_records[static_cast<size_t>(m_position - 1)];
}

const QString *Recordset::field(int index) const
{
    const CatalogueRecord *record = current();
    if (!record || index < 0 || index >= CatalogueRecord::fieldCount)
        return nullptr;
    return &(*record)[index];
}

const CatalogueRecord &Recordset::at(qsizetype position) const
{
    return m_records.at(static_cast<size_t>(position - 1));
}

void Recordset::Close()
{
    m_open = false;
    m_records.clear();
    m_records.shrink_to_fit();
    m_position = 0;
}
