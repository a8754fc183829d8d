#include "panelfocus.h"

#include "framework/ui/guard.h"

#include <QApplication>
#include <QWidget>

namespace framework {

PanelFocus::PanelFocus(QWidget* panel, Handler onEnter, Handler onExit)
    : QObject(panel), m_panel(panel), m_onEnter(std::move(onEnter)), m_onExit(std::move(onExit))
{
    connect(qApp, &QApplication::focusChanged, this, &PanelFocus::focusChanged);
}

bool PanelFocus::contains(const QWidget* widget) const
{
    return widget && m_panel && (widget == m_panel || m_panel->isAncestorOf(widget));
}

void PanelFocus::focusChanged(QWidget* old, QWidget* now)
{
    const bool wasIn = contains(old), isIn = contains(now);
    if (!wasIn && isIn && m_onEnter)
        guarded(m_onEnter);
    // A focus lost to another window (a dialog) is no exit: the user has not left the panel.
    else if (wasIn && !isIn && now && m_onExit)
        guarded(m_onExit);
}

} // namespace framework
