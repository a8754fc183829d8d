#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

namespace framework {

class TDBGrid;

// Paints a TDBGrid's cells as TDBGrid::cellPaint describes them and gives each column its
// editor: a line edit (masked by the field's edit mask), the same with an ellipsis button (OnEditButtonClick) or an editable
// drop-down of the column's pick list. Keys typed into the editor pass the grid's key hooks first.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(TDBGrid* grid);

    QWidget* editor() const { return m_editor; }
    const QPersistentModelIndex& editedIndex() const { return m_index; }
    void commit(); // writes the open editor's text to the model

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString editorText(const QWidget* editor);

    TDBGrid* m_grid;
    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_index;
};

} // namespace framework
