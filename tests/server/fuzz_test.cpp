// A bounded run of broken requests against the daemon: random bytes, valid bodies cut short or
// with bytes changed, values of the wrong kind and numbers out of range. Every request is
// answered (400, or 200 with a result), the daemon keeps serving and the database is unchanged.
#include "framework/data/datapacket.h"
#include "framework/data/wirejson.h"
#include "server/session.h"
#include "serverfixture.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <random>

using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

std::string body(const QString& method, const QVariantList& args)
{
    framework::WireMessage m;
    m.texts = {{"object", "Pla01300.rdmReceitaPadrao"}, {"method", method}};
    m.values.insert("args", args);
    return framework::writeWireMessage(m);
}

// A change that the server must refuse: the originals of two columns are not what is stored,
// so that a few changed bytes cannot turn it into a change that applies.
QVariant staleChangeLog()
{
    framework::DataPacket log({{"CDPARGERAL", framework::FieldType::String, 4},
                               {"CDNVBLPRAT", framework::FieldType::String, 1},
                               {"CDPICTPRAT", framework::FieldType::String, 20},
                               {"NRVALOR", framework::FieldType::Integer},
                               {"VRVALOR", framework::FieldType::Float}});
    const int row = log.appendRow(framework::RowStatus::Modified);
    const QVariantList values{"0001", "9", "9.9", qint64(123456789), 2.5};
    for (int c = 0; c < values.size(); ++c)
        log.rows.setValue(row, c, values[c]);
    log.originals.setValue(row, 0, "0001");
    log.originals.setValue(row, 1, "z");
    log.originals.setValue(row, 2, "zzzzzz");
    return QVariant::fromValue(log);
}

} // namespace

TEST(DaemonFuzz, BrokenRequestsAreRefusedAndChangeNothing)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    const QString before = side.database().fingerprint();
    httplib::Client client("127.0.0.1", side.port());
    client.set_bearer_token_auth(server::Session::instance().token("127.0.0.1", side.port()).toStdString());

    const std::vector<std::string> valid{
        body("GetParamGeral", {}),
        body("GetCentral", {"T", "NUTRI"}),
        body("UpdParamGeral", {staleChangeLog()}),
        body("GetPrato", {"0002"}),
    };
    const std::vector<std::string> wrongKinds{
        R"({"int":"99999999999999999999999"})", R"({"float":1e400})", R"({"float":-1e308})", R"({"int":"-9223372036854775808"})",
        R"({"text":12})", R"({"array":{"text":"x"}})", R"({"packet":[]})", R"({"bool":"S"})", R"({"datetime":"2026-13-45"})",
        R"({"packet":{"fields":[{"name":"CDPARGERAL","type":"integer"}],"rows":[[1e999]],"status":"M","originals":[[1]]}})",
        R"({"packet":{"fields":[{"name":"CDPARGERAL","type":"string","size":-5}],"rows":[["0001"]]}})",
        R"({"packet":{"fields":[{"name":"X","type":"float"}],"rows":[[123456789012345678901234567890]]}})",
        "null", "{}", R"({"fault":"x"})",
    };
    std::mt19937 random(20261208);
    const auto pick = [&](size_t n) { return size_t(random() % n); };

    int answered = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string request;
        switch (i % 5) {
        case 0: // random bytes
            request.resize(pick(300));
            for (char& c : request)
                c = char(random());
            break;
        case 1: { // cut short
            const std::string& base = valid[pick(valid.size())];
            request = base.substr(0, pick(base.size()));
            break;
        }
        case 2: { // a few bytes changed
            request = valid[pick(valid.size())];
            for (int n = 1 + int(pick(3)); n > 0; --n)
                request[pick(request.size())] = "{}[]\",:0123456789.eE-+ntfu\\\x01\xff"[pick(30)];
            break;
        }
        case 3: { // a value of the wrong kind where the arguments go
            const QString method = i % 2 ? "UpdParamGeral" : "GetPrato";
            request = R"({"object":"Pla01300.rdmReceitaPadrao","method":")" + method.toStdString()
                      + R"(","args":{"array":[)" + wrongKinds[pick(wrongKinds.size())] + "]}}";
            break;
        }
        default: // wrong kinds at the top
            request = R"({"object":)" + wrongKinds[pick(wrongKinds.size())] + R"(,"method":"GetPrato","args":)"
                      + wrongKinds[pick(wrongKinds.size())] + "}";
        }
        const auto response = client.Post("/call", request, "application/json");
        ASSERT_TRUE(response) << "no answer to: " << request;
        ASSERT_TRUE(response->status == 200 || response->status == 400) << response->status << " for: " << request;
        if (response->status == 400) {
            ++refused;
            continue;
        }
        ++answered;
        const framework::WireMessage answer = framework::readWireMessage(response->body);
        ASSERT_TRUE(answer.values.contains("result")) << request;
    }
    EXPECT_GT(refused, 1500);
    EXPECT_GT(answered, 0);

    auto net = side.connect();
    EXPECT_TRUE(framework::isPacket(net->call("GetParamGeral")));
    EXPECT_EQ(side.database().fingerprint(), before);
}
