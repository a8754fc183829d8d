// The dish record page driven as a user: the toolbar's commands, typing into the record's
// edits, the supervisor's prompt and the server's answers, checked on screen and in the database.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/query.h"
#include "framework/ui/shape.h"
#include "recipe/core/levelfields.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

using namespace framework;

// A menu form of the host: the dish record tells it to reload its dishes after a change.
class TfrmCardMens : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

namespace {

using State = ClientDataSet::State;

class RecipeRecord : public RecipeFormTest {
protected:
    // Opens the form in a central module and confirms the branch by leaving its panel.
    TfrmReceitaPadrao* openOn(const QString& branch)
    {
        hostContext().FiliProc = branch;
        form = open();
        if (form) {
            form->dbaPadrao->setFocus();
            QApplication::processEvents();
        }
        return form;
    }
    // A branch module: the branch is fixed and the tree loads at once.
    TfrmReceitaPadrao* openInBranchModule(const QString& branch)
    {
        hostContext().ModuFili = true;
        hostContext().FiliProc = branch;
        form = open();
        return form;
    }

    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    // Typed key by key (QTest types ASCII only).
    static void type(QWidget* edit, const QString& text)
    {
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    // Replaces what an edit holds, as selecting it all and typing over it does.
    static void retype(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->home(false);
        QTest::keyClicks(edit, text);
    }
    static void choose(TDBComboBox* combo, int item) { emit combo->activated(item); }
    QString record(const char* field) const { return form->cdsPrato->FieldByName(QString::fromLatin1(field))->AsString(); }
    QVariant stored(const QString& column, const QString& owner, const QString& code)
    {
        return value(QStringLiteral("SELECT %1 FROM PRATO WHERE CDFILAUXPRAT = '%2' AND CDPRATO = '%3'").arg(column, owner, code));
    }
    // Starts a new dish under the node and types its name and unit.
    void startDish(const QString& node, const QString& name, const QString& unit = QStringLiteral("KG"))
    {
        select(node);
        press(form->mnuIncluir);
        type(controles(form).dbeNmPrato, name);
        type(controles(form).dbeCdUnidade, unit);
    }

    TfrmReceitaPadrao* form = nullptr;
};

TEST_F(RecipeRecord, ProposesTheNextCodeOfTheLevel)
{
    // An empty group of dishes and a full group of groups.
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO) VALUES ('P', '204999', 'Vazio', '3')");
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO) VALUES ('P', '399', 'Cheio', '2')");
    ASSERT_NE(openOn("0002"), nullptr);
    const auto proposal = [this](const QString& node) {
        select(node);
        press(form->mnuIncluir);
        const QString code = controles(form).dbeCdPrato->Text();
        EXPECT_EQ(form->cdsPrato->state(), State::Insert);
        script->answer(mrYes); // "Canc"
        press(form->mnuCancelar);
        EXPECT_EQ(form->cdsPrato->state(), State::Browse);
        return code;
    };
    EXPECT_EQ(proposal("2"), "205");                // a group under a group
    EXPECT_EQ(proposal("201001"), "2010010003");    // the first dish after the group's last
    EXPECT_EQ(proposal("2010010001"), "2010010003"); // a sibling of a dish
    // Every tree counts in a central module: 0003's local dish holds the group's highest code.
    EXPECT_EQ(proposal("101001"), "1010010902");
    EXPECT_EQ(proposal("204999"), "2049990000");    // an empty group starts at zero
    EXPECT_EQ(proposal("3"), "");                   // no two-digit sequence is left after 99
    EXPECT_EQ(script->messageKeys(), QStringList(6, "Canc"));
}

TEST_F(RecipeRecord, AFullGroupProposesItsLastCodeWhichThePostRefuses)
{
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) "
         "VALUES ('P', '2010019999', 'Último', '4', 'KG')");
    ASSERT_NE(openOn("0002"), nullptr);
    startDish("2010010001", "Arroz integral");
    EXPECT_EQ(controles(form).dbeCdPrato->Text(), "2010019999");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageTexts(), QStringList{"Prato já cadastrado na árvore padrão ou da filial."});
    EXPECT_EQ(form->cdsPrato->state(), State::Insert);
    EXPECT_TRUE(controles(form).dbeCdPrato->hasFocus());
    EXPECT_EQ(stored("NMPRATO", "P", "2010019999"), "Último");
}

