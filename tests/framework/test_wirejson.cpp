// The fast reader and writer of the wire agree with the JSON classes' encoding in both
// directions, and refuse whatever is malformed.
#include "framework/abort.h"
#include "framework/data/wirejson.h"

#include <QJsonDocument>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <random>

using namespace framework;

namespace {

// Every column type, nulls, texts that need escapes or are cut to their size, large integers,
// and a change log with every row status.
DataPacket sample()
{
    DataPacket p({{"CDPRATO", FieldType::String, 10},
                  {"NMPRATO", FieldType::String, 5},
                  {"QTPESO", FieldType::Float},
                  {"NRCOR", FieldType::Integer},
                  {"IDATIVO", FieldType::Boolean},
                  {"DTCAD", FieldType::DateTime},
                  {"TXFOTO", FieldType::Blob}});
    const QList<QVariantList> rows{
        {"0001", "Açaí \"com\"\\ barra\n\t\x01", 1.25, qint64(7), true, QDateTime(QDate(2026, 3, 15), QTime(8, 30, 1, 250), QTimeZone::utc()), QByteArray("\x00\xff", 2)},
        {"0002", QVariant(), -0.1, qint64(1) << 60, false, QDateTime(QDate(1969, 12, 31), QTime(23, 59), QTimeZone::utc()), QVariant()},
        {"0003", "Pão𝄞", 1e300, qint64(-9), QVariant(), QVariant(), QVariant()},
        {"0004", "x", QVariant(), QVariant(), true, QVariant(), QVariant()},
    };
    const RowStatus statuses[] = {RowStatus::Unmodified, RowStatus::Inserted, RowStatus::Modified, RowStatus::Deleted};
    for (int r = 0; r < rows.size(); ++r) {
        const int row = p.appendRow(statuses[r]);
        for (int c = 0; c < rows[r].size(); ++c)
            p.rows.setValue(row, c, rows[r][c]);
        if (statuses[r] == RowStatus::Modified || statuses[r] == RowStatus::Deleted)
            p.originals.setValue(row, 1, "antes");
    }
    return p;
}

QVariant sampleArgs()
{
    return QVariantList{QVariant::fromValue(sample()), "texto \"aspas\"", qint64(1) << 62, 2.5, true, QVariant(),
                        QDate(2026, 1, 2), QDateTime(QDate(2026, 1, 2), QTime(3, 4), QTimeZone::utc()),
                        QByteArray("abc"), QVariantList{"dentro", 1}, QVariant::fromValue(ServerFault{"falhou"})};
}

QByteArray byJsonClasses(const QVariant& value)
{
    return QJsonDocument(variantToJson(value).toObject()).toJson(QJsonDocument::Compact);
}

} // namespace

TEST(WireJson, ReadsAndWritesWhatTheJsonClassesWriteAndRead)
{
    const QVariant value = sampleArgs();
    const QByteArray expected = byJsonClasses(value);

    const QByteArray classes = byJsonClasses(value);
    EXPECT_EQ(byJsonClasses(readValueJson(std::string_view(classes.constData(), size_t(classes.size())))), expected);

    const std::string fast = writeValueJson(value);
    const QJsonDocument parsed = QJsonDocument::fromJson(QByteArray::fromStdString(fast));
    ASSERT_TRUE(parsed.isObject()) << fast;
    EXPECT_EQ(byJsonClasses(variantFromJson(parsed.object())), expected);

    const DataPacket read = toPacket(readValueJson(fast).toList().first());
    EXPECT_EQ(read.rows.text(0, 1), "Açaí "); // cut to the field's five characters
    EXPECT_EQ(read.rows.text(2, 1), "Pão𝄞");
    EXPECT_EQ(read.rows.integer(1, 3), qint64(1) << 60);
    EXPECT_EQ(read.originals.text(3, 1), "antes");
}

