#include "forms_fixture.h"

#include "framework/abort.h"
#include "framework/forms/datasetmodel.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace framework;

namespace {

class GridTest : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        ds = makeDishes({{"1001", "Arroz", "P", 1.5, "S"},
                         {"1002", "Feijão", "P", 2, "N"},
                         {"1003", "Salada", "0001", 0.5, "X"},
                         {"1004", "Sopa", "P", 3, ""}});
        source.setDataSet(ds.get());
        grid.setDataSource(&source);
        for (const char* name : {"CDPRATO", "NMPRATO", "QTPESO", "IDATIVO"})
            grid.AddColumn(QString::fromLatin1(name));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&grid);
        layout->addWidget(&edit);
        window.resize(500, 300);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        grid.setFocus();
    }

    void goTo(int row, const QString& field)
    {
        grid.setCurrentIndex(grid.model()->index(row, IndiceCol(grid, field)));
    }

    QLineEdit* openEditor()
    {
        QTest::keyClick(&grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid.InplaceEditor());
        if (editor)
            editor->selectAll();
        return editor;
    }

    std::unique_ptr<ClientDataSet> ds;
    DataSource source{nullptr, QStringLiteral("dtsPrato")};
    QWidget window;
    TDBGrid& grid = *new TDBGrid(&window, QStringLiteral("dbgPrato"));
    QLineEdit& edit = *new QLineEdit(&window);
};

TEST_F(GridTest, TypedTextReachesTheFieldThroughItsTextHandler)
{
    QStringList handled;
    ds->FieldByName("NMPRATO")->OnSetText = [&](Field& f, const QString& text) {
        handled << text;
        f.setAsString(text.toUpper());
    };
    goTo(1, "NMPRATO");
    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit); // opening the editor began the edit
    EXPECT_EQ(editor->text(), "Feijão");
    QTest::keyClicks(editor, "tutu");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(ds->FieldByName("NMPRATO")->AsString(), QString("TUTU"));
    EXPECT_EQ(handled, QStringList{"tutu"});
    EXPECT_EQ(ds->RecNo(), 2);
    ds->Post();
    EXPECT_EQ(ds->valueAt(1, ds->FieldByName("NMPRATO")).toString(), "TUTU");
}

TEST_F(GridTest, AnOpenEditorIsCommittedWhenTheDatasetPosts)
{
    goTo(0, "QTPESO");
    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "2,25");
    ds->Post(); // as a toolbar's Confirmar would, with the cell still open
    EXPECT_DOUBLE_EQ(ds->valueAt(0, ds->FieldByName("QTPESO")).toDouble(), 2.25);
}

TEST_F(GridTest, TheEditorTakesTheFieldsEditMask)
{
    ds->FieldByName("NMPRATO")->setEditMask("!999:99;0; ");
    goTo(0, "NMPRATO");
    auto* editor = qobject_cast<TMaskEdit*>(openEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->inputMask().isEmpty());
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClicks(editor, "01230");
    const QString value = editor->Text();
    EXPECT_FALSE(value.contains(':')); // literals are not stored under this mask
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(ds->FieldByName("NMPRATO")->AsString(), value);
}

TEST_F(GridTest, KeyHooksSwallowAndReplaceKeysInTheGridAndItsEditor)
{
    grid.OnKeyDown = [](TDBGrid& g, int& key, Qt::KeyboardModifiers shift) {
        if (key == Qt::Key_Delete && (shift & Qt::ControlModifier))
            key = 0; // no deleting rows from the keyboard
        if (key == Qt::Key_E && g.SelectedField()->FieldName() == "QTPESO")
            key = 0;
    };
    grid.OnKeyPress = [](TDBGrid&, QChar& key) {
        if (key == QLatin1Char('.'))
            key = QLatin1Char(',');
        else if (key == QLatin1Char('-'))
            key = QChar();
    };
    goTo(2, "QTPESO");
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 4);
    EXPECT_TRUE(script->messages().isEmpty()); // not even asked

    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "-1e.75");
    EXPECT_EQ(editor->text(), "1,75");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(ds->FieldByName("QTPESO")->AsFloat(), 1.75);
}

