#include "fixture.h"

#include "framework/abort.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/query.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using framework::Abort;
using recipe::Level;
using recipe::levelFields;
using recipe::Validacao;

namespace {

class ValidacaoTest : public RecipeTest {
protected:
    std::unique_ptr<framework::Query> qryServico{Validacao::createQryServico(nullptr)};
    Validacao validacao{messages, *qryServico};
};

} // namespace

TEST_F(ValidacaoTest, HoursText)
{
    EXPECT_EQ(recipe::RealToStTime(1.5), "0001:30");
    EXPECT_DOUBLE_EQ(validacao.StTimeToReal("0001:30"), 1.5);
    EXPECT_EQ(recipe::RealToStTime(1.99999), "0002:00"); // never 60 minutes
    EXPECT_EQ(validacao.AjustaHora("12:5"), "0012:05");
    EXPECT_EQ(validacao.AjustaHora(":"), "0000:00");
    EXPECT_EQ(validacao.AjustaHora("1 2 :3"), "0012:03"); // blanks the masked edit leaves
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_THROW(validacao.StTimeToReal("1a:00"), Abort);
    EXPECT_EQ(onlyMessageKey(), "ValCons_Inv");
}

TEST_F(ValidacaoTest, ValidNumberAndRoundNumber)
{
    auto list = ingredientList(levelFields(Level::Padrao));
    framework::Field* qt = list->FieldByName("QTPRODPRAT");
    qt->setDisplayLabel("Quantidade");
    validacao.ValidNumber(*qt, " ,5 ", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 0.5);
    validacao.ValidNumber(*qt, "1234567,5", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 1234567.5);
    // Too many integer digits, and a mistyped number, are refused rather than stored as 0.
    for (const char* text : {"12345678", "1,2,3"}) {
        EXPECT_THROW(validacao.ValidNumber(*qt, text, 7), Abort);
        EXPECT_EQ(script->lastMessage().text, QString(text) + " não é um valor válido para o campo Quantidade.");
    }
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 1234567.5);
    validacao.ValidNumber(*qt, "", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 0);

    EXPECT_DOUBLE_EQ(recipe::RoundNumber("-99,994"), -99.99);
    EXPECT_DOUBLE_EQ(recipe::RoundNumber(""), 0);
}

TEST_F(ValidacaoTest, StorageIndexAndEmptyField)
{
    EXPECT_EQ(recipe::indexTipoArmazenamento("RESFRIADO"), 0);
    EXPECT_EQ(recipe::indexTipoArmazenamento("CONGELADO"), 1);
    EXPECT_EQ(recipe::indexTipoArmazenamento("NENHUM"), 2);

    auto list = ingredientList(levelFields(Level::Padrao));
    framework::Field* gain = list->FieldByName("VRPEFATCOCPR");
    gain->setDisplayLabel("Ganho Cocção");
    EXPECT_THROW(validacao.Vd_ValidaVazio(*gain), Abort);
    EXPECT_EQ(script->lastMessage().text, "Ganho Cocção deve ser informado.");
}

TEST_F(ValidacaoTest, NutrientQuantityFollowsTheYieldOnlyWhenTheUserChangedIt)
{
    const auto& level = levelFields(Level::Filial);
    auto list = ingredientList(level);
    framework::Field* yield = list->FieldByName(level.nutritionalYield);
    framework::Field* quantity = list->FieldByName(level.nutrientQty);
    list->FieldByName(level.nutrientBase)->setAsFloat(2.123456);
    yield->setAsFloat(50);
    validacao.Vd_VrPerNutr(*list, level);
    EXPECT_TRUE(quantity->IsNull());

    yield->setTag(1);
    validacao.Vd_VrPerNutr(*list, level);
    EXPECT_DOUBLE_EQ(quantity->AsFloat(), 2.12346 * 0.5);
    yield->setAsFloat(0);
    EXPECT_THROW(validacao.Vd_VrPerNutr(*list, level), Abort);
    EXPECT_EQ(onlyMessageKey(), "Nutricional_Maior");
}

namespace {

// The level's list in its grid; type() writes a cell and leaves the column.
class FactorPairsTest : public ValidacaoTest, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override
    {
        ValidacaoTest::SetUp();
        source.setDataSet(list.get());
        grid.setDataSource(&source);
        for (const QString& name : columns)
            grid.AddColumn(name);
    }
    void type(const QString& column, double value)
    {
        grid.setSelectedIndex(int(columns.indexOf(column)));
        list->FieldByName(column)->setAsFloat(value);
        validacao.Vd_CoccaoLimpeza(grid, level);
    }
    double value(const QString& name) const { return list->FieldByName(name)->AsFloat(); }

