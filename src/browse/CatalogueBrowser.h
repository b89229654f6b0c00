#pragma once

#include "catalogue/ConstantTable.h"
#include "catalogue/Recordset.h"

#include <QObject>

#include <memory>
#include <optional>

class ConstantFinder;

// What the user browses, without any window: the catalogue's records and constants, the
// function shown (by its record position), how a search looks, and the form a
// declaration is written in. Every road to a function (the tree, the search and analysis
// results, the function of the day, the pick list) asks it to show a record; the windows
// draw what it says and enable what needs a shown function while one is shown.
class CatalogueBrowser : public QObject
{
    Q_OBJECT

public:
    explicit CatalogueBrowser(QObject *parent = nullptr);
    ~CatalogueBrowser() override;
    Q_DISABLE_COPY_MOVE(CatalogueBrowser)

    // Takes a newly opened catalogue; nothing of it is shown yet.
    void setRecordset(Recordset recordset);
    Recordset &recordset() { return m_recordset; }
    const Recordset &recordset() const { return m_recordset; }
    // The number of functions of an open catalogue; 0 once it is closed.
    qint64 functionCount() const;

    // The catalogue's constants; none with an older catalogue that lacks them (or has an
    // empty table): constants() is then nullptr.
    void setConstants(std::optional<ConstantTable> constants);
    const ConstantFinder *constants() const { return m_constants.get(); }

    // Shows the record at that position. A position that is no record's (0 is a group's
    // or a root's) leaves everything as it was and returns false.
    bool show(qsizetype position);
    // The position of the shown record; 0 while none is shown.
    qsizetype shownPosition() const { return m_shownPosition; }
    bool isFunctionShown() const { return m_shownPosition > 0; }
    // The shown record; nullptr while none is shown.
    const CatalogueRecord *shownRecord() const;
    // The declaration of the record at that position in the chosen form (VBA7 or
    // classic), as stored; empty for a position that is no record's.
    QString declaration(qsizetype position) const;

    // The search looks in the descriptions rather than the names. Every run starts with
    // the names.
    bool searchByDescription() const { return m_searchByDescription; }
    void setSearchByDescription(bool byDescription) { m_searchByDescription = byDescription; }

    // Declarations laid out one parameter per line. Off at every start.
    bool formatted() const { return m_formatted; }
    void setFormatted(bool formatted) { m_formatted = formatted; }

    // The VBA7 form as the user chose it, kept while an older catalogue has no VBA7
    // declarations; vba7() is whether the form applies to this catalogue.
    bool vba7Choice() const { return m_vba7Choice; }
    void setVba7Choice(bool chosen) { m_vba7Choice = chosen; }
    bool vba7() const { return m_vba7Choice && m_recordset.hasVba7Column(); }

signals:
    // Another catalogue or other constants were given; nothing is shown of a new catalogue.
    void catalogueChanged();
    // A road showed the record at that position (again, if it was shown already).
    void functionShown(qsizetype position);

private:
    Recordset m_recordset;
    std::unique_ptr<ConstantFinder> m_constants;
    qsizetype m_shownPosition = 0;
    bool m_searchByDescription = false;
    bool m_formatted = false;
    bool m_vba7Choice = false;
};
