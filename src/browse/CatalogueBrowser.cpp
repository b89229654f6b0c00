#include "CatalogueBrowser.h"

#include "find/ConstantFinder.h"

CatalogueBrowser::CatalogueBrowser(QObject *parent)
    : QObject(parent)
{
}

CatalogueBrowser::~CatalogueBrowser() = default;

void CatalogueBrowser::setRecordset(Recordset recordset)
{
    m_recordset = std::move(recordset);
    m_shownPosition = 0;
    emit catalogueChanged();
}

qint64 CatalogueBrowser::functionCount() const
{
    return m_recordset.isOpen() ? m_recordset.RecordCount() : 0;
}

void CatalogueBrowser::setConstants(std::optional<ConstantTable> constants)
{
    if (constants && !constants->constants.empty())
        m_constants = std::make_unique<ConstantFinder>(*constants);
    else
        m_constants.reset();
    emit catalogueChanged();
}

bool CatalogueBrowser::show(qsizetype position)
{
    if (position < 1 || position > m_recordset.RecordCount() || !m_recordset.isOpen())
        return false;
    m_shownPosition = position;
    emit functionShown(position);
    return true;
}

const CatalogueRecord *CatalogueBrowser::shownRecord() const
{
    return isFunctionShown() && m_shownPosition <= m_recordset.RecordCount() ? &m_recordset.at(m_shownPosition)
                                                                             : nullptr;
}

QString CatalogueBrowser::declaration(qsizetype position) const
{
    if (position < 1 || position > m_recordset.RecordCount())
        return QString();
    return m_recordset.at(position).declaration(vba7());
}
