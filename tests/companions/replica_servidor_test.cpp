// The replication of recipes to many services (ReplicaReceitaServico, Pla01300.rdmReceitaPadrao) on
// both database families: what each service stores is what the percentage form's preview gives;
// dishes whose products a branch does not use are left out and named while the others are
// stored; what may not be replicated is refused with nothing stored; the dish list is data.
#include "appserver/dispatcher.h"
#include "appserver/guards.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"
#include "pratoteste.h"
#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <chrono>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) { *os << texts.join(" | ").toStdString(); }

using framework::ClientDataSet;
using framework::DataPacket;
using testdb::Backend;

namespace {

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
constexpr const char* Prato = "5010010099";   // pratoteste.h: T01, T02, T03
constexpr const char* Segundo = "5010010098"; // T01 only

class ReplicaServidorTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam());
        pratoteste::cria(database->db());
        exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES "
             "('P', '5010010098', 'Prato dois', '4', 'KG')");
        exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, QTBRUTAPRUNR, QTBRUTAPR, "
             "QTCALCNUTRPR) VALUES ('P', '5010010098', 'T01', 0.3, 'KG', 0.4, 0.4, 0.3)");
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    void exec(const QString& sql)
    {
        QSqlQuery query(database->db());
        ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
    }

    QVariant valor(const QString& sql)
    {
        QSqlQuery query(database->db());
        if (!query.exec(sql) || !query.next())
            return {};
        return query.value(0);
    }

    // SUPERV's group may change the revised recipes of branch 0002; NUTRI's may not.
    QVariant call(const char* method, QVariantList args, const char* operador = "SUPERV")
    {
        return dispatcher->call({QString::fromLatin1(operador), "sessao"}, ReceitaPadrao, method, args);
    }

    // The services of branch 0002 as the form loads them, with the given ones marked at their
    // percentages and the others unmarked.
    static void marca(ClientDataSet& servicos, const QList<std::pair<const char*, double>>& marcados)
    {
        for (servicos.First(); !servicos.Eof(); servicos.Next()) {
            servicos.Edit();
            servicos.FieldByName("IDMARCADO")->setAsString("N");
            for (const auto& [servico, percentual] : marcados)
                if (servicos.FieldByName("CDSERVFILI")->AsString() == QLatin1String(servico)) {
                    servicos.FieldByName("IDMARCADO")->setAsString("S");
                    servicos.FieldByName("PERCENTUAL")->setAsFloat(percentual);
                }
            servicos.Post();
        }
    }

    void carrega(ClientDataSet& servicos, const QString& grupo = {})
    {
        const QVariant result = call("GetServicos", {grupo, "0002"});
        ASSERT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        servicos.SetData(framework::toPacket(result));
    }

    QVariant replica(const ClientDataSet& servicos, const QString& pratos, const QVariantList& origem = {"P", "", "", "", ""},
                     const char* operador = "SUPERV")
    {
        QVariantList args{QVariant::fromValue(servicos.Data()), pratos};
        args += origem;
        return call("ReplicaReceitaServico", args, operador);
    }

    static QString recusaTexto(const QVariant& result) { return result.toString(); }

    // A service's recipe of a dish, product by product: code, net, gross and requisition quantities.
    QStringList gravada(const QString& servico, const QString& prato)
    {
        QSqlQuery query(database->db());
        query.prepare("SELECT CDPRODUTO, QTPRODRECSER, QTBRUTASE FROM RECESERV WHERE CDFILIAL = '0002' AND "
                      "CDSERVFILI = ? AND CDFILAUXPRAT = 'P' AND CDPRATO = ? ORDER BY CDPRODUTO");
        query.addBindValue(servico);
        query.addBindValue(prato);
        EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
        QStringList rows;
        while (query.next())
            rows << QStringLiteral("%1 %2 %3").arg(query.value(0).toString()).arg(query.value(1).toDouble()).arg(query.value(2).toDouble());
        return rows;
    }

    // What the percentage form's preview shows for the standard recipe at a percentage.
    QStringList previa(const QString& prato, double percentual)
    {
        const QVariant result = call("GetReceitasPerVirtual", {"P", prato, percentual, "P", "", "", "", ""});
        EXPECT_TRUE(framework::isPacket(result));
        const DataPacket p = framework::toPacket(result);
        const int produto = p.rows.indexOf("CDPRODUTO"), liquido = p.rows.indexOf("QTPROD"),
                  requisicao = p.rows.indexOf("QTBRUTA");
        QStringList rows;
        for (int r = 0; r < p.rowCount(); ++r)
            rows << QStringLiteral("%1 %2 %3").arg(p.rows.text(r, produto)).arg(p.rows.number(r, liquido)).arg(p.rows.number(r, requisicao));
        rows.sort();
        return rows;
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

TEST_P(ReplicaServidorTest, EveryMarkedServiceTakesEveryDishAtItsPercentageAsThePreviewShows)
{
    ClientDataSet servicos;
    carrega(servicos);
    ASSERT_EQ(servicos.RecordCount(), 4);
    EXPECT_EQ(servicos.FieldByName("IDMARCADO")->AsString(), "S");
    marca(servicos, {{"00002", 50}, {"00004", 120}});
    exec("UPDATE RECESERV SET QTPRODRECSER = 9 WHERE CDSERVFILI = '00001'");
    const QVariant result = replica(servicos, "'P_5010010099', 'P_5010010098'");
    ASSERT_TRUE(framework::isPacket(result)) << recusaTexto(result).toStdString();
    EXPECT_EQ(framework::toPacket(result).rowCount(), 0);
    for (const char* prato : {Prato, Segundo}) {
        SCOPED_TRACE(prato);
        EXPECT_EQ(gravada("00002", prato), previa(prato, 50));
        EXPECT_EQ(gravada("00004", prato), previa(prato, 120));
        EXPECT_TRUE(gravada("00003", prato).isEmpty());
    }
    EXPECT_EQ(gravada("00002", Segundo), QStringList{"T01 0.15 0.2"});
    // Each service now follows the origin at its percentage, as the percentage form lists it.
    EXPECT_EQ(valor("SELECT VRPERCRECE FROM PERCRECESERV WHERE CDSERVFILI = '00004' AND CDPRATO = '5010010098'").toDouble(), 120);
    EXPECT_EQ(valor("SELECT COUNT(*) FROM PERCRECESERV WHERE CDSERVFILI = '00003' AND CDPRATO LIKE '501001009%'").toInt(), 0);
    // An unmarked service keeps the recipe it had.
    EXPECT_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00001'").toDouble(), 9);

    // Replicated again from another origin: the recipe is replaced, not added to.
    exec("INSERT INTO RECEFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECLOC, QTBRUTALO, QTCALCNUTRLO) VALUES "
         "('0002', 'P', '5010010098', 'T03', 1, 1, 1)");
    carrega(servicos);
    marca(servicos, {{"00002", 100}});
    ASSERT_TRUE(framework::isPacket(replica(servicos, "'P_5010010099', 'P_5010010098'", {"F", "", "", "0002", ""})));
    EXPECT_EQ(gravada("00002", Prato), QStringList{"T01 0.2 0.3"});
    EXPECT_EQ(gravada("00002", Segundo), QStringList{"T03 1 1"}); // the branch's own recipe of it
    EXPECT_EQ(valor("SELECT IDORIGEMRECE FROM PERCRECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '5010010098'").toString(),
              "F");
    EXPECT_EQ(gravada("00004", Prato), previa(Prato, 120));
}

TEST_P(ReplicaServidorTest, ADishWithAProductOutOfTheBranchLineIsLeftOutAndNamedWhileTheOthersAreStored)
{
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T02', 'I')");
    ClientDataSet servicos;
    carrega(servicos);
    marca(servicos, {{"00002", 100}, {"00003", 100}});
    const QVariant result = replica(servicos, "'P_5010010099', 'P_5010010098'");
    ASSERT_TRUE(framework::isPacket(result)) << recusaTexto(result).toStdString();
    const DataPacket deixados = framework::toPacket(result);
    ASSERT_EQ(deixados.rowCount(), 1);
    EXPECT_EQ(deixados.rows.text(0, deixados.rows.indexOf("NMPRATO")), "Prato de teste");
    EXPECT_EQ(deixados.rows.text(0, deixados.rows.indexOf("CDPRATO")), Prato);
    EXPECT_EQ(deixados.rows.text(0, deixados.rows.indexOf("NMPRODUTO")), "Produto B");
    EXPECT_TRUE(gravada("00002", Prato).isEmpty());
    EXPECT_EQ(gravada("00002", Segundo), previa(Segundo, 100));
    EXPECT_EQ(gravada("00003", Segundo), previa(Segundo, 100));
}

TEST_P(ReplicaServidorTest, WhatMayNotBeReplicatedIsRefusedWithNothingStored)
{
    exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTBRUTAPR) VALUES "
         "('P', '5010010001', 'T01', 0.00004, 0.00004)");
    ClientDataSet servicos;
    const QString fingerprint = database->fingerprint();
    const auto recusada = [&](const QList<std::pair<const char*, double>>& marcados, const QString& pratos,
                              const QVariantList& origem, const QString& text, const char* operador = "SUPERV") {
        carrega(servicos);
        marca(servicos, marcados);
        EXPECT_EQ(recusaTexto(replica(servicos, pratos, origem, operador)), text);
        EXPECT_EQ(database->fingerprint(), fingerprint);
    };
    const QVariantList padrao{"P", "", "", "", ""};
    recusada({{"00002", 0.004}}, "'P_5010010099'", padrao,
             QString::fromUtf8("Valor percentual do serviço 00002 da filial 0002 deve ser maior que zero."));
    recusada({}, "'P_5010010099'", padrao,
             QString::fromUtf8("Nenhum serviço foi selecionado para a replicação de receitas."));
    recusada({{"00002", 50}}, "", padrao, QString::fromUtf8("Nenhum prato foi selecionado para a replicação de receitas."));
    recusada({{"00002", 50}}, "'P_5010010099'", {"S", "", "", "0002", "00002"},
             QString::fromUtf8("O serviço 00002 da filial 0002 é a origem da replicação e não pode recebê-la."));
    recusada({{"00002", 50}}, "'P_5010010099'", {"S", "", "", "0003", "00009"},
             QString::fromUtf8("Somente serviço do tipo restaurante ou do tipo hospitalar pode ser utilizado como origem "
                               "(serviço 00009 da filial 0003)."));
    recusada({{"00002", 50}}, "'0003_1010010901'", padrao,
             QString::fromUtf8("O prato 1010010901 é local da filial 0003: sua receita não vai para os serviços da "
                               "filial 0002."));
    recusada({{"00002", 10}}, "'P_5010010099', 'P_5010010001'", padrao,
             QString::fromUtf8("O percentual do serviço 00002 da filial 0002 produz quantidades iguais a zero na receita "
                               "do prato 5010010001 (produto T01)."));
    // Branch 0002 locks its revised recipes; NUTRI's group may not change them.
    recusada({{"00002", 50}}, "'P_5010010099'", padrao,
             QString::fromUtf8("Operador não autorizado a incluir / excluir produto em receita revisada."), "NUTRI");

    // The list is read as data: a quote is a quote of a code, never the end of a statement.
    recusada({{"00002", 50}}, "'P_5010''099'", padrao, QString::fromUtf8("Prato 5010'099 não cadastrado."));
    recusada({{"00002", 50}}, "'P_5010010099') OR ('1' = '1", padrao,
             QString::fromUtf8("Lista de pratos inválida: esperava \",\" na posição 15. Nada foi gravado."));
    recusada({{"00002", 50}}, "'P_5010010099", padrao,
             QString::fromUtf8("Lista de pratos inválida: aspas não fechadas. Nada foi gravado."));
    recusada({{"00002", 50}}, "'P_5010010099', ", padrao,
             QString::fromUtf8("Lista de pratos inválida: separador sem chave no fim. Nada foi gravado."));
    recusada({{"00002", 50}}, "'5010010099'", padrao,
             QString::fromUtf8("Lista de pratos inválida: chave \"5010010099\" sem dono ou código. Nada foi gravado."));

    // The services are the server's rows: one added refuses the call before it starts.
    carrega(servicos);
    servicos.Append();
    servicos.FieldByName("IDMARCADO")->setAsString("S");
    servicos.FieldByName("CDFILIAL")->setAsString("0002");
    servicos.FieldByName("CDSERVFILI")->setAsString("00009");
    servicos.FieldByName("PERCENTUAL")->setAsFloat(50);
    servicos.Post();
    EXPECT_EQ(recusaTexto(replica(servicos, "'P_5010010099'")),
              QString::fromUtf8("ReplicaReceitaServico não inclui registros: só altera os existentes. Nada foi gravado."));
    EXPECT_TRUE(appserver::guards::declaresShape(ReceitaPadrao, "ReplicaReceitaServico"));
    EXPECT_EQ(database->fingerprint(), fingerprint);
}

