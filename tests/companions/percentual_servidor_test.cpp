// The service recipes set as a percentage of an origin recipe (Pla01300.rdmReceitaPadrao) on both
// database families: the services with what each follows, the preview of every origin level
// against what the apply stores, and what the apply refuses, storing nothing.
#include "appserver/dispatcher.h"
#include "appserver/guards.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"
#include "db/demodata.h"
#include "pratoteste.h"
#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <functional>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) { *os << texts.join(" | ").toStdString(); }

using framework::ClientDataSet;
using framework::DataPacket;
using testdb::Backend;

namespace {

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
constexpr const char* Prato = "5010010099"; // pratoteste.h
constexpr const char* Arroz = "2010010001";  // demo data: its hospital diets follow percentages

// An origin as the form's row names it: kind, central, menu type, branch, service.
struct Origem {
    const char* tipo;
    const char* central = "";
    const char* tipoCard = "";
    const char* filial = "";
    const char* servico = "";
};

class PercentualServidorTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam());
        pratoteste::cria(database->db());
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

    // An operator who holds no right of his own: service recipes need none.
    QVariant call(const char* method, QVariantList args)
    {
        return dispatcher->call({QStringLiteral("NUTRI"), "sessao"}, ReceitaPadrao, method, args);
    }

    DataPacket pacote(const QVariant& result)
    {
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        return framework::isPacket(result) ? framework::toPacket(result) : DataPacket();
    }

    // The services of a branch as the form loads them for the dish.
    void carrega(ClientDataSet& servicos, const QString& filial = "0002", const QString& prato = Prato,
                 const QString& grupo = {})
    {
        servicos.SetData(pacote(call("GetServicosPercentual", {filial, grupo, "P", prato})));
    }

    // A row changed as the form changes it: marked with an origin and a percentage.
    static void marca(ClientDataSet& servicos, const QString& servico, const Origem& origem, double percentual)
    {
        ASSERT_TRUE(servicos.Locate("CDSERVFILI", servico));
        servicos.Edit();
        const auto set = [&](const char* field, const QVariant& value) { servicos.FieldByName(field)->setValue(value); };
        set("IDMARCADO", "S");
        set("IDALTERADO", "S");
        set("IDORIGEMRECE", origem.tipo);
        set("CDFILCENTPME", origem.central);
        set("CDTIPOCARD", origem.tipoCard);
        set("CDFILIALORI", origem.filial);
        set("CDSERVFILIORI", origem.servico);
        set("PERCENTUAL", percentual);
        servicos.Post();
    }

    static void desmarca(ClientDataSet& servicos, const QString& servico)
    {
        ASSERT_TRUE(servicos.Locate("CDSERVFILI", servico));
        servicos.Edit();
        servicos.FieldByName("IDMARCADO")->setAsString("N");
        servicos.FieldByName("IDALTERADO")->setAsString("S");
        for (const char* field : {"IDORIGEMRECE", "CDFILIALORI", "CDSERVFILIORI", "PERCENTUAL"})
            servicos.FieldByName(field)->Clear();
        servicos.Post();
    }

    QString aplica(const ClientDataSet& servicos, const QString& chave = QStringLiteral("P_5010010099"))
    {
        return call("AplicaPercentualReceita", {chave, QVariant::fromValue(servicos.Data())}).toString();
    }

    DataPacket previa(const Origem& o, double percentual, const QString& prato = Prato)
    {
        return pacote(call("GetReceitasPerVirtual",
                           {"P", prato, percentual, o.tipo, o.central, o.tipoCard, o.filial, o.servico}));
    }

    DataPacket gravada(const QString& servico, const QString& prato = Prato)
    {
        return pacote(call("GetReceitasPer", {"P", prato, "0002", servico}));
    }

    // A recipe row by row: every column as text ("-" for null).
    static QStringList linhas(const DataPacket& receita)
    {
        QStringList list;
        for (int r = 0; r < receita.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < receita.rows.columnCount(); ++c)
                cells << (receita.rows.isNull(r, c) ? QStringLiteral("-") : receita.rows.value(r, c).toString());
            list << cells.join(u'|');
        }
        return list;
    }

    static QString texto(const DataPacket& p, int row, const char* column)
    {
        return p.rows.text(row, p.rows.indexOf(QString::fromLatin1(column)));
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

TEST_P(PercentualServidorTest, TheServicesOfABranchShowWhatEachFollows)
{
    ClientDataSet servicos;
    carrega(servicos, "2", Arroz);
    QStringList rows;
    for (servicos.First(); !servicos.Eof(); servicos.Next()) {
        QStringList row;
        for (const char* field : {"IDMARCADO", "CDFILIAL", "CDSERVFILI", "IDORIGEMRECE", "CDFILIALORI", "CDSERVFILIORI",
                                  "PERCENTUAL", "IDALTERADO", "NMSERVIORI", "NMFILIALORI"})
            row << servicos.FieldByName(field)->AsString();
        rows << row.join(u'|');
    }
    EXPECT_EQ(rows, (QStringList{QString::fromUtf8("N|0002|00001|||||N||"),
                                 QString::fromUtf8("S|0002|00002|P|||80|N||"),
                                 QString::fromUtf8("S|0002|00003|S|0002|00002|90|N|Dieta pastosa|Hospital São Lucas"),
                                 QString::fromUtf8("S|0002|00004|F|0002||100|N||Hospital São Lucas")}));
    // The stored recipes are what the percentages give (the demo data computes them the same way).
    const auto liquido = [&](const DataPacket& p) {
        QStringList l;
        for (int r = 0; r < p.rowCount(); ++r)
            l << texto(p, r, "CDPRODUTO") + u' ' + texto(p, r, "QTPROD");
        return l;
    };
    EXPECT_EQ(liquido(gravada("00002", Arroz)), liquido(previa({"P"}, 80, Arroz)));
    EXPECT_EQ(liquido(gravada("00003", Arroz)), liquido(previa({"S", "", "", "0002", "00002"}, 90, Arroz)));

    // The group narrows the list; the branch's services are all hospital ones.
    carrega(servicos, "0002", Arroz, "1");
    EXPECT_EQ(servicos.RecordCount(), 0);
    carrega(servicos, "0002", Arroz, "002");
    EXPECT_EQ(servicos.RecordCount(), 4);
    // Owner and dish come back as the server reads them.
    QVariantList args{"0002", "", " p", " 2010010001 "};
    dispatcher->call({QStringLiteral("NUTRI"), "sessao"}, ReceitaPadrao, "GetServicosPercentual", args);
    EXPECT_EQ(args[2].toString(), "P");
    EXPECT_EQ(args[3].toString(), Arroz);
}

TEST_P(PercentualServidorTest, ThePreviewOfEveryOriginIsWhatTheApplyStoresRowForRow)
{
    const Origem origens[] = {{"P"}, {"F", "", "", "0002"}, {"S", "", "", "0002", "00001"}, {"T", "0001", "HOSPITALAR"}};
    for (const Origem& origem : origens) {
        SCOPED_TRACE(origem.tipo);
        const DataPacket antes = previa(origem, 50);
        ASSERT_GT(antes.rowCount(), 0);
        ClientDataSet servicos;
        carrega(servicos);
        marca(servicos, "00003", origem, 50);
        ASSERT_EQ(aplica(servicos), "");
        EXPECT_EQ(linhas(gravada("00003")), linhas(antes));
    }
    // The standard recipe at 50 %: quantities halved to 5 decimals, percentages as they are,
    // names beside each product.
    const DataPacket p = previa({"P"}, 50);
    ASSERT_EQ(p.rowCount(), 3);
    const auto numero = [&](int row, const char* column) { return p.rows.number(row, p.rows.indexOf(column)); };
    EXPECT_EQ(texto(p, 0, "CDPRODUTO"), "T01");
    EXPECT_DOUBLE_EQ(numero(0, "QTPROD"), 0.075);
    EXPECT_DOUBLE_EQ(numero(0, "QTBRUTA"), 0.1);
    EXPECT_DOUBLE_EQ(numero(0, "VRPEFATCOR"), 25);
    EXPECT_EQ(texto(p, 0, "NMPRODUTO"), "Produto A");
    EXPECT_EQ(texto(p, 0, "SGUNIDPROD"), "KG");
    EXPECT_EQ(texto(p, 0, "CDARVPROD"), "5030019991");
    EXPECT_DOUBLE_EQ(numero(2, "QTBRUTA"), 0.025); // 0,02500245
    // A percentage counts to 2 decimals, as it is stored.
    EXPECT_EQ(linhas(previa({"P"}, 33.334)), linhas(previa({"P"}, 33.33)));
    EXPECT_DOUBLE_EQ(valor("SELECT VRPERCRECE FROM PERCRECESERV WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'").toDouble(), 50);
    EXPECT_EQ(valor("SELECT IDORIGEMRECE FROM PERCRECESERV WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'").toString(), "T");
}

TEST_P(PercentualServidorTest, ManyServicesAreAppliedAtOnceAndAnUnmarkedOneKeepsItsRecipe)
{
    ClientDataSet servicos;
    carrega(servicos);
    marca(servicos, "00002", {"F", "", "", "0002"}, 200);
    marca(servicos, "00003", {"S", "", "", "0002", "00001"}, 10);
    ASSERT_EQ(aplica(servicos), "");
    EXPECT_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '5010010099'").toDouble(), 0.4);
    EXPECT_DOUBLE_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'").toDouble(), 0.04);

    // Loaded again: both follow their origins; the one left alone is not touched by the next apply.
    carrega(servicos);
    ASSERT_TRUE(servicos.Locate("CDSERVFILI", "00002"));
    EXPECT_EQ(servicos.FieldByName("IDMARCADO")->AsString(), "S");
    EXPECT_EQ(servicos.FieldByName("NMFILIALORI")->AsString(), QString::fromUtf8("Hospital São Lucas"));
    exec("UPDATE RECESERV SET QTPRODRECSER = 9 WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'");
    desmarca(servicos, "00002");
    ASSERT_EQ(aplica(servicos), "");
    EXPECT_EQ(valor("SELECT COUNT(*) FROM PERCRECESERV WHERE CDPRATO = '5010010099'").toInt(), 1);
    EXPECT_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '5010010099'").toDouble(), 0.4);
    EXPECT_EQ(valor("SELECT QTPRODRECSER FROM RECESERV WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'").toDouble(), 9);

    // Nothing changed: nothing written.
    carrega(servicos);
    const QString fingerprint = database->fingerprint();
    EXPECT_EQ(aplica(servicos), "");
    EXPECT_EQ(database->fingerprint(), fingerprint);
}

TEST_P(PercentualServidorTest, WhatMayNotBeAppliedIsRefusedWithNothingStored)
{
    exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTBRUTAPR) VALUES "
         "('P', '5010010001', 'T01', 0.00004, 0.00004)");
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T02', 'I')");
    ClientDataSet servicos;
    const QString fingerprint = database->fingerprint();
    const auto recusa = [&](const std::function<void()>& change, const QString& text, const QString& chave = "P_5010010099") {
        carrega(servicos, "0002", chave.section(u'_', 1));
        change();
        EXPECT_EQ(aplica(servicos, chave), text);
        EXPECT_EQ(database->fingerprint(), fingerprint);
    };
    recusa([&] { marca(servicos, "00003", {"F", "", "", "0004"}, 0.004); },
           QString::fromUtf8("Valor percentual do serviço 00003 da filial 0002 deve ser maior que zero."));
    recusa([&] { marca(servicos, "00003", {"S", "", "", "0002", "00003"}, 50); },
           QString::fromUtf8("O serviço 00003 da filial 0002 não pode ser a origem da sua própria receita."));
    recusa([&] { marca(servicos, "00003", {"S", "", "", "0002", "00009"}, 50); },
           QString::fromUtf8("Serviço 00009 não cadastrado para a filial 0002."));
    recusa([&] { marca(servicos, "00003", {"S", "", "", "0003", "00009"}, 50); },
           QString::fromUtf8("Somente serviço do tipo restaurante ou do tipo hospitalar pode ser utilizado como origem "
                             "(serviço 00009 da filial 0003)."));
    // Two services of one call: one may not take the other's recipe while it changes.
    recusa(
        [&] {
            marca(servicos, "00002", {"P"}, 50);
            marca(servicos, "00003", {"S", "", "", "0002", "00002"}, 50);
        },
        QString::fromUtf8("O serviço 00002 da filial 0002 não pode ser a origem do serviço 00003 da filial 0002: sua "
                          "receita também é alterada nesta operação."));
    recusa([&] { marca(servicos, "00003", {"T", "0001", "PADRAO"}, 50); },
           QString::fromUtf8("Receita de origem informada não existe no prato 5010010099 (receita do tipo de cardápio "
                             "PADRAO da central 0001, origem do serviço 00003 da filial 0002)."));
    // The first service would be stored; the second's product is out of the branch's line.
    recusa(
        [&] {
            marca(servicos, "00003", {"F", "", "", "0004"}, 50);
            marca(servicos, "00004", {"P"}, 50);
        },
        QString::fromUtf8("Produto Produto B da receita de origem do serviço 00004 da filial 0002 não está ativo na "
                          "filial 0002."));
    recusa([&] { marca(servicos, "00003", {"P"}, 10); },
           QString::fromUtf8("O percentual do serviço 00003 da filial 0002 produz quantidades iguais a zero na receita "
                             "(produto Produto A)."),
           "P_5010010001");
    recusa([&] { marca(servicos, "00003", {"P"}, 50); },
           QString::fromUtf8("O prato 1010010901 é local da filial 0003: sua receita não vai para o serviço 00003 da "
                             "filial 0002."),
           "0003_1010010901");
    recusa([&] { marca(servicos, "00003", {"P"}, 50); }, QString::fromUtf8("Chave de prato inválida: \"_5010010099\"."),
           "_5010010099");

    // The products of the origin the service's branch does not use.
    const DataPacket inativos = pacote(call("GetProdInativReceita", {"P", "P", Prato, "", "", "", "", "2"}));
    ASSERT_EQ(inativos.rowCount(), 1);
    EXPECT_EQ(texto(inativos, 0, "NMPRODUTO"), "Produto B");
    EXPECT_EQ(pacote(call("GetProdInativReceita", {"P", "P", Prato, "", "", "", "", "0004"})).rowCount(), 0);
    // The preview refuses what the apply refuses of an origin.
    EXPECT_EQ(call("GetReceitasPerVirtual", {"P", Prato, 0.0, "P", "", "", "", ""}).value<framework::ServerFault>().message,
              "Valor percentual deve ser maior que zero.");

    // The form sends its services' rows changed, never added.
    carrega(servicos);
    servicos.Append();
    servicos.FieldByName("CDFILIAL")->setAsString("0002");
    servicos.FieldByName("CDSERVFILI")->setAsString("00001");
    servicos.Post();
    EXPECT_EQ(aplica(servicos), QString::fromUtf8("AplicaPercentualReceita não inclui registros: só altera os existentes. "
                                                  "Nada foi gravado."));
    EXPECT_TRUE(appserver::guards::declaresShape(ReceitaPadrao, "AplicaPercentualReceita"));
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, PercentualServidorTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
