// The recipe copy between levels (Pla01309.rdmImpPrato) on both database families: the dish list
// of an origin, and every origin level to every destination level, adding and replacing, read
// back from the tables.
#include "appserver/dispatcher.h"
#include "appserver/errors.h"
#include "appserver/guards.h"
#include "appserver/objects/escalareceita.h"
#include "appserver/objects/lugarreceita.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"
#include "db/demodata.h"
#include "pratoteste.h"
#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using framework::ClientDataSet;
using framework::DataPacket;
using testdb::Backend;

namespace {

constexpr const char* ImpPrato = "Pla01309.rdmImpPrato";
constexpr const char* Prato = "5010010098";

// A recipe level as the form names it: kind letter, branch, service, central, menu type.
struct Lugar {
    const char* nivel;
    const char* filial = "";
    const char* servico = "";
    const char* central = "";
    const char* tipo = "";
    const char* nome;
};

const Lugar Padrao{"P", "", "", "", "", "padrão"};
const Lugar Filial{"F", "0002", "", "", "", "filial 0002"};
const Lugar FilialDestino{"F", "0004", "", "", "", "filial 0004"};
const Lugar Servico{"S", "0002", "00001", "", "", "serviço 00001"};
const Lugar ServicoDestino{"S", "0002", "00002", "", "", "serviço 00002"};
const Lugar TpCard{"T", "", "", "0001", "HOSPITALAR", "cardápio hospitalar"};
const Lugar TpCardDestino{"T", "", "", "0001", "PADRAO", "cardápio padrão"};

// Each place's recipe of the dish (products T01..T03 of pratoteste.h): product, net, requisition,
// cleaning loss, anticipation days (none at the menu-type level).
const char* const Receitas[] = {
    "INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTBRUTAPR, VRPEFATCORPR, QTLIMSEGPADR) VALUES "
    "('P', '5010010098', 'T01', 0.1, 0.2, 25, '2'), ('P', '5010010098', 'T02', 0.2, 0.0500049, 20, NULL)",
    "INSERT INTO RECEFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECLOC, QTBRUTALO, VRPEFATCORLO) VALUES "
    "('0002', 'P', '5010010098', 'T01', 0.3, 0.3, 10), ('0002', 'P', '5010010098', 'T03', 0.05, 0.05, NULL), "
    "('0004', 'P', '5010010098', 'T02', 0.4, 0.4, NULL)",
    "INSERT INTO RECESERV (CDFILIAL, CDSERVFILI, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECSER, QTBRUTASE, "
    "QTLIMSEGSERV) VALUES ('0002', '00001', 'P', '5010010098', 'T03', 0.6, 0.6, '1'), "
    "('0002', '00001', 'P', '5010010098', 'T02', 0.1, 0.1, NULL), ('0002', '00002', 'P', '5010010098', 'T01', 0.7, 0.7, NULL)",
    "INSERT INTO RECETPCARD (CDFILCENTPME, CDTIPOCARD, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRATTP, QTBRUTAPRTP) "
    "VALUES ('0001', 'HOSPITALAR', 'P', '5010010098', 'T02', 0.8, 0.8), "
    "('0001', 'HOSPITALAR', 'P', '5010010098', 'T03', 0.9, 0.9), ('0001', 'PADRAO', 'P', '5010010098', 'T03', 0.11, 0.11)",
};

class ImportacaoServidorTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), true, 1);
        pratoteste::cria(database->db());
        exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES "
             "('P', '5010010098', 'Prato de cópia', '4', 'KG')");
        exec("INSERT INTO DADOSPRAT (CDFILAUXPRAT, CDPRATO, QTPADRAOPRAT) VALUES ('P', '5010010098', 0.3)");
        exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, QTPADRAOFILI) VALUES ('0002', 'P', '5010010098', 0.25)");
        repoe();
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    void exec(const QString& sql)
    {
        QSqlQuery query(database->db());
        ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
    }

    // Every place's recipe of the dish back as the test data has it.
    void repoe()
    {
        for (const char* table : {"PRODPRAT", "RECEFILI", "RECESERV", "RECETPCARD"})
            exec(QStringLiteral("DELETE FROM %1 WHERE CDPRATO = '5010010098'").arg(QLatin1String(table)));
        for (const char* sql : Receitas)
            exec(QString::fromUtf8(sql));
    }

    QVariant call(const char* method, QVariantList args) { return dispatcher->call({operador, "sessao"}, ImpPrato, method, args); }

    // The dish grid as the form loads it for an origin (working branch 0002).
    DataPacket pratos(const Lugar& origem, const QString& inicial = Prato, const QString& final = Prato,
                      const QString& filialTrabalho = "0002")
    {
        const QVariant result = call("GetPratos", {filialTrabalho, inicial, final, "4", origem.nivel, origem.central,
                                                   origem.tipo, origem.filial, origem.servico});
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        return framework::isPacket(result) ? framework::toPacket(result) : DataPacket();
    }

    QString exporta(const QVariant& grade, const Lugar& origem, const Lugar& destino, int tipo,
                    const QString& filialTrabalho = "0002")
    {
        return call("ExportaPratos", {filialTrabalho, grade, origem.filial, destino.filial, origem.servico,
                                      destino.servico, origem.nivel, destino.nivel, tipo, destino.central, destino.tipo,
                                      origem.central, origem.tipo})
            .toString();
    }

    // A place's recipe of a dish: "product net requisition loss days" per row, by product; a null
    // shows as "-".
    QStringList receita(const Lugar& lugar, const QString& prato = Prato)
    {
        QString sql;
        switch (lugar.nivel[0]) {
        case 'P':
            sql = "SELECT CDPRODUTO, QTPRODPRAT, QTBRUTAPR, VRPEFATCORPR, QTLIMSEGPADR FROM PRODPRAT WHERE 1 = 1";
            break;
        case 'F':
            sql = QStringLiteral("SELECT CDPRODUTO, QTPRODRECLOC, QTBRUTALO, VRPEFATCORLO, QTLIMSEGFILI FROM RECEFILI "
                                 "WHERE CDFILIAL = '%1'")
                      .arg(lugar.filial);
            break;
        case 'S':
            sql = QStringLiteral("SELECT CDPRODUTO, QTPRODRECSER, QTBRUTASE, VRPEFATCORSE, QTLIMSEGSERV FROM RECESERV "
                                 "WHERE CDFILIAL = '%1' AND CDSERVFILI = '%2'")
                      .arg(lugar.filial, lugar.servico);
            break;
        default:
            sql = QStringLiteral("SELECT CDPRODUTO, QTPRODPRATTP, QTBRUTAPRTP, VRPEFATCORPRTP, NULL FROM RECETPCARD "
                                 "WHERE CDFILCENTPME = '%1' AND CDTIPOCARD = '%2'")
                      .arg(lugar.central, lugar.tipo);
        }
        QSqlQuery query(database->db());
        EXPECT_TRUE(query.exec(sql + QStringLiteral(" AND CDFILAUXPRAT = 'P' AND CDPRATO = '%1' ORDER BY CDPRODUTO").arg(prato)))
            << query.lastError().text().toStdString();
        QStringList rows;
        while (query.next()) {
            QStringList row{query.value(0).toString()};
            for (int c = 1; c < 4; ++c)
                row << (query.value(c).isNull() ? QStringLiteral("-") : QString::number(query.value(c).toDouble()));
            row << (query.value(4).isNull() ? QStringLiteral("-") : query.value(4).toString());
            rows << row.join(u' ');
        }
        return rows;
    }

    QVariant valor(const QString& sql)
    {
        QSqlQuery query(database->db());
        if (!query.exec(sql) || !query.next())
            return {};
        return query.value(0);
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QString operador = QString::fromLatin1(db::DemoSupervisor); // the session's operator
};

