#include "CatalogueTree.h"

#include "Recordset.h"
#include "platform/Texts.h"

#include <QCollator>

#include <algorithm>

namespace {

// Image keys of imgApi, in the order of the list; 0 is "no image".
enum Image : quint8 { NoImage, Alpha, Note, Close, Open, Dll, Search, Folder, ImageCount };

const char *const imageKeys[ImageCount] = {"", "alpha", "note", "close", "open", "dll", "Search", "folder"};

const QString alphabetKey = QStringLiteral("Alphabet");
const QString libraryKey = QStringLiteral("Library");
const QString workKey = QStringLiteral("Work");
const QString searchKey = QStringLiteral("Search");

const QLatin1String letterPrefix("Alf_");
const QLatin1String letterFunctionPrefix("Alf_F_");
const QLatin1String libraryPrefix("Lib_");
const QLatin1String libraryFunctionPrefix("Lib_F_");
const QLatin1String areaPrefix("Wor_");
const QLatin1String areaFunctionPrefix("Wor_F_");
const QLatin1String searchResultPrefix("Ser_F_");
const QLatin1String namedF("F_");

// The first character of a name as its letter group shows it: a small Latin letter a-z
// becomes its capital, any other character stays as it is ("дом" stays under "д");
// an empty name gives an empty group.
QString letterOf(const QString &name)
{
    if (name.isEmpty())
        return QString();
    const char16_t first = name.front().unicode();
    return QString(QChar(first >= u'a' && first <= u'z' ? char16_t(first - u'a' + u'A') : first));
}

// The work-area groups are Persian words: they stand in the order a Persian reader
// expects (پ after ب, چ after ج), not in character-code order. Texts the collator
// holds equal (letter case, joiners) keep the order of the plain comparison below.
const QCollator &persianCollator()
{
    static const QCollator collator = [] {
        QCollator persian(QLocale(QLocale::Persian, QLocale::Iran));
        persian.setCaseSensitivity(Qt::CaseInsensitive);
        return persian;
    }();
    return collator;
}

// A text to look a view up with, without copying it; never kept.
QString lookUp(QStringView view)
{
    return QString::fromRawData(view.data(), view.size());
}

// The area index i of a text "i_name" written as QString::number writes it, or -1.
int leadingIndex(QStringView text, QStringView *rest)
{
    const qsizetype underscore = text.indexOf(QLatin1Char('_'));
    if (underscore <= 0)
        return -1;
    const QStringView digits = text.left(underscore);
    bool ok = false;
    const int index = digits.toInt(&ok);
    if (!ok || index < 0 || QString::number(index) != digits)
        return -1;
    *rest = text.mid(underscore + 1);
    return index;
}

} // namespace

CatalogueTree::CatalogueTree(QObject *parent)
    : QAbstractItemModel(parent)
    , m_icons(ImageCount + 1)
{
    addRoots();
}

CatalogueTree::~CatalogueTree() = default;

