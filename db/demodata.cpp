#include "demodata.h"

#include "framework/abort.h"
#include "passwords.h"

#include <QBuffer>
#include <QColor>
#include <QDate>
#include <QImage>
#include <QPainter>
#include <QSqlError>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <cmath>

namespace db {

namespace {

// One prepared INSERT reused for every row of a table.
class Inserter {
public:
    Inserter(QSqlDatabase& db, const QString& table, const QStringList& columns)
        : m_query(db), m_table(table)
    {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << "?";
        m_query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(", "), marks.join(", ")));
    }

    void add(const QVariantList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        if (!m_query.exec())
            throw framework::Error(QStringLiteral("Erro ao gravar os dados de demonstração em %1: %2")
                                       .arg(m_table, m_query.lastError().text()));
    }

private:
    QSqlQuery m_query;
    QString m_table;
};

const QVariant Null;

double round5(double v) { return std::round(v * 100000.0) / 100000.0; }

// A dish's shelf life in hours, as the dish record stores it beside its time and unit (H hours,
// D days of 24, M months of 720, A years of 8640).
double validadeEmHoras(QStringView unit, double time)
{
    const double hours = unit == u"D" ? 24 : unit == u"M" ? 720 : unit == u"A" ? 8640 : 1;
    return time * hours;
}

struct Product {
    const char* tree;  // code in the product tree (picture 9.99.999.9999)
    const char* name;
    const char* unit;
    double loss;       // cleaning loss, %
    double kcal, protein, fat, carbs;
    double price;      // per unit
    const char* season; // one character per month, January first: 3 in season, 2 start of season, 1 off season
    double grams;       // weight of one stock unit, g (the table values above are per 100 g)
};

struct ProductGroup {
    const char* tree;
    const char* name;
};

const ProductGroup productGroups[] = {
    {"1", "Hortifrúti"}, {"101", "Verduras"}, {"101001", "Folhosas"}, {"102", "Legumes"},
    {"102001", "Legumes in natura"}, {"103", "Frutas"}, {"103001", "Frutas in natura"},
    {"104", "Temperos frescos"}, {"104001", "Temperos in natura"},
    {"2", "Carnes, aves e peixes"}, {"201", "Aves"}, {"201001", "Frango"}, {"202", "Bovinos"},
    {"202001", "Cortes bovinos"}, {"203", "Pescados"}, {"203001", "Peixes"},
    {"3", "Cereais e grãos"}, {"301", "Arroz"}, {"301001", "Arroz"}, {"302", "Feijões"},
    {"302001", "Feijões"}, {"303", "Massas e farinhas"}, {"303001", "Massas e farinhas"},
    {"4", "Laticínios e ovos"}, {"401", "Laticínios"}, {"401001", "Leite e derivados"},
    {"402", "Ovos"}, {"402001", "Ovos"},
    {"5", "Mercearia"}, {"501", "Óleos e gorduras"}, {"501001", "Óleos e gorduras"},
    {"502", "Condimentos"}, {"502001", "Condimentos"}, {"503", "Doces"}, {"503001", "Açúcares e sobremesas"},
};

const Product products[] = {
    {"1010010001", "Alface crespa", "UN", 35, 11, 1.3, 0.2, 1.7, 2.50, "333322211133", 300},
    {"1010010002", "Couve manteiga", "MC", 20, 27, 2.9, 0.5, 4.3, 3.20, "333332222333", 200},
    {"1020010001", "Tomate", "KG", 10, 15, 1.1, 0.2, 3.1, 6.90, "222333332222", 1000},
    {"1020010002", "Cebola", "KG", 12, 39, 1.7, 0.1, 8.9, 4.80, "333222111222", 1000},
    {"1020010003", "Cenoura", "KG", 15, 34, 1.3, 0.2, 7.7, 4.20, "222233333322", 1000},
    {"1020010004", "Batata inglesa", "KG", 18, 64, 1.8, 0.1, 14.7, 5.30, "223333332222", 1000},
    {"1020010005", "Abobrinha italiana", "KG", 8, 19, 1.1, 0.1, 4.3, 5.60, "333322221111", 1000},
    {"1020010006", "Chuchu", "KG", 12, 17, 0.7, 0.1, 4.1, 3.40, "111222333332", 1000},
    {"1030010001", "Banana prata", "KG", 35, 98, 1.3, 0.1, 26.0, 5.90, "333333333333", 1000},
    {"1030010002", "Laranja pera", "KG", 30, 37, 1.0, 0.1, 8.9, 3.90, "111222333333", 1000},
    {"1030010003", "Limão taiti", "KG", 40, 32, 0.9, 0.1, 11.1, 4.50, "332222223333", 1000},
    {"1040010001", "Alho", "KG", 15, 113, 7.0, 0.2, 23.9, 24.00, "111122333321", 1000},
    {"1040010002", "Cheiro-verde", "MC", 10, 33, 3.3, 0.6, 5.7, 2.00, "333333333333", 100},
    {"2010010001", "Frango inteiro congelado", "KG", 30, 215, 18.6, 15.1, 0.0, 12.90, "333333333333", 1000},
    {"2010010002", "Filé de peito de frango", "KG", 2, 159, 32.0, 2.5, 0.0, 19.90, "333333333333", 1000},
    {"2010010003", "Coxa e sobrecoxa de frango", "KG", 25, 255, 17.1, 20.2, 0.0, 11.50, "333333333333", 1000},
    {"2020010001", "Carne bovina patinho", "KG", 5, 219, 35.9, 7.3, 0.0, 39.90, "333333333333", 1000},
    {"2020010002", "Carne bovina acém", "KG", 8, 215, 26.7, 11.2, 0.0, 32.50, "333333333333", 1000},
    {"2020010003", "Carne moída", "KG", 0, 212, 26.7, 10.9, 0.0, 29.90, "333333333333", 1000},
    {"2030010001", "Filé de tilápia", "KG", 3, 96, 20.1, 1.7, 0.0, 42.00, "333222111233", 1000},
    {"3010010001", "Arroz agulhinha tipo 1", "KG", 0, 358, 7.2, 0.3, 78.8, 4.80, "333333333333", 1000},
    {"3020010001", "Feijão carioca", "KG", 2, 329, 20.0, 1.3, 61.2, 7.90, "333333333333", 1000},
    {"3020010002", "Feijão preto", "KG", 2, 324, 21.3, 1.2, 58.8, 8.40, "333333333333", 1000},
    {"3030010001", "Macarrão espaguete", "KG", 0, 371, 10.0, 1.3, 77.9, 6.20, "333333333333", 1000},
    {"3030010002", "Farinha de mandioca", "KG", 0, 361, 1.6, 0.3, 87.9, 5.70, "333333333333", 1000},
    {"4010010001", "Leite integral", "L", 0, 61, 2.9, 3.2, 4.3, 4.90, "333333333333", 1000},
    {"4010010002", "Queijo muçarela", "KG", 0, 330, 22.6, 25.2, 3.0, 44.00, "333333333333", 1000},
    {"4020010001", "Ovo branco", "UN", 12, 143, 13.0, 8.9, 1.6, 0.65, "333333333333", 50},
    {"5010010001", "Óleo de soja", "L", 0, 884, 0.0, 100.0, 0.0, 8.90, "333333333333", 1000},
    {"5010010002", "Margarina", "KG", 0, 596, 0.0, 67.4, 0.0, 14.50, "333333333333", 1000},
    {"5020010001", "Sal refinado", "KG", 0, 0, 0.0, 0.0, 0.0, 2.10, "333333333333", 1000},
    {"5020010002", "Vinagre de álcool", "L", 0, 4, 0.0, 0.0, 0.1, 3.30, "333333333333", 1000},
    {"5020010003", "Colorau", "KG", 0, 300, 10.0, 7.0, 50.0, 22.00, "333333333333", 1000},
    {"5030010001", "Açúcar cristal", "KG", 0, 387, 0.0, 0.0, 99.9, 4.60, "333333333333", 1000},
    {"5030010002", "Gelatina em pó sabor morango", "KG", 0, 380, 8.0, 0.0, 89.0, 28.00, "333333333333", 1000},
};