// What a copy should leave at the destination: the origin's rows in its names (without the
// anticipation days at the menu-type level), over the destination's own when adding.
QStringList esperado(const QStringList& origem, const QStringList& destino, const Lugar& lugarDestino, bool sobrepor)
{
    std::map<QString, QString> rows;
    for (const QString& row : origem) {
        QString copied = row;
        if (lugarDestino.nivel[0] == 'T')
            copied = copied.section(u' ', 0, 3) + QStringLiteral(" -");
        rows[row.section(u' ', 0, 0)] = copied;
    }
    if (!sobrepor)
        for (const QString& row : destino)
            rows[row.section(u' ', 0, 0)] = row;
    QStringList list;
    for (const auto& [product, row] : rows)
        list << row;
    return list;
}

TEST_P(ImportacaoServidorTest, GetPratosListsTheDishesOfTheRangeWithARecipeAtTheOrigin)
{
    DataPacket grid = pratos(Padrao, "5010010001", "5010010099");
    const auto column = [&](const char* name) { return grid.rows.indexOf(name); };
    QStringList dishes;
    for (int r = 0; r < grid.rowCount(); ++r)
        dishes << grid.rows.text(r, column("CDPRATO"));
    EXPECT_EQ(dishes, (QStringList{"5010010001", "5010010002", "5010010003", "5010010098", "5010010099"}));
    const int ours = int(dishes.indexOf(Prato));
    EXPECT_EQ(grid.rows.text(ours, column("IDMARCADO")), "S");
    EXPECT_EQ(grid.rows.text(ours, column("CDFILAUXPRAT")), "P");
    EXPECT_EQ(grid.rows.text(ours, column("NMPRATO")), QString::fromUtf8("Prato de cópia"));
    EXPECT_DOUBLE_EQ(grid.rows.number(ours, column("QUANTIDADE")), 0.3);
    EXPECT_EQ(grid.rows.text(ours, column("SGUNIDADE")), "KG");
    EXPECT_DOUBLE_EQ(grid.rows.number(ours, column("PROPORCAO")), 1.0);
    // No quantity per person at the level: none shown.
    EXPECT_TRUE(grid.rows.isNull(dishes.indexOf("5010010099"), column("QUANTIDADE")));

    // A partial final code takes the dishes under it; another level lists only its own recipes,
    // with its own quantity per person.
    EXPECT_EQ(pratos(Padrao, "5010010001", "5").rowCount(), 5);
    grid = pratos(Filial, "1", "5");
    ASSERT_EQ(grid.rowCount(), 3); // Arroz branco (demo), 5010010098, 5010010099
    EXPECT_EQ(grid.rows.text(1, column("CDPRATO")), Prato);
    EXPECT_DOUBLE_EQ(grid.rows.number(1, column("QUANTIDADE")), 0.25);
    EXPECT_EQ(pratos(TpCardDestino, "5", "5").rowCount(), 1);
    EXPECT_EQ(pratos(ServicoDestino, "5", "5").rowCount(), 1);

    // Local dishes are the working branch's own only.
    EXPECT_EQ(pratos(Padrao, "1010010901", "1010010901").rowCount(), 0);
    EXPECT_EQ(pratos(Padrao, "1010010901", "1010010901", "0003").rowCount(), 1);

    // The kind goes back normalised; an unknown one or a missing code of the level is refused.
    QVariantList args{"0002", Prato, Prato, "4", "f", "", "", "2", ""};
    ASSERT_TRUE(framework::isPacket(dispatcher->call({operador, "sessao"}, ImpPrato, "GetPratos", args)));
    EXPECT_EQ(args[4].toString(), "F");
    const QVariant bad = call("GetPratos", {"0002", Prato, Prato, "4", "X", "", "", "", ""});
    ASSERT_TRUE(framework::isServerFault(bad));
    EXPECT_EQ(bad.value<framework::ServerFault>().message, QString::fromUtf8("Tipo de receita de origem inválido: \"X\"."));
    const QVariant noService = call("GetPratos", {"0002", Prato, Prato, "4", "S", "", "", "0002", ""});
    EXPECT_EQ(noService.value<framework::ServerFault>().message, QString::fromUtf8("O serviço de origem deve ser informado."));
}

