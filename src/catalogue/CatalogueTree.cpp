#include "CatalogueTree.h"

#include "Recordset.h"
#include "platform/Texts.h"

#include <algorithm>

namespace {

// Image keys of imgApi, in the order of the list; 0 is "no image".
enum Image : quint8 { NoImage, Alpha, Note, Close, Open, Dll, Search, Folder, ImageCount };

const char *const imageKeys[ImageCount] = {"", "alpha", "note", "close", "open", "dll", "Search", "folder"};

const QString alphabetKey = QStringLiteral("Alphabet");
const QString libraryKey = QStringLiteral("Library");
const QString workKey = QStringLiteral("Work");
const QString searchKey = QStringLiteral("Search");

// The first character of a name as its letter group shows it: a small letter becomes
// its capital, anything else stays as it is; an empty name gives an empty group.
QString letterOf(const QString &name)
{
    return name.isEmpty() ? QString() : QString(name.front().toUpper());
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
    if (!m_nodes.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

int CatalogueTree::addNode(int parent, QString key, QString text, quint8 image, quint8 selectedImage)
{
    const int id = static_cast<int>(m_nodes.size());
    // One look-up: operator[] adds the key when it is new, which the size tells.
    const qsizetype before = m_byKey.size();
    int &slot = m_byKey[key];
    if (m_byKey.size() == before)
        return -1;
    slot = id;
    Node node;
    node.key = std::move(key);
    node.text = std::move(text);
    node.parent = parent;
    node.image = image;
    node.selectedImage = selectedImage;
    m_nodes.push_back(std::move(node));
    if (parent < 0) {
        m_roots.push_back(id);
    } else {
        Node &owner = m_nodes[static_cast<size_t>(parent)];
        owner.children.push_back(id);
        owner.childrenSorted = !owner.sortChildren;
    }
    return id;
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
        const int id = addNode(-1, root.key, root.text, root.image);
        m_nodes[static_cast<size_t>(id)].sortChildren = true;
    }
}

int CatalogueTree::rootId(const QString &key) const
{
    const int id = m_byKey.value(key, -1);
    return id >= 0 && m_nodes[static_cast<size_t>(id)].parent < 0 ? id : -1;
}

void CatalogueTree::BuildCatalogueTree(Recordset &recordset)
{
    beginResetModel();
    m_nodes.clear();
    m_roots.clear();
    m_byKey.clear();
    addRoots();

    // Finds the group with that key under the root, making it on first use; sorting is
    // switched on for whatever node holds the key, as the tree has always done.
    auto group = [this](int root, const QString &key, const QString &text, Image image) {
        int id = addNode(root, key, text, image);
        if (id < 0)
            id = m_byKey.value(key);
        Node &node = m_nodes[static_cast<size_t>(id)];
        if (!node.sortChildren) {
            node.sortChildren = true;
            node.childrenSorted = node.children.size() < 2;
        }
        return id;
    };

    const int alphabet = rootId(alphabetKey);
    const int library = rootId(libraryKey);
    const int work = rootId(workKey);
    m_nodes.reserve(static_cast<size_t>(recordset.RecordCount()) * 5 + 8);
    m_byKey.reserve(recordset.RecordCount() * 5 + 8);

    m_functionCount = 0;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const CatalogueRecord &record = *recordset.current();
        const QString &name = record[CatalogueRecord::FunctionName];

        const QString letter = letterOf(name);
        const int letterGroup = group(alphabet, QLatin1String("Alf_") + letter, letter, Alpha);
        addNode(letterGroup, QLatin1String("Alf_F_") + QString::number(recordset.AbsolutePosition()),
                name, Close, Open);

        const QString &libraryName = record[CatalogueRecord::Library];
        const int libraryGroup = group(library, QLatin1String("Lib_") + libraryName, libraryName, Dll);
        addNode(libraryGroup, QLatin1String("Lib_F_") + name, name, Close, Open);

        const QString &areas = record[CatalogueRecord::WorkAreas];
        if (!areas.isEmpty()) {
            const QStringList list = areas.split(workAreaSeparator, Qt::KeepEmptyParts);
            for (qsizetype i = 0; i < list.size(); ++i) {
                const QString &area = list.at(i);
                const int areaGroup = group(work, QLatin1String("Wor_") + area, area, Note);
                addNode(areaGroup, QLatin1String("Wor_F_") + QString::number(i) + QLatin1Char('_') + name,
                        name, Close, Open);
            }
        }

        recordset.MoveNext();
        ++m_functionCount;
    }
    endResetModel();
}

void CatalogueTree::removeSubtree(int id)
{
    Node &node = m_nodes[static_cast<size_t>(id)];
    for (const int child : node.children)
        removeSubtree(child);
    m_byKey.remove(node.key);
    node.dead = true;
    node.children.clear();
}

void CatalogueTree::replaceSearchResults(const QStringList &names)
{
    const int old = rootId(searchKey);
    if (old >= 0) {
        const int row = rowOf(old);
        beginRemoveRows(QModelIndex(), row, row);
        removeSubtree(old);
        m_roots.erase(m_roots.begin() + row);
        // Search results are the newest nodes: drop them for good instead of leaving
        // one dead node per result of every search.
        while (!m_nodes.empty() && m_nodes.back().dead)
            m_nodes.pop_back();
        endRemoveRows();
    }

    const int row = static_cast<int>(m_roots.size());
    beginInsertRows(QModelIndex(), row, row);
    const int root = addNode(-1, searchKey, Texts::rootSearch, Search);
    if (root >= 0) {
        m_nodes[static_cast<size_t>(root)].sortChildren = true;
        for (const QString &name : names)
            addNode(root, QLatin1String("Ser_F_") + name, name, Close, Open);
    }
    endInsertRows();
}

const std::vector<int> &CatalogueTree::childrenOf(int id) const
{
    const Node &node = m_nodes[static_cast<size_t>(id)];
    if (!node.childrenSorted) {
        auto less = [this](int a, int b) {
            const QString &x = m_nodes[static_cast<size_t>(a)].text;
            const QString &y = m_nodes[static_cast<size_t>(b)].text;
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
    // Groups have at most a few hundred siblings, so a scan is cheap.
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
    return !m_nodes[parent.internalId()].children.empty();
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
        return node.key;
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
    const int id = m_byKey.value(key, -1);
    if (id < 0)
        return QModelIndex();
    return createIndex(rowOf(id), 0, static_cast<quintptr>(id));
}

QString CatalogueTree::key(const QModelIndex &index) const
{
    return index.isValid() ? m_nodes[index.internalId()].key : QString();
}

QString CatalogueTree::text(const QModelIndex &index) const
{
    return index.isValid() ? m_nodes[index.internalId()].text : QString();
}