TEST_F(RecipeRecord, ANewStandardDishTypedAndConfirmedReachesTheDatabase)
{
    ASSERT_NE(openOn("0002"), nullptr);
    auto* menuForm = new TfrmCardMens(mainWindow.get());
    menuForm->setWindowFlag(Qt::Window);
    menuForm->setProperty("RefreshPesqPrato", false);

    startDish("201001", "Arroz com legumes");
    EXPECT_FALSE(controles(form).dcbPrato->isHidden());
    EXPECT_TRUE(controles(form).dcbPrato->isEnabled());
    EXPECT_EQ(controles(form).dcbPrato->currentText(), "Padrão");
    EXPECT_EQ(controles(form).dcbStatus->currentText(), "Ativo");
    choose(controles(form).dbcFrequencia, 2); // "Meses"
    // Commas, signs and exponents are not typed into the shelf life.
    type(controles(form).dbeTempo, "-,2.e");
    EXPECT_EQ(controles(form).dbeTempo->text(), "2");
    script->authorize("SUPERV", "1234"); // INCLUSAO_PRATO_PADRAO: the operator may not
    press(form->mnuConfirmar);

    EXPECT_EQ(script->messages().size(), 0) << script->messageTexts().join('\n').toStdString();
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);
    const QString code = "2010010003";
    EXPECT_EQ(stored("NMPRATO", "P", code), "Arroz com legumes");
    EXPECT_EQ(stored("SGUNIDADE", "P", code), "KG");
    EXPECT_EQ(stored("CDNVPRATO", "P", code), "4");
    EXPECT_EQ(stored("IDATIVO", "P", code), "S");
    EXPECT_TRUE(stored("CDFILIAL", "P", code).isNull());
    // Two months of shelf life are 1440 hours.
    EXPECT_EQ(stored("IDFREQUENCIA", "P", code), "M");
    EXPECT_DOUBLE_EQ(stored("VRVALIDADE", "P", code).toDouble(), 1440.0);
    EXPECT_EQ(controles(form).dbeValidade->text(), "1440:00");
    EXPECT_EQ(controles(form).dbcFrequencia->currentText(), "Meses");
    EXPECT_EQ(form->dbaPadrao->SelectedCode(), code);
    EXPECT_EQ(controles(form).lblNomePrato->text(), "Arroz com legumes");
    // The unset level block was stored as "nothing blocked" by the first code check.
    EXPECT_EQ(value("SELECT CDNVBLPRAT FROM PARAMGERAL"), "0");
    EXPECT_TRUE(menuForm->property("RefreshPesqPrato").toBool());
}

