#include "dbgrid.h"

#include "datasetmodel.h"
#include "griddelegate.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace framework {

QVariant TCellPaint::value(const QString& fieldName) const
{
    return dataSet ? dataSet->valueAt(row, dataSet->FindField(fieldName)) : QVariant();
}

TCellPaint::Check TCellPaint::checkFor(const QVariant& flag)
{
    const QString text = flag.toString();
    if (text == QLatin1String("S"))
        return ckChecked;
    if (text.isEmpty() || text == QLatin1String("N"))
        return ckUnchecked;
    return ckNone;
}

TDBGrid::TDBGrid(QWidget* parent, const QString& name)
    : QTableView(parent), m_model(new DataSetModel(this)), m_delegate(new GridDelegate(this)),
      m_options(dgEditing | dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgConfirmDelete),
      m_paintGuard(this)
{
    setObjectName(name);
    setModel(m_model);
    guardedConnect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_paintGuard.rearm(); });
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    // One row height for every row: the view then never measures rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    applyOptions();

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        syncCurrentRow();
    });
    connect(m_model, &DataSetModel::columnChanged, this, &TDBGrid::applyColumn);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (TColumn* c = Columns(logical); c && !isColumnHidden(logical) && size > 0)
            c->setWidth(size);
    });
    guardedConnect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) {
        if (TColumn* c = Columns(logical); c && OnTitleClick)
            OnTitleClick(*this, *c);
    });
    guardedConnect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (TColumn* c = Columns(index.column()); c && OnCellClick)
            OnCellClick(*this, *c);
    });
    guardedConnect(this, &QAbstractItemView::doubleClicked, this, [this] {
        if (OnDblClick)
            OnDblClick(*this);
    });
    m_focusConnection = guardedConnect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const bool was = contains(old);
        const bool is = contains(now);
        if (!was && is && OnEnter)
            OnEnter(*this);
        else if (was && !is && OnExit)
            OnExit(*this);
    });
}

TDBGrid::~TDBGrid()
{
    // Hiding the dying widget moves the focus; the hooks are gone by then.
    disconnect(m_focusConnection);
}

DataSource* TDBGrid::dataSource() const { return m_model->dataSource(); }

void TDBGrid::setDataSource(DataSource* source)
{
    if (DataSource* old = m_model->dataSource())
        disconnect(old, nullptr, this, nullptr);
    m_model->setDataSource(source);
    if (source) {
        // The model is connected first, so the rows are current when the grid follows the cursor.
        connect(source, &DataSource::dataChanged, this, [this](Field* field) {
            if (field)
                refreshEditor(field);
            else
                syncCurrentRow();
        });
        connect(source, &DataSource::updateData, this, &TDBGrid::commitEditor);
    }
    syncCurrentRow();
}

ClientDataSet* TDBGrid::DataSet() const { return m_model->dataSet(); }

TColumn* TDBGrid::AddColumn(const QString& fieldName) { return m_model->AddColumn(fieldName); }

int TDBGrid::ColumnCount() const { return m_model->ColumnCount(); }

TColumn* TDBGrid::Columns(int index) const { return m_model->column(index); }

void TDBGrid::setOptions(Options options)
{
    m_options = options;
    applyOptions();
}

void TDBGrid::setOption(Option option, bool on)
{
    setOptions(on ? m_options | option : m_options & ~Options(option));
}

void TDBGrid::applyOptions()
{
    setEditTriggers(m_options & dgEditing ? EditKeyPressed | AnyKeyPressed | SelectedClicked | DoubleClicked
                                          : NoEditTriggers);
    horizontalHeader()->setVisible(m_options & dgTitles);
    horizontalHeader()->setSectionResizeMode(m_options & dgColumnResize ? QHeaderView::Interactive : QHeaderView::Fixed);
    setShowGrid(m_options & (dgColLines | dgRowLines));
    setTabKeyNavigation(m_options & dgTabs);
    setSelectionBehavior(m_options & dgRowSelect ? SelectRows : SelectItems);
    // Without dgAlwaysShowSelection the selection shows only while the grid has the focus.
    QPalette pal = palette();
    const QPalette app = QApplication::palette(this);
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 m_options & dgAlwaysShowSelection ? app.color(QPalette::Inactive, QPalette::Highlight)
                                                   : app.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 m_options & dgAlwaysShowSelection ? app.color(QPalette::Inactive, QPalette::HighlightedText)
                                                   : app.color(QPalette::Inactive, QPalette::Text));
    setPalette(pal);
}