struct Ingredient {
    const char* product; // tree code
    double net;          // per portion, in the product's unit
};

struct Dish {
    const char* code; // last-level code
    const char* name;
    const char* unit;
    int preparation;  // FORMAPREPARO
    double portion;   // portion weight in kg
    QList<Ingredient> recipe;
};

struct DishGroup {
    const char* code;
    const char* name;
};

// The dish tree: level widths 1, 2, 3 and 4 characters.
const DishGroup dishGroups[] = {
    {"1", "Pratos principais"}, {"101", "Aves"}, {"101001", "Frango"}, {"102", "Carnes bovinas"},
    {"102001", "Carne bovina"}, {"103", "Peixes"}, {"103001", "Peixes assados e grelhados"},
    {"2", "Guarnições e acompanhamentos"}, {"201", "Arroz"}, {"201001", "Arroz"},
    {"202", "Feijão"}, {"202001", "Feijão"}, {"203", "Massas"}, {"203001", "Massas"},
    {"204", "Legumes e farofas"}, {"204001", "Legumes e farofas"},
    {"3", "Saladas"}, {"301", "Folhosas"}, {"301001", "Folhosas"}, {"302", "Legumes crus"},
    {"302001", "Legumes crus"},
    {"4", "Sobremesas"}, {"401", "Frutas"}, {"401001", "Frutas"}, {"402", "Doces"}, {"402001", "Doces"},
    {"5", "Dietas hospitalares"}, {"501", "Dietas pastosas"}, {"501001", "Sopas e purês"},
};

const QList<Dish>& standardDishes()
{
    static const QList<Dish> dishes{
        {"1010010001", "Frango assado", "KG", 1, 0.180,
         {{"2010010001", 0.250}, {"1040010001", 0.004}, {"1020010002", 0.010}, {"5020010001", 0.002}, {"5010010001", 0.005}}},
        {"1010010002", "Frango grelhado", "KG", 4, 0.150,
         {{"2010010002", 0.160}, {"1040010001", 0.003}, {"1030010003", 0.010}, {"5020010001", 0.002}}},
        {"1010010003", "Strogonoff de frango", "KG", 5, 0.180,
         {{"2010010002", 0.140}, {"1020010002", 0.015}, {"1020010001", 0.020}, {"4010010001", 0.030}, {"5010010001", 0.004}}},
        {"1010010004", "Coxa de frango ensopada", "KG", 2, 0.200,
         {{"2010010003", 0.250}, {"1020010001", 0.020}, {"1020010002", 0.015}, {"5020010003", 0.001}}},
        {"1020010001", "Carne de panela", "KG", 2, 0.150,
         {{"2020010002", 0.160}, {"1020010004", 0.050}, {"1020010003", 0.030}, {"1020010002", 0.015}}},
        {"1020010002", "Bife acebolado", "KG", 3, 0.130,
         {{"2020010001", 0.140}, {"1020010002", 0.040}, {"5010010001", 0.006}, {"5020010001", 0.002}}},
        {"1020010003", "Carne moída refogada", "KG", 5, 0.120,
         {{"2020010003", 0.120}, {"1020010001", 0.020}, {"1020010002", 0.015}, {"1040010002", 0.003}}},
        {"1030010001", "Tilápia assada", "KG", 1, 0.140,
         {{"2030010001", 0.150}, {"1030010003", 0.010}, {"1040010001", 0.003}, {"5010010001", 0.004}}},
        {"2010010001", "Arroz branco", "KG", 2, 0.150,
         {{"3010010001", 0.060}, {"5010010001", 0.003}, {"1040010001", 0.002}, {"5020010001", 0.001}}},
        {"2010010002", "Arroz à grega", "KG", 2, 0.150,
         {{"3010010001", 0.055}, {"1020010003", 0.015}, {"5010010001", 0.003}, {"5020010001", 0.001}}},
        {"2020010001", "Feijão carioca", "KG", 2, 0.160,
         {{"3020010001", 0.050}, {"1040010001", 0.002}, {"1020010002", 0.008}, {"5020010001", 0.001}}},
        {"2020010002", "Feijão preto", "KG", 2, 0.160,
         {{"3020010002", 0.050}, {"1040010001", 0.002}, {"1020010002", 0.008}, {"5020010001", 0.001}}},
        {"2030010001", "Macarrão alho e óleo", "KG", 2, 0.150,
         {{"3030010001", 0.070}, {"1040010001", 0.004}, {"5010010001", 0.006}}},
        {"2040010001", "Purê de batata", "KG", 2, 0.120,
         {{"1020010004", 0.150}, {"4010010001", 0.030}, {"5010010002", 0.005}, {"5020010001", 0.001}}},
        {"2040010002", "Legumes refogados", "KG", 5, 0.100,
         {{"1020010003", 0.040}, {"1020010005", 0.040}, {"1020010006", 0.040}, {"5010010001", 0.003}}},
        {"2040010003", "Farofa de cebola", "KG", 5, 0.040,
         {{"3030010002", 0.035}, {"1020010002", 0.010}, {"5010010002", 0.004}}},
        {"3010010001", "Salada de alface", "KG", 6, 0.040,
         {{"1010010001", 0.200}, {"5020010002", 0.002}}},
        {"3010010002", "Salada de alface e tomate", "KG", 6, 0.060,
         {{"1010010001", 0.150}, {"1020010001", 0.040}, {"5020010002", 0.002}}},
        {"3010010003", "Couve refogada", "KG", 5, 0.050,
         {{"1010010002", 0.300}, {"1040010001", 0.002}, {"5010010001", 0.003}}},
        {"3020010001", "Salada de cenoura ralada", "KG", 6, 0.050,
         {{"1020010003", 0.060}, {"1030010003", 0.005}}},
        {"3020010002", "Vinagrete", "KG", 6, 0.040,
         {{"1020010001", 0.030}, {"1020010002", 0.010}, {"1040010002", 0.050}, {"5020010002", 0.004}}},
        {"4010010001", "Banana", "UN", 6, 0.100, {{"1030010001", 0.120}}},
        {"4010010002", "Laranja", "UN", 6, 0.150, {{"1030010002", 0.180}}},
        {"4020010001", "Gelatina de morango", "KG", 2, 0.100, {{"5030010002", 0.012}, {"5030010001", 0.005}}},
        {"4020010002", "Arroz doce", "KG", 2, 0.120,
         {{"3010010001", 0.025}, {"4010010001", 0.080}, {"5030010001", 0.020}}},
        {"5010010001", "Sopa de legumes", "L", 2, 0.300,
         {{"1020010004", 0.050}, {"1020010003", 0.030}, {"1020010006", 0.030}, {"5020010001", 0.001}}},
        {"5010010002", "Caldo de feijão", "L", 2, 0.250, {{"3020010001", 0.040}, {"1040010001", 0.002}}},
        {"5010010003", "Purê de abóbora", "KG", 2, 0.120, {{"1020010005", 0.150}, {"5010010002", 0.004}}},
    };
    return dishes;
}

