#include "PickCatalogue.h"

#include "catalogue/ConstantTable.h"
#include "catalogue/Recordset.h"

void PickCatalogue::Index::insert(const QString &name, qsizetype at)
{
    if (exact.contains(name))
        return;
    exact.insert(name, at);
    const QString small = name.toLower();
    const auto known = folded.constFind(small);
    folded.insert(small, known == folded.cend() ? at : -1);
}

qsizetype PickCatalogue::Index::find(const QString &name) const
{
    const auto at = exact.constFind(name);
    return at != exact.cend() ? *at : folded.value(name.toLower(), -1);
}

PickCatalogue::PickCatalogue(const Recordset &recordset, const ConstantTable *constants)
    : m_recordset(recordset)
    , m_constants(constants)
{
    for (qsizetype position = 1; position <= recordset.RecordCount(); ++position)
        m_functions.insert(recordset.at(position)[CatalogueRecord::FunctionName], position);
    if (!constants)
        return;
    for (size_t i = 0; i < constants->constants.size(); ++i) {
        m_constantNames.insert(constants->constants[i].name, static_cast<qsizetype>(i));
        m_families.insert(constants->constants[i].family, static_cast<qsizetype>(i));
    }
}

qsizetype PickCatalogue::functionPosition(const QString &name) const
{
    return std::max<qsizetype>(m_functions.find(name), 0);
}

const CatalogueRecord *PickCatalogue::function(const QString &name) const
{
    const qsizetype position = functionPosition(name);
    return position > 0 ? &m_recordset.at(position) : nullptr;
}

const Constant *PickCatalogue::constant(const QString &name) const
{
    const qsizetype at = m_constantNames.find(name);
    return at >= 0 ? &m_constants->constants[static_cast<size_t>(at)] : nullptr;
}

std::vector<const Constant *> PickCatalogue::family(const QString &name) const
{
    std::vector<const Constant *> members;
    const qsizetype first = m_families.find(name);
    if (first < 0)
        return members;
    const QString &family = m_constants->constants[static_cast<size_t>(first)].family;
    for (size_t i = static_cast<size_t>(first); i < m_constants->constants.size(); ++i) {
        if (m_constants->constants[i].family == family)
            members.push_back(&m_constants->constants[i]);
    }
    return members;
}
