#include "guard.h"

#include "dialogs.h"
#include "framework/abort.h"

#include <QTimer>
#include <exception>

namespace framework {

namespace {

QString currentExceptionText()
{
    try {
        throw;
    } catch (const Error& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Erro inesperado.");
    }
}

} // namespace

void handleCurrentException() noexcept
{
    try {
        throw;
    } catch (const Abort&) {
        return;
    } catch (...) {
    }
    try {
        dialogs().showMessage({QString(), currentExceptionText(), mtError, mbOK});
    } catch (...) {
        // Showing the error failed too (a script without answers, a broken dialog): nothing
        // more can be done from inside an event handler.
    }
}

void guardedSingleShot(int msec, const QObject* context, std::function<void()> f)
{
    QTimer::singleShot(msec, context, [f = std::move(f)] { guarded(f); });
}

GuardedEventFilter::GuardedEventFilter(QObject* watched, Handler handler)
    : QObject(watched), m_handler(std::move(handler))
{
}

bool GuardedEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    bool consumed = true;
    guarded([&] { consumed = m_handler(watched, event); });
    return consumed;
}

GuardedEventFilter* installGuardedEventFilter(QObject* watched, GuardedEventFilter::Handler handler)
{
    auto* filter = new GuardedEventFilter(watched, std::move(handler));
    watched->installEventFilter(filter);
    return filter;
}

} // namespace framework
