#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <array>
#include <vector>

class Recordset;

// The catalogue tree behind trvApi: four roots (letters, libraries, areas of work, search
// results), every node with a key unique in the whole tree. Adding a node whose key is
// already taken is skipped, which is how each group exists once. The children of roots
// and groups stand in alphabetical order of their text; they are sorted the first time
// the view asks for them, so a large catalogue opens without sorting what nobody shows.
class CatalogueTree : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole + 1, ImageKeyRole, SelectedImageKeyRole };

    explicit CatalogueTree(QObject *parent = nullptr);
    ~CatalogueTree() override;

    // The image list imgApi, by key: "alpha", "note", "close", "open", "dll", "Search".
    void setImageList(const QHash<QString, QIcon> &images);

    // Creates the four roots and counts the records. The three catalogue branches are
    // filled from the recordset the first time anything asks for them (a root opened in
    // the view, a key looked up), so a large catalogue opens without building what
    // nobody has looked at yet. The recordset must outlive the tree.
    void BuildCatalogueTree(Recordset &recordset);
    // Whether the three catalogue branches leave out obsolete functions (the catalogue's
    // Obsolete column filled); takes effect at the next BuildCatalogueTree.
    void setHideObsolete(bool hide) { m_hideObsolete = hide; }
    bool hideObsolete() const { return m_hideObsolete; }
    // Records counted by the fill; wider than the 16-bit count of old so that a catalogue
    // beyond 32767 records still counts right.
    qint64 FunctionCount() const { return m_functionCount; }

    // Removes the "Search" root with its children and adds it again, last among the
    // roots, with one result node per name in the order given (a name whose key is taken
    // is skipped).
    void replaceSearchResults(const QStringList &names);

    QModelIndex indexForKey(const QString &key) const;
    QString key(const QModelIndex &index) const;
    QString text(const QModelIndex &index) const;
    bool containsKey(const QString &key) const { return nodeForKey(key) >= 0; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;

private:
    enum class Kind : quint8 {
        Root, LetterGroup, LibraryGroup, AreaGroup,
        LetterFunction, LibraryFunction, AreaFunction, SearchResult
    };

    struct Node
    {
        QString text;
        QString key;     // roots and groups; a function node's key is made when asked for
        int parent = -1;
        int number = 0;  // a letter node's record position, an area node's area index
        Kind kind = Kind::Root;
        quint8 image = 0;
        quint8 selectedImage = 0;
        bool sortChildren = false;
        bool dead = false;
        mutable bool childrenSorted = true;
        mutable std::vector<int> children;
    };

    enum Branch { LetterBranch, LibraryBranch, WorkBranch, BranchCount };

    // Fills a catalogue branch on first use. Building it is no change anyone has seen:
    // nothing has been shown of it before.
    void ensureBranch(Branch branch) const;
    void buildBranch(Branch branch);
    int addNode(int parent, Kind kind, const QString &text, quint8 image, quint8 selectedImage = 0);
    void switchSortingOn(int id);
    void addRoots();
    void clear();
    int letterGroup(const QString &letter);
    int libraryGroup(const QString &library);
    int areaGroup(QStringView area);
    void addLibraryFunction(int parent, const QString &name);
    void addAreaFunction(int parent, int areaIndex, const QString &name);
    // The area function whose key equals "Wor_" + area, when the area has that shape.
    int areaFunctionNamedBy(QStringView area) const;
    int nodeForKey(const QString &key) const;
    const std::vector<int> &childrenOf(int id) const;
    int rowOf(int id) const;
    void removeSubtree(int id);

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    // Every node key is unique in the tree. The keys fall into families by prefix, and
    // each family is kept in its own table by the text after the prefix, so no key text
    // has to be made per function. The only keys two families can share are a group
    // named "F_..." and a function node's key; the counts below say whether such a group
    // exists at all.
    QHash<QString, int> m_rootByKey;
    QHash<QString, int> m_letterGroups;
    QHash<QString, int> m_libraryGroups;
    QHash<QString, int> m_areaGroups;
    QHash<QString, int> m_libraryFunctions;
    std::vector<QHash<QString, int>> m_areaFunctions; // by area index
    QHash<QString, int> m_searchResults;
    std::vector<int> m_letterFunctions;                // by record position
    int m_libraryGroupsNamedF = 0;
    int m_areaGroupsNamedF = 0;
    std::vector<QIcon> m_icons;
    const Recordset *m_source = nullptr;
    mutable std::array<bool, BranchCount> m_branchBuilt{};
    bool m_anyWorkAreas = false;
    bool m_hideObsolete = false;
    qint64 m_functionCount = 0;
};