TEST_P(ImportacaoServidorTest, EveryLevelOfTheDemoDataHasRecipesToCopyWithTheirPortions)
{
    const Lugar escola{"F", "0005", "", "", "", ""}, almoco{"S", "0005", "00001", "", "", ""},
        escolar{"T", "", "", "0001", "ESCOLAR", ""};
    for (const Lugar* origem : {&Padrao, &escola, &almoco, &escolar}) {
        const DataPacket grid = pratos(*origem, "1", "4");
        EXPECT_GE(grid.rowCount(), 3) << origem->nivel;
        const int quantity = grid.rows.indexOf("QUANTIDADE");
        for (int r = 0; r < grid.rowCount(); ++r)
            EXPECT_GT(grid.rows.number(r, quantity), 0) << origem->nivel << " " << grid.rows.text(r, 2).toStdString();
    }
    // The school's fish is out of its line: a copy of the standard recipes tells so.
    EXPECT_TRUE(exporta(QVariant::fromValue(pratos(Padrao, "1", "4")), Padrao, escola, 0).contains("Filé de tilápia"));
}

TEST_P(ImportacaoServidorTest, EveryOriginLevelToEveryDestinationLevelAddingAndReplacing)
{
    for (const Lugar* origem : {&Padrao, &Filial, &Servico, &TpCard})
        for (const Lugar* destino : {&Padrao, &FilialDestino, &ServicoDestino, &TpCardDestino}) {
            if (origem == &Padrao && destino == &Padrao)
                continue;
            for (const int tipo : {0, 1}) {
                SCOPED_TRACE(QStringLiteral("%1 -> %2, %3").arg(QString::fromUtf8(origem->nome), QString::fromUtf8(destino->nome),
                                                                tipo ? "Sobrepor" : "Acrescentar").toStdString());
                repoe();
                const QStringList before = receita(*destino);
                const QStringList from = receita(*origem);
                ASSERT_FALSE(from.isEmpty());
                const DataPacket grid = pratos(*origem);
                ASSERT_EQ(grid.rowCount(), 1);
                EXPECT_EQ(exporta(QVariant::fromValue(grid), *origem, *destino, tipo), "");
                EXPECT_EQ(receita(*destino), esperado(from, before, *destino, tipo == 1));
                EXPECT_EQ(receita(*origem), from);
            }
        }
}

