#pragma once

#include <QString>

class QWidget;

namespace framework {

// The progress window shown during server calls, with the busy cursor. Calls nest: the window
// (and the cursor) go away at the DeactiveShowAvi that matches the first ActiveShowAvi; an
// inner call only replaces the text. An extra DeactiveShowAvi does nothing.
void ActiveShowAvi(QWidget* form, int animation, const QString& text);
void DeactiveShowAvi();
bool ShowAviActive();

// Shows the window for the lifetime of the object, also when an exception leaves the scope.
class ShowAviScope {
public:
    ShowAviScope(QWidget* form, const QString& text, int animation = 0) { ActiveShowAvi(form, animation, text); }
    ~ShowAviScope() { DeactiveShowAvi(); }
    ShowAviScope(const ShowAviScope&) = delete;
    ShowAviScope& operator=(const ShowAviScope&) = delete;
};

} // namespace framework
