#include "dbedit.h"

#include "guard.h"
#include "framework/data/clientdataset.h"
#include "framework/data/numberformat.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace framework {

TDBEdit::TDBEdit(QWidget* parent, const QString& name) : TMaskEdit(parent, name), m_link(new FieldDataLink(this))
{
    m_link->onDataChange = [this] { showField(); };
    m_link->onStateChange = [this] { refreshState(); };
    m_link->onUpdateData = [this] { writeField(); };
    connect(this, &QLineEdit::textEdited, m_link, [this] { m_link->setModified(true); });
    refreshState();
}

void TDBEdit::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    refreshState();
}

void TDBEdit::refreshState()
{
    Field* f = field();
    QLineEdit::setReadOnly(m_readOnly || !m_link->canModify());
    // The field's mask applies unless the edit was given its own.
    if (m_maskFromField || editMask().isEmpty()) {
        const QString fieldMask = f ? f->EditMask() : QString();
        if (fieldMask != editMask().source())
            setEditMask(fieldMask);
        m_maskFromField = !fieldMask.isEmpty();
    }
    // Setting the length re-sets the text (losing the selection): only when it changes.
    const int length = f && f->DataType() == FieldType::String && f->Size() > 0 && editMask().isEmpty() ? f->Size()
                                                                                                      : 32767;
    if (length != maxLength())
        setMaxLength(length);
}

QString TDBEdit::fieldText(const Field& field, bool editing) const
{
    return editing || !editMask().isEmpty() ? field.Text() : field.DisplayText();
}

void TDBEdit::showField()
{
    if (m_startingEdit)
        return; // the key that started the edit applies to the text as the user sees it
    Field* f = field();
    const QString value = f ? fieldText(*f, hasFocus()) : QString();
    if (value != Text())
        setText(value);
}

void TDBEdit::writeField()
{
    Field* f = field();
    if (!f)
        return;
    m_link->edit();
    writeValue(*f);
}

void TDBEdit::writeValue(Field& field)
{
    field.setText(Text());
}

bool TDBEdit::changesText(const QKeyEvent* event) const
{
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint()
           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void TDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link->modified()) {
        m_link->reset();
        selectAll();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (guardedOk([this] { m_link->updateRecord(); }))
            selectAll();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!isReadOnly() && changesText(event)) {
        bool editing = false;
        m_startingEdit = true;
        guarded([&] { editing = m_link->edit(); });
        m_startingEdit = false;
        if (!editing) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

bool TDBEdit::leaving()
{
    m_link->updateRecord();
    showField();
    return true;
}

void TDBEdit::entering()
{
    if (!m_link->modified())
        showField();
}

TDBNumberEdit::TDBNumberEdit(QWidget* parent, const QString& name) : TDBEdit(parent, name)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setDecimals(m_decimals);
}

void TDBNumberEdit::setDecimals(int decimals)
{
    m_decimals = qMax(0, decimals);
    const QString pattern = m_decimals > 0 ? QStringLiteral("-?[0-9.]*(,[0-9]{0,%1})?").arg(m_decimals)
                                           : QStringLiteral("-?[0-9.]*");
    delete validator();
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    showField();
}

QString TDBNumberEdit::fieldText(const Field& field, bool editing) const
{
    if (field.IsNull())
        return {};
    const QString decimals = m_decimals > 0 ? QStringLiteral(".") + QString(m_decimals, QLatin1Char('0')) : QString();
    return formatNumber(field.AsFloat(), (editing ? QStringLiteral("0") : QStringLiteral("#,##0")) + decimals);
}

} // namespace framework
