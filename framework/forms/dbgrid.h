#pragma once

#include "column.h"
#include "paintguard.h"

#include <QColor>
#include <QIcon>
#include <QTableView>
#include <QVariant>
#include <functional>

namespace framework {

class ClientDataSet;
class DataSetModel;
class DataSource;
class Field;
class GridDelegate;

// What one cell will look like; OnDrawColumnCell may change it before it is painted.
struct TCellPaint {
    enum Check { ckNone, ckChecked, ckUnchecked, ckGreyed }; // ckGreyed: a check that cannot be changed

    const ClientDataSet* dataSet = nullptr;
    int row = -1; // position in the dataset's current order
    TColumn* column = nullptr;
    Field* field = nullptr;
    bool selected = false;
    bool editing = false; // the cell's record is being edited or inserted
    QString text;         // drawn 3 pixels in from the left unless a check image is shown
    QIcon icon;           // when set, drawn 2 pixels in from the left, and the text 22 pixels in
    QColor textColor;
    QColor background;    // filled behind the cell when valid
    bool greyed = false;  // text the user cannot type: drawn in the disabled-text colour
    Check check = ckNone; // a centred check image instead of the text

    // A value of the painted row (the dataset's current record is another one while painting).
    QVariant value(const QString& fieldName) const;
    // "S" checked; "N", empty or null unchecked; anything else no image.
    static Check checkFor(const QVariant& flag);
};

// The data grid: the rows of a data source's dataset, one column per TColumn, edited in place.
//
// The grid's current row is the dataset's current record both ways. Editing a cell puts the
// dataset in edit on that row and hands the typed text to Field::setText when the editor commits
// (Enter, Tab, moving away, or the dataset posting). Keyboard, as in desktop database grids:
//   Insert          inserts a row before the current one;
//   Down            on the last row appends a row (while inserting: posts it and appends the next);
//   Ctrl+Delete     deletes the current row, asking "Excl" first under dgConfirmDelete;
//   Esc             in the cell editor drops what was typed; in the grid cancels the row's edit;
//   Enter, F2       open the cell editor.
// The editing keys work only with dgEditing on and the grid not read-only.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    enum Option {
        dgEditing = 0x1,
        dgTitles = 0x2,
        dgColumnResize = 0x4,
        dgColLines = 0x8,
        dgRowLines = 0x10,
        dgTabs = 0x20,
        dgAlwaysShowSelection = 0x40,
        dgConfirmDelete = 0x80,
        dgRowSelect = 0x100,
    };
    Q_DECLARE_FLAGS(Options, Option)

    using GridEvent = std::function<void(TDBGrid& grid)>;
    using ColumnEvent = std::function<void(TDBGrid& grid, TColumn& column)>;
    using KeyEvent = std::function<void(TDBGrid& grid, int& key, Qt::KeyboardModifiers shift)>; // key 0: swallowed
    using KeyPressEvent = std::function<void(TDBGrid& grid, QChar& key)>; // null: swallowed; may replace it
    using DrawCellEvent = std::function<void(TDBGrid& grid, TCellPaint& cell)>;

    explicit TDBGrid(QWidget* parent = nullptr, const QString& name = {});
    ~TDBGrid() override;

    DataSource* dataSource() const;
    void setDataSource(DataSource* source);
    ClientDataSet* DataSet() const; // null unless the source has an open dataset
    DataSetModel* dataModel() const { return m_model; }

    // Columns; until one is added the grid shows every visible field.
    TColumn* AddColumn(const QString& fieldName);
    int ColumnCount() const;
    TColumn* Columns(int index) const;

    Options options() const { return m_options; }
    void setOptions(Options options);
    void setOption(Option option, bool on);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // The selected column (the one the user is in) and its field.
    int SelectedIndex() const { return m_selectedColumn; }
    void setSelectedIndex(int column);
    TColumn* SelectedColumn() const { return Columns(m_selectedColumn); }
    Field* SelectedField() const;

    // The cell editor: open (it puts the dataset in edit) or closed after committing its text.
    bool EditorMode() const;
    void setEditorMode(bool on);
    QWidget* InplaceEditor() const;

    // The look of a cell after OnDrawColumnCell; what the grid paints. The text colour is the
    // palette's in the colour group the cell is painted in (inactive while the grid has no focus).
    TCellPaint cellPaint(const QModelIndex& index, bool selected, QPalette::ColorGroup group = QPalette::Active) const;

    GridEvent OnColEnter, OnColExit, OnEditButtonClick, OnDblClick, OnEnter, OnExit;
    ColumnEvent OnCellClick, OnTitleClick;
    KeyEvent OnKeyDown;
    KeyPressEvent OnKeyPress;
    DrawCellEvent OnDrawColumnCell;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class GridDelegate;
    enum class KeyResult { Pass, Swallow, Replace };
    KeyResult applyKeyHooks(QKeyEvent* event, QString& text);
    bool handleGridKey(QKeyEvent* event);
    bool canEdit() const;
    bool beginCellEdit(const QModelIndex& index); // the dataset on the row, in edit
    void cancelRowEdit();
    void deleteRecord();
    void insertRecord(bool append);
    void syncCurrentRow();
    void setCurrentQuietly(const QModelIndex& index);
    void applyColumns();
    void applyColumn(int column);
    void applyOptions();
    int firstVisibleColumn() const;
    bool contains(const QWidget* widget) const;
    void commitEditor();
    void refreshEditor(const Field* field);

    DataSetModel* m_model;
    GridDelegate* m_delegate;
    Options m_options;
    bool m_readOnly = false;
    int m_selectedColumn = -1;
    bool m_syncing = false;    // moving the view to the dataset: no events back to it
    bool m_forwarding = false; // a key the hooks already saw travels on to the editor
    QMetaObject::Connection m_focusConnection;
    PaintGuard m_paintGuard; // OnDrawColumnCell runs inside the paint
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGrid::Options)

// The index of the grid column that shows a field; -1 when none does.
int IndiceCol(const TDBGrid& grid, const QString& fieldName);

} // namespace framework