TEST_F(RecipeRecord, WithoutTheSupervisorANewDishStaysLocalAndAShelfLifeWithoutUnitIsInHours)
{
    ASSERT_NE(openOn("0002"), nullptr);
    startDish("201001", "Arroz da casa");
    type(controles(form).dbeTempo, "36");
    script->refuseAuthorization();
    press(form->mnuConfirmar);
    const QString code = "2010010003";
    EXPECT_TRUE(stored("NMPRATO", "P", code).isNull());
    EXPECT_EQ(stored("NMPRATO", "0002", code), "Arroz da casa");
    EXPECT_EQ(stored("CDFILIAL", "0002", code), "0002");
    EXPECT_EQ(stored("IDFREQUENCIA", "0002", code), "H");
    EXPECT_DOUBLE_EQ(stored("VRVALIDADE", "0002", code).toDouble(), 36.0);
    EXPECT_EQ(controles(form).dbeValidade->text(), "0036:00");
    EXPECT_EQ(controles(form).dcbPrato->currentText(), "Local");

    // A dish chosen as local needs no one's consent; its status is the one chosen.
    startDish("201001", "Arroz de forno");
    choose(controles(form).dcbPrato, 1);
    choose(controles(form).dcbStatus, 1);
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("NMPRATO", "0002", "2010010004"), "Arroz de forno");
    EXPECT_EQ(stored("IDATIVO", "0002", "2010010004"), "N");
    EXPECT_EQ(controles(form).dcbStatus->currentText(), "Inativo");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(RecipeRecord, TheCodeTypedIsCheckedWhenLeavingItAndAtThePost)
{
    // The dishes the code is checked against come from the server here (GetPratoAux).
    exec("UPDATE PARAMGERAL SET IDPESQCOMPPROD = 'S'");
    ASSERT_NE(openOn("0002"), nullptr);
    startDish("201001", "Arroz carreteiro");
    // A level not filled in: the masked edit skips a position that is stepped over.
    retype(controles(form).dbeCdPrato, "2010");
    QTest::keyClick(controles(form).dbeCdPrato, Qt::Key_Right);
    QTest::keyClicks(controles(form).dbeCdPrato, "1");
    EXPECT_EQ(controles(form).dbeCdPrato->Text(), "2010 1");
    controles(form).dbeNmPrato->setFocus();
    EXPECT_EQ(script->lastMessage().text, "Nível deve ser totalmente preenchido.");
    EXPECT_TRUE(controles(form).dbeCdPrato->hasFocus());
    // A code of the standard tree.
    retype(controles(form).dbeCdPrato, "2010010001");
    controles(form).dbeNmPrato->setFocus();
    EXPECT_EQ(script->lastMessage().text, "Prato já cadastrado na árvore padrão ou da filial.");
    // A group code: the dish-only controls go and the unit with them.
    retype(controles(form).dbeCdPrato, "206");
    controles(form).dbeNmPrato->setFocus();
    EXPECT_EQ(script->messages().size(), 2);
    EXPECT_EQ(record("CDNVPRATO"), "2");
    EXPECT_FALSE(controles(form).dbeCdUnidade->isEnabled());
    EXPECT_TRUE(controles(form).dcbPrato->isHidden());
    EXPECT_TRUE(record("SGUNIDADE").isEmpty());
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("NMPRATO", "P", "206"), "Arroz carreteiro");
    EXPECT_TRUE(stored("SGUNIDADE", "P", "206").isNull());
}

TEST_F(RecipeRecord, ACodeOnlyInAnotherBranchsTreeIsCaughtAtThePost)
{
    ASSERT_NE(openOn("0002"), nullptr);
    startDish("101001", "Frango a passarinho");
    retype(controles(form).dbeCdPrato, "1010010901"); // 0003's local dish
    controles(form).dbeNmPrato->setFocus();
    EXPECT_TRUE(script->messages().isEmpty());

    script->authorize("SUPERV", "1234").answer(mrNo);
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageKeys(), QStringList{"PRAT_EXIS"});
    EXPECT_EQ(script->lastMessage().kind, mtWarning);
    EXPECT_EQ(form->cdsPrato->state(), State::Insert);
    EXPECT_TRUE(controles(form).dbeCdPrato->hasFocus());
    EXPECT_TRUE(stored("NMPRATO", "P", "1010010901").isNull());

    script->authorize("SUPERV", "1234").answer(mrYes);
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("NMPRATO", "P", "1010010901"), "Frango a passarinho");
    EXPECT_EQ(stored("NMPRATO", "0003", "1010010901"), "Frango à passarinho da casa");
}

TEST_F(RecipeRecord, ABlockedLevelCannotBeIncludedAlteredOrDeleted)
{
    exec("UPDATE PARAMGERAL SET CDNVBLPRAT = '2'");
    ASSERT_NE(openOn("0002"), nullptr);
    select("2");
    press(form->mnuIncluir);
    type(controles(form).dbeNmPrato, "Graos");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().text, "Nível bloqueado para inclusão.");
    script->answer(mrYes);
    press(form->mnuCancelar);

    select("201");
    press(form->mnuAlterar);
    EXPECT_EQ(script->lastMessage().text, "Nível bloqueado para alteração.");
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().text, "Nível bloqueado para exclusão.");
    EXPECT_EQ(stored("NMPRATO", "P", "201"), "Arroz");

    // The third level is free: altering a standard group asks the supervisor.
    select("201001");
    script->refuseAuthorization();
    press(form->mnuAlterar);
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
    script->authorize("SUPERV", "1234");
    press(form->mnuAlterar);
    EXPECT_EQ(form->cdsPrato->state(), State::Edit);
    EXPECT_TRUE(controles(form).dbeNmPrato->hasFocus());
    EXPECT_FALSE(controles(form).dbeCdPrato->isEnabled());
}