void TDBGrid::setSelectedIndex(int column)
{
    if (!Columns(column))
        return;
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    if (row < 0) {
        m_selectedColumn = column;
        return;
    }
    setCurrentIndex(m_model->index(row, column));
}

Field* TDBGrid::SelectedField() const
{
    const TColumn* c = SelectedColumn();
    return c ? c->field() : nullptr;
}

bool TDBGrid::EditorMode() const { return m_delegate->editor() != nullptr; }

void TDBGrid::setEditorMode(bool on)
{
    if (on) {
        if (!EditorMode() && currentIndex().isValid())
            edit(currentIndex());
    } else if (QWidget* editor = m_delegate->editor()) {
        m_delegate->commit();
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QWidget* TDBGrid::InplaceEditor() const { return m_delegate->editor(); }

void TDBGrid::commitEditor() { m_delegate->commit(); }

void TDBGrid::refreshEditor(const Field* field)
{
    // A rule (an edit button's search, a text handler) changed the field being edited: show it.
    QWidget* editor = m_delegate->editor();
    const QModelIndex index = m_delegate->editedIndex();
    if (editor && index.isValid() && m_model->fieldAt(index.column()) == field)
        m_delegate->setEditorData(editor, index);
}

TCellPaint TDBGrid::cellPaint(const QModelIndex& index, bool selected, QPalette::ColorGroup group) const
{
    TCellPaint cell;
    ClientDataSet* ds = DataSet();
    cell.dataSet = ds;
    cell.row = index.row();
    cell.column = Columns(index.column());
    cell.field = cell.column ? cell.column->field() : nullptr;
    cell.selected = selected;
    cell.editing = ds && index.row() == ds->currentPosition()
                   && (ds->state() == ClientDataSet::State::Edit || ds->state() == ClientDataSet::State::Insert);
    cell.text = index.data(Qt::DisplayRole).toString();
    cell.textColor = palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (OnDrawColumnCell)
        m_paintGuard.run([&] { OnDrawColumnCell(*const_cast<TDBGrid*>(this), cell); });
    return cell;
}

// --- Keys -----------------------------------------------------------------------------------

TDBGrid::KeyResult TDBGrid::applyKeyHooks(QKeyEvent* event, QString& text)
{
    text = event->text();
    bool swallowed = false;
    const bool ok = guardedOk([&] {
        if (OnKeyDown) {
            int key = event->key();
            OnKeyDown(*this, key, event->modifiers());
            if (key == 0) {
                swallowed = true;
                return;
            }
        }
        if (OnKeyPress && !text.isEmpty()) {
            QChar ch = text.at(0);
            OnKeyPress(*this, ch);
            if (ch.isNull())
                swallowed = true;
            else if (ch != text.at(0))
                text = QString(ch);
        }
    });
    if (!ok || swallowed)
        return KeyResult::Swallow;
    return text == event->text() ? KeyResult::Pass : KeyResult::Replace;
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    // A key the cell editor did not use arrives here too; its hooks have already run.
    const bool fromEditor = EditorMode() && QApplication::focusWidget() != this;
    if (!m_forwarding && !fromEditor) {
        QString text;
        switch (applyKeyHooks(event, text)) {
        case KeyResult::Swallow:
            event->accept();
            return;
        case KeyResult::Replace: {
            QKeyEvent replaced(QEvent::KeyPress, event->key(), event->modifiers(), text);
            QScopedValueRollback forwarding(m_forwarding, true);
            QTableView::keyPressEvent(&replaced);
            return;
        }
        case KeyResult::Pass:
            break;
        }
    }
    if (handleGridKey(event)) {
        event->accept();
        return;
    }
    QScopedValueRollback forwarding(m_forwarding, true);
    QTableView::keyPressEvent(event);
}

bool TDBGrid::handleGridKey(QKeyEvent* event)
{
    ClientDataSet* ds = DataSet();
    if (!ds)
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (mods != Qt::ControlModifier || !canEdit())
            return false;
        guarded([this] { deleteRecord(); });
        return true;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier || !canEdit())
            return false;
        guarded([this] { insertRecord(false); });
        return true;
    case Qt::Key_Down:
        if (mods != Qt::NoModifier || !canEdit() || currentIndex().row() != ds->RecordCount() - 1)
            return false;
        guarded([this] { insertRecord(true); });
        return true;
    case Qt::Key_Escape:
        if (EditorMode()
            || (ds->state() != ClientDataSet::State::Edit && ds->state() != ClientDataSet::State::Insert))
            return false;
        guarded([this] { cancelRowEdit(); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::NoModifier || EditorMode() || !(m_options & dgEditing) || !currentIndex().isValid())
            return false;
        edit(currentIndex());
        return true;
    default:
        return false;
    }
}

bool TDBGrid::canEdit() const { return (m_options & dgEditing) && !m_readOnly && DataSet(); }

bool TDBGrid::beginCellEdit(const QModelIndex& index)
{
    const TColumn* column = Columns(index.column());
    if (!canEdit() || !column || !column->editable())
        return false;
    ClientDataSet* ds = DataSet();
    return guardedOk([&] {
        if (ds->currentPosition() != index.row())
            ds->SetRecNo(index.row() + 1);
        if (ds->state() == ClientDataSet::State::Browse)
            ds->Edit();
    });
}

void TDBGrid::cancelRowEdit()
{
    if (ClientDataSet* ds = DataSet())
        ds->Cancel();
}

void TDBGrid::deleteRecord()
{
    ClientDataSet* ds = DataSet();
    if (!ds || ds->IsEmpty())
        return;
    if ((m_options & dgConfirmDelete)
        && msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ds->Delete();
}

void TDBGrid::insertRecord(bool append)
{
    setEditorMode(false);
    ClientDataSet* ds = DataSet();
    if (append)
        ds->Append(); // a pending edit or insertion is posted first (its checks run)
    else
        ds->Insert();
}

// --- Current cell and the dataset's cursor --------------------------------------------------

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous); // commits and closes an open editor
    if (m_syncing || !current.isValid())
        return;
    const int oldColumn = m_selectedColumn;
    const bool columnMoved = oldColumn != current.column();
    if (columnMoved && oldColumn >= 0 && OnColExit && !guardedOk([this] { OnColExit(*this); })) {
        // The column refused to be left: back to it.
        ClientDataSet* ds = DataSet();
        setCurrentQuietly(m_model->index(ds ? ds->currentPosition() : previous.row(), oldColumn));
        return;
    }
    m_selectedColumn = current.column();
    ClientDataSet* ds = DataSet();
    if (ds && ds->currentPosition() != current.row()
        && !guardedOk([&] { ds->SetRecNo(current.row() + 1); }))
        syncCurrentRow(); // the record could not be left (its post failed): stay on it
    if (columnMoved && OnColEnter)
        guarded([this] { OnColEnter(*this); });
}

