// The tools of the recipe menu driven as a planner would, on SQLite and PostgreSQL: the swap of
// an ingredient for an optional product, the import of the registered cleaning loss, the
// quantity tools' launch, and the production product of a level's dish data.
#include "niveis.h"

#include "framework/ui/btnpesquisa.h"

#include <QComboBox>

using namespace framework;
using recipe::Level;

namespace {

class RecipeTools : public RecipeLevels, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipeTools() { backend = GetParam(); }

    QString product(const char* tree)
    {
        return value(QStringLiteral("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '%1'").arg(QLatin1String(tree))).toString();
    }
    // The row of the product in the list shown, as the user clicks it.
    void pick(const char* tree)
    {
        ASSERT_TRUE(list->Locate("CDARVPROD", QString::fromLatin1(tree))) << tree;
        goTo("NMPRODUTO");
    }
    QString branchRows(const QString& columns = QStringLiteral("CDPRODUTO, SGUNIDADE, QTPRODRECLOC, VRPEFATCORLO"))
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec("SELECT " + columns + " FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' "
                                                 "ORDER BY CDPRODUTO"));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            rows << cells.join(u' ');
        }
        return rows.join(u'|');
    }
    QAction* action(const char* name) { return form->findChild<QAction*>(QString::fromLatin1(name)); }
};

} // namespace

TEST_P(RecipeTools, TheBranchsGarlicIsSwappedForParsleyInBunches)
{
    openForm();
    showBranch("2010010001");
    pick("1040010001");
    form->AtualizaBotoes();
    ASSERT_TRUE(action("mnuTrocaProd")->isEnabled());
    script->chooseRowWhere("CDARVPROD", "1040010002");
    QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(script->searches().size(), 1);
    EXPECT_EQ(script->searches()[0].title, "Produto Opcional");
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    // The list shows the parsley where the garlic was, on the row chosen.
    EXPECT_EQ(list->FieldByName("CDARVPROD")->AsString(), "1040010002");
    EXPECT_EQ(list->FieldByName("SGUNIDADE")->AsString(), "MC");
    EXPECT_NEAR(list->FieldByName("QTPRODRECLOC")->AsFloat(), 0.022, 1e-9);
    EXPECT_FALSE(list->Locate("CDARVPROD", "1040010001"));
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_EQ(value("SELECT VRPEFATCORLOAP FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRODUTO = '"
                    + product("1040010002") + "'")
                  .toDouble(),
              90);
}

TEST_P(RecipeTools, AnOptionalProductAlreadyInTheRecipeIsRefusedBeforeTheServerIsAsked)
{
    // Salt is one of the garlic's alternatives, and already in the rice.
    exec("INSERT INTO PRODOPC (CDPRODUTO, CDPRODOPC) VALUES ('" + product("1040010001") + "', '"
         + product("5020010001") + "')");
    openForm();
    showService("2010010001");
    const QString before = value("SELECT COUNT(*) FROM RECESERV WHERE CDPRODUTO = '" + product("1040010001") + "'").toString();
    pick("1040010001");
    form->AtualizaBotoes();
    script->chooseRowWhere("CDARVPROD", "5020010001");
    press(action("mnuTrocaProd"));
    EXPECT_EQ(script->messageTexts(), QStringList{QString::fromUtf8("Produto já cadastrado na receita por serviço.")});
    EXPECT_EQ(value("SELECT COUNT(*) FROM RECESERV WHERE CDPRODUTO = '" + product("1040010001") + "'").toString(), before);

    // A product taken out of the branch's line is refused as inactive.
    exec("UPDATE PRODFILI SET IDPRODATIV = 'I' WHERE CDFILIAL = '0002' AND CDPRODUTO = '" + product("1040010002") + "'");
    script->chooseRowWhere("CDARVPROD", "1040010002");
    press(action("mnuTrocaProd"));
    EXPECT_EQ(script->lastMessage().key, "PROD_INATIVO");
    EXPECT_TRUE(list->Locate("CDARVPROD", "1040010001"));
}

TEST_P(RecipeTools, TheMenuTypesSwapTakesItsOwnRecipeAndTheStandardPageHasNone)
{
    openForm();
    showMenuType("2010010001", "HOSPITALAR");
    pick("5010010001"); // soya oil, in litres
    form->AtualizaBotoes();
    script->chooseRowWhere("CDARVPROD", "5010010002"); // margarine, in kilograms: no conversion
    press(action("mnuTrocaProd"));
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(list->FieldByName("CDARVPROD")->AsString(), "5010010002");
    EXPECT_EQ(value("SELECT SGUNIDADE FROM RECETPCARD WHERE CDTIPOCARD = 'HOSPITALAR' AND CDPRODUTO = '"
                    + product("5010010002") + "'")
                  .toString(),
              "KG");
    EXPECT_EQ(value("SELECT COUNT(*) FROM RECEFILI WHERE CDPRODUTO = '" + product("5010010002") + "'").toInt(), 0);

    showLevel(Level::Padrao, "2010010001");
    form->AtualizaBotoes();
    EXPECT_FALSE(action("mnuTrocaProd")->isEnabled());
    QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(script->searches().size() == 1);
}