void CatalogueTree::setImageList(const QHash<QString, QIcon> &images)
{
    for (int i = Alpha; i < ImageCount; ++i)
        m_icons[static_cast<size_t>(i)] = images.value(QLatin1String(imageKeys[i]));
    // A function node shows "close" and, while selected, "open".
    QIcon function;
    const QIcon close = images.value(QStringLiteral("close"));
    const QIcon open = images.value(QStringLiteral("open"));
    for (const QSize &size : close.availableSizes())
        function.addPixmap(close.pixmap(size), QIcon::Normal);
    for (const QSize &size : open.availableSizes())
        function.addPixmap(open.pixmap(size), QIcon::Selected);
    m_icons[ImageCount] = function;
    if (!m_roots.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

int CatalogueTree::addNode(int parent, Kind kind, const QString &text, quint8 image, quint8 selectedImage)
{
    const int id = static_cast<int>(m_nodes.size());
    Node node;
    node.text = text;
    node.parent = parent;
    node.kind = kind;
    node.image = image;
    node.selectedImage = selectedImage;
    m_nodes.push_back(std::move(node));
    if (parent < 0) {
        m_roots.push_back(id);
    } else {
        Node &owner = m_nodes[static_cast<size_t>(parent)];
        owner.children.push_back(id);
        owner.childrenSorted = !owner.sortChildren || owner.children.size() < 2;
    }
    return id;
}

void CatalogueTree::switchSortingOn(int id)
{
    Node &node = m_nodes[static_cast<size_t>(id)];
    if (!node.sortChildren) {
        node.sortChildren = true;
        node.childrenSorted = node.children.size() < 2;
    }
}

void CatalogueTree::clear()
{
    m_nodes.clear();
    m_roots.clear();
    m_rootByKey.clear();
    m_letterGroups.clear();
    m_libraryGroups.clear();
    m_areaGroups.clear();
    m_libraryFunctions.clear();
    m_areaFunctions.clear();
    m_searchResults.clear();
    m_letterFunctions.clear();
    m_libraryGroupsNamedF = 0;
    m_areaGroupsNamedF = 0;
}

void CatalogueTree::addRoots()
{
    const struct { const QString &key; const QString &text; Image image; } roots[] = {
        {alphabetKey, Texts::rootAlphabet, Alpha},
        {libraryKey, Texts::rootLibrary, Dll},
        {workKey, Texts::rootWork, Note},
        {searchKey, Texts::rootSearch, Search},
    };
    for (const auto &root : roots) {
        const int id = addNode(-1, Kind::Root, root.text, root.image);
        m_nodes[static_cast<size_t>(id)].key = root.key;
        m_rootByKey.insert(root.key, id);
        switchSortingOn(id);
    }
}

int CatalogueTree::letterGroup(const QString &letter)
{
    int id = m_letterGroups.value(letter, -1);
    if (id < 0) {
        id = addNode(m_rootByKey.value(alphabetKey), Kind::LetterGroup, letter, Alpha);
        m_nodes[static_cast<size_t>(id)].key = letterPrefix + letter;
        m_letterGroups.insert(letter, id);
    }
    switchSortingOn(id);
    return id;
}

int CatalogueTree::libraryGroup(const QString &library)
{
    int id = m_libraryGroups.value(library, -1);
    if (id < 0 && library.startsWith(namedF)) {
        // "Lib_F_x" is already the key of function x's node: that node is the group.
        id = m_libraryFunctions.value(lookUp(QStringView(library).mid(2)), -1);
    }
    if (id < 0) {
        id = addNode(m_rootByKey.value(libraryKey), Kind::LibraryGroup, library, Dll);
        m_nodes[static_cast<size_t>(id)].key = libraryPrefix + library;
        m_libraryGroups.insert(library, id);
        if (library.startsWith(namedF))
            ++m_libraryGroupsNamedF;
    }
    switchSortingOn(id);
    return id;
}

int CatalogueTree::areaFunctionNamedBy(QStringView area) const
{
    if (!area.startsWith(namedF))
        return -1;
    QStringView name;
    const int index = leadingIndex(area.mid(2), &name);
    if (index < 0 || static_cast<size_t>(index) >= m_areaFunctions.size())
        return -1;
    return m_areaFunctions[static_cast<size_t>(index)].value(lookUp(name), -1);
}

int CatalogueTree::areaGroup(QStringView area)
{
    int id = m_areaGroups.value(lookUp(area), -1);
    if (id < 0)
        id = areaFunctionNamedBy(area);
    if (id < 0) {
        const QString text = area.toString();
        id = addNode(m_rootByKey.value(workKey), Kind::AreaGroup, text, Note);
        m_nodes[static_cast<size_t>(id)].key = areaPrefix + text;
        m_areaGroups.insert(text, id);
        if (text.startsWith(namedF))
            ++m_areaGroupsNamedF;
    }
    switchSortingOn(id);
    return id;
}

void CatalogueTree::addLibraryFunction(int parent, const QString &name)
{
    if (m_libraryGroupsNamedF > 0 && m_libraryGroups.contains(namedF + name))
        return;
    // One look-up: operator[] adds the name when it is new, which the size tells.
    const qsizetype before = m_libraryFunctions.size();
    int &slot = m_libraryFunctions[name];
    if (m_libraryFunctions.size() != before)
        slot = addNode(parent, Kind::LibraryFunction, name, Close, Open);
}

void CatalogueTree::addAreaFunction(int parent, int areaIndex, const QString &name)
{
    if (m_areaFunctions.size() <= static_cast<size_t>(areaIndex))
        m_areaFunctions.resize(static_cast<size_t>(areaIndex) + 1);
    QHash<QString, int> &functions = m_areaFunctions[static_cast<size_t>(areaIndex)];
    if (m_areaGroupsNamedF > 0
        && m_areaGroups.contains(namedF + QString::number(areaIndex) + QLatin1Char('_') + name))
        return;
    const qsizetype before = functions.size();
    int &slot = functions[name];
    if (functions.size() == before)
        return;
    slot = addNode(parent, Kind::AreaFunction, name, Close, Open);
    m_nodes[static_cast<size_t>(slot)].number = areaIndex;
}

void CatalogueTree::BuildCatalogueTree(Recordset &recordset)
{
    beginResetModel();
    clear();
    addRoots();
    m_source = &recordset;
    m_branchBuilt.fill(false);
    m_anyWorkAreas = false;

    m_functionCount = 0;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        if (!recordset.current()->fields[CatalogueRecord::WorkAreas].isEmpty())
            m_anyWorkAreas = true;
        recordset.MoveNext();
        ++m_functionCount;
    }
    endResetModel();
}

void CatalogueTree::ensureBranch(Branch branch) const
{
    if (m_branchBuilt[branch])
        return;
    m_branchBuilt[branch] = true;
    // Filling a branch is a cache: the tree as the user sees it does not change by it.
    const_cast<CatalogueTree *>(this)->buildBranch(branch);
}

void CatalogueTree::buildBranch(Branch branch)
{
    if (!m_source)
        return;
    // Records are read by position, never through the shared cursor, which may be in the
    // middle of another walk (an analysis yields to the event loop inside its walk).
    const qsizetype count = m_source->isOpen() ? m_source->RecordCount() : 0;
    m_nodes.reserve(m_nodes.size() + static_cast<size_t>(count) * (branch == WorkBranch ? 2 : 1) + 256);
    if (branch == LetterBranch)
        m_letterFunctions.assign(static_cast<size_t>(count) + 1, -1);
    if (branch == LibraryBranch)
        m_libraryFunctions.reserve(count);

    for (qsizetype position = 1; position <= count; ++position) {
        const CatalogueRecord &record = m_source->at(position);
        const QString &name = record[CatalogueRecord::FunctionName];
        if (m_hideObsolete && record.isObsolete())
            continue;
        switch (branch) {
        case LetterBranch: {
            // Positions are unique, so a letter node is always added.
            const int node = addNode(letterGroup(letterOf(name)), Kind::LetterFunction, name, Close, Open);
            m_nodes[static_cast<size_t>(node)].number = static_cast<int>(position);
            m_letterFunctions[static_cast<size_t>(position)] = node;
            break;
        }
        case LibraryBranch:
            addLibraryFunction(libraryGroup(record[CatalogueRecord::Library]), name);
            break;
        case WorkBranch: {
            const QString &areas = record[CatalogueRecord::WorkAreas];
            if (areas.isEmpty())
                break;
            int index = 0;
            for (const QStringView area : QStringView(areas).split(workAreaSeparator))
                addAreaFunction(areaGroup(area), index++, name);
            break;
        }
        case BranchCount:
            break;
        }
    }
}

void CatalogueTree::removeSubtree(int id)
{
    Node &node = m_nodes[static_cast<size_t>(id)];
    for (const int child : node.children)
        removeSubtree(child);
    if (node.kind == Kind::SearchResult)
        m_searchResults.remove(node.text);
    else if (node.kind == Kind::Root)
        m_rootByKey.remove(node.key);
    node.dead = true;
    node.children.clear();
}

void CatalogueTree::replaceSearchResults(const QStringList &names)
{
    const int old = m_rootByKey.value(searchKey, -1);
    if (old >= 0) {
        const int row = rowOf(old);
        beginRemoveRows(QModelIndex(), row, row);
        // Every result hangs under this root: their table goes at once, not name by name.
        m_searchResults.clear();
        removeSubtree(old);
        m_roots.erase(m_roots.begin() + row);
        // Search results are the newest nodes: drop them for good instead of leaving
        // dead nodes behind after every search.
        while (!m_nodes.empty() && m_nodes.back().dead)
            m_nodes.pop_back();
        endRemoveRows();
    }

    const int row = static_cast<int>(m_roots.size());
    beginInsertRows(QModelIndex(), row, row);
    const int root = addNode(-1, Kind::Root, Texts::rootSearch, Search);
    m_nodes[static_cast<size_t>(root)].key = searchKey;
    m_rootByKey.insert(searchKey, root);
    // The results stand in the order the search gives them, best first, as in the list.
    m_nodes.reserve(m_nodes.size() + static_cast<size_t>(names.size()));
    m_searchResults.reserve(names.size());
    for (const QString &name : names) {
        // One look-up: operator[] adds the name when it is new, which the size tells.
        const qsizetype before = m_searchResults.size();
        int &slot = m_searchResults[name];
        if (m_searchResults.size() != before)
            slot = addNode(root, Kind::SearchResult, name, Close, Open);
    }
    endInsertRows();
}

int CatalogueTree::nodeForKey(const QString &key) const
{
    if (const int root = m_rootByKey.value(key, -1); root >= 0)
        return root;
    const QStringView view(key);
    if (view.startsWith(letterPrefix))
        ensureBranch(LetterBranch);
    else if (view.startsWith(libraryPrefix))
        ensureBranch(LibraryBranch);
    else if (view.startsWith(areaPrefix))
        ensureBranch(WorkBranch);
    if (view.startsWith(letterFunctionPrefix) && view.size() > letterFunctionPrefix.size()) {
        bool ok = false;
        const qsizetype position = view.mid(letterFunctionPrefix.size()).toLongLong(&ok);
        if (ok && QString::number(position) == view.mid(letterFunctionPrefix.size())
            && position > 0 && static_cast<size_t>(position) < m_letterFunctions.size())
            return m_letterFunctions[static_cast<size_t>(position)];
    }
    if (view.startsWith(letterPrefix))
        return m_letterGroups.value(lookUp(view.mid(letterPrefix.size())), -1);
    if (view.startsWith(libraryPrefix)) {
        if (const int group = m_libraryGroups.value(lookUp(view.mid(libraryPrefix.size())), -1); group >= 0)
            return group;
        if (view.startsWith(libraryFunctionPrefix))
            return m_libraryFunctions.value(lookUp(view.mid(libraryFunctionPrefix.size())), -1);
        return -1;
    }
    if (view.startsWith(areaPrefix)) {
        if (const int group = m_areaGroups.value(lookUp(view.mid(areaPrefix.size())), -1); group >= 0)
            return group;
        return areaFunctionNamedBy(view.mid(areaPrefix.size()));
    }
    if (view.startsWith(searchResultPrefix))
        return m_searchResults.value(lookUp(view.mid(searchResultPrefix.size())), -1);
    return -1;
}

const std::vector<int> &CatalogueTree::childrenOf(int id) const
{
    if (m_nodes[static_cast<size_t>(id)].kind == Kind::Root) {
        const QString &key = m_nodes[static_cast<size_t>(id)].key;
        if (key == alphabetKey)
            ensureBranch(LetterBranch);
        else if (key == libraryKey)
            ensureBranch(LibraryBranch);
        else if (key == workKey)
            ensureBranch(WorkBranch);
    }
    const Node &node = m_nodes[static_cast<size_t>(id)];
    if (!node.childrenSorted) {
        const bool areaGroups = node.kind == Kind::Root && node.key == workKey;
        auto less = [this, areaGroups](int a, int b) {
            const QString &x = m_nodes[static_cast<size_t>(a)].text;
            const QString &y = m_nodes[static_cast<size_t>(b)].text;
            if (areaGroups) {
                if (const int c = persianCollator().compare(x, y); c != 0)
                    return c < 0;
            }
            const int c = QString::compare(x, y, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : QString::compare(x, y, Qt::CaseSensitive) < 0;
        };
        std::stable_sort(node.children.begin(), node.children.end(), less);
        node.childrenSorted = true;
    }
    return node.children;
}

int CatalogueTree::rowOf(int id) const
{
    const int parentId = m_nodes[static_cast<size_t>(id)].parent;
    const std::vector<int> &siblings = parentId < 0 ? m_roots : childrenOf(parentId);
    const auto found = std::find(siblings.begin(), siblings.end(), id);
    return static_cast<int>(found - siblings.begin());
}

QModelIndex CatalogueTree::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    const std::vector<int> &list = parent.isValid() ? childrenOf(static_cast<int>(parent.internalId())) : m_roots;
    if (row >= static_cast<int>(list.size()))
        return QModelIndex();
    return createIndex(row, 0, static_cast<quintptr>(list[static_cast<size_t>(row)]));
}

QModelIndex CatalogueTree::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return QModelIndex();
    const int parentId = m_nodes[child.internalId()].parent;
    if (parentId < 0)
        return QModelIndex();
    return createIndex(rowOf(parentId), 0, static_cast<quintptr>(parentId));
}