TEST_F(RecipeRecord, ABranchModuleChangesOnlyItsOwnDishes)
{
    ASSERT_NE(openInBranchModule("0003"), nullptr);
    select("2010010001");
    press(form->mnuAlterar);
    EXPECT_EQ(script->lastMessage().text, "Prato da árvore padrão não pode ser alterado em módulo filial.");
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().text, "Prato da árvore padrão não pode ser excluído em módulo filial.");
    select("201");
    press(form->mnuAlterar);
    EXPECT_EQ(script->lastMessage().text, "Prato de nível incompleto não pode ser alterado em módulo filial.");
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().text, "Prato de nível incompleto não pode ser excluído em módulo filial.");
    select("2");
    press(form->mnuIncluir);
    type(controles(form).dbeNmPrato, "Graos");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().text, "Prato de nível incompleto não pode ser incluído em módulo filial.");
    script->answer(mrYes);
    press(form->mnuCancelar);
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);

    // A new dish is the branch's own, whatever the origin combo would say.
    startDish("201001", "Arroz da filial");
    EXPECT_EQ(controles(form).dcbPrato->currentText(), "Local");
    EXPECT_FALSE(controles(form).dcbPrato->isEnabled());
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("NMPRATO", "0003", "2010010003"), "Arroz da filial");
    EXPECT_EQ(stored("CDFILIAL", "0003", "2010010003"), "0003");
    EXPECT_EQ(script->messages().size(), 6); // the five refusals and "Canc"

    // Its own dish can be altered without anyone's consent.
    select("2020010901");
    press(form->mnuAlterar);
    type(controles(form).dbeNmPrato, " especial");
    press(form->mnuConfirmar);
    EXPECT_EQ(stored("NMPRATO", "0003", "2020010901"), "Feijoada da casa especial");
}

TEST_F(RecipeRecord, ABranchModuleWithLocalDishesBlockedIncludesNothing)
{
    exec("UPDATE PARAMPLANEJA SET IDBLOPRATLOC = 'S' WHERE CDFILIAL = '0003'");
    ASSERT_NE(openInBranchModule("0003"), nullptr);
    select("201001");
    press(form->mnuIncluir);
    EXPECT_EQ(script->messageTexts(),
              QStringList{"Operação bloqueada. Não é permitida a inclusão de prato local na árvore."});
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
}

TEST_F(RecipeRecord, ARefusedUpdateKeepsTheUsersValuesPending)
{
    ASSERT_NE(openOn("0003"), nullptr);
    startDish("201001", "Arroz de carreteiro");
    choose(controles(form).dcbPrato, 1); // Local
    // Someone else stores the same local dish meanwhile.
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, CDFILIAL) "
         "VALUES ('0003', '2010010003', 'Outro', '4', '0003')");
    press(form->mnuConfirmar);
    ASSERT_EQ(script->messages().size(), 1);
    EXPECT_EQ(script->lastMessage().kind, mtError);
    // The new dish comes back as the insertion it was, its code editable, nothing stored.
    EXPECT_EQ(form->cdsPrato->state(), State::Insert);
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);
    EXPECT_TRUE(controles(form).dbeCdPrato->isEnabled());
    EXPECT_EQ(record("CDPRATO"), "2010010003");
    EXPECT_EQ(record("CDFILAUXPRAT"), "0003");
    EXPECT_EQ(controles(form).dbeNmPrato->text(), "Arroz de carreteiro");
    EXPECT_TRUE(form->mnuConfirmar->isEnabled());
    EXPECT_EQ(stored("NMPRATO", "0003", "2010010003"), "Outro");

    // The other dish goes; the user corrects the name and confirms again.
    exec("DELETE FROM PRATO WHERE CDFILAUXPRAT = '0003' AND CDPRATO = '2010010003'");
    retype(controles(form).dbeNmPrato, "Arroz carreteiro");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), 1);
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);
    EXPECT_EQ(stored("NMPRATO", "0003", "2010010003"), "Arroz carreteiro");

    // A change refused and then cancelled leaves the record as it was read.
    select("2020010901");
    press(form->mnuAlterar);
    type(controles(form).dbeNmPrato, "!");
    exec("UPDATE PRATO SET NMPRATO = 'Feijoada' WHERE CDFILAUXPRAT = '0003' AND CDPRATO = '2020010901'");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), 2);
    EXPECT_EQ(record("NMPRATO"), "Feijoada da casa!");
    script->answer(mrYes);
    press(form->mnuCancelar);
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);
    EXPECT_EQ(record("NMPRATO"), "Feijoada da casa");
    EXPECT_EQ(stored("NMPRATO", "0003", "2020010901"), "Feijoada");
}