// The standard recipes change only with a supervisor's consent, whatever the client asked first;
// the other levels are the operator's own.
TEST_P(ImportacaoServidorTest, ACopyIntoTheStandardRecipesNeedsTheSupervisorsGrant)
{
    operador = QString::fromLatin1(db::DemoOperator);
    const QStringList standard = receita(Padrao);
    const DataPacket grid = pratos(Filial);
    const QString refused = exporta(QVariant::fromValue(grid), Filial, Padrao, 1);
    EXPECT_EQ(appserver::guards::missingAuthorisation(refused), "ALTERACAO_PRODUTO_RECEITA_PADRAO") << refused.toStdString();
    EXPECT_EQ(receita(Padrao), standard);

    EXPECT_EQ(exporta(QVariant::fromValue(grid), Filial, FilialDestino, 1), "");
    EXPECT_EQ(receita(FilialDestino), receita(Filial));

    QSqlDatabase db = database->db();
    dispatcher->grants().give(db, "sessao", 4, "ALTERACAO_PRODUTO_RECEITA_PADRAO", db::DemoSupervisor);
    EXPECT_EQ(exporta(QVariant::fromValue(grid), Filial, Padrao, 1), "");
    EXPECT_EQ(receita(Padrao), receita(Filial));
}

TEST_P(ImportacaoServidorTest, AChangedQuantityPerPersonScalesTheCopiedRecipeOfThatDishOnly)
{
    ClientDataSet grid(nullptr, "cdsGridPratos");
    grid.SetData(pratos(Padrao, "5010010098", "5010010099"));
    ASSERT_EQ(grid.RecordCount(), 2);
    ASSERT_TRUE(grid.Locate("CDPRATO", Prato));
    grid.Edit();
    grid.FieldByName("QUANTIDADE")->setAsFloat(0.45);
    grid.FieldByName("PROPORCAO")->setAsFloat(1.5);
    grid.Post();
    EXPECT_EQ(exporta(QVariant::fromValue(grid.Data()), Padrao, FilialDestino, 1), "");
    // Quantities times 1,5 rounded to 5 decimals (0,0500049 x 1,5 = 0,07500735); losses as they were.
    EXPECT_EQ(receita(FilialDestino), (QStringList{"T01 0.15 0.3 25 2", "T02 0.3 0.07501 20 -"}));
    EXPECT_DOUBLE_EQ(valor("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0004' AND CDPRATO = '5010010098'")
                         .toDouble(),
                     0.45);
    // The other dish went as it is, its quantity per person untouched.
    EXPECT_EQ(receita(FilialDestino, "5010010099"), (QStringList{"T01 0.15 0.2 25 -", "T02 0.08 0.1 20 -", "T03 0.05 0.0500049 0 -"}));
    EXPECT_FALSE(valor("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0004' AND CDPRATO = '5010010099'").isValid());

    // An unmarked dish is not copied; an existing quantity per person is changed in place.
    repoe();
    ASSERT_TRUE(grid.Locate("CDPRATO", "5010010099"));
    grid.Edit();
    grid.FieldByName("IDMARCADO")->setAsString("N");
    grid.Post();
    EXPECT_EQ(exporta(QVariant::fromValue(grid.Data()), Padrao, Filial, 0), "");
    EXPECT_EQ(receita(Filial), (QStringList{"T01 0.3 0.3 10 -", "T02 0.3 0.07501 20 -", "T03 0.05 0.05 - -"}));
    EXPECT_DOUBLE_EQ(valor("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '5010010098'")
                         .toDouble(),
                     0.45);
    EXPECT_EQ(receita(Filial, "5010010099"), QStringList{"T01 0.2 0.3 - -"});
}

