#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

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

    // Creates the four roots and fills the first three from every record, counting them.
    void BuildCatalogueTree(Recordset &recordset);
    // Records counted by the fill; wider than the 16-bit count of old so that a catalogue
    // beyond 32767 records still counts right.
    qint64 FunctionCount() const { return m_functionCount; }

    // Removes the "Search" root with its children and adds it again, last among the
    // roots, with one result node per name (a name whose key is taken is skipped).
    void replaceSearchResults(const QStringList &names);

    QModelIndex indexForKey(const QString &key) const;
    QString key(const QModelIndex &index) const;
    QString text(const QModelIndex &index) const;
    bool containsKey(const QString &key) const { return m_byKey.contains(key); }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;

private:
    struct Node
    {
        QString key;
        QString text;
        int parent = -1;
        quint8 image = 0;
        quint8 selectedImage = 0;
        bool sortChildren = false;
        bool dead = false;
        mutable bool childrenSorted = true;
        mutable std::vector<int> children;
    };

    // Adds a node unless its key is taken; returns its id, or -1 when skipped.
    int addNode(int parent, QString key, QString text, quint8 image, quint8 selectedImage = 0);
    void addRoots();
    int rootId(const QString &key) const;
    const std::vector<int> &childrenOf(int id) const;
    int rowOf(int id) const;
    void removeSubtree(int id);

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    QHash<QString, int> m_byKey;
    std::vector<QIcon> m_icons;
    qint64 m_functionCount = 0;
};
