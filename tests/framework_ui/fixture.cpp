#include "fixture.h"

#include <QLineEdit>

bool TestWindow::show()
{
    spare = add(new QLineEdit(&window));
    spare->setObjectName(QStringLiteral("spare"));
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

void TestWindow::leaveTo(QWidget* other) const
{
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}
