#include "fixture.h"

#include "framework/ui/query.h"
#include "recipe/quantities/conversaounidade.h"

using recipe::ConversaoUnidade;

namespace {

// Rice in kg, boxed by 12 kg and packed by 0,5 kg; sugar in kg with no conversion of its own;
// eggs by unit, with a box conversion whose factor is 0.
class ConversaoUnidadeTest : public RecipeDbTest {
protected:
    void SetUp() override
    {
        RecipeDbTest::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO UNIDMEDIDA (SGUNIDADE, DSUNIDADE) VALUES ('KG', 'kg'), ('G', 'g'), ('L', 'l'), "
             "('UN', 'un'), ('DZ', 'dz'), ('CX', 'cx'), ('PCT', 'pct')");
        exec("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE) VALUES ('ARROZ', '1', 'Arroz', 'KG'), "
             "('ACUCAR', '2', 'Açúcar', 'KG'), ('OVO', '3', 'Ovo', 'UN')");
        exec("INSERT INTO CONVPRODUTO (CDPRODUTO, SGUNIDADE, VRFATOCONVES) VALUES ('ARROZ', 'CX', 12), "
             "('ARROZ', 'PCT', 0.5), ('OVO', 'CX', 0)");
        exec("INSERT INTO CONVUNID (SGUNIDDE, SGUNIDPARA, VRFTCONVER, IDTIPOPE) VALUES ('KG', 'G', 1000, '*'), "
             "('KG', 'PCT', 4, '*'), ('UN', 'DZ', 12, '/')");
    }
    double convert(const QString& product, const QString& from, const QString& to, double quantity)
    {
        return conversao.ConverteUnidade(product, from, to, quantity);
    }

    std::unique_ptr<framework::Query> qryConvProduto{ConversaoUnidade::createQryConvProduto(nullptr)};
    ConversaoUnidade conversao{*qryConvProduto};
};

} // namespace

TEST_P(ConversaoUnidadeTest, ProductConversionComesFirstThenTheGeneralOne)
{
    EXPECT_DOUBLE_EQ(convert("ARROZ", "CX ", "KG", 2), 24);
    EXPECT_DOUBLE_EQ(convert("ARROZ", "KG", "CX", 24), 2);
    EXPECT_DOUBLE_EQ(convert("ARROZ", "KG", "PCT", 1), 2);  // the rice's own packet
    EXPECT_DOUBLE_EQ(convert("ACUCAR", "KG", "PCT", 1), 4); // the general packet
    EXPECT_DOUBLE_EQ(convert("ACUCAR", "G", "KG", 250), 0.25);
    // A stored division, as stored and reversed.
    EXPECT_DOUBLE_EQ(convert("OVO", "UN", "DZ", 24), 2);
    EXPECT_DOUBLE_EQ(convert("OVO", "DZ", "UN", 2), 24);
}

TEST_P(ConversaoUnidadeTest, NoConversionOrFactorZeroGivesZero)
{
    EXPECT_DOUBLE_EQ(convert("ACUCAR", "L", "KG", 3), 0);
    EXPECT_DOUBLE_EQ(convert("OVO", "UN", "CX", 30), 0); // no division by 0
    EXPECT_DOUBLE_EQ(convert("ARROZ", "KG' OR '1'='1", "CX", 1), 0);
    EXPECT_DOUBLE_EQ(convert("ACUCAR", "KG", "KG", 3), 3);
}

INSTANTIATE_ON_BACKENDS(ConversaoUnidadeTest);
