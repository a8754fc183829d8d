#include "fixture.h"

#include "framework/abort.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"
#include "framework/ui/searchdialog.h"

#include <QLineEdit>
#include <QTableView>
#include <QTimer>

using namespace framework;

namespace {
QString code(const ClientDataSet& ds)
{
    return ds.FieldByName("CDPRATO")->AsString();
}
} // namespace

TEST_F(UiTest, PesquisarPositionsTheDatasetOnTheChosenRow)
{
    auto ds = threeDishes();
    script->chooseRow(2).chooseRowWhere("NMPRATO", QStringLiteral("Feijão carioca")).cancelSearch();

    EXPECT_TRUE(Pesquisar(*ds, QStringLiteral("Prato|Não há prato cadastrado.")));
    EXPECT_EQ(code(*ds), "102001");
    DataSource dts(nullptr, QStringLiteral("dtsPrato"));
    dts.setDataSet(ds.get());
    EXPECT_TRUE(Pesquisar_Plus(*ds, QStringLiteral("Prato|Não há prato cadastrado."), true));
    EXPECT_EQ(code(*ds), "101002");
    EXPECT_FALSE(Pesquisar(dts, QStringLiteral("Prato|Não há prato cadastrado.")));
    EXPECT_EQ(code(*ds), "101002"); // cancelled: the cursor stays

    ASSERT_EQ(script->searches().size(), 3);
    EXPECT_EQ(script->searches()[0].title, "Prato");
    EXPECT_EQ(script->searches()[1].mode, SearchRequest::Mode::Plus);
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_F(UiTest, AnEmptyListShowsItsTextInsteadOfTheDialog)
{
    auto ds = makeDishes({});
    EXPECT_FALSE(Pesquisar(*ds, QStringLiteral("Unidade de Medida|Não há unidade de medida cadastrada.")));
    EXPECT_TRUE(script->searches().isEmpty());
    EXPECT_EQ(script->messageTexts(), QStringList({"Não há unidade de medida cadastrada."}));
}

TEST_F(UiTest, PesquisaListaWritesTheChosenCodesEachFollowedByAnUnderscore)
{
    auto ds = makeDishes({{"001", "Energia"}, {"002", "Proteína"}, {"003", "Lipídios"}, {"004", "Sódio"}});
    QString list;
    script->chooseRowList({3, 0});
    EXPECT_TRUE(PesquisaLista(*ds, "CDPRATO", QStringLiteral("Nutrientes|Não há Nutriente Cadastrado"), list));
    EXPECT_EQ(list, "001_004_");
    EXPECT_EQ(codesOfList(list), QStringList({"001", "004"}));

    // Confirming with nothing chosen: PesquisaLista empties the list, the Msg variant refuses.
    script->chooseRowList({});
    EXPECT_FALSE(PesquisaListaMsg(*ds, "CDPRATO", QStringLiteral("Serviço|Não há serviço"), list));
    EXPECT_EQ(list, "001_004_");
    EXPECT_EQ(script->lastMessage().text, msgMensagensPadroes().Msg("Nenhum_Selec"));
    script->chooseRowList({});
    EXPECT_TRUE(PesquisaLista(*ds, "CDPRATO", QStringLiteral("Nutrientes"), list));
    EXPECT_EQ(list, "");
}

TEST_F(UiTest, ListSearchOffersTheCodesAlreadyChosen)
{
    auto ds = makeDishes({{"001", "Energia"}, {"002", "Proteína"}, {"003", "Lipídios"}});
    QString list = QStringLiteral("002_003_");
    SearchRequest request{ds.get(), "Nutrientes", {}, SearchRequest::Mode::List, false, {1, 2}};
    SearchDialog dialog(request);
    EXPECT_EQ(dialog.chosenRows(), QVector<int>({1, 2}));
    script->chooseRowList({0, 1, 2});
    EXPECT_TRUE(PesquisaLista(*ds, "CDPRATO", "Nutrientes", list));
    EXPECT_EQ(list, "001_002_003_");
}

TEST_F(UiTest, ProcuraFindsTheFirstRowWhoseColumnStartsWithTheText)
{
    auto ds = threeDishes();
    script->searchFor("NMPRATO", "salada").searchFor("CDPRATO", "999");
    EXPECT_TRUE(Procura(*ds, {"CDPRATO", "NMPRATO"}));
    EXPECT_EQ(code(*ds), "102001");
    EXPECT_FALSE(Procura(*ds));
    EXPECT_EQ(code(*ds), "102001");
    EXPECT_EQ(script->lastMessage().text, "Registro não encontrado.");
}

TEST_F(UiTest, LookupButtonRunsItsHooksAroundTheSearch)
{
    auto ds = threeDishes();
    TBtnPesquisa btp(nullptr, QStringLiteral("btpPrato"));
    btp.setDataSet(ds.get());
    btp.setTitle(QStringLiteral("Prato"));
    btp.setEmptyText(QStringLiteral("Não há prato cadastrado."));
    QStringList events;
    bool refuse = true;
    btp.BeforePesq = [&](TBtnPesquisa&) {
        events << "before";
        if (refuse)
            throw Abort();
    };
    btp.AfterPesq = [&](TBtnPesquisa& button) { events << "after " + code(*button.DataSet()); };

    btp.click(); // BeforePesq aborts: no dialog
    EXPECT_TRUE(script->searches().isEmpty());
    refuse = false;
    script->chooseRow(1).cancelSearch();
    btp.click();
    btp.click(); // cancelled: no AfterPesq
    EXPECT_EQ(events, QStringList({"before", "before", "after 101002", "before"}));
    EXPECT_TRUE(script->messages().isEmpty());
}

// The Qt face: the real dialog, driven from the keyboard.
TEST_F(UiTest, TheQtSearchDialogFiltersAsTheUserTypesAndReturnsTheChosenRow)
{
    auto ds = threeDishes();
    SearchRequest request{ds.get(), "Prato", {"CDPRATO", "NMPRATO"}, SearchRequest::Mode::Plus, true, {}};
    SearchDialog dialog(request);
    dialog.show();
    auto* filter = dialog.findChild<QLineEdit*>("edtFiltro");
    ASSERT_NE(filter, nullptr);
    QTest::keyClicks(filter, "feij"); // the alternative mode filters on the names
    EXPECT_EQ(dialog.findChild<QTableView*>("dbgPesquisa")->model()->rowCount(), 1);
    EXPECT_EQ(dialog.chosenRows(), QVector<int>({1}));

    QtDialogs qt;
    QTimer::singleShot(0, [] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            open->accept();
    });
    request.mode = SearchRequest::Mode::Single;
    ds->SetRecNo(3);
    EXPECT_EQ(qt.chooseRows(request), QVector<int>({2})); // opens on the current row
}