TEST_P(ImportacaoServidorTest, AProportionTheQuantityDoesNotExplainIsRefused)
{
    ClientDataSet grid(nullptr, "cdsGridPratos");
    grid.SetData(pratos(Padrao));
    grid.Edit();
    grid.FieldByName("PROPORCAO")->setAsFloat(3);
    grid.Post();
    const QString fingerprint = database->fingerprint();
    EXPECT_EQ(exporta(QVariant::fromValue(grid.Data()), Padrao, FilialDestino, 1),
              QString::fromUtf8("A proporção do prato 5010010098 não corresponde à mudança da sua quantidade por pessoa."));
    grid.Edit();
    grid.FieldByName("QUANTIDADE")->setAsFloat(0.9);
    grid.FieldByName("PROPORCAO")->setAsFloat(-3);
    grid.Post();
    EXPECT_NE(exporta(QVariant::fromValue(grid.Data()), Padrao, FilialDestino, 1), "");
    EXPECT_EQ(database->fingerprint(), fingerprint);
    EXPECT_EQ(receita(FilialDestino), QStringList{"T02 0.4 0.4 - -"});
}

TEST_P(ImportacaoServidorTest, ProductsOutOfTheDestinationsLineAreLeftOutAndNamed)
{
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0004', 'T02', 'I'), ('0004', 'T01', 'A')");
    // One dish copied as it is, the other at twice its quantity per person.
    ClientDataSet grid(nullptr, "cdsGridPratos");
    grid.SetData(pratos(Padrao, "5010010098", "5010010099"));
    ASSERT_TRUE(grid.Locate("CDPRATO", Prato));
    grid.Edit();
    grid.FieldByName("QUANTIDADE")->setAsFloat(0.6);
    grid.FieldByName("PROPORCAO")->setAsFloat(2);
    grid.Post();
    const QString answer = exporta(QVariant::fromValue(grid.Data()), Padrao, FilialDestino, 1);
    EXPECT_EQ(answer, QString::fromUtf8("Os produtos abaixo estão inativos na filial 0004 e não foram copiados; o restante "
                                        "das receitas foi copiado.\n\nPrato de cópia: Produto B\nPrato de teste: Produto B"));
    EXPECT_EQ(receita(FilialDestino), QStringList{"T01 0.2 0.4 25 2"});
    EXPECT_EQ(receita(FilialDestino, "5010010099"), (QStringList{"T01 0.15 0.2 25 -", "T03 0.05 0.0500049 0 -"}));
}

TEST_P(ImportacaoServidorTest, ACopyThatFailsHalfWayStoresNothing)
{
    // The destination's quantity per person is written after its recipes: refuse it there.
    if (GetParam() == Backend::Sqlite) {
        exec("CREATE TRIGGER FALHA_COPIA BEFORE INSERT ON PRATFILI BEGIN SELECT RAISE(ABORT, 'falha simulada'); END");
    } else {
        exec("CREATE FUNCTION FALHA_COPIA() RETURNS TRIGGER AS $$ BEGIN RAISE EXCEPTION 'falha simulada'; END $$ "
             "LANGUAGE plpgsql");
        exec("CREATE TRIGGER FALHA_COPIA BEFORE INSERT ON PRATFILI FOR EACH ROW EXECUTE FUNCTION FALHA_COPIA()");
    }
    ClientDataSet grid(nullptr, "cdsGridPratos");
    grid.SetData(pratos(Padrao, "5010010098", "5010010099"));
    ASSERT_TRUE(grid.Locate("CDPRATO", Prato));
    grid.Edit();
    grid.FieldByName("QUANTIDADE")->setAsFloat(0.6);
    grid.FieldByName("PROPORCAO")->setAsFloat(2);
    grid.Post();
    const QString fingerprint = database->fingerprint();
    const QStringList before = receita(FilialDestino), otherBefore = receita(FilialDestino, "5010010099");
    // The database's own text goes to the server's log; the planner reads the general one.
    EXPECT_EQ(exporta(QVariant::fromValue(grid.Data()), Padrao, FilialDestino, 1), appserver::DatabaseFault::publicText());
    EXPECT_EQ(receita(FilialDestino), before);
    EXPECT_EQ(receita(FilialDestino, "5010010099"), otherBefore);
    EXPECT_EQ(database->fingerprint(), fingerprint);
}