int CatalogueTree::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_roots.size());
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(childrenOf(static_cast<int>(parent.internalId())).size());
}

int CatalogueTree::columnCount(const QModelIndex &) const
{
    return 1;
}

bool CatalogueTree::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return !m_roots.empty();
    const Node &node = m_nodes[parent.internalId()];
    // A branch not built yet is known to have children without building it: every
    // record has a letter and a library; areas only where some record names one.
    if (node.kind == Kind::Root && node.key != searchKey) {
        if (node.key == alphabetKey && !m_branchBuilt[LetterBranch])
            return m_functionCount > 0;
        if (node.key == libraryKey && !m_branchBuilt[LibraryBranch])
            return m_functionCount > 0;
        if (node.key == workKey && !m_branchBuilt[WorkBranch])
            return m_anyWorkAreas;
    }
    return !node.children.empty();
}

QVariant CatalogueTree::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Node &node = m_nodes[index.internalId()];
    switch (role) {
    case Qt::DisplayRole:
        return node.text;
    case Qt::DecorationRole:
        return m_icons[node.selectedImage ? size_t(ImageCount) : size_t(node.image)];
    case KeyRole:
        return key(index);
    case ImageKeyRole:
        return QString::fromLatin1(imageKeys[node.image]);
    case SelectedImageKeyRole:
        return QString::fromLatin1(imageKeys[node.selectedImage]);
    default:
        return QVariant();
    }
}

QModelIndex CatalogueTree::indexForKey(const QString &key) const
{
    const int id = nodeForKey(key);
    if (id < 0)
        return QModelIndex();
    return createIndex(rowOf(id), 0, static_cast<quintptr>(id));
}

QString CatalogueTree::key(const QModelIndex &index) const
{
    if (!index.isValid())
        return QString();
    const Node &node = m_nodes[index.internalId()];
    switch (node.kind) {
    case Kind::LetterFunction:
        return letterFunctionPrefix + QString::number(node.number);
    case Kind::LibraryFunction:
        return libraryFunctionPrefix + node.text;
    case Kind::AreaFunction:
        return areaFunctionPrefix + QString::number(node.number) + QLatin1Char('_') + node.text;
    case Kind::SearchResult:
        return searchResultPrefix + node.text;
    default:
        return node.key;
    }
}

QString CatalogueTree::text(const QModelIndex &index) const
{
    return index.isValid() ? m_nodes[index.internalId()].text : QString();
}