TEST_P(RecipeTools, AllTheRowsTakeTheirProductsRegisteredLossInOneSend)
{
    exec("UPDATE RECEFILI SET VRPEFATCORLO = 50, VRPEFATCORLOAP = 50 WHERE CDFILIAL = '0002'");
    exec("UPDATE PRODUTO SET VRPEFATOCORR = NULL WHERE CDARVPROD = '5020010001'"); // salt: none registered
    openForm();
    showBranch("2010010001");
    pick("1040010001");
    script->answer(mrYes); // "Todos"
    QTest::keyClick(grid, Qt::Key_P, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(script->messages().size(), 1) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(script->messages()[0].text,
              QString::fromUtf8("Importa o fator de correção do cadastro de produto para a receita. Importar de todos "
                                "os produtos cadastrados na receita ou só do produto selecionado (Alho)?"));
    EXPECT_EQ(script->messages()[0].captions, QStringList({"Todos", "Selecionado", QString::fromUtf8("Não")}));
    EXPECT_FALSE(form->msgPadrao->Contains("FATOR_X"));
    EXPECT_TRUE(script->progressTexts().contains("Atualizando receitas por filial..."));
    EXPECT_FALSE(script->progressVisible());
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_EQ(list->FieldByName("CDARVPROD")->AsString(), "1040010001"); // the row the user was on
    const QString losses = "SELECT P.CDARVPROD, R.VRPEFATCORLO, R.VRPEFATCORLOAP FROM RECEFILI R JOIN PRODUTO P ON "
                           "P.CDPRODUTO = R.CDPRODUTO WHERE R.CDFILIAL = '0002' AND R.CDPRATO = '2010010001' AND "
                           "P.CDARVPROD = '%1'";
    QSqlQuery q(database->db());
    for (const auto& [tree, loss] : {std::pair{"1040010001", 15.0}, {"3010010001", 0.0}, {"5020010001", 0.0}}) {
        ASSERT_TRUE(q.exec(losses.arg(QLatin1String(tree))) && q.next()) << tree;
        EXPECT_DOUBLE_EQ(q.value(1).toDouble(), loss) << tree;
        EXPECT_DOUBLE_EQ(q.value(2).toDouble(), 100 - loss) << tree;
    }
}

TEST_P(RecipeTools, TheSelectedRowAloneOrNothingAsTheUserAnswers)
{
    exec("UPDATE RECEFILI SET VRPEFATCORLO = 50, VRPEFATCORLOAP = 50 WHERE CDFILIAL = '0002'");
    openForm();
    showBranch("2010010001");
    pick("1040010001");
    const QString before = branchRows();
    script->answer(mrCancel); // "Não"
    press(action("mnuImportFator"));
    EXPECT_EQ(branchRows(), before);
    EXPECT_FALSE(form->msgPadrao->Contains("FATOR_X"));

    script->answer(mrNo); // "Selecionado"
    press(action("mnuImportFator"));
    EXPECT_EQ(value("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' AND "
                    "VRPEFATCORLO = 50")
                  .toInt(),
              list->RecordCount() - 1);
    EXPECT_EQ(value("SELECT VRPEFATCORLOAP FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' AND "
                    "CDPRODUTO = '" + product("1040010001") + "'")
                  .toDouble(),
              85);
}

TEST_P(RecipeTools, TheQuantityToolsNeedAListAndTheRevisionConfirmsWhatWasTyped)
{
    exec("DELETE FROM RECESERV WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' AND CDPRATO = '2010010001'");
    openForm();
    showService("2010010001");
    ASSERT_TRUE(list->IsEmpty());
    form->AtualizaBotoes();
    EXPECT_FALSE(action("mnuCalculadora")->isEnabled());
    QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(opened.contains("PLA01306"));

    showBranch("2010010001");
    pick("1040010001");
    type("QTPRODRECLOC", "0,5");
    QTest::keyClick(grid, Qt::Key_Down); // posted, not confirmed
    QApplication::processEvents();
    ASSERT_GT(list->ChangeCount(), 0);
    form->AtualizaBotoes();
    press(action("mnuRevQtde"));
    EXPECT_TRUE(opened.contains("PLA01311"));
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_DOUBLE_EQ(value("SELECT QTPRODRECLOC FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRODUTO = '"
                           + product("1040010001") + "' AND CDPRATO = '2010010001'")
                         .toDouble(),
                     0.5);
}

TEST_P(RecipeTools, TheBranchsProductionProductIsCheckedAndStored)
{
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, NMFANTASIAPF, IDATIVO) VALUES ('0002', 'P', "
         "'2010010001', 'Arroz da casa', 'S')");
    // The Greek rice yields the raw rice already.
    exec("UPDATE PRATO SET CDPRODPRODUCAO = '" + product("3010010001") + "' WHERE CDPRATO = '2010010002'");
    openForm();
    showBranch("2010010001");
    typeInto("dbeCdProdFili", "301");
    form->findChild<QLineEdit*>("dbeNmProdFili")->setFocus(); // leaving the code
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().key, "ProdProdNivel");

    typeInto("dbeCdProdFili", "3010010001");
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().key, "ProdProd_ja_existe2");
    EXPECT_TRUE(script->lastMessage().text.contains("P - P 2010010002")) << script->lastMessage().text.toStdString();

    typeInto("dbeCdProdFili", "3020010001");
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form->findChild<QLineEdit*>("dbeNmProdFili")->text(), "Feijão carioca");
    // Typing in the finalization combo chooses nothing; choosing "Filial" stores "F".
    auto* finalizacao = form->findChild<QComboBox*>("cmbMatFili");
    QTest::keyClick(finalizacao, Qt::Key_F);
    QTest::keyClick(finalizacao, Qt::Key_Delete);
    EXPECT_EQ(finalizacao->currentIndex(), 0);
    finalizacao->setCurrentIndex(1);
    emit finalizacao->activated(1);
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT CDPRODPRODUCAO FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toString(),
              product("3020010001"));
    EXPECT_EQ(value("SELECT IDFINALFILI FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toString(), "F");

    // The lookup offers the products no other dish yields.
    script->chooseRowWhere("CDARVPROD", "3020010002");
    form->findChild<TBtnPesquisa*>("btnProdFili")->click();
    QApplication::processEvents();
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT CDPRODPRODUCAO FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toString(),
              product("3020010002"));

    // A code typed and confirmed without leaving its edit is the one stored.
    typeInto("dbeCdProdFili", "3020010001");
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT CDPRODPRODUCAO FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toString(),
              product("3020010001"));
}

