// The dish's containers driven as a user in the record page's grid: the code padded and looked
// up, the catalogue's quantity, each row sent at once (and not again), the principal mark, the
// keys the grid refuses, and the check of a level's transport edits.
#include "recipeformtest.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "recipe/record/containerprato.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>

using namespace framework;

namespace {

class ContainerTest : public RecipeFormTest {
protected:
    void openOnDish(const QString& dish)
    {
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus(); // leaving the branch panel loads the dish tree
        QApplication::processEvents();
        ASSERT_TRUE(form->dbaPadrao->setSelectedCode(dish));
        QApplication::processEvents();
        containers = form->findChild<recipe::ContainerPrato*>("containerPrato");
        ASSERT_NE(containers, nullptr);
        list = form->findChild<ClientDataSet*>("cdsPratoContainer");
        grid = form->findChild<TDBGrid*>("dbgContainer");
        ASSERT_NE(grid, nullptr);
        grid->setFocus();
        QApplication::processEvents();
    }
    void goTo(const char* field)
    {
        const int column = IndiceCol(*grid, QString::fromLatin1(field));
        ASSERT_GE(column, 0) << field;
        grid->setCurrentIndex(grid->model()->index(list->currentPosition(), column));
        QApplication::processEvents();
    }
    void type(const char* field, const QString& text)
    {
        goTo(field);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid->InplaceEditor());
        ASSERT_NE(editor, nullptr) << field;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    QString stored(const QString& dish, const QString& container, const char* column)
    {
        return value(QStringLiteral("SELECT %1 FROM PRATOCONTAINER WHERE CDPRATO = '%2' AND CDCONTAINER = '%3'")
                         .arg(QLatin1String(column), dish, container))
            .toString();
    }

    TfrmReceitaPadrao* form = nullptr;
    recipe::ContainerPrato* containers = nullptr;
    ClientDataSet* list = nullptr;
    TDBGrid* grid = nullptr;
};

} // namespace

TEST_F(ContainerTest, CodeIsPaddedLookedUpAndEachRowSentOnce)
{
    openOnDish("2020010001");
    ASSERT_TRUE(list->Active());
    EXPECT_TRUE(list->IsEmpty());
    EXPECT_EQ(form->dtsPadrao->DataSet(), list); // the toolbar works on the grid's rows

    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), ClientDataSet::State::Insert);
    type("CDCONTAINER", "1a2"); // letters are not taken
    EXPECT_EQ(list->FieldByName("CDCONTAINER")->AsString(), "12");
    list->FieldByName("QTPRATCONTAINER")->setAsFloat(3);
    goTo("QTPRATCONTAINER");
    EXPECT_EQ(script->lastMessage().key, "Container_N_Cadastrado");
    EXPECT_EQ(list->FieldByName("CDCONTAINER")->AsString(), "00012"); // padded before the lookup
    EXPECT_TRUE(list->FieldByName("QTPRATCONTAINER")->IsNull());
    EXPECT_EQ(grid->SelectedField()->FieldName(), "CDCONTAINER");
    EXPECT_TRUE(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));

    type("CDCONTAINER", "3");
    goTo("QTPRATCONTAINER");
    EXPECT_EQ(list->FieldByName("NMCONTAINER")->AsString(), "Marmita descartável");
    EXPECT_DOUBLE_EQ(list->FieldByName("QTPRATCONTAINER")->AsFloat(), 0.5); // the catalogue's quantity
    type("QTPRATCONTAINER", "2,5");
    press(form->mnuConfirmar);
    EXPECT_EQ(list->state(), ClientDataSet::State::Browse);
    EXPECT_EQ(list->ChangeCount(), 0); // merged: not sent again with the next row
    EXPECT_EQ(stored("2020010001", "00003", "QTPRATCONTAINER").toDouble(), 2.5);
    EXPECT_EQ(stored("2020010001", "00003", "IDPRATCONTPRI"), "N");

    // A second row; the first one is not sent again (it would be refused as a duplicate).
    const int shown = int(script->messages().size());
    press(form->mnuIncluir);
    type("CDCONTAINER", "4");
    goTo("QTPRATCONTAINER");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), shown);
    EXPECT_EQ(stored("2020010001", "00004", "QTPRATCONTAINER").toDouble(), 20.0);
    EXPECT_EQ(list->RecordCount(), 2);

    // A container chosen in the catalogue's search brings its name and quantity.
    press(form->mnuIncluir);
    goTo("CDCONTAINER");
    script->chooseRowWhere("CDCONTAINER", "00002");
    grid->OnEditButtonClick(*grid);
    EXPECT_EQ(script->searches().last().title, "Embalagens");
    EXPECT_EQ(list->FieldByName("NMCONTAINER")->AsString(), "Cuba gastronômica GN 1/2");
    EXPECT_DOUBLE_EQ(list->FieldByName("QTPRATCONTAINER")->AsFloat(), 5.0);
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("2020010001", "00002", "QTPRATCONTAINER").toDouble(), 5.0);
    EXPECT_EQ(list->RecordCount(), 3);

    // The same container again is refused.
    press(form->mnuIncluir);
    type("CDCONTAINER", "00003");
    goTo("QTPRATCONTAINER");
    EXPECT_EQ(script->lastMessage().key, "Container_Existe");
    script->answer(mrYes);
    press(form->mnuCancelar);
    EXPECT_EQ(list->RecordCount(), 3);
}

