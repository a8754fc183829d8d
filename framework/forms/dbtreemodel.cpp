#include "dbtreemodel.h"

#include "framework/data/clientdataset.h"

#include <algorithm>

namespace framework {

DBTreeModel::DBTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void DBTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_roots.clear();
    m_nodeOfPosition.clear();
    m_byCode.clear();
    endResetModel();
}

void DBTreeModel::build(const ClientDataSet* dataSet, const Field* codeField, const TDBPicture& picture)
{
    beginResetModel();
    m_nodes.clear();
    m_roots.clear();
    m_byCode.clear();
    const int rows = dataSet && codeField ? dataSet->RecordCount() : 0;
    m_nodeOfPosition.assign(size_t(rows), -1);

    std::vector<QString> codes(static_cast<size_t>(rows));
    std::vector<int> order;
    order.reserve(size_t(rows));
    for (int pos = 0; pos < rows; ++pos) {
        codes[size_t(pos)] = dataSet->valueAt(pos, codeField).toString().trimmed();
        if (!codes[size_t(pos)].isEmpty())
            order.push_back(pos);
    }
    std::stable_sort(order.begin(), order.end(), [&codes](int a, int b) { return codes[size_t(a)] < codes[size_t(b)]; });

    m_nodes.reserve(order.size());
    m_byCode.reserve(qsizetype(order.size()));
    for (int pos : order) {
        Node n;
        n.code = std::move(codes[size_t(pos)]);
        n.position = pos;
        n.level = picture.Nivel(n.code);
        if (n.level > 1) {
            const auto it = m_byCode.constFind(n.code.left(picture.AntNivel(n.level)));
            if (it != m_byCode.constEnd())
                n.parent = *it;
        }
        const int self = int(m_nodes.size());
        std::vector<int>& siblings = n.parent >= 0 ? m_nodes[size_t(n.parent)].children : m_roots;
        n.row = int(siblings.size());
        siblings.push_back(self);
        m_byCode.insert(n.code, self); // a repeated code answers with its first node
        m_nodeOfPosition[size_t(pos)] = self;
        m_nodes.push_back(std::move(n));
    }
    endResetModel();
}

const DBTreeModel::Node* DBTreeModel::node(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return &m_nodes[size_t(index.internalId())];
}

QModelIndex DBTreeModel::indexOfNode(int node) const
{
    if (node < 0 || node >= int(m_nodes.size()))
        return {};
    return createIndex(m_nodes[size_t(node)].row, 0, quintptr(node));
}

QModelIndex DBTreeModel::indexOfCode(const QString& code) const
{
    const auto it = m_byCode.constFind(code.trimmed());
    return it == m_byCode.constEnd() ? QModelIndex() : indexOfNode(*it);
}

QModelIndex DBTreeModel::indexOfPosition(int position) const
{
    if (position < 0 || position >= int(m_nodeOfPosition.size()))
        return {};
    return indexOfNode(m_nodeOfPosition[size_t(position)]);
}

bool DBTreeModel::holdsPosition(int position, const QString& code) const
{
    const QModelIndex index = indexOfPosition(position);
    const QString trimmed = code.trimmed();
    return index.isValid() ? node(index)->code == trimmed : trimmed.isEmpty();
}

QModelIndex DBTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const Node* p = node(parent);
    if (parent.isValid() && !p)
        return {};
    const std::vector<int>& children = p ? p->children : m_roots;
    if (row >= int(children.size()))
        return {};
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex DBTreeModel::parent(const QModelIndex& child) const
{
    const Node* n = node(child);
    return n ? indexOfNode(n->parent) : QModelIndex();
}

int DBTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node* p = node(parent);
    return int(p ? p->children.size() : (parent.isValid() ? 0 : m_roots.size()));
}

int DBTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant DBTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_text ? m_text(*n) : n->code;
    case Qt::DecorationRole:
        return m_image ? m_image(*n) : QVariant();
    default:
        return {};
    }
}

} // namespace framework
