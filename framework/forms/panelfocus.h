#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace framework {

// Enter and exit events of a container (a panel of edits): entered when the focus comes into it
// from outside, exited when the focus leaves it for a control outside. Forms hang their panel
// rules here (a branch confirmed when the branch panel is left). The handlers run through the
// guard; a handler that refuses the exit puts the focus back where it wants it.
class PanelFocus : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    PanelFocus(QWidget* panel, Handler onEnter, Handler onExit);

    bool contains(const QWidget* widget) const;

private:
    void focusChanged(QWidget* old, QWidget* now);
    QPointer<QWidget> m_panel;
    Handler m_onEnter;
    Handler m_onExit;
};

} // namespace framework