TEST_F(RecipeRecord, AGroupWithDishesIsNotDeleted)
{
    // Only another branch's tree has a dish under this group.
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO) VALUES ('P', '205', 'Sobras', '2')");
    exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, CDFILIAL) "
         "VALUES ('0004', '2050010001', 'Sobra local', '4', '0004')");
    ASSERT_NE(openOn("0002"), nullptr);
    select("202");
    press(form->mnuExcluir);
    EXPECT_EQ(script->messageTexts(), QStringList{"Exclusão não permitida. Existem pratos relacionados."});

    select("205");
    script->answer(mrYes).authorize("SUPERV", "1234"); // "Excl", EXCLUSAO_PRATO_PADRAO
    press(form->mnuExcluir);
    EXPECT_EQ(script->messages().size(), 3);
    EXPECT_EQ(script->lastMessage().kind, mtError);
    EXPECT_EQ(stored("NMPRATO", "P", "205"), "Sobras");
    EXPECT_TRUE(form->cdsPrato->Locate("CDPRATO", "205"));
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);

    // A dish of the branch's own goes at once.
    select("2010010002");
    script->answer(mrYes).authorize("SUPERV", "1234");
    press(form->mnuExcluir);
    EXPECT_FALSE(stored("NMPRATO", "P", "2010010002").isValid());
    EXPECT_FALSE(form->cdsPrato->Locate("CDPRATO", "2010010002"));
}

// The record's lookups and checks query the database directly: on each database family.
class RecipeRecordOnBackends : public RecipeRecord, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipeRecordOnBackends() { backend = GetParam(); }
};

TEST_P(RecipeRecordOnBackends, ADishWithItsUnitAndSegmentChosenFromTheirListsReachesTheDatabase)
{
    ASSERT_NE(openOn("0002"), nullptr);
    startDish("201001", "Arroz com feijao", "XX");
    controles(form).dbeArredTrans->setFocus();
    EXPECT_EQ(script->messageTexts(), QStringList{"Unidade de medida não cadastrada."});
    EXPECT_TRUE(controles(form).dbeCdUnidade->hasFocus());
    script->chooseRowWhere("SGUNIDADE", "POR");
    controles(form).btpUnidade->click();
    EXPECT_EQ(controles(form).dbeCdUnidade->text(), "POR");
    script->chooseRowWhere("CDSEGMER", "00002");
    controles(form).btnSegMerc->click();
    EXPECT_EQ(controles(form).dbeDsSegMer->text(), "Hospitalar");
    type(controles(form).dbeArredTrans, "-1");
    controles(form).dbeNmPrato->setFocus();
    EXPECT_EQ(script->lastMessage().text, "Arredondamento para transporte deve ser maior ou igual a zero.");
    retype(controles(form).dbeArredTrans, "0,5");
    script->authorize("SUPERV", "1234");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), 2);
    EXPECT_EQ(stored("NMPRATO", "P", "2010010003"), "Arroz com feijao");
    EXPECT_EQ(stored("SGUNIDADE", "P", "2010010003"), "POR");
    EXPECT_EQ(stored("CDSEGMER", "P", "2010010003"), "00002");
    EXPECT_DOUBLE_EQ(stored("VRARREDTRANS", "P", "2010010003").toDouble(), 0.5);
    // The new dish is now taken when another one is typed with its code.
    startDish("201001", "Outro arroz");
    retype(controles(form).dbeCdPrato, "2010010003");
    controles(form).dbeNmPrato->setFocus();
    EXPECT_EQ(script->lastMessage().text, "Prato já cadastrado na árvore padrão ou da filial.");
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipeRecordOnBackends,
                         ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

