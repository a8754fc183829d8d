#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <type_traits>
#include <utility>

class QEvent;

namespace framework {

// Called inside catch (...): swallows framework::Abort silently and shows any other failure
// (framework::Error's message, another std::exception's what(), an unknown exception) as an
// error through the message service. Qt does not carry exceptions through its event loop, so
// every slot, event filter and timer of the forms runs through here.
void handleCurrentException() noexcept;

template <class F>
void guarded(F&& f)
{
    try {
        f();
    } catch (...) {
        handleCurrentException();
    }
}

// Same as guarded(), and tells whether f ran to the end (false: it threw).
template <class F>
bool guardedOk(F&& f)
{
    try {
        f();
        return true;
    } catch (...) {
        handleCurrentException();
        return false;
    }
}

// QObject::connect with the slot run through the guard. The functor may take fewer arguments
// than the signal carries, as with a plain connect.
template <class Sender, class Signal, class F>
QMetaObject::Connection guardedConnect(const Sender* sender, Signal signal, const QObject* context, F&& f,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    using Fn = std::decay_t<F>;
    return QObject::connect(
        sender, signal, context,
        [fn = Fn(std::forward<F>(f))](auto&&... args) mutable
        -> decltype(void(std::declval<Fn&>()(std::forward<decltype(args)>(args)...))) {
            guarded([&] { fn(std::forward<decltype(args)>(args)...); });
        },
        type);
}

// A guarded single-shot timer: runs f after msec unless context is gone.
void guardedSingleShot(int msec, const QObject* context, std::function<void()> f);

// An event filter whose handler runs through the guard. The handler returns true to consume
// the event; when it throws, the event is consumed too (the action it started was refused).
class GuardedEventFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;
    GuardedEventFilter(QObject* watched, Handler handler);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_handler;
};

// Installs a GuardedEventFilter on watched (owned by watched) and returns it.
GuardedEventFilter* installGuardedEventFilter(QObject* watched, GuardedEventFilter::Handler handler);

} // namespace framework