TEST_P(RecipeTools, TheStandardProductionProductReachesTheStandardDishData)
{
    for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO"})
        exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, '%1')")
                 .arg(QLatin1String(op)));
    // The standard data of the Greek rice yields the black beans.
    exec("UPDATE DADOSPRAT SET CDPRODPRODUCAO = '" + product("3020010002") + "' WHERE CDPRATO = '2010010002'");
    openForm();
    showLevel(Level::Padrao, "2010010001");
    typeInto("dbeCdProdPadr", "3020010002");
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().key, "ProdProd_ja_existe2");
    EXPECT_TRUE(script->lastMessage().text.contains(QString::fromUtf8("P - P 2010010002 Arroz à grega")));
    typeInto("dbeCdProdPadr", "3020010001");
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT CDPRODPRODUCAO FROM DADOSPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").toString(),
              product("3020010001"));
    EXPECT_EQ(form->findChild<QLineEdit*>("dbeNmProdPadr")->text(), QString::fromUtf8("Feijão carioca"));

    // A search given up leaves nothing for the next dish record posted to take.
    script->cancelSearch();
    form->findChild<TBtnPesquisa*>("btnProdPadr")->click();
    QApplication::processEvents();
    EXPECT_FALSE(form->findChild<ClientDataSet*>("cdsProdProd")->Active());
}

TEST_P(RecipeTools, ARecipeWhoseProductionProductAnotherRecipeUsesTakesNoNewRow)
{
    group("SUPERVISAO");
    const QString beans = product("3020010001");
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODPRODUCAO, IDATIVO) VALUES ('0002', 'P', "
         "'2010010001', '" + beans + "', 'S')");
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODPRODUCAO, IDATIVO) VALUES ('0002', 'P', "
         "'2010010002', '" + beans + "', 'S')");
    openForm();
    showBranch("2010010001");
    const int rows = list->RecordCount();
    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), State::Insert);
    type("CDARVPROD", "1020010001");
    goTo("QTPRODRECLOC");
    type("QTPRODRECLOC", "0,1");
    press(form->mnuConfirmar);
    EXPECT_TRUE(script->messageKeys().contains("ProdProd_ja_existe")) << script->messageKeys().join(" ").toStdString();
    EXPECT_EQ(value("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toInt(), rows);
    press(form->mnuCancelar);
}

TEST_P(RecipeTools, AProductCodePastedIsCheckedAsATypedOne)
{
    group("SUPERVISAO");
    openForm();
    showBranch("2010010001");
    pick("1040010001");
    goTo("CDARVPROD");
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), State::Insert);
    goTo("CDARVPROD");
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(script->messageTexts(), QStringList{QString::fromUtf8("Produto já cadastrado na receita local.")});
    press(form->mnuCancelar);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipeTools, ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