TEST(WireJson, MessagesKeepTextsAndValuesApartInAnyOrder)
{
    const std::string json =
        R"( { "args" : {"array":[{"packet":{"rows":[["a",1]],"fields":[{"name":"A","type":"string"},)"
        R"({"name":"B","type":"integer","flags":3}]}}]}, "method":"GetPrato", "result":null, "object":"Pla" } )";
    const WireMessage m = readWireMessage(json);
    EXPECT_EQ(m.texts.value("method"), "GetPrato");
    EXPECT_EQ(m.texts.value("object"), "Pla");
    EXPECT_TRUE(m.values.contains("result"));
    EXPECT_FALSE(m.values.value("result").isValid());
    const DataPacket p = toPacket(m.values.value("args").toList().first());
    EXPECT_EQ(p.rows.text(0, 0), "a");
    EXPECT_EQ(p.rows.integer(0, 1), 1);

    const WireMessage again = readWireMessage(writeWireMessage(m));
    EXPECT_EQ(again.texts, m.texts);
    EXPECT_EQ(byJsonClasses(again.values.value("args")), byJsonClasses(m.values.value("args")));
}

TEST(WireJson, RefusesWhatIsMalformed)
{
    const auto packet = [](const std::string& type, const std::string& cell) {
        return R"({"packet":{"fields":[{"name":"A","type":")" + type + R"("}],"rows":[[)" + cell + "]]}}";
    };
    const std::vector<std::string> bad{
        "", "{", "[]", "nul", "{}", R"({"text":"a","int":"1"})", R"({"text":1})", R"({"int":"2,7"})",
        R"({"int":"99999999999999999999"})", R"({"float":"1"})", R"({"float":1e999})", R"({"bool":1})",
        R"({"datetime":"ontem"})", R"({"nada":1})", R"({"text":"a"} x)", "{\"text\":\"a\x01\"}", R"({"text":"\q"})",
        R"({"text":"\u12"})", R"({"text":"sem fim})", packet("integer", "2.5"), packet("integer", "\"2,7\""),
        packet("integer", "9007199254740993"), packet("float", "\"1\""), packet("float", "01"), packet("string", "1"),
        packet("boolean", "\"S\""), packet("datetime", "\"32/13/2026\""), packet("Nenhum", "1"), packet("string", "\"a\",\"b\""),
        R"({"packet":{"fields":[{"name":"A","type":"string"}],"rows":[["a"]],"status":"X","originals":[null]}})",
        R"({"packet":{"fields":[{"name":"A","type":"string"}],"rows":[["a"]],"status":"MM","originals":[["a"]]}})",
        R"({"packet":{"fields":[{"type":"string"}],"rows":[]}})", R"({"packet":{"rows":[]}})",
        std::string(100, '[') + std::string(100, ']'),
    };
    for (const std::string& json : bad)
        EXPECT_THROW(readValueJson(json), Error) << json;

    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += R"({"array":[)";
    for (int i = 0; i < 40; ++i)
        deep += "]}";
    EXPECT_THROW(readValueJson(deep), Error); // nesting deeper than the limit

    WireLimits limits;
    limits.maxRows = 2;
    const std::string threeRows = R"({"packet":{"fields":[{"name":"A","type":"string"}],"rows":[["a"],["b"],["c"]]}})";
    EXPECT_THROW(readValueJson(threeRows, limits), Error);
    EXPECT_EQ(toPacket(readValueJson(threeRows)).rowCount(), 3);
}

// Many broken texts straight into the reader: each is read or refused with an Error, nothing else.
TEST(WireJson, BrokenTextsAreRefusedNeverCrash)
{
    const std::string base = writeValueJson(sampleArgs());
    std::mt19937 random(7);
    int refused = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = base;
        if (i % 2) {
            text.resize(random() % text.size());
        } else {
            for (int n = 1 + int(random() % 4); n > 0; --n)
                text[random() % text.size()] = "{}[]\",:0123456789.eE-+ntfu\\\x01\xff"[random() % 30];
        }
        try {
            readValueJson(text);
        } catch (const Error&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 10000);
}
