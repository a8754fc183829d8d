#pragma once

#include <QObject>
#include <QPointer>
#include <exception>

namespace framework {

// Runs what a view computes while it paints (display texts, cell handlers). A failure must not
// leave the paint, and a dialog inside a paint would come back on every repaint: the first
// failure is shown through the guard once the event loop is back, later ones stay silent until
// rearm() (the view's data was reloaded).
class PaintGuard {
public:
    explicit PaintGuard(const QObject* context) : m_context(context) {}

    template <class F>
    bool run(F&& f) const
    {
        try {
            f();
            return true;
        } catch (...) {
            report(std::current_exception());
            return false;
        }
    }

    void rearm() { m_reported = false; }

private:
    void report(std::exception_ptr failure) const;

    QPointer<const QObject> m_context;
    mutable bool m_reported = false;
};

} // namespace framework
