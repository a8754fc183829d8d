#include "paintguard.h"

#include "framework/ui/guard.h"

namespace framework {

void PaintGuard::report(std::exception_ptr failure) const
{
    if (m_reported || !m_context)
        return;
    m_reported = true;
    guardedSingleShot(0, m_context, [failure] { std::rethrow_exception(failure); });
}

} // namespace framework