void TDBGrid::syncCurrentRow()
{
    ClientDataSet* ds = DataSet();
    if (!ds)
        return;
    const int row = ds->currentPosition();
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (!Columns(m_selectedColumn) || isColumnHidden(m_selectedColumn))
        m_selectedColumn = firstVisibleColumn();
    if (m_selectedColumn >= 0)
        setCurrentQuietly(m_model->index(row, m_selectedColumn));
}

void TDBGrid::setCurrentQuietly(const QModelIndex& index)
{
    if (!index.isValid() || currentIndex() == index)
        return;
    QScopedValueRollback syncing(m_syncing, true);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int TDBGrid::firstVisibleColumn() const
{
    for (int i = 0; i < ColumnCount(); ++i)
        if (!isColumnHidden(i))
            return i;
    return -1;
}

// --- Columns --------------------------------------------------------------------------------

void TDBGrid::applyColumns()
{
    for (int i = 0; i < ColumnCount(); ++i)
        applyColumn(i);
}

void TDBGrid::applyColumn(int index)
{
    TColumn* c = Columns(index);
    if (!c)
        return;
    setColumnHidden(index, !c->Visible());
    int width = c->Width();
    if (width < 0) {
        const QFontMetrics fm(font());
        const int chars = c->field() ? c->field()->DisplayWidth() : 10;
        width = std::max(fm.horizontalAdvance(c->Title()) + 12, fm.averageCharWidth() * chars + 8);
    }
    if (c->Visible() && columnWidth(index) != width)
        setColumnWidth(index, width);
}

bool TDBGrid::contains(const QWidget* widget) const
{
    // Popups (a pick list's drop-down) are windows of their own: follow parents across windows.
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

int IndiceCol(const TDBGrid& grid, const QString& fieldName) { return grid.dataModel()->columnOfField(fieldName); }

} // namespace framework
