#include "fixture.h"

#include "framework/abort.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"
#include "recipe/levelfields.h"
#include "recipe/validacao.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using framework::Abort;
using recipe::Level;
using recipe::levelFields;
using recipe::Validacao;

namespace {

// Checks that need no database: the service query is only built.
class ValidacaoTest : public RecipeTest {
protected:
    std::unique_ptr<framework::Query> qryServico{Validacao::createQryServico(nullptr)};
    Validacao validacao{messages, *qryServico};
};

} // namespace

// --- Hours text ---------------------------------------------------------------------------------

TEST_F(ValidacaoTest, HoursTextRoundTripsThroughHours)
{
    EXPECT_EQ(recipe::RealToStTime(1.5), "0001:30");
    EXPECT_DOUBLE_EQ(validacao.StTimeToReal("0001:30"), 1.5);
    EXPECT_EQ(recipe::RealToStTime(0), "0000:00");
    EXPECT_EQ(recipe::RealToStTime(1440), "1440:00");
    // A third of an hour is kept to 8 decimals and shown back as 20 minutes.
    EXPECT_DOUBLE_EQ(validacao.StTimeToReal("0000:20"), 0.33333333);
    EXPECT_EQ(recipe::RealToStTime(0.33333333), "0000:20");
    // Hours a hair short of the next hour show that hour, never ":60".
    EXPECT_EQ(recipe::RealToStTime(1.99999), "0002:00");
}

TEST_F(ValidacaoTest, AjustaHoraFillsHoursAndMinutes)
{
    EXPECT_EQ(validacao.AjustaHora("12:5"), "0012:05");
    EXPECT_EQ(validacao.AjustaHora(":"), "0000:00");
    EXPECT_EQ(validacao.AjustaHora(""), "0000:00");
    // What the "9999:99" edit holds when only some positions were typed.
    EXPECT_EQ(validacao.AjustaHora("1 2 :3"), "0012:03");
    EXPECT_DOUBLE_EQ(validacao.StTimeToReal("12  :3"), 12.05);
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_F(ValidacaoTest, HoursTextThatIsNotANumberIsRefused)
{
    EXPECT_THROW(validacao.AjustaHora("1a:00"), Abort);
    EXPECT_EQ(onlyMessageKey(), "ValCons_Inv");
    EXPECT_EQ(script->lastMessage().text, "Valor inválido. A quantidade de horas deve estar no formato 'HHHH:MM'.");
    EXPECT_THROW(validacao.StTimeToReal("10:x"), Abort);
}

// --- Numbers ------------------------------------------------------------------------------------

TEST_F(ValidacaoTest, ValidNumberStoresTypedNumbers)
{
    auto list = ingredientList(levelFields(Level::Padrao));
    framework::Field* qt = list->FieldByName("QTPRODPRAT");
    qt->setDisplayLabel("Quantidade");

    validacao.ValidNumber(*qt, " ,5 ", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 0.5);
    validacao.ValidNumber(*qt, "1234567,12345", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 1234567.12345);
    validacao.ValidNumber(*qt, "", 7);
    EXPECT_FALSE(qt->IsNull());
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 0);
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_F(ValidacaoTest, ValidNumberRefusesTooManyDigitsAndNonNumbers)
{
    auto list = ingredientList(levelFields(Level::Padrao));
    framework::Field* qt = list->FieldByName("QTPRODPRAT");
    qt->setDisplayLabel("Quantidade");
    qt->setAsFloat(3);

    EXPECT_THROW(validacao.ValidNumber(*qt, "12345678", 7), Abort);
    EXPECT_EQ(onlyMessageKey(), "VAL_INV");
    EXPECT_EQ(script->lastMessage().text, "12345678 não é um valor válido para o campo Quantidade.");
    // A mistyped number is refused instead of silently becoming 0.
    EXPECT_THROW(validacao.ValidNumber(*qt, "1,2,3", 7), Abort);
    EXPECT_EQ(script->lastMessage().text, "1,2,3 não é um valor válido para o campo Quantidade.");
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 3);

    // Outside an edit nothing is checked or stored.
    list->Post();
    validacao.ValidNumber(*qt, "12345678", 7);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 3);
}

TEST_F(ValidacaoTest, RoundNumberAndStorageIndex)
{
    EXPECT_DOUBLE_EQ(recipe::RoundNumber("12,345"), 12.35);
    EXPECT_DOUBLE_EQ(recipe::RoundNumber("-99,994"), -99.99);
    EXPECT_DOUBLE_EQ(recipe::RoundNumber(""), 0);
    EXPECT_DOUBLE_EQ(recipe::RoundNumber("abc"), 0);

    EXPECT_EQ(recipe::indexTipoArmazenamento("RESFRIADO"), 0);
    EXPECT_EQ(recipe::indexTipoArmazenamento("CONGELADO"), 1);
    EXPECT_EQ(recipe::indexTipoArmazenamento("NENHUM"), 2);
    EXPECT_EQ(recipe::indexTipoArmazenamento(""), 2);
}