    const recipe::LevelFields& level = levelFields(GetParam());
    const QStringList columns{level.netQty, level.cookingGain, level.cookingYield, level.cleaningLoss,
                              level.cleaningYield, level.defrostLoss};
    std::unique_ptr<framework::ClientDataSet> list = ingredientList(level);
    framework::DataSource source;
    framework::TDBGrid grid;
};

} // namespace

TEST_P(FactorPairsTest, CookingGainAboveMinus100)
{
    type(level.cookingGain, -99);
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 1);
    type(level.cookingYield, 150);
    EXPECT_DOUBLE_EQ(value(level.cookingGain), 50);
    EXPECT_TRUE(script->messages().isEmpty());

    grid.setSelectedIndex(0);
    EXPECT_THROW(type(level.cookingGain, -100), Abort);
    EXPECT_EQ(onlyMessageKey(), "FatCocGanho_Maior");
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 150); // as it was
    EXPECT_EQ(grid.SelectedField()->FieldName(), level.cookingGain);
    EXPECT_THROW(type(level.cookingYield, 0), Abort);
    EXPECT_EQ(script->lastMessage().key, "FatCocAprov_Menor");
}

TEST_P(FactorPairsTest, CleaningPairAndDefrostLoss)
{
    type(level.cleaningLoss, 20);
    EXPECT_DOUBLE_EQ(value(level.cleaningYield), 80);
    type(level.cleaningYield, 75.5);
    EXPECT_DOUBLE_EQ(value(level.cleaningLoss), 24.5);
    type(level.defrostLoss, 99);
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_THROW(type(level.defrostLoss, 99.5), Abort);
    EXPECT_EQ(onlyMessageKey(), "FatPerdaDegelo_fora");
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, FactorPairsTest,
                         ::testing::Values(Level::Padrao, Level::TpCard, Level::Filial, Level::Servico),
                         [](const auto& info) { return levelFields(info.param).dataSet.toStdString(); });

namespace {

// Branch 0001 has lunch (00001) and a service of type "A" (00009); branch 0002 has 00002.
class ServicoTest : public RecipeDbTest {
protected:
    void SetUp() override
    {
        RecipeDbTest::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'Matriz'), ('0002', 'Hospital')");
        exec("INSERT INTO SERVICO (CDFILIAL, CDSERVFILI, NMSERVICO, IDTIPOSERV) VALUES ('0001', '00001', 'Almoço', "
             "'N'), ('0001', '00009', 'Avulsos', 'A'), ('0002', '00002', 'Dieta pastosa', 'D')");
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&other);
        layout->addWidget(&medCdServico);
    }

    QWidget window;
    QLineEdit other, edtNmServico;
    framework::TMaskEdit medCdServico;
    std::unique_ptr<framework::Query> qryServico{Validacao::createQryServico(nullptr)};
    Validacao validacao{messages, *qryServico};
};

} // namespace

TEST_P(ServicoTest, ServiceOfTheBranchIsNamedOthersAreRefused)
{
    medCdServico.setText("1");
    validacao.Vd_CdServico("0001", medCdServico, edtNmServico, true);
    EXPECT_EQ(medCdServico.Text(), "00001");
    EXPECT_EQ(edtNmServico.text(), "Almoço");

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.setFocus();
    for (const char* code : {"2", "00009"}) { // another branch's service; a service of type "A"
        script->reset();
        medCdServico.setText(code);
        EXPECT_THROW(validacao.Vd_CdServico("0001", medCdServico, edtNmServico, false), Abort) << code;
        EXPECT_EQ(onlyMessageKey(), "SERV_NCAD");
    }
    EXPECT_EQ(QApplication::focusWidget(), &medCdServico);
}

TEST_P(ServicoTest, EmptyServiceFailsOnlyWhenRequired)
{
    medCdServico.setText("  ");
    validacao.Vd_CdServico("0001", medCdServico, edtNmServico, false);
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_THROW(validacao.Vd_CdServico("0001", medCdServico, edtNmServico, true), Abort);
    EXPECT_EQ(onlyMessageKey(), "SERV_EMPTY");
    EXPECT_EQ(script->lastMessage().text, "Serviço deve ser informado.");
}

INSTANTIATE_ON_BACKENDS(ServicoTest);
