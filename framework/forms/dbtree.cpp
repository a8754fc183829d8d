#include "dbtree.h"

#include "dbtreemodel.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/guard.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace framework {

TDBTree::TDBTree(QWidget* parent, const QString& name) : QTreeView(parent), m_model(new DBTreeModel(this))
{
    setObjectName(name);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setModel(m_model);
    m_model->setTextFunction([this](const DBTreeModel::Node& n) { return NodeText(treeNode(n)); });
    m_model->setImageFunction([this](const DBTreeModel::Node& n) -> QVariant {
        if (!OnGetImageIndex)
            return {};
        int image = -1;
        guarded([&] { image = OnGetImageIndex(*this, treeNode(n)); });
        return image >= 0 && image < m_stateImages.size() ? QVariant(m_stateImages[image]) : QVariant();
    });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (const auto* n = m_model->node(index))
            m_expanded.insert(n->code);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (const auto* n = m_model->node(index))
            m_expanded.remove(n->code);
    });
}

TDBTree::~TDBTree() = default;

void TDBTree::setDataSource(DataSource* source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::dataSetSwitched, this, &TDBTree::Resync);
        connect(source, &DataSource::rowsReset, this, &TDBTree::Resync);
        connect(source, &DataSource::rowChanged, this, &TDBTree::rowValuesChanged);
        connect(source, &DataSource::dataChanged, this, [this](Field* changed) {
            if (!changed)
                syncSelection();
            else if (ClientDataSet* ds = DataSet())
                rowValuesChanged(ds->currentPosition());
        });
    }
    Resync();
}

ClientDataSet* TDBTree::DataSet() const
{
    if (!m_source || !m_source->Enabled())
        return nullptr;
    ClientDataSet* ds = m_source->DataSet();
    return ds && ds->Active() ? ds : nullptr;
}

void TDBTree::setFieldCode(const QString& name)
{
    m_fieldCode = name;
    Resync();
}

void TDBTree::setFieldName(const QString& name)
{
    m_fieldName = name;
    viewport()->update();
}

void TDBTree::setFieldAux(const QString& name)
{
    m_fieldAux = name;
    viewport()->update();
}

void TDBTree::setPicture(const TDBPicture& picture)
{
    m_picture = picture;
    Resync();
}

void TDBTree::setStateImages(const QList<QIcon>& images)
{
    m_stateImages = images;
    viewport()->update();
}

Field* TDBTree::field(const QString& name) const
{
    ClientDataSet* ds = DataSet();
    return ds && !name.isEmpty() ? ds->FindField(name) : nullptr;
}

TTreeNode TDBTree::treeNode(const DBTreeModel::Node& n) const
{
    TTreeNode node;
    node.code = n.code;
    node.level = n.level;
    node.position = n.position;
    node.lastLevel = n.level > 0 && n.level == m_picture.GetTtNiveis();
    if (Field* aux = field(m_fieldAux))
        node.aux = DataSet()->valueAt(n.position, aux).toString();
    return node;
}

TTreeNode TDBTree::Selected() const
{
    const DBTreeModel::Node* n = m_model->node(currentIndex());
    return n ? treeNode(*n) : TTreeNode();
}

bool TDBTree::HasChildren(const QString& code) const { return m_model->rowCount(m_model->indexOfCode(code)) > 0; }

int TDBTree::NodeCount() const { return m_model->nodeCount(); }

QString TDBTree::NodeText(const TTreeNode& node) const
{
    if (OnGetText) {
        QString text;
        guarded([&] { text = OnGetText(*const_cast<TDBTree*>(this), node); });
        return text;
    }
    Field* name = field(m_fieldName);
    return name ? node.code + QStringLiteral(" - ") + DataSet()->displayTextAt(node.position, name) : node.code;
}

bool TDBTree::setSelectedCode(const QString& code)
{
    const QModelIndex index = m_model->indexOfCode(code);
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    return currentIndex() == index;
}

void TDBTree::Resync()
{
    rebuild();
    syncSelection();
}

void TDBTree::rebuild()
{
    ClientDataSet* ds = DataSet();
    m_model->build(ds, field(m_fieldCode), m_picture);
    const QSet<QString> expanded = std::exchange(m_expanded, {});
    for (const QString& code : expanded)
        setExpanded(m_model->indexOfCode(code), true);
}

void TDBTree::rowValuesChanged(int position)
{
    ClientDataSet* ds = DataSet();
    Field* code = field(m_fieldCode);
    if (!ds || !code || position < 0)
        return;
    if (!m_model->holdsPosition(position, ds->valueAt(position, code).toString())) {
        Resync(); // a code changed: the node moves
        return;
    }
    const QModelIndex index = m_model->indexOfPosition(position);
    if (index.isValid())
        emit m_model->dataChanged(index, index);
}

void TDBTree::syncSelection()
{
    ClientDataSet* ds = DataSet();
    if (!ds)
        return;
    const QModelIndex index = m_model->indexOfPosition(ds->currentPosition());
    if (!index.isValid() || index == currentIndex())
        return;
    setCurrentQuietly(index);
    fireChange();
}

void TDBTree::setCurrentQuietly(const QModelIndex& index)
{
    QScopedValueRollback syncing(m_syncing, true);
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
    }
}

void TDBTree::fireChange()
{
    if (OnChange)
        guarded([this] { OnChange(*this, Selected()); });
}

void TDBTree::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_syncing)
        return;
    const DBTreeModel::Node* n = m_model->node(current);
    if (!n)
        return;
    const TTreeNode node = treeNode(*n);
    bool allow = true;
    if (OnChanging && (!guardedOk([&] { OnChanging(*this, node, allow); }) || !allow)) {
        m_refused = true;
        setCurrentQuietly(previous);
        return;
    }
    ClientDataSet* ds = DataSet();
    if (ds && ds->currentPosition() != node.position && !guardedOk([&] { ds->SetRecNo(node.position + 1); })) {
        // The dataset could not leave its record (a pending post failed): back to its node.
        setCurrentQuietly(m_model->indexOfPosition(ds->currentPosition()));
        return;
    }
    if (currentIndex() == current)
        fireChange();
}

// A mouse press selects the pressed node after making it current, so a refused change has its
// selection put back once the view is done with the mouse.
void TDBTree::keepSelectionOnCurrent()
{
    if (!m_refused)
        return;
    QScopedValueRollback syncing(m_syncing, true);
    selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void TDBTree::mousePressEvent(QMouseEvent* event)
{
    m_refused = false;
    QTreeView::mousePressEvent(event);
    keepSelectionOnCurrent();
}

void TDBTree::mouseMoveEvent(QMouseEvent* event)
{
    QTreeView::mouseMoveEvent(event);
    keepSelectionOnCurrent();
}

void TDBTree::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    keepSelectionOnCurrent();
    m_refused = false;
}

void TDBTree::keyPressEvent(QKeyEvent* event)
{
    if (OnKeyDown) {
        int key = event->key();
        if (!guardedOk([&] { OnKeyDown(*this, key, event->modifiers()); }) || key == 0) {
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

} // namespace framework