class DemoWriter {
public:
    DemoWriter(QSqlDatabase& db) : m_db(db) {}

    DemoSummary write(const DemoOptions& options)
    {
        sites();
        parameters();
        lookups();
        productData();
        dishes(std::max(options.dishes, int(standardDishes().size())));
        users();
        return m_summary;
    }

private:
    void sites()
    {
        Inserter filial(m_db, "FILIAL", {"CDFILIAL", "NMFILIAL", "IDFILCENTPME", "CDFILCENTPME", "IDCNTRRESC"});
        struct Site { const char* code; const char* name; const char* central; };
        const Site sites[] = {
            {"0001", "Central Sul Alimentação", nullptr},
            {"0002", "Hospital São Lucas", "0001"},
            {"0003", "Restaurante Metalúrgica ABC", "0001"},
            {"0004", "Hospital Santa Clara", "0001"},
            {"0005", "Refeitório Escola Aurora", "0001"},
            {"0010", "Central Norte Refeições", nullptr},
            {"0011", "Restaurante Porto Norte", "0010"},
        };
        for (const Site& s : sites) {
            const bool central = !s.central;
            filial.add({s.code, QString::fromUtf8(s.name), central ? "S" : "N",
                        central ? QVariant(s.code) : QVariant(s.central), "N"});
            if (!central)
                m_branches << s.code;
            ++m_summary.branches;
        }
        Inserter agrupamento(m_db, "GRUPFILI", {"CDGRUPFILI", "NMGRUPFILI"});
        agrupamento.add({"0000000001", "Hospitais"});
        agrupamento.add({"0000000002", "Restaurantes e refeitórios"});
        Inserter membro(m_db, "FILIGRUPFILI", {"CDGRUPFILI", "CDFILIAL"});
        for (const char* b : {"0002", "0004"})
            membro.add({"0000000001", b});
        for (const char* b : {"0003", "0005", "0011"})
            membro.add({"0000000002", b});

        Inserter grupo(m_db, "GRUPSERV", {"CDGRUPSERV", "NMGRUPSERV"});
        grupo.add({"001", "Restaurante"});
        grupo.add({"002", "Hospitalar"});

        Inserter servico(m_db, "SERVICO", {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDTIPOSERV", "CDGRUPSERV"});
        for (const QString& b : m_branches) {
            const bool hospital = b == "0002" || b == "0004";
            if (hospital) {
                servico.add({b, "00001", "Dieta geral", "N", "002"});
                servico.add({b, "00002", "Dieta pastosa", "D", "002"});
                servico.add({b, "00003", "Dieta hipossódica", "D", "002"});
                servico.add({b, "00004", "Acompanhantes", "N", "002"});
            } else {
                servico.add({b, "00001", "Almoço", "N", "001"});
                servico.add({b, "00002", "Jantar", "N", "001"});
                servico.add({b, "00003", "Café da manhã", "N", "001"});
                servico.add({b, "00009", "Avulsos", "A", "001"});
            }
        }

        Inserter tipo(m_db, "TIPOCARD", {"CDFILCENTPME", "CDTIPOCARD", "NMTIPOCARD"});
        tipo.add({"0001", "PADRAO", "Cardápio padrão"});
        tipo.add({"0001", "HOSPITALAR", "Cardápio hospitalar"});
        tipo.add({"0001", "ESCOLAR", "Cardápio escolar"});
        tipo.add({"0010", "PADRAO", "Cardápio padrão"});
        Inserter filiTipo(m_db, "FILITIPOCARD", {"CDFILIAL", "CDFILCENTPME", "CDTIPOCARD"});
        filiTipo.add({"0002", "0001", "HOSPITALAR"});
        filiTipo.add({"0003", "0001", "PADRAO"});
        filiTipo.add({"0004", "0001", "HOSPITALAR"});
        filiTipo.add({"0005", "0001", "ESCOLAR"});
        filiTipo.add({"0011", "0010", "PADRAO"});
    }

    void parameters()
    {
        Inserter geral(m_db, "PARAMGERAL",
                       {"CDPARGERAL", "CDFILIAL", "CDPICTPROD", "CDPICTPRAT", "CDNVBLPROD", "CDNVBLPRAT",
                        "CDNVBLREFE", "CDGRUPPROD", "IDCACHPRODFI", "IDPESQCOMPPROD", "IDPERMSELCENTRALPLA",
                        "CDCALORIAS", "CDPROTEINA", "CDLIPIDIOS", "CDCARBOHIDRA", "CDACIDGRAXOS", "CDACUCARES"});
        geral.add({"0001", "0001", "9.99.999.9999", "9.99.999.9999", "1", Null, "1", Null, "N", "N", "S",
                   "001", "002", "003", "004", "005", "006"});

        Inserter planeja(m_db, "PARAMPLANEJA",
                         {"CDFILIAL", "IDQTLIQUBRUT", "IDBLOPRATLOC", "IDBLOALTRELO", "IDAPRERECE", "IDGANHOCOCC",
                          "IDAPROVCOCC", "IDPERDALIMP", "IDAPROVLIMP", "IDTEMPPREP", "IDUTDIASLIMSEG",
                          "IDUTREQCOMPENTD", "IDPERDADEGELO", "IDUTILFATCOR", "IDUTILFATCOC", "IDTIPCALCFAT",
                          "NRCORSAFRA", "NRCORINICSAF", "NRCORENTRSAF"});
        for (const char* b : {"0001", "0002", "0003", "0004", "0005", "0010", "0011"}) {
            const bool hospital = QString(b) == "0002" || QString(b) == "0004";
            planeja.add({b, hospital ? "B" : "L", "N", hospital ? "S" : "N", "S", "S", "N", "S", "N", "S", "N",
                         "N", hospital ? "S" : "N", "S", "S", "M", 0x2E7D32, 0xF9A825, 0xC62828});
        }
    }

    void productData()
    {
        Inserter unidade(m_db, "UNIDMEDIDA", {"SGUNIDADE", "DSUNIDADE"});
        for (auto [sg, ds] : {std::pair{"KG", "Quilograma"}, {"G", "Grama"}, {"L", "Litro"}, {"ML", "Mililitro"},
                              {"UN", "Unidade"}, {"MC", "Maço"}, {"CX", "Caixa"}, {"PCT", "Pacote"}, {"DZ", "Dúzia"},
                              {"POR", "Porção"}})
            unidade.add({sg, QString::fromUtf8(ds)});

        Inserter conv(m_db, "CONVUNID", {"SGUNIDDE", "SGUNIDPARA", "VRFTCONVER", "IDTIPOPE"});
        conv.add({"KG", "G", 1000.0, "*"});
        conv.add({"G", "KG", 1000.0, "/"});
        conv.add({"L", "ML", 1000.0, "*"});
        conv.add({"ML", "L", 1000.0, "/"});
        conv.add({"DZ", "UN", 12.0, "*"});
        conv.add({"UN", "DZ", 12.0, "/"});

        Inserter produto(m_db, "PRODUTO", {"CDPRODUTO", "CDARVPROD", "NMPRODUTO", "SGUNIDADE", "CDNVPRODUTO",
                                           "CDPRODESTO", "VRPEFATOCORR", "DSCOMPLNOME", "IDCNTRESTOQ", "IDATIVO"});
        for (const ProductGroup& g : productGroups) {
            const QString tree = g.tree;
            produto.add({"G" + tree, tree, QString::fromUtf8(g.name), Null, levelOf(tree), Null, Null, Null, "N", "S"});
        }
        Inserter convProd(m_db, "CONVPRODUTO", {"CDPRODUTO", "SGUNIDADE", "VRFATOCONVES"});
        Inserter nutr(m_db, "PRODNUTR", {"CDPRODUTO", "CDNUTRIENTE", "QTNUTRIENTE"});
        Inserter safra(m_db, "PRODSAFRA", {"CDPRODUTO", "IDINTESAFR"});
        Inserter prodFili(m_db, "PRODFILI", {"CDFILIAL", "CDPRODUTO", "IDPRODATIV"});
        Inserter preco(m_db, "PRECOPROD", {"CDFILIAL", "CDPRODUTO", "NRTIPOCUSTO", "DTPRECO", "VRPRECO"});
        Inserter tipoCusto(m_db, "TIPOCUSTO", {"NRTIPOCUSTO", "NMTIPOCUSTO", "NRORDEM"});
        tipoCusto.add({1, "Custo médio", 1});
        tipoCusto.add({2, "Último custo de entrada", 2});
        tipoCusto.add({3, "Custo de Cotação (Lista de Preços)", 3});
        tipoCusto.add({4, "Custo padrão", 4});

        int seq = 0;
        for (const Product& p : products) {
            const QString code = QStringLiteral("%1").arg(++seq * 10, 10, 10, QChar('0'));
            m_productCode.insert(p.tree, code);
            m_productUnit.insert(p.tree, p.unit);
            m_productLoss.insert(p.tree, p.loss);
            produto.add({code, p.tree, QString::fromUtf8(p.name), p.unit, "4", code, p.loss, Null, "S", "S"});
            ++m_summary.products;
            if (QString(p.unit) == "KG")
                convProd.add({code, "G", 0.001});
            if (QString(p.unit) == "L")
                convProd.add({code, "ML", 0.001});
            // Products stocked by the piece, the bunch or the litre weigh what one unit weighs: so
            // many of them make a kilogram.
            if (QString(p.unit) != "KG")
                convProd.add({code, "KG", round5(1000.0 / p.grams)});
            // Contents are kept per 100 stock units: per 100 g times the grams of one unit.
            const double values[] = {p.kcal, p.protein, p.fat, p.carbs, p.fat * 0.35, p.carbs * 0.08};
            for (int n = 0; n < 6; ++n)
                nutr.add({code, QStringLiteral("00%1").arg(n + 1), round5(values[n] * p.grams)});
            safra.add({code, p.season});
            for (const QString& b : m_branches) {
                // One product is out of the line of one branch, so that the inactive checks have data.
                const bool inactive = b == "0005" && QString(p.tree) == "2030010001";
                prodFili.add({b, code, inactive ? "I" : "A"});
            }
            // Prices are kept by the centrals; their branches use them unless they have their own.
            for (int type = 1; type <= 4; ++type) {
                const double factor = 1.0 + 0.03 * (type - 1);
                for (const auto& [central, regional] : {std::pair{"0001", 1.0}, {"0010", 1.08}}) {
                    preco.add({central, code, type, QDate(2026, 1, 1), round5(p.price * factor * regional * 0.95)});
                    preco.add({central, code, type, QDate(2026, 7, 1), round5(p.price * factor * regional)});
                }
            }
        }
        // The products of a group are each other's alternatives in a recipe.
        Inserter opcional(m_db, "PRODOPC", {"CDPRODUTO", "CDPRODOPC"});
        for (const Product& p : products)
            for (const Product& q : products)
                if (&p != &q && QString(p.tree).left(6) == QString(q.tree).left(6))
                    opcional.add({m_productCode.value(p.tree), m_productCode.value(q.tree)});
    }

    void lookups()
    {
        Inserter nutriente(m_db, "NUTRIENTE", {"CDNUTRIENTE", "NMNUTRIENTE", "SGUNIDADE"});
        nutriente.add({"001", "Calorias", "kcal"});
        nutriente.add({"002", "Proteínas", "g"});
        nutriente.add({"003", "Lipídios", "g"});
        nutriente.add({"004", "Carboidratos", "g"});
        nutriente.add({"005", "Ácidos graxos sat.", "g"});
        nutriente.add({"006", "Açúcares", "g"});
        Inserter segmento(m_db, "SEGMERCADO", {"CDSEGMER", "DSSEGMER"});
        segmento.add({"00001", "Refeição coletiva"});
        segmento.add({"00002", "Hospitalar"});
        segmento.add({"00003", "Escolar"});
        Inserter apresentacao(m_db, "APRERECE", {"CDAPRERECE", "NMAPRERECE"});
        apresentacao.add({"001", "In natura"});
        apresentacao.add({"002", "Congelado"});
        apresentacao.add({"003", "Enlatado"});
        apresentacao.add({"004", "Desidratado"});
        Inserter forma(m_db, "FORMAPREPARO", {"NRFORMAPREPARO", "CODIGO", "NMFORMAPREPARO"});
        int n = 0;
        for (const char* name : {"Assado", "Cozido", "Frito", "Grelhado", "Refogado", "Cru"})
            ++n, forma.add({n, QStringLiteral("FP%1").arg(n, 2, 10, QChar('0')), name});
        Inserter medida(m_db, "MEDICASE", {"CDMEDICASE", "NMMEDICASE"});
        medida.add({"00001", "Colher de sopa"});
        medida.add({"00002", "Concha média"});
        medida.add({"00003", "Escumadeira"});
        medida.add({"00004", "Pegador"});
        medida.add({"00005", "Unidade"});
        Inserter container(m_db, "CONTAINER", {"CDCONTAINER", "NMCONTAINER", "QTCONTAINER"});
        container.add({"00001", "Cuba gastronômica GN 1/1", 10.0});
        container.add({"00002", "Cuba gastronômica GN 1/2", 5.0});
        container.add({"00003", "Marmita descartável", 0.5});
        container.add({"00004", "Caldeirão 20 litros", 20.0});
        Inserter sinal(m_db, "SINASAFRA", {"NRSINASAFRA", "NMSINASAFRA", "NRCORSINSAFR", "VRLIMINFSAFR", "VRLIMSUPSAFR"});
        // By the share of a dish's cost in products in season (start of season counting half).
        sinal.add({1, "Fora de safra", 0xC62828, 0.0, 39.99});
        sinal.add({2, "Início de safra", 0xF9A825, 40.0, 74.99});
        sinal.add({3, "Safra", 0x2E7D32, 75.0, 100.0});
    }

    void dishes(int count)
    {
        Inserter prato(m_db, "PRATO", {"CDFILAUXPRAT", "CDPRATO", "NMPRATO", "CDNVPRATO", "CDFILIAL", "SGUNIDADE",
                                       "VRARREDTRANS", "CDSEGMER", "NRFORMAPREPARO", "IDFREQUENCIA", "QTTEMPOPRAT",
                                       "VRVALIDADE", "IDATIVO", "CDPRODPRODUCAO"});
        Inserter recipe(m_db, "PRODPRAT",
                        {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODPRAT", "SGUNIDADE", "VRPEFATCOCPR",
                         "VRPEFATCOCPRAP", "VRPEFATCORPR", "VRPEFATCORPRAP", "HRTEMPPREPPR", "QTUNIDESTPR",
                         "QTBRUTAPRUNR", "QTBRUTAPR", "IDPRODBASEPR", "CDAPRERECE", "VRPEFATNUTPR", "QTCALCNUTRPR",
                         "IDQTDEFIXPR", "IDTPREQPRODPADR"});
        Inserter dados(m_db, "DADOSPRAT", {"CDFILAUXPRAT", "CDPRATO", "NRCORPRIPRAT", "QTPADRAOPRAT", "QTCONTAIPRAT",
                                           "HRVALCONPRAT", "NMFANTASIAPR", "QTAMOSTRPADR", "IDFINALPADR", "IDATIVO",
                                           "CDMEDICASE", "QTMEDICASEPRATPADR"});

        for (const DishGroup& g : dishGroups)
            prato.add({"P", g.code, QString::fromUtf8(g.name), levelOf(g.code), Null, Null, Null, Null, Null, Null,
                       Null, Null, "S", Null});

        const QList<Dish>& bases = standardDishes();
        // Variants of the standard dishes fill extra third-level groups ("<group> 100".."999"),
        // 50 rounds per group, so that large trees keep the code picture.
        QSet<QString> variantGroups;
        for (int i = 0; i < count; ++i) {
            const int b = i % bases.size();
            const int round = i / bases.size();
            const Dish& base = bases[b];
            QString code = base.code;
            QString name = QString::fromUtf8(base.name);
            double factor = 1.0;
            if (round > 0) {
                const QString level2 = code.left(3);
                const QString group = level2 + QString::number(100 + (round - 1) / 50);
                if (!variantGroups.contains(group)) {
                    variantGroups.insert(group);
                    prato.add({"P", group, QStringLiteral("Variações %1").arg(group.right(3)), "3", Null, Null, Null,
                               Null, Null, Null, Null, Null, "S", Null});
                }
                const int leaf = ((round - 1) % 50) * bases.size() + b + 1;
                code = group + QStringLiteral("%1").arg(leaf, 4, 10, QChar('0'));
                name = QStringLiteral("%1 (var. %2)").arg(name).arg(round);
                factor = 1.0 + 0.01 * (round % 10);
            }
            prato.add({"P", code, name, "4", Null, base.unit, 0.5, "00001", base.preparation, "D", 3.0,
                       validadeEmHoras(u"D", 3), "S", Null});
            dados.add({"P", code, 0x4CAF50 + b * 0x0A0A00, base.portion, 1.0, 4.0, name, 0.1, "F", "S", "00002", 1.0});
            addRecipe(recipe, "P", code, base.recipe, factor);
            ++m_summary.dishes;
        }

        // Local dishes of one branch, beside the standard ones.
        prato.add({"0003", "1010010901", "Frango à passarinho da casa", "4", "0003", "KG", 0.5, "00001", 3, "D", 2.0,
                   validadeEmHoras(u"D", 2), "S", Null});
        addRecipe(recipe, "0003", "1010010901", {{"2010010003", 0.220}, {"1040010001", 0.004}, {"5010010001", 0.010}}, 1.0);
        prato.add({"0003", "2020010901", "Feijoada da casa", "4", "0003", "KG", 0.5, "00001", 2, "H", 48.0,
                   validadeEmHoras(u"H", 48), "S", Null});
        addRecipe(recipe, "0003", "2020010901", {{"3020010002", 0.060}, {"2020010002", 0.050}, {"1020010002", 0.010}}, 1.0);
        m_summary.dishes += 2;

        // Some recipes at the other levels, so that every page has something to show.
        Inserter fili(m_db, "RECEFILI", {"CDFILIAL", "CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODRECLOC", "SGUNIDADE",
                                         "VRPEFATCORLO", "QTUNIDESTLO", "QTBRUTALOUNR", "QTBRUTALO", "VRPEFATNUTLO",
                                         "QTCALCNUTRLO", "VRPEFATCOCLO", "VRPEFATCOCLOAP", "VRPEFATCORLOAP",
                                         "IDPRODBASELO", "IDQTDEFIXLO", "IDTPREQPRODFILI", "IDUTCOMPENTDIRF"});
        Inserter serv(m_db, "RECESERV", {"CDFILIAL", "CDSERVFILI", "CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODRECSER",
                                         "SGUNIDADE", "VRPEFATCORSE", "QTUNIDESTSE", "QTBRUTASEUNR", "QTBRUTASE",
                                         "VRPEFATNUTSE", "QTCALCNUTRSE", "VRPEFATCOCSE", "VRPEFATCOCSEAP", "VRPEFATCORSEAP",
                                         "IDPRODBASESE", "IDQTDEFIXSE", "IDTPREQPRODSERV", "IDUTCOMPENTDIRS"});
        Inserter tp(m_db, "RECETPCARD", {"CDFILCENTPME", "CDTIPOCARD", "CDFILAUXPRAT", "CDPRATO", "CDPRODUTO",
                                         "QTPRODPRATTP", "SGUNIDADE", "VRPEFATCORPRTP", "QTUNIDESTPRTP",
                                         "QTBRUTAPRUNRTP", "QTBRUTAPRTP", "VRPEFATNUTPRTP", "QTCALCNUTRPRTP",
                                         "VRPEFATCOCPRTP", "VRPEFATCOCPRTPAP", "VRPEFATCORPRTPAP", "IDPRODBASEPRTP",
                                         "IDQTDEFIXPRTP"});
        Inserter tpDados(m_db, "PRATTPCARD", {"CDFILCENTPME", "CDTIPOCARD", "CDFILAUXPRAT", "CDPRATO", "NRCORPRIPRATTP",
                                              "QTPADRAOPRATTP", "QTCONTAIPRATTP", "NMFANTASIAPRTP", "IDATIVO"});
        Inserter cardapio(m_db, "CARDPRATO", {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO", "CDFILAUXPRAT", "CDPRATO"});
        // The same dish's recipe in a branch, one of its services and a menu type of the central.
        const auto niveis = [&](const Dish& base, const char* branch, const char* service, const char* menuType) {
            for (const Ingredient& ing : base.recipe) {
                const QString prod = m_productCode.value(ing.product);
                const QString unit = m_productUnit.value(ing.product);
                const double loss = m_productLoss.value(ing.product);
                const double qtLocal = round5(ing.net * 1.1), qtServico = round5(ing.net * 0.8), qtTipo = round5(ing.net * 0.9);
                // No cooking gain, the product's cleaning loss, flags off, requisition for production.
                fili.add({branch, "P", base.code, prod, qtLocal, unit, loss, qtLocal, grossOf(ing.product, qtLocal),
                          grossOf(ing.product, qtLocal), 100 - loss, qtLocal, 0.0, 100.0, 100 - loss, "N", "N", "P", "N"});
                serv.add({branch, service, "P", base.code, prod, qtServico, unit, loss, qtServico,
                          grossOf(ing.product, qtServico), grossOf(ing.product, qtServico), 100 - loss, qtServico, 0.0,
                          100.0, 100 - loss, "N", "N", "P", "N"});
                tp.add({"0001", menuType, "P", base.code, prod, qtTipo, unit, loss, qtTipo, grossOf(ing.product, qtTipo),
                        grossOf(ing.product, qtTipo), 100 - loss, qtTipo, 0.0, 100.0, 100 - loss, "N", "N"});
            }
            tpDados.add({"0001", menuType, "P", base.code, 0x4CAF50, base.portion * 0.9, 1.0,
                         QString::fromUtf8(base.name), "S"});
        };
        // Rice for a hospital, its pasty diet and the hospital menu; beans for the factory restaurant,
        // its lunch and the standard menu. Both are on their branch's lunch menu.
        struct Override {
            int dish;
            const char* branch;
            const char* service;
            const char* menuType;
        };
        for (const Override& o : {Override{8, "0002", "00002", "HOSPITALAR"}, Override{10, "0003", "00001", "PADRAO"}}) {
            niveis(bases[o.dish], o.branch, o.service, o.menuType);
            cardapio.add({o.branch, "00001", QDate(2026, 12, 14), "P", bases[o.dish].code});
        }
        // The hospital's diets take the rice as percentages of other recipes, as "Percentual de
        // Receitas por Serviço" sets them: the pasty diet 80 % of the standard recipe (its rows
        // above), the low-sodium diet 90 % of the pasty one, the companions the branch's own at 100 %.
        Inserter percentual(m_db, "PERCRECESERV", {"CDFILIAL", "CDSERVFILI", "CDFILAUXPRAT", "CDPRATO", "IDORIGEMRECE",
                                                   "CDFILCENTPME", "CDTIPOCARD", "CDFILIALORI", "CDSERVFILIORI",
                                                   "VRPERCRECE"});
        const Dish& arroz = bases[8];
        percentual.add({"0002", "00002", "P", arroz.code, "P", Null, Null, Null, Null, 80.0});
        percentual.add({"0002", "00003", "P", arroz.code, "S", Null, Null, "0002", "00002", 90.0});
        percentual.add({"0002", "00004", "P", arroz.code, "F", Null, Null, "0002", Null, 100.0});
        for (const Ingredient& ing : arroz.recipe) {
            const QString prod = m_productCode.value(ing.product);
            const double loss = m_productLoss.value(ing.product);
            const double hipossodica = round5(round5(ing.net * 0.8) * 0.9), acompanhantes = round5(ing.net * 1.1);
            for (const auto& [service, net] : {std::pair{"00003", hipossodica}, std::pair{"00004", acompanhantes}})
                serv.add({"0002", service, "P", arroz.code, prod, net, m_productUnit.value(ing.product), loss, net,
                          grossOf(ing.product, net), grossOf(ing.product, net), 100 - loss, net, 0.0, 100.0, 100 - loss,
                          "N", "N", "P", "N"});
        }
        // The school's salads and fruit at its own levels, with their portions, so that every level
        // has recipes to copy to another (and the school's fish is out of its line).
        Inserter pratFili(m_db, "PRATFILI", {"CDFILIAL", "CDFILAUXPRAT", "CDPRATO", "QTPADRAOFILI", "IDATIVO"});
        Inserter pratServ(m_db, "PRATSERV",
                          {"CDFILIAL", "CDSERVFILI", "CDFILAUXPRAT", "CDPRATO", "QTPADRAOSERV", "IDATIVO"});
        for (int dish : {16, 17, 21}) {
            const Dish& base = bases[dish];
            niveis(base, "0005", "00001", "ESCOLAR");
            pratFili.add({"0005", "P", base.code, round5(base.portion * 1.1), "S"});
            pratServ.add({"0005", "00001", "P", base.code, round5(base.portion * 0.8), "S"});
        }

        Inserter prep(m_db, "PREPPRAT", {"CDFILAUXPRAT", "CDPRATO", "NRPREPPRAT", "IDPREPPRAT", "TXPREPPRAT", "NMRPREPPRAT"});
        prep.add({"P", bases[8].code, "01", "1",
                  QByteArray("{\\rtf1\\ansi Lave o arroz, refogue o alho no \\'f3leo, junte o arroz e a \\'e1gua "
                             "fervente com sal. Cozinhe em fogo baixo at\\'e9 secar.}"),
                  "Preparo tradicional"});
        prep.add({"P", bases[10].code, "01", "1",
                  QByteArray("{\\rtf1\\ansi Deixe o feij\\'e3o de molho, cozinhe na press\\'e3o por 30 minutos e "
                             "tempere com alho e cebola refogados.}"),
                  "Preparo na pressão"});
        // Formatted modes: a deactivated alternative, and the hospital's own on the other levels.
        const QByteArray rtfHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Times New Roman;}}"
                                     "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green102\\blue0;}\n";
        prep.add({"P", bases[8].code, "02", "2",
                  rtfHeader + "\\pard\\qc {\\f1\\fs28\\b Arroz soltinho}\\par\n"
                              "\\pard\\ql {\\f0\\fs20 Toste o arroz no \\'f3leo antes de juntar a \\'e1gua.}\\par\n"
                              "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}\\li720\\fi-360\\ql "
                              "{\\f0\\fs20 2 x\\'edcaras de \\'e1gua para 1 de arroz}\\par\n"
                              "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}\\li720\\fi-360\\ql "
                              "{\\f0\\fs20\\cf1\\b N\\'e3o mexer} {\\f0\\fs20 durante o cozimento}\\par\n}",
                  "Preparo alternativo"});
        Inserter prepFili(m_db, "PREPFILI",
                          {"CDFILAUXPRAT", "CDPRATO", "CDFILIAL", "NRPREPFILI", "IDPREPFILI", "TXPREPFILI", "NMRPREPFILI"});
        prepFili.add({"P", bases[8].code, "0002", "01", "1",
                      rtfHeader + "\\pard\\ql {\\f0\\fs20 Cozinhar em panela de press\\'e3o, }{\\f0\\fs20\\i sem sal}"
                                  "{\\f0\\fs20  para as dietas restritas.}\\par\n"
                                  "\\pard\\qr {\\f0\\fs16\\cf2 Nutri\\'e7\\'e3o Hospital S\\'e3o Lucas}\\par\n}",
                      "Nutricionista"});
        Inserter prepServ(m_db, "PREPSERV", {"CDFILAUXPRAT", "CDPRATO", "CDFILIAL", "CDSERVFILI", "NRPREPSERV", "IDPREPSERV",
                                             "TXPREPSERV", "NMRPREPSERV"});
        prepServ.add({"P", bases[8].code, "0002", "00002", "01", "1",
                      rtfHeader + "\\pard\\ql {\\f0\\fs20 Cozinhar at\\'e9 ficar bem mole e bater no liquidificador "
                                  "para a dieta }{\\f0\\fs20\\ul pastosa}{\\f0\\fs20 .}\\par\n}",
                      "Nutricionista"});
        Inserter cont(m_db, "PRATOCONTAINER", {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "QTPRATCONTAINER", "IDPRATCONTPRI"});
        cont.add({"P", bases[8].code, "00001", 60.0, "S"});
        cont.add({"P", bases[8].code, "00002", 30.0, "N"});
        cont.add({"P", bases[0].code, "00001", 40.0, "S"});
        cont.add({"P", bases[0].code, "00003", 2.0, "N"});
        cont.add({"P", bases[1].code, "00004", 80.0, "S"});

        // A photo on a few dishes: a plate in the dish's colours, drawn here.
        Inserter fotoPad(m_db, "FOTOPRAPAD", {"CDFILAUXPRAT", "CDPRATO", "NRFOTOPRAPAD", "IDFOTOPRAPAD", "IDAJUSFOTPAD",
                                              "FGFOTOPRAPAD"});
        fotoPad.add({"P", bases[0].code, "01", "1", "S", drawnPlate(QColor(0xC6, 0x8A, 0x3C), QColor(0x7C, 0xB3, 0x42))});
        fotoPad.add({"P", bases[8].code, "01", "1", "S", drawnPlate(QColor(0xF5, 0xF0, 0xE1), QColor(0xE5, 0x39, 0x35))});
        fotoPad.add({"P", bases[8].code, "02", "2", "N", drawnPlate(QColor(0xEE, 0xE8, 0xD0), QColor(0xFB, 0xC0, 0x2D))});
        Inserter fotoFil(m_db, "FOTOPRAFIL", {"CDFILAUXPRAT", "CDPRATO", "CDFILIAL", "NRFOTOPRAFIL", "IDFOTOPRAFIL",
                                              "IDAJUSFOTFIL", "FGFOTOPRAFIL"});
        fotoFil.add({"P", bases[8].code, "0002", "01", "1", "S",
                     drawnPlate(QColor(0xF5, 0xF0, 0xE1), QColor(0x43, 0xA0, 0x47))});
    }

    // A small JPEG (a bitmap where no JPEG writer is installed) of a plate holding a portion in
    // the dish's colour beside a garnish.
    static QByteArray drawnPlate(const QColor& dish, const QColor& garnish)
    {
        QImage image(240, 180, QImage::Format_RGB32);
        image.fill(QColor(0x8D, 0x6E, 0x63));
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xFA, 0xFA, 0xFA));
            painter.drawEllipse(QPointF(120, 90), 100, 75);
            painter.setBrush(QColor(0xEC, 0xEF, 0xF1));
            painter.drawEllipse(QPointF(120, 90), 78, 58);
            painter.setBrush(dish);
            painter.drawEllipse(QPointF(100, 88), 45, 32);
            painter.setBrush(garnish);
            painter.drawEllipse(QPointF(150, 95), 22, 18);
        }
        for (const char* format : {"JPG", "BMP"}) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (image.save(&buffer, format, 85))
                return bytes;
        }
        throw framework::Error(QStringLiteral("Não foi possível desenhar as fotos de demonstração."));
    }

    void addRecipe(Inserter& recipe, const QString& owner, const QString& dish, const QList<Ingredient>& rows,
                   double factor)
    {
        for (const Ingredient& ing : rows) {
            const double net = round5(ing.net * factor);
            const double loss = m_productLoss.value(ing.product);
            const double gross = grossOf(ing.product, net);
            recipe.add({owner, dish, m_productCode.value(ing.product), net, m_productUnit.value(ing.product), 0.0, 100.0,
                        loss, 100.0 - loss, Null, net, gross, gross, "N", "001", 100.0 - loss, net, "N", "P"});
            ++m_summary.recipeRows;
        }
    }

    double grossOf(const char* product, double net) const
    {
        const double loss = m_productLoss.value(product);
        return round5(net * 100.0 / (100.0 - loss));
    }

    void users()
    {
        // The supervisors may add and remove ingredients of the branches' revised recipes; the
        // nutritionists may not.
        Inserter grupo(m_db, "GRUPOUSUA", {"CDGRUPOUSUA", "NMGRUPOUSUA"});
        grupo.add({"SUPERVISAO", QString::fromUtf8("Supervisão")});
        grupo.add({"NUTRICAO", QString::fromUtf8("Nutrição")});
        Inserter parametro(m_db, "PARAMGRUPUSUA", {"CDGRUPOUSUA", "CDPARAMGRUP", "VRPARAMGRUP"});
        parametro.add({"SUPERVISAO", "ARRV", 1});
        parametro.add({"NUTRICAO", "ARRV", -1});
        Inserter usuario(m_db, "USUARIO", {"CDOPERADOR", "NMOPERADOR", "DSSALT", "DSHASHSENHA", "IDATIVO", "CDGRUPOUSUA"});
        Inserter autoriza(m_db, "USUAUTORIZA", {"CDOPERADOR", "NRTIPOAUTORIZA", "CDOPERACAO"});
        const auto addUser = [&](const QString& code, const QString& name, const QString& password, const char* group) {
            const QString salt = newSalt();
            usuario.add({code, name, salt, passwordHash(salt, password), "S", group});
        };
        addUser(DemoSupervisor, "Maria Supervisora", DemoSupervisorPassword, "SUPERVISAO");
        addUser(DemoOperator, "Ana Nutricionista", DemoOperatorPassword, "NUTRICAO");
        addUser("ADMIN", "Administrador", "admin", "SUPERVISAO");
        for (const char* op : {"ALTERACAO_PRATO_PADRAO", "EXCLUSAO_PRATO_PADRAO", "INCLUSAO_PRATO_PADRAO",
                               "INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PARAMETRO_GERAL"}) {
            autoriza.add({DemoSupervisor, 4, op});
            autoriza.add({"ADMIN", 4, op});
        }
    }

    static QString levelOf(const QString& code)
    {
        // Widths 1, 2, 3, 4: lengths 1, 3, 6, 10.
        switch (code.size()) {
        case 1: return "1";
        case 3: return "2";
        case 6: return "3";
        default: return "4";
        }
    }

    QSqlDatabase& m_db;
    DemoSummary m_summary;
    QStringList m_branches;
    QHash<QString, QString> m_productCode;
    QHash<QString, QString> m_productUnit;
    QHash<QString, double> m_productLoss;
};

} // namespace

bool hasData(QSqlDatabase& db)
{
    QSqlQuery q(db);
    return q.exec("SELECT COUNT(*) FROM FILIAL") && q.next() && q.value(0).toInt() > 0;
}

DemoSummary createDemoData(QSqlDatabase& db, const DemoOptions& options)
{
    if (!db.transaction())
        throw framework::Error(QStringLiteral("Falha ao iniciar a transação: %1").arg(db.lastError().text()));
    try {
        DemoSummary summary = DemoWriter(db).write(options);
        if (!db.commit())
            throw framework::Error(db.lastError().text());
        return summary;
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace db