TEST_P(ReplicaServidorTest, ARepeatedRequestAnswersTheFirstAnswerWithoutReplicatingTwice)
{
    const QString name = database->connectionName();
    appserver::Dispatcher memoria([name] { return QSqlDatabase::database(name, false); }, {}, {},
                                  std::make_shared<appserver::RequestMemory>(std::chrono::minutes(5)));
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T02', 'I')");
    ClientDataSet servicos;
    carrega(servicos);
    marca(servicos, {{"00002", 100}});
    const auto envia = [&] {
        QVariantList args{QVariant::fromValue(servicos.Data()), "'P_5010010099', 'P_5010010098'", "p", "", "", "", ""};
        const QVariant result = memoria.call({"SUPERV", "sessao"}, ReceitaPadrao, "ReplicaReceitaServico", args, nullptr,
                                             "pedido-1");
        EXPECT_EQ(args[2].toString(), "P");
        return result;
    };
    const QVariant primeira = envia();
    ASSERT_TRUE(framework::isPacket(primeira)) << recusaTexto(primeira).toStdString();
    exec("UPDATE RECESERV SET QTPRODRECSER = 7 WHERE CDSERVFILI = '00002' AND CDPRATO = '5010010098'");
    const QVariant segunda = envia();
    ASSERT_TRUE(framework::isPacket(segunda));
    const DataPacket deixados = framework::toPacket(segunda);
    ASSERT_EQ(deixados.rowCount(), 1);
    EXPECT_EQ(deixados.rows.text(0, deixados.rows.indexOf("NMPRATO")), "Prato de teste");
    EXPECT_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '5010010098'").toDouble(), 7);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ReplicaServidorTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