TEST_F(GridTest, ConfirmDeleteAsksExclAndNoKeepsTheRow)
{
    goTo(1, "CDPRATO");
    script->answer(mrNo);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 4);
    ASSERT_EQ(script->messageKeys(), QStringList{"Excl"});

    script->answer(mrYes);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(currentCode(*ds), "1003");
    EXPECT_EQ(grid.currentIndex().row(), ds->RecNo() - 1);
}

TEST_F(GridTest, CurrentRowFollowsTheDatasetBothWays)
{
    ds->SetRecNo(3);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    goTo(3, "NMPRATO");
    EXPECT_EQ(ds->RecNo(), 4);
    ASSERT_TRUE(ds->Locate("CDPRATO", "1001"));
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(grid.SelectedField()->FieldName(), "NMPRATO"); // the column stays
}

TEST_F(GridTest, ColumnExitMayRefuseAndColumnEnterFollows)
{
    QStringList events;
    grid.OnColExit = [&](TDBGrid& g) {
        events << "exit " + g.SelectedField()->FieldName();
        if (g.SelectedField()->FieldName() == "QTPESO" && ds->FieldByName("QTPESO")->AsFloat() <= 0)
            throw Abort();
    };
    grid.OnColEnter = [&](TDBGrid& g) { events << "enter " + g.SelectedField()->FieldName(); };
    goTo(0, "NMPRATO");
    events.clear();
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(events, (QStringList{"exit NMPRATO", "enter QTPESO"}));

    ds->Edit();
    ds->FieldByName("QTPESO")->setAsFloat(0);
    events.clear();
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(events, QStringList{"exit QTPESO"});
    EXPECT_EQ(grid.SelectedField()->FieldName(), "QTPESO");
    EXPECT_EQ(grid.currentIndex().column(), IndiceCol(grid, "QTPESO"));
}

TEST_F(GridTest, InsertDownAndEscapeWorkAsInADesktopGrid)
{
    goTo(3, "CDPRATO");
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(ds->state(), ClientDataSet::State::Insert);
    EXPECT_EQ(ds->RecordCount(), 5);
    EXPECT_EQ(grid.currentIndex().row(), 4);

    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "1005");
    QTest::keyClick(editor, Qt::Key_Escape); // drops what was typed, the row stays
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(ds->state(), ClientDataSet::State::Insert);
    QTest::keyClick(&grid, Qt::Key_Escape); // cancels the row
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds->RecordCount(), 4);

    goTo(1, "CDPRATO");
    QTest::keyClick(&grid, Qt::Key_Insert);
    EXPECT_EQ(ds->state(), ClientDataSet::State::Insert);
    EXPECT_EQ(ds->RecNo(), 2);

    grid.setReadOnly(true);
    ds->Cancel();
    goTo(3, "CDPRATO");
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(ds->RecordCount(), 4);
}

TEST_F(GridTest, ReadOnlyColumnsAndFieldsAndTheEditingOptionKeepTheEditorClosed)
{
    grid.Columns(IndiceCol(grid, "CDPRATO"))->setReadOnly(true);
    goTo(0, "CDPRATO");
    QTest::keyClick(&grid, Qt::Key_F2);
    EXPECT_FALSE(grid.EditorMode());

    ds->FieldByName("NMPRATO")->setReadOnly(true);
    goTo(0, "NMPRATO");
    QTest::keyClick(&grid, Qt::Key_F2);
    EXPECT_FALSE(grid.EditorMode());

    grid.setOption(TDBGrid::dgEditing, false);
    goTo(0, "QTPESO");
    QTest::keyClick(&grid, Qt::Key_F2);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);
}

