#include "formbase.h"

#include "framework/ui/guard.h"
#include "framework/ui/messages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>

namespace framework {

namespace {

// Controls where Enter means "done with this one": not grids, trees, multi-line texts or buttons.
bool movesOnWithEnter(const QWidget* w)
{
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p))
            return false; // a grid's cell editor
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w)
           || qobject_cast<const QAbstractSpinBox*>(w)
           || (qobject_cast<const QAbstractButton*>(w) && qobject_cast<const QAbstractButton*>(w)->isCheckable());
}

} // namespace

TfrmBase::TfrmBase(QWidget* parent) : QWidget(parent) { qApp->installEventFilter(this); }

TfrmBase::~TfrmBase() = default;

void TfrmBase::FormKeyDown(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
        && movesOnWithEnter(QApplication::focusWidget())) {
        focusNextChild();
        event->accept();
    }
}

int TfrmBase::ShowModal()
{
    if (!isWindow())
        setWindowFlag(Qt::Window);
    setWindowModality(Qt::ApplicationModal);
    m_modalResult = mrNone;
    QEventLoop loop;
    m_modalLoop = &loop;
    show();
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    return m_modalResult;
}

void TfrmBase::setModalResult(int result)
{
    m_modalResult = result;
    if (result != mrNone && m_modalLoop)
        close();
}

bool TfrmBase::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        guarded([this] { FormActivate(); });
    return QWidget::event(event);
}

void TfrmBase::closeEvent(QCloseEvent* event)
{
    if (!guardedOk([this] { FormClose(); })) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_modalLoop) {
        if (m_modalResult == mrNone)
            m_modalResult = mrCancel;
        m_modalLoop->quit();
    }
}

bool TfrmBase::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // The key travels from the focused control to its parents: look at it once, on its way in.
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* focus = QApplication::focusWidget();
    if (widget != (focus ? focus : window()) || (widget != this && !isAncestorOf(widget)))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool wasAccepted = key->isAccepted();
    key->ignore();
    const bool ran = guardedOk([&] { FormKeyDown(key); });
    const bool consumed = !ran || key->isAccepted();
    key->setAccepted(wasAccepted);
    return consumed;
}

} // namespace framework
