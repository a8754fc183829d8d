#pragma once

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dialogs.h"

#include <QDir>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

// Widgets under test answer their dialogs from a script; an unanswered question fails the test.
class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = &framework::installScriptedDialogs();
        script->reset();
        script->onFailure = [](const QString& failure) { ADD_FAILURE() << failure.toStdString(); };
    }
    void TearDown() override { EXPECT_EQ(script->pendingAnswers(), 0) << "answers left in the script"; }

    framework::ScriptedDialogs* script = nullptr;
};

// Dishes: CDPRATO, NMPRATO, CDFILAUXPRAT, QTPESO (float), IDATIVO ("S"/"N").
struct DishRow {
    QString code;
    QString name;
    QString origin = QStringLiteral("P");
    double weight = 0;
    QString active = QStringLiteral("S");
};

inline std::unique_ptr<framework::ClientDataSet> makeDishes(const QList<DishRow>& rows)
{
    using framework::FieldType;
    auto ds = std::make_unique<framework::ClientDataSet>(nullptr, QStringLiteral("cdsPrato"));
    framework::DataPacket packet({{"CDPRATO", FieldType::String, 10},
                                  {"NMPRATO", FieldType::String, 40},
                                  {"CDFILAUXPRAT", FieldType::String, 4},
                                  {"QTPESO", FieldType::Float},
                                  {"IDATIVO", FieldType::String, 1}});
    packet.rows.reserve(int(rows.size()));
    for (const DishRow& d : rows) {
        const int r = packet.appendRow();
        packet.rows.setValue(r, 0, d.code);
        packet.rows.setValue(r, 1, d.name);
        packet.rows.setValue(r, 2, d.origin);
        packet.rows.setValue(r, 3, d.weight);
        packet.rows.setValue(r, 4, d.active);
    }
    ds->SetData(packet);
    return ds;
}

inline QString currentCode(const framework::ClientDataSet& ds)
{
    return ds.FieldByName(QStringLiteral("CDPRATO"))->AsString();
}

// Where tests leave pictures of forms for people to look at (under the build directory).
inline QString artifactsDir()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}
