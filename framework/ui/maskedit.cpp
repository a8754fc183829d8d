#include "maskedit.h"

#include "guard.h"

#include <QFocusEvent>
#include <QTimer>

namespace framework {

TMaskEdit::TMaskEdit(QWidget* parent, const QString& name) : QLineEdit(parent)
{
    setObjectName(name);
}

void TMaskEdit::setEditMask(const QString& mask)
{
    const QString value = Text();
    m_mask = EditMask(mask);
    setInputMask(m_mask.qtInputMask());
    setText(value);
}

QString TMaskEdit::Text() const
{
    return m_mask.isEmpty() ? QLineEdit::text() : m_mask.valueOf(displayText());
}

void TMaskEdit::setText(const QString& value)
{
    QLineEdit::setText(m_mask.displayOf(value));
}

void TMaskEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // The form handing the focus over (after a check, on opening a page) leaves the cursor
    // where it was, often past the input, where what the user types would be lost.
    if (event->reason() != Qt::MouseFocusReason)
        keepCursorInInput();
    guarded([this] { entering(); });
    emit entered();
}

void TMaskEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    keepCursorInInput();
}

// A cursor past what was typed sits among the mask's blanks, where nothing can be typed: it goes
// to the end of the input, as the user expects.
void TMaskEdit::keepCursorInInput()
{
    if (m_mask.isEmpty() || hasSelectedText())
        return;
    const int end = m_mask.endOfInput(displayText());
    if (cursorPosition() > end)
        setCursorPosition(end);
}

void TMaskEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (menu, completer) taking the focus for a moment, or another window becoming the
    // active one (a message this edit's own check shows), is not leaving the edit.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    bool accepted = false;
    guarded([&] { accepted = leaving(); });
    if (!accepted) {
        QTimer::singleShot(0, this, [this] {
            setFocus();
            selectAll();
        });
        return;
    }
    emit exited();
}

} // namespace framework