TEST_F(ContainerTest, MarkingPrincipalClearsTheFormerFirstAndUnmarkingDoesNot)
{
    openOnDish("2010010001"); // 00001 principal, 00002 not
    ASSERT_EQ(list->RecordCount(), 2);
    ASSERT_TRUE(list->Locate("CDCONTAINER", "00002"));
    goTo("IDPRATCONTPRI");
    script->reset();
    QTest::keyClick(grid, Qt::Key_Space);
    QApplication::processEvents();
    const QStringList progress = script->progressTexts();
    const auto clear = progress.indexOf("Atualizando embalagem principal...");
    const auto send = progress.indexOf("Atualizando embalagens do prato...");
    ASSERT_GE(clear, 0) << progress.join(" | ").toStdString();
    EXPECT_LT(clear, send);
    EXPECT_EQ(stored("2010010001", "00002", "IDPRATCONTPRI"), "S");
    EXPECT_EQ(stored("2010010001", "00001", "IDPRATCONTPRI"), "N");
    ASSERT_TRUE(list->Locate("CDCONTAINER", "00001"));
    EXPECT_EQ(list->FieldByName("IDPRATCONTPRI")->AsString(), "N"); // the list shows it so

    // Unmarking sends the row only.
    ASSERT_TRUE(list->Locate("CDCONTAINER", "00002"));
    goTo("IDPRATCONTPRI");
    script->reset();
    QTest::keyClick(grid, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_FALSE(script->progressTexts().contains("Atualizando embalagem principal..."));
    EXPECT_EQ(stored("2010010001", "00002", "IDPRATCONTPRI"), "N");

    // The principal column is drawn as a check.
    const int column = IndiceCol(*grid, "IDPRATCONTPRI");
    EXPECT_EQ(grid->cellPaint(grid->model()->index(list->currentPosition(), column), false).check,
              TCellPaint::ckUnchecked);
}

TEST_F(ContainerTest, RowsAreDeletedWithTheToolbarOnlyAndInQueryModeNothingChanges)
{
    openOnDish("2010010001");
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(list->RecordCount(), 2);
    EXPECT_TRUE(script->messages().isEmpty());

    ASSERT_TRUE(list->Locate("CDCONTAINER", "00002"));
    EXPECT_TRUE(form->mnuExcluir->isEnabled());
    script->answer(mrYes);
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().key, "Excl");
    EXPECT_TRUE(stored("2010010001", "00002", "CDCONTAINER").isEmpty());
    EXPECT_EQ(list->ChangeCount(), 0);

    Cli_pla01300::boConsulta = true;
    press(form->mnuIncluir);
    EXPECT_EQ(list->state(), ClientDataSet::State::Browse);
    Cli_pla01300::boConsulta = false;
}

TEST_F(ContainerTest, TransportEditsOfALevelAreCheckedTogether)
{
    openOnDish("2010010001");
    ClientDataSet data(nullptr, "cdsDadosTeste");
    for (const char* name : {"QTCONTAI", "QTAMOSTRA", "VRPEMIN"})
        data.AddField(name, FieldType::Float);
    data.CreateDataSet();
    DataSource source(nullptr, "dtsDadosTeste");
    source.setDataSet(&data);
    recipe::TransporteNivel level;
    TDBEdit* edits[3];
    const char* fields[] = {"QTCONTAI", "QTAMOSTRA", "VRPEMIN"};
    for (int i = 0; i < 3; ++i) {
        edits[i] = new TDBEdit(form->tshPadrao, QStringLiteral("dbeTeste%1").arg(i));
        edits[i]->setDataSource(&source);
        edits[i]->setDataField(fields[i]);
    }
    level = {edits[0], edits[1], edits[2]};
    const auto check = [&](TDBEdit* left) -> QString {
        script->reset();
        try {
            containers->Vd_QtContainer(level, *left);
        } catch (const Abort&) {
            return script->lastMessage().key;
        }
        return {};
    };
    // The edit being left is read as typed, the level's others as they were stored.
    edits[1]->setText("-1");
    EXPECT_EQ(check(edits[1]), ""); // browsing: nothing is checked
    data.Append();
    data.FieldByName("VRPEMIN")->setAsFloat(100);
    edits[1]->setText("-1");
    EXPECT_EQ(check(edits[1]), "QTAMOS_INV"); // the sample's own message
    EXPECT_TRUE(edits[1]->hasFocus());
    data.FieldByName("QTAMOSTRA")->setAsFloat(-1);
    EXPECT_EQ(check(edits[0]), "QTAMOS_INV"); // the level's sample, whichever edit was left
    data.FieldByName("QTAMOSTRA")->Clear();
    EXPECT_EQ(check(edits[2]), ""); // 100 passes, an empty sample counts as 0
    edits[2]->setText("100,01");
    EXPECT_EQ(check(edits[2]), "PERMINCONT_INV");
    data.FieldByName("VRPEMIN")->setAsFloat(0);
    edits[0]->setText("-0,5");
    EXPECT_EQ(check(edits[0]), "QTCONT_INV");
    data.Cancel();
    for (TDBEdit* edit : edits)
        delete edit;
}
