#include "griddelegate.h"

#include "dbgrid.h"
#include "framework/data/field.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>

namespace framework {

namespace {

QIcon ellipsisIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QApplication::palette().color(QPalette::ButtonText));
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("..."));
    return QIcon(pixmap);
}

} // namespace

GridDelegate::GridDelegate(TDBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    TColumn* column = m_grid->Columns(index.column());
    if (!column || !m_grid->beginCellEdit(index))
        return nullptr;
    QWidget* editor;
    if (column->hasPickList()) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(column->PickList());
        editor = combo;
    } else {
        auto* edit = new TMaskEdit(parent);
        edit->setFrame(false);
        if (const Field* field = column->field()) {
            if (!field->EditMask().isEmpty())
                edit->setEditMask(field->EditMask());
            else if (field->DataType() == FieldType::String && field->Size() > 0)
                edit->setMaxLength(field->Size());
        }
        if (column->buttonStyle() == TColumn::cbsEllipsis) {
            QAction* button = edit->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
            button->setObjectName(QStringLiteral("EditButton"));
            TDBGrid* grid = m_grid;
            guardedConnect(button, &QAction::triggered, grid, [grid] {
                if (grid->OnEditButtonClick)
                    grid->OnEditButtonClick(*grid);
            });
        }
        editor = edit;
    }
    m_editor = editor;
    m_index = index;
    return editor;
}

void GridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == m_editor) {
        m_editor = nullptr;
        m_index = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        combo->setCurrentText(text);
    else if (auto* edit = qobject_cast<TMaskEdit*>(editor))
        edit->setText(text);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    // Only what the user changed is written, so that leaving a cell untouched runs no text handler.
    const QString text = editorText(editor);
    if (text != index.data(Qt::EditRole).toString())
        model->setData(index, text, Qt::EditRole);
}

void GridDelegate::commit()
{
    if (m_editor && m_index.isValid())
        setModelData(m_editor, const_cast<QAbstractItemModel*>(m_index.model()), m_index);
}

QString GridDelegate::editorText(const QWidget* editor)
{
    if (auto* combo = qobject_cast<const QComboBox*>(editor))
        return combo->currentText();
    if (auto* edit = qobject_cast<const TMaskEdit*>(editor))
        return edit->Text();
    return {};
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    // The colours of the group the style paints the cell in, as Qt's item views choose it: the
    // selection of a grid without the focus is drawn inactive, and so must its text be.
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    const TCellPaint cell = m_grid->cellPaint(index, opt.state & QStyle::State_Selected, group);
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    if (cell.background.isValid())
        painter->fillRect(opt.rect, cell.background);

    if (cell.check != TCellPaint::ckNone) {
        QStyleOptionViewItem check(opt);
        const QSize size(style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, opt.widget),
                         style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, opt.widget));
        check.rect = QRect(opt.rect.center() - QPoint(size.width() / 2, size.height() / 2), size);
        check.state = QStyle::State_Enabled;
        check.state |= cell.check == TCellPaint::ckUnchecked ? QStyle::State_Off : QStyle::State_On;
        if (cell.check == TCellPaint::ckGreyed)
            check.state &= ~QStyle::State_Enabled;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, opt.widget);
        return;
    }
    int textLeft = 3;
    if (!cell.icon.isNull()) {
        const int side = std::min(16, opt.rect.height() - 2);
        cell.icon.paint(painter, QRect(opt.rect.left() + 2, opt.rect.center().y() - side / 2, side, side));
        textLeft = 22;
    }
    painter->save();
    painter->setPen(cell.greyed ? opt.palette.color(QPalette::Disabled, QPalette::Text) : cell.textColor);
    const QRect textRect = opt.rect.adjusted(textLeft, 0, -3, 0);
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    painter->drawText(textRect, int(alignment), opt.fontMetrics.elidedText(cell.text, Qt::ElideRight, textRect.width()));
    painter->restore();
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || m_grid->m_forwarding)
        return QStyledItemDelegate::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    QString text;
    switch (m_grid->applyKeyHooks(key, text)) {
    case TDBGrid::KeyResult::Swallow:
        return true;
    case TDBGrid::KeyResult::Replace: {
        QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(), text);
        QScopedValueRollback forwarding(m_grid->m_forwarding, true);
        QCoreApplication::sendEvent(watched, &replaced);
        return true;
    }
    case TDBGrid::KeyResult::Pass:
        break;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace framework
