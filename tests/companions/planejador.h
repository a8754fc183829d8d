#pragma once

// What a planner does on a companion form, as its tests do it.
#include "framework/ui/maskedit.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace planejador {

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    QApplication::processEvents();
}

// Types a code as the user does: into the field, then on to the next control.
inline void type(framework::TMaskEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
    QApplication::processEvents();
}

} // namespace planejador
