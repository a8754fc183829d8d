#include "forms_fixture.h"

#include "framework/abort.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

using namespace framework;

namespace {

// A panel of two edits beside an edit outside it, as the recipe form's branch panel.
struct PanelWindow {
    QWidget window;
    QWidget* panel = new QWidget(&window);
    QLineEdit* code = new QLineEdit(panel);
    QLineEdit* name = new QLineEdit(panel);
    QLineEdit* outside = new QLineEdit(&window);
    PanelWindow()
    {
        auto* inner = new QHBoxLayout(panel);
        inner->addWidget(code);
        inner->addWidget(name);
        auto* outer = new QHBoxLayout(&window);
        outer->addWidget(panel);
        outer->addWidget(outside);
    }
    void focus(QWidget* w)
    {
        w->setFocus();
        QApplication::processEvents();
    }
};

TEST(PanelFocus, EntersAndExitsOnlyWhenTheFocusCrossesThePanelsEdge)
{
    installScriptedDialogs();
    PanelWindow w;
    QStringList events;
    new PanelFocus(w.panel, [&] { events << "enter"; }, [&] { events << "exit"; });
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.focus(w.outside);
    events.clear();

    w.focus(w.code);
    w.focus(w.name); // moving inside the panel is neither
    w.focus(w.outside);
    EXPECT_EQ(events, QStringList({"enter", "exit"}));
}

TEST(PanelFocus, ARefusedExitIsShownAndTheHandlerKeepsTheFocus)
{
    auto& script = installScriptedDialogs();
    PanelWindow w;
    new PanelFocus(w.panel, nullptr, [&] {
        w.code->setFocus();
        throw Error("Filial não cadastrada.");
    });
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.focus(w.code);
    w.focus(w.outside);
    EXPECT_EQ(script.messageTexts(), QStringList{"Filial não cadastrada."});
    EXPECT_TRUE(w.code->hasFocus());
}

} // namespace