// --- Empty fields and nutrition -----------------------------------------------------------------

TEST_F(ValidacaoTest, ValidaVazioNamesTheFieldAndFocusesItsColumn)
{
    const auto& level = levelFields(Level::Padrao);
    auto list = ingredientList(level);
    framework::Field* gain = list->FieldByName(level.cookingGain);
    validacao.Vd_ValidaVazio(*gain);
    EXPECT_TRUE(script->messages().isEmpty());

    framework::DataSource source(nullptr, level.dataSource);
    source.setDataSet(list.get());
    framework::TDBGrid grid(nullptr, level.grid);
    grid.setDataSource(&source);
    grid.AddColumn("CDPRODUTO");
    grid.AddColumn(level.cookingGain);
    grid.setSelectedIndex(0);

    gain->Clear();
    EXPECT_THROW(validacao.Vd_ValidaVazio(*gain, &grid), Abort);
    EXPECT_EQ(onlyMessageKey(), "Campo_Inf");
    EXPECT_EQ(script->lastMessage().text, "Ganho Cocção deve ser informado.");
    EXPECT_EQ(grid.SelectedField(), gain);
}

TEST_F(ValidacaoTest, NutrientQuantityFollowsTheYieldTheUserChanged)
{
    const auto& level = levelFields(Level::Filial);
    auto list = ingredientList(level);
    framework::Field* yield = list->FieldByName(level.nutritionalYield);
    framework::Field* quantity = list->FieldByName(level.nutrientQty);
    list->FieldByName(level.nutrientBase)->setAsFloat(2.123456);
    yield->setAsFloat(50);
    quantity->setAsFloat(7);

    // The quantity was the user's last change: the yield does not override it.
    validacao.Vd_VrPerNutr(*list, level);
    EXPECT_DOUBLE_EQ(quantity->AsFloat(), 7);

    yield->setTag(1);
    validacao.Vd_VrPerNutr(*list, level);
    EXPECT_DOUBLE_EQ(quantity->AsFloat(), 2.12346 * 50 / 100);

    yield->setAsFloat(0);
    EXPECT_THROW(validacao.Vd_VrPerNutr(*list, level), Abort);
    EXPECT_EQ(onlyMessageKey(), "Nutricional_Maior");
    EXPECT_DOUBLE_EQ(quantity->AsFloat(), 2.12346 * 50 / 100);
}

// --- Factor pairs -------------------------------------------------------------------------------

namespace {

// The level's list in a grid, with every factor column, its row in edit.
class FactorPairsTest : public ValidacaoTest, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override
    {
        ValidacaoTest::SetUp();
        source.setDataSet(list.get());
        grid.setDataSource(&source);
        for (const QString& name : {level.cookingGain, level.cookingYield, level.cleaningLoss, level.cleaningYield,
                                    level.defrostLoss, level.netQty})
            grid.AddColumn(name);
    }

    // The user typed value into the column, then the column is left.
    void type(const QString& column, double value)
    {
        grid.setSelectedIndex(columnOf(column));
        list->FieldByName(column)->setAsFloat(value);
        validacao.Vd_CoccaoLimpeza(grid, level);
    }
    int columnOf(const QString& name) const
    {
        for (int i = 0; i < grid.ColumnCount(); ++i)
            if (grid.Columns(i)->FieldName() == name)
                return i;
        return -1;
    }
    double value(const QString& name) const { return list->FieldByName(name)->AsFloat(); }

    const recipe::LevelFields& level = levelFields(GetParam());
    std::unique_ptr<framework::ClientDataSet> list = ingredientList(level);
    framework::DataSource source{nullptr, level.dataSource};
    framework::TDBGrid grid{nullptr, level.grid};
};

} // namespace

TEST_P(FactorPairsTest, CookingGainAndYieldFollowEachOther)
{
    type(level.cookingGain, -99);
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 1);
    type(level.cookingGain, -99.99);
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 0.01);
    type(level.cookingYield, 150);
    EXPECT_DOUBLE_EQ(value(level.cookingGain), 50);
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_P(FactorPairsTest, CookingGainOfMinus100AndYieldOfZeroAreRefused)
{
    type(level.cookingGain, 20);
    grid.setSelectedIndex(columnOf(level.netQty));

    EXPECT_THROW(type(level.cookingGain, -100), Abort);
    EXPECT_EQ(onlyMessageKey(), "FatCocGanho_Maior");
    EXPECT_EQ(script->lastMessage().text, "Ganho Cocção deve ser maior que -100.");
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 120); // left as it was
    EXPECT_EQ(grid.SelectedField()->FieldName(), level.cookingGain);

    EXPECT_THROW(type(level.cookingYield, 0), Abort);
    EXPECT_EQ(script->lastMessage().key, "FatCocAprov_Menor");
    EXPECT_DOUBLE_EQ(value(level.cookingGain), -100);
}

