#include "showavi.h"

#include "dialogs.h"

#include <QApplication>

namespace framework {

namespace {
int g_depth = 0;
}

void ActiveShowAvi(QWidget* form, int /*animation: one busy indicator serves every kind*/, const QString& text)
{
    if (g_depth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    dialogs().showProgress(form, text);
}

void DeactiveShowAvi()
{
    if (g_depth == 0)
        return;
    if (--g_depth == 0) {
        dialogs().hideProgress();
        QApplication::restoreOverrideCursor();
    }
}

bool ShowAviActive()
{
    return g_depth > 0;
}

} // namespace framework
