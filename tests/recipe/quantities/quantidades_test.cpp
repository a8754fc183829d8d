// The quantity arithmetic of an ingredient row and the unit conversions it goes through.
#include "fixture.h"

#include "framework/abort.h"
#include "framework/ui/query.h"
#include "recipe/quantities/conversaounidade.h"
#include "recipe/quantities/quantidadepessoa.h"
#include "recipe/quantities/quantidades.h"

using recipe::Fatores;

TEST(Quantidades, GrossAndNetFollowTheFactorsBothWays)
{
    const Fatores limpeza{0, 20, 0};
    EXPECT_DOUBLE_EQ(recipe::brutaDaLiquida(1.0, limpeza), 1.25);
    EXPECT_DOUBLE_EQ(recipe::liquidaDaBruta(1.25, limpeza), 1.0);
    // A cooking loss of half (yield 50) doubles what must be taken.
    EXPECT_DOUBLE_EQ(recipe::brutaDaLiquida(1.0, {-50, 0, 0}), 2.0);
    const Fatores todos{10, 20, 25};
    EXPECT_NEAR(recipe::liquidaDaBruta(recipe::brutaDaLiquida(0.35, todos), todos), 0.35, 1e-12);
    // Cleaning and defrost losses reduce the nutrient base; cooking does not enter it.
    EXPECT_DOUBLE_EQ(recipe::baseNutriente(2.0, {50, 20, 50}), 0.8);
}

namespace {

// Rice in kg with its own grams; flour in kg without conversions of its own; milk in litres.
class QuantidadeUnidadeTest : public RecipeDbTest {
protected:
    void SetUp() override
    {
        RecipeDbTest::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO UNIDMEDIDA (SGUNIDADE, DSUNIDADE) VALUES ('KG', 'kg'), ('G', 'g'), ('L', 'l'), "
             "('ML', 'ml'), ('CX', 'cx'), ('POR', 'porção')");
        exec("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE) VALUES ('ARROZ', '1', 'Arroz', 'KG'), "
             "('FARINHA', '2', 'Farinha', 'KG'), ('LEITE', '3', 'Leite', 'L')");
        exec("INSERT INTO CONVPRODUTO (CDPRODUTO, SGUNIDADE, VRFATOCONVES) VALUES ('ARROZ', 'CX', 5)");
        exec("INSERT INTO CONVUNID (SGUNIDDE, SGUNIDPARA, VRFTCONVER, IDTIPOPE) VALUES ('KG', 'G', 1000, '*'), "
             "('L', 'ML', 1000, '*')");
    }

    std::unique_ptr<framework::Query> qryConvProduto{recipe::ConversaoUnidade::createQryConvProduto(nullptr)};
    recipe::ConversaoUnidade conversao{*qryConvProduto};
    recipe::QuantidadeUnidade unidades{conversao};
};

} // namespace

TEST_P(QuantidadeUnidadeTest, RequisitionIsTheGrossInTheStockUnitToFiveDecimals)
{
    // Empty unit, or the stock unit itself: the gross quantity rounded.
    EXPECT_DOUBLE_EQ(unidades.requisicao({"ARROZ", "", "KG"}, 1.2345678), 1.23457);
    EXPECT_DOUBLE_EQ(unidades.requisicao({"ARROZ", "KG", "KG"}, 1.2345678), 1.23457);
    EXPECT_DOUBLE_EQ(unidades.requisicao({"ARROZ", "G", "KG"}, 250), 0.25);
    EXPECT_DOUBLE_EQ(unidades.requisicao({"ARROZ", "CX", "KG"}, 2), 10);
    // No conversion from the unit to the stock unit: 0, no message.
    EXPECT_DOUBLE_EQ(unidades.requisicao({"LEITE", "KG", "L"}, 2), 0);
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_P(QuantidadeUnidadeTest, AnotherUnitFallsBackThroughTheStockUnit)
{
    // Boxes of rice have no way to grams of their own: box -> kg -> g.
    EXPECT_DOUBLE_EQ(unidades.emUnidade({"ARROZ", "CX", "KG"}, "G", 1), 5000);
    EXPECT_DOUBLE_EQ(unidades.emUnidade({"FARINHA", "", "KG"}, "G", 0.3), 300);
    EXPECT_DOUBLE_EQ(unidades.emUnidade({"FARINHA", "KG", "KG"}, "KG", 0.3), 0.3);
    // Neither directly nor through the stock unit.
    EXPECT_DOUBLE_EQ(unidades.emUnidade({"LEITE", "ML", "L"}, "POR", 200), 0);
}

INSTANTIATE_ON_BACKENDS(QuantidadeUnidadeTest);

namespace {

class QuantidadePessoaTest : public RecipeTest {
protected:
    void SetUp() override
    {
        RecipeTest::SetUp();
        recipe::addQuantidadePessoaMessages(messages);
        dish.AddField("QTPADRAOPRAT", framework::FieldType::Float);
        dish.CreateDataSet();
        dish.Append();
    }
    framework::Field& quantity() { return *dish.FieldByName("QTPADRAOPRAT"); }
    framework::ClientDataSet dish{nullptr, "cdsDadosPrat"};
};

} // namespace

TEST_F(QuantidadePessoaTest, ZeroIsStoredAsNoQuantityAndANegativeOneIsRefused)
{
    quantity().setAsFloat(0);
    recipe::Vd_QtPadrao(quantity(), nullptr, messages);
    EXPECT_TRUE(quantity().IsNull());
    quantity().setAsFloat(0.15);
    recipe::Vd_QtPadrao(quantity(), nullptr, messages);
    EXPECT_DOUBLE_EQ(quantity().AsFloat(), 0.15);
    quantity().setAsFloat(-1);
    EXPECT_THROW(recipe::Vd_QtPadrao(quantity(), nullptr, messages), framework::Abort);
    EXPECT_EQ(onlyMessageKey(), "QTPADR_INV");
    EXPECT_EQ(script->lastMessage().text, "Quantidade por pessoa deve ser maior ou igual a zero.");
}

TEST(QuantidadeVirgula, OneCommaAfterADigitAndDigitsPass)
{
    EXPECT_TRUE(recipe::vd_virgula(u'7', ""));
    EXPECT_TRUE(recipe::vd_virgula(u'\b', "1,"));
    EXPECT_FALSE(recipe::vd_virgula(u',', ""));
    EXPECT_TRUE(recipe::vd_virgula(u',', "1"));
    EXPECT_FALSE(recipe::vd_virgula(u',', "1,5"));
    EXPECT_FALSE(recipe::vd_virgula(u'.', "1"));
    EXPECT_FALSE(recipe::vd_virgula(u'a', "1"));
}