// The dish data of the standard page as its page load brings it (GetReceitaPad).
class RecipeDishData : public RecipeRecord {
protected:
    void SetUp() override
    {
        RecipeRecord::SetUp();
        if (IsSkipped())
            return;
        // Changing the standard dish data is authorised: the nutritionist may do it herself.
        exec("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) "
             "VALUES ('NUTRI', 4, 'ALTERACAO_PRODUTO_RECEITA_PADRAO')");
    }
    // The tree's navigation enables the recipe pages of a dish.
    void showStandardPage(const QString& dish)
    {
        select(dish);
        form->Habilita_Pagina(true);
        form->pgcPadrao->setCurrentWidget(form->tshPadrao);
    }
};

TEST_F(RecipeDishData, TheDishWeightAddsNothingForARowThatCannotBeConverted)
{
    // Rice 0,06 KG; oil in boxes has no way to KG; garlic in G converts; salt 0,001 KG.
    exec("UPDATE PRODPRAT SET SGUNIDADE = 'CX', QTPRODPRAT = 3 WHERE CDPRATO = '2010010001' "
         "AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '5010010001')");
    exec("UPDATE PRODPRAT SET SGUNIDADE = 'G', QTPRODPRAT = 2 WHERE CDPRATO = '2010010001' "
         "AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '1040010001')");
    exec("DELETE FROM PRODPRAT WHERE CDPRATO = '2010010002'");
    ASSERT_NE(openOn("0002"), nullptr);
    showStandardPage("2010010002");
    // An empty recipe has nothing to weigh: the button is off, and the calculation says so.
    EXPECT_FALSE(form->sbtCalcPadrao->isEnabled());
    guarded([this] { form->sbtCalcPadraoClick(); });
    EXPECT_EQ(script->messageTexts(), QStringList{"Não existem dados para efetuar o cálculo."});

    select("2010010001");
    ASSERT_EQ(form->cdsProdPrat->RecordCount(), 4);
    form->cdsProdPrat->SetRecNo(3);
    script->answer(mrYes);
    form->sbtCalcPadrao->click();
    EXPECT_EQ(script->lastMessage().text, "Peso calculado do prato é 0,06300 KG. Confirma?");
    EXPECT_DOUBLE_EQ(form->cdsDadosPrat->FieldByName("QTPADRAOPRAT")->AsFloat(), 0.063);
    EXPECT_EQ(form->cdsProdPrat->RecNo(), 3);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    script->answer(mrNo); // alt_prop_prod_rec: the portion changes, the ingredients stay
    form->cdsDadosPrat->Edit();
    form->cdsDadosPrat->FieldByName("QTPADRAOPRAT")->setAsFloat(0.2);
    form->cdsDadosPrat->Post();
    script->answer(mrNo); // PESOPRATO
    form->sbtCalcPadrao->click();
    EXPECT_DOUBLE_EQ(form->cdsDadosPrat->FieldByName("QTPADRAOPRAT")->AsFloat(), 0.2);
}

TEST_F(RecipeDishData, TheColoursOfTheStandardDish)
{
    ASSERT_NE(openOn("0003"), nullptr);
    showStandardPage("2010010001");
    EXPECT_EQ(form->shpCorPrincipal->BrushColor(),
              colorFromNumber(form->cdsDadosPrat->FieldByName("NRCORPRIPRAT")->Value()));

    script->color(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(form->shpCorSecundaria, Qt::LeftButton);
    EXPECT_EQ(form->cdsDadosPrat->FieldByName("NRCORSEQPRAT")->AsInteger(), 0x123456);
    EXPECT_EQ(form->shpCorSecundaria->BrushColor(), QColor(0x12, 0x34, 0x56));
    script->cancelColor();
    QTest::mouseClick(form->shpCorAuxiliar, Qt::LeftButton);
    EXPECT_TRUE(form->cdsDadosPrat->FieldByName("NRCORAUXPRAT")->IsNull());

    // A local dish has no standard recipe to colour: reaching one leaves the standard page.
    select("1010010901");
    EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshFormulario);
    EXPECT_FALSE(form->pgcPadrao->isTabEnabled(form->pgcPadrao->indexOf(form->tshPadrao)));
    EXPECT_TRUE(script->failures().isEmpty());
}

} // namespace

#include "record_test.moc"