TEST_P(ImportacaoServidorTest, CopiesTheFormCannotAskForAreRefused)
{
    const QVariant grid = QVariant::fromValue(pratos(Padrao));
    const QString fingerprint = database->fingerprint();
    EXPECT_EQ(exporta(grid, Filial, Filial, 0), QString::fromUtf8("A origem e o destino são a mesma receita (receita da filial 0002)."));
    EXPECT_EQ(exporta(grid, TpCard, TpCard, 0),
              QString::fromUtf8("A origem e o destino são a mesma receita (receita do tipo de cardápio HOSPITALAR da central 0001)."));
    EXPECT_EQ(exporta(grid, Padrao, Lugar{"F", "0099", "", "", "", ""}, 0), QString::fromUtf8("Filial 0099 não cadastrada."));
    EXPECT_EQ(exporta(grid, Padrao, Lugar{"S", "0002", "00077", "", "", ""}, 0),
              QString::fromUtf8("Serviço 00077 não cadastrado para a filial 0002."));
    EXPECT_EQ(exporta(grid, Padrao, Lugar{"T", "", "", "0001", "NENHUM", ""}, 0),
              QString::fromUtf8("Tipo de cardápio NENHUM não cadastrado na central 0001."));
    EXPECT_EQ(exporta(grid, Padrao, FilialDestino, 2), QString::fromUtf8("Tipo de importação inválido: 2 (0 acrescenta, 1 sobrepõe)."));

    ClientDataSet unmarked(nullptr, "cdsGridPratos");
    unmarked.SetData(pratos(Padrao));
    unmarked.Edit();
    unmarked.FieldByName("IDMARCADO")->setAsString("N");
    unmarked.Post();
    EXPECT_EQ(exporta(QVariant::fromValue(unmarked.Data()), Padrao, FilialDestino, 0),
              QString::fromUtf8("Nenhum prato foi marcado para a revisão de receitas."));

    // A local dish stays in its own branch's tree.
    const QVariant local = QVariant::fromValue(pratos(Padrao, "1010010901", "1010010901", "0003"));
    EXPECT_EQ(exporta(local, Padrao, FilialDestino, 0, "0003"),
              QString::fromUtf8("O prato 1010010901 é local da filial 0003: sua receita não pode ser copiada para a filial 0004."));
    EXPECT_EQ(exporta(local, Padrao, FilialDestino, 0, "0002"),
              QString::fromUtf8("O prato 1010010901 é local da filial 0003 e não pertence à filial 0002."));
    EXPECT_EQ(database->fingerprint(), fingerprint);
    EXPECT_EQ(exporta(local, Padrao, Lugar{"F", "0003", "", "", "", ""}, 0, "0003"), "");
    EXPECT_EQ(valor("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0003' AND CDFILAUXPRAT = '0003'").toInt(), 3);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ImportacaoServidorTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

namespace {

// The scaling the copy, the replication and the service percentages share.
TEST(EscalaReceitaTest, QuantitiesScaleAndRoundAsTheRecipePagesPercentagesOnlyRound)
{
    framework::RowStore rows(appserver::ingrediente::campos());
    const int row = rows.appendRow();
    using namespace appserver::ingrediente;
    rows.setValue(row, Quantidade, 0.0500049);
    rows.setValue(row, Requisicao, 0.333335);
    rows.setValue(row, QuantidadeNutriente, 2.0);
    rows.setValue(row, PerdaLimpeza, 12.345);
    rows.setValue(row, Complemento, 0.5);
    appserver::EscalaReceita::percentual(150).aplica(rows, row);
    EXPECT_DOUBLE_EQ(rows.number(row, Quantidade), 0.07501);
    EXPECT_DOUBLE_EQ(rows.number(row, Requisicao), 0.5); // 0,5000025
    EXPECT_DOUBLE_EQ(rows.number(row, QuantidadeNutriente), 3.0);
    EXPECT_DOUBLE_EQ(rows.number(row, PerdaLimpeza), 12.35);
    EXPECT_DOUBLE_EQ(rows.number(row, Complemento), 0.5);
    EXPECT_TRUE(rows.isNull(row, Bruta));
    EXPECT_DOUBLE_EQ(appserver::EscalaReceita(0.5).quantidade(0.00001), 0.00001); // 0,000005 rounds up
    for (double bad : {0.0, -1.0, std::nan("")})
        EXPECT_THROW(appserver::EscalaReceita{bad}, appserver::Refusal);
}

} // namespace
