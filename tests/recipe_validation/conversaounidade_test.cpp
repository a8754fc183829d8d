#include "fixture.h"

#include "recipe/conversaounidade.h"

using recipe::ConversaoUnidade;

namespace {

// Rice in kilograms, boxed by 12 kg, sold in packets of half a kilogram; sugar in kilograms
// with no conversion of its own; eggs counted by unit, with a broken conversion of factor 0.
class ConversaoUnidadeTest : public RecipeDbTest {
protected:
    void SetUp() override
    {
        RecipeDbTest::SetUp();
        exec("INSERT INTO UNIDMEDIDA (SGUNIDADE, DSUNIDADE) VALUES ('KG', 'Quilograma'), ('G', 'Grama'), "
             "('L', 'Litro'), ('ML', 'Mililitro'), ('UN', 'Unidade'), ('DZ', 'Dúzia'), ('CX', 'Caixa'), "
             "('PCT', 'Pacote')");
        exec("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE) VALUES "
             "('0000000010', '1.01.001.0001', 'Arroz', 'KG'), ('0000000020', '1.01.001.0002', 'Açúcar', 'KG'), "
             "('0000000030', '1.02.001.0001', 'Ovo', 'UN')");
        exec("INSERT INTO CONVPRODUTO (CDPRODUTO, SGUNIDADE, VRFATOCONVES) VALUES "
             "('0000000010', 'CX', 12), ('0000000010', 'PCT', 0.5), ('0000000030', 'CX', 0)");
        exec("INSERT INTO CONVUNID (SGUNIDDE, SGUNIDPARA, VRFTCONVER, IDTIPOPE) VALUES "
             "('KG', 'G', 1000, '*'), ('KG', 'PCT', 4, '*'), ('UN', 'DZ', 12, '/')");
    }

    double convert(const QString& product, const QString& from, const QString& to, double quantity)
    {
        return conversao.ConverteUnidade(product, from, to, quantity);
    }

    std::unique_ptr<framework::Query> qryConvProduto{ConversaoUnidade::createQryConvProduto(nullptr)};
    ConversaoUnidade conversao{*qryConvProduto};
};

} // namespace

TEST_F(ConversaoUnidadeTest, ProductConversionWorksBothWays)
{
    EXPECT_DOUBLE_EQ(convert("0000000010", "CX", "KG", 2), 24);
    EXPECT_DOUBLE_EQ(convert("0000000010", "KG", "CX", 24), 2);
    // Blanks around the codes do not matter.
    EXPECT_DOUBLE_EQ(convert("0000000010", "CX  ", " KG", 1), 12);
}

TEST_F(ConversaoUnidadeTest, ProductConversionComesBeforeTheGeneralOne)
{
    EXPECT_DOUBLE_EQ(convert("0000000010", "KG", "PCT", 1), 2); // packets of 0,5 kg
    EXPECT_DOUBLE_EQ(convert("0000000020", "KG", "PCT", 1), 4); // the general factor
}

TEST_F(ConversaoUnidadeTest, GeneralConversionAsStoredAndReversed)
{
    EXPECT_DOUBLE_EQ(convert("0000000020", "KG", "G", 1.5), 1500);
    EXPECT_DOUBLE_EQ(convert("0000000020", "G", "KG", 250), 0.25);
    // A stored division: 24 units are 2 dozen, and back.
    EXPECT_DOUBLE_EQ(convert("0000000030", "UN", "DZ", 24), 2);
    EXPECT_DOUBLE_EQ(convert("0000000030", "DZ", "UN", 2), 24);
}

TEST_F(ConversaoUnidadeTest, NoConversionOrFactorZeroGivesZero)
{
    EXPECT_DOUBLE_EQ(convert("0000000020", "L", "KG", 3), 0);
    EXPECT_DOUBLE_EQ(convert("0000000030", "UN", "CX", 30), 0); // would divide by 0
    EXPECT_DOUBLE_EQ(convert("0000000030", "CX", "UN", 1), 0);  // multiplies by 0
    EXPECT_DOUBLE_EQ(convert("0000000020", "KG", "KG", 3), 3);
}

TEST_F(ConversaoUnidadeTest, TheQueryKeepsItsNameAndBoundParameters)
{
    EXPECT_EQ(qryConvProduto->objectName(), "qryConvProduto");
    QStringList params = qryConvProduto->ParamNames();
    params.sort();
    EXPECT_EQ(params, QStringList({"P_CDPRODUTO", "P_SGUNIDADEDEST", "P_SGUNIDADEORI"}));
    // A unit typed with a quote is a value, not SQL.
    EXPECT_DOUBLE_EQ(convert("0000000010", "KG' OR '1'='1", "CX", 1), 0);
}