TEST_F(GridTest, EllipsisButtonAndPickListEditors)
{
    int clicks = 0;
    grid.OnEditButtonClick = [&](TDBGrid& g) {
        ++clicks;
        g.SelectedField()->setAsString("Escolhido");
    };
    grid.Columns(IndiceCol(grid, "NMPRATO"))->setButtonStyle(TColumn::cbsEllipsis);
    grid.Columns(IndiceCol(grid, "IDATIVO"))->setPickList({"S", "N"});

    goTo(0, "NMPRATO");
    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    auto* button = editor->findChild<QAction*>("EditButton");
    ASSERT_NE(button, nullptr);
    button->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ds->FieldByName("NMPRATO")->AsString(), "Escolhido");

    goTo(1, "IDATIVO");
    QTest::keyClick(&grid, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(grid.InplaceEditor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    combo->setCurrentIndex(0);
    grid.setEditorMode(false);
    EXPECT_EQ(ds->FieldByName("IDATIVO")->AsString(), "S");
}

TEST_F(GridTest, CellClicksTitleClicksAndFocusEvents)
{
    QStringList events;
    grid.OnCellClick = [&](TDBGrid&, TColumn& c) { events << "cell " + c.FieldName(); };
    grid.OnTitleClick = [&](TDBGrid&, TColumn& c) { events << "title " + c.FieldName(); };
    grid.OnExit = [&](TDBGrid&) { events << "exit"; };
    grid.OnEnter = [&](TDBGrid&) { events << "enter"; };
    const QRect cell = grid.visualRect(grid.model()->index(2, IndiceCol(grid, "IDATIVO")));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(ds->RecNo(), 3);
    const int title = grid.horizontalHeader()->sectionViewportPosition(IndiceCol(grid, "QTPESO")) + 5;
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(title, 5));

    edit.setFocus();
    grid.setFocus();
    EXPECT_EQ(events, (QStringList{"cell IDATIVO", "title QTPESO", "exit", "enter"}));
    grid.OnExit = nullptr; // events dies before the window
}

TEST_F(GridTest, CellPaintHookGreysTextAndShowsCheckImages)
{
    grid.OnDrawColumnCell = [](TDBGrid&, TCellPaint& cell) {
        if (cell.field->FieldName() == "IDATIVO")
            cell.check = TCellPaint::checkFor(cell.field->DataSet()->valueAt(cell.row, cell.field));
        if (cell.field->FieldName() == "QTPESO" && cell.value("CDFILAUXPRAT").toString() != "P")
            cell.greyed = true;
    };
    const auto paint = [&](int row, const char* field) {
        return grid.cellPaint(grid.model()->index(row, IndiceCol(grid, field)), false);
    };
    EXPECT_EQ(paint(0, "IDATIVO").check, TCellPaint::ckChecked);
    EXPECT_EQ(paint(1, "IDATIVO").check, TCellPaint::ckUnchecked);
    EXPECT_EQ(paint(2, "IDATIVO").check, TCellPaint::ckNone);
    EXPECT_EQ(paint(3, "IDATIVO").check, TCellPaint::ckUnchecked); // empty
    EXPECT_FALSE(paint(0, "QTPESO").greyed);
    EXPECT_TRUE(paint(2, "QTPESO").greyed); // a row other than the current one
    EXPECT_EQ(paint(0, "NMPRATO").text, "Arroz");
    EXPECT_FALSE(grid.grab().isNull()); // the painter draws every kind of cell
}

TEST_F(GridTest, ColumnsByFieldAndDefaultColumns)
{
    EXPECT_EQ(IndiceCol(grid, "qtpeso"), 2);
    EXPECT_EQ(IndiceCol(grid, "CDFILAUXPRAT"), -1);
    TColumn* weight = grid.Columns(2);
    weight->setVisible(false);
    EXPECT_TRUE(grid.isColumnHidden(2));
    weight->setTitle("Peso");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), "Peso");

    TDBGrid plain;
    plain.setDataSource(&source);
    ASSERT_EQ(plain.ColumnCount(), 5); // every visible field
    EXPECT_EQ(plain.Columns(0)->Title(), "CDPRATO");
    ds->FieldByName("IDATIVO")->setVisible(false);
    EXPECT_EQ(plain.ColumnCount(), 4);
}

TEST_F(GridTest, ModelPassesTheItemModelTesterThroughDatasetChanges)
{
    QStringList failures;
    static QStringList* sink = nullptr;
    sink = &failures;
    const auto previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && text.contains("FAIL"))
            *sink << text;
    });
    {
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        ds->Append();
        ds->FieldByName("CDPRATO")->setAsString("0999");
        ds->Post(); // the row moves nowhere (no index) but the rows reset
        ds->setIndexFieldNames("NMPRATO");
        ds->setFilter("CDFILAUXPRAT = 'P'");
        ds->setFiltered(true);
        ds->Edit();
        ds->FieldByName("NMPRATO")->setAsString("Zzz");
        ds->Cancel();
        ds->Delete();
        ds->EmptyDataSet();
        source.setDataSet(nullptr);
        source.setDataSet(ds.get());
        grid.Columns(0)->setTitle("Código");
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
}

} // namespace
