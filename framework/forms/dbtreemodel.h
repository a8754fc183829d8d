#pragma once

#include "framework/core/dbpicture.h"

#include <QAbstractItemModel>
#include <QHash>
#include <functional>
#include <vector>

namespace framework {

class ClientDataSet;
class Field;

// The hierarchy of a dataset's codes under a code picture: a code's parent is the code cut to
// the accumulated width of the level above it. Built in one pass over the codes sorted as text
// (a group sorts before its members); a code whose group is missing hangs at the root.
// Nodes keep the dataset position of their row; texts and images are asked for when shown.
class DBTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Node {
        QString code;
        int position = -1; // the row in the dataset's current order
        int level = 0;
        int parent = -1;   // node index; -1 at the root
        int row = 0;       // place among the parent's children
        std::vector<int> children;
    };
    using TextFunction = std::function<QString(const Node& node)>;
    using ImageFunction = std::function<QVariant(const Node& node)>;

    explicit DBTreeModel(QObject* parent = nullptr);

    // Rebuilds from every row of the dataset (empty codes are left out).
    void build(const ClientDataSet* dataSet, const Field* codeField, const TDBPicture& picture);
    void clear();
    void setTextFunction(TextFunction f) { m_text = std::move(f); }
    void setImageFunction(ImageFunction f) { m_image = std::move(f); }

    int nodeCount() const { return int(m_nodes.size()); }
    const Node* node(const QModelIndex& index) const;
    QModelIndex indexOfCode(const QString& code) const;
    QModelIndex indexOfPosition(int position) const;
    bool holdsPosition(int position, const QString& code) const; // the node of that row has that code

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QModelIndex indexOfNode(int node) const;

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    std::vector<int> m_nodeOfPosition; // -1 for rows without a node
    QHash<QString, int> m_byCode;
    TextFunction m_text;
    ImageFunction m_image;
};

} // namespace framework