TEST_P(FactorPairsTest, CleaningLossAndYieldFollowEachOther)
{
    type(level.cleaningLoss, 20);
    EXPECT_DOUBLE_EQ(value(level.cleaningYield), 80);
    type(level.cleaningYield, 75.5);
    EXPECT_DOUBLE_EQ(value(level.cleaningLoss), 24.5);
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 100); // the cooking pair is not touched
}

TEST_P(FactorPairsTest, DefrostLossStaysWithin0And99)
{
    type(level.defrostLoss, 99);
    type(level.defrostLoss, 0);
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_THROW(type(level.defrostLoss, 99.5), Abort);
    EXPECT_EQ(onlyMessageKey(), "FatPerdaDegelo_fora");
    EXPECT_THROW(type(level.defrostLoss, -1), Abort);
}

TEST_P(FactorPairsTest, NothingChangesOutsideAnEditOrInAnotherColumn)
{
    grid.setSelectedIndex(columnOf(level.netQty));
    list->FieldByName(level.cookingGain)->setAsFloat(-100);
    validacao.Vd_CoccaoLimpeza(grid, level);
    EXPECT_DOUBLE_EQ(value(level.cookingYield), 100);

    list->Post();
    grid.setSelectedIndex(columnOf(level.cookingGain));
    validacao.Vd_CoccaoLimpeza(grid, level);
    EXPECT_TRUE(script->messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, FactorPairsTest,
                         ::testing::Values(Level::Padrao, Level::TpCard, Level::Filial, Level::Servico),
                         [](const auto& info) { return levelFields(info.param).dataSet.toStdString(); });

// --- Service check ------------------------------------------------------------------------------

namespace {

class ServicoTest : public RecipeDbTest {
protected:
    void SetUp() override
    {
        RecipeDbTest::SetUp();
        exec("INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'Matriz'), ('0002', 'Hospital')");
        exec("INSERT INTO SERVICO (CDFILIAL, CDSERVFILI, NMSERVICO, IDTIPOSERV) VALUES "
             "('0001', '00001', 'Almoço', 'N'), ('0001', '00009', 'Avulsos', 'A'), "
             "('0002', '00002', 'Dieta pastosa', 'D')");
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&other);
        layout->addWidget(&medCdServico);
        layout->addWidget(&edtNmServico);
    }

    QWidget window;
    QLineEdit other;
    framework::TMaskEdit medCdServico{nullptr, "medCdServico"};
    QLineEdit edtNmServico;
    std::unique_ptr<framework::Query> qryServico{Validacao::createQryServico(nullptr)};
    Validacao validacao{messages, *qryServico};
};

} // namespace

TEST_F(ServicoTest, KnownServiceIsPaddedAndNamed)
{
    medCdServico.setText("1");
    validacao.Vd_CdServico("0001", medCdServico, edtNmServico, true);
    EXPECT_EQ(medCdServico.Text(), "00001");
    EXPECT_EQ(edtNmServico.text(), "Almoço");
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_F(ServicoTest, UnknownServiceIsRefusedAndTakesTheFocus)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.setFocus();

    // Another branch's service, and a service of type "A", do not qualify.
    for (const char* code : {"2", "00009"}) {
        script->reset();
        medCdServico.setText(code);
        EXPECT_THROW(validacao.Vd_CdServico("0001", medCdServico, edtNmServico, false), Abort) << code;
        EXPECT_EQ(onlyMessageKey(), "SERV_NCAD");
        EXPECT_EQ(script->lastMessage().text, "Serviço não cadastrado.");
    }
    EXPECT_EQ(QApplication::focusWidget(), &medCdServico);
}

TEST_F(ServicoTest, EmptyServiceFailsOnlyWhenRequired)
{
    medCdServico.setText("  ");
    validacao.Vd_CdServico("0001", medCdServico, edtNmServico, false);
    EXPECT_TRUE(script->messages().isEmpty());

    EXPECT_THROW(validacao.Vd_CdServico("0001", medCdServico, edtNmServico, true), Abort);
    EXPECT_EQ(onlyMessageKey(), "SERV_EMPTY");
    EXPECT_EQ(script->lastMessage().text, "Serviço deve ser informado.");
}
