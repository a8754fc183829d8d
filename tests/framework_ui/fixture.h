#pragma once

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dialogs.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Every test runs against a fresh scripted dialog face; a question the test did not answer
// fails it, and answers left over at the end fail it too.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = &framework::installScriptedDialogs();
        script->onFailure = [](const QString& failure) { ADD_FAILURE() << failure.toStdString(); };
    }
    void TearDown() override { EXPECT_EQ(script->pendingAnswers(), 0) << "answers left in the script"; }

    framework::ScriptedDialogs* script = nullptr;
};

// Dishes: CDPRATO (10), NMPRATO (40), QTPESO (float), IDATIVO (1), DTCAD (date), TXPREP (blob),
// HRTEMPO (7).
inline std::unique_ptr<framework::ClientDataSet> makeDishes(const QList<QPair<QString, QString>>& rows)
{
    using framework::FieldType;
    auto ds = std::make_unique<framework::ClientDataSet>(nullptr, QStringLiteral("cdsPrato"));
    framework::DataPacket packet({{"CDPRATO", FieldType::String, 10},
                                  {"NMPRATO", FieldType::String, 40},
                                  {"QTPESO", FieldType::Float},
                                  {"IDATIVO", FieldType::String, 1},
                                  {"DTCAD", FieldType::DateTime},
                                  {"TXPREP", FieldType::Blob},
                                  {"HRTEMPO", FieldType::String, 7}});
    for (const auto& [code, name] : rows) {
        const int r = packet.appendRow();
        packet.rows.setValue(r, 0, code);
        packet.rows.setValue(r, 1, name);
        packet.rows.setValue(r, 3, QStringLiteral("S"));
    }
    ds->SetData(packet);
    return ds;
}

inline std::unique_ptr<framework::ClientDataSet> threeDishes()
{
    return makeDishes({{"101001", "Arroz branco"}, {"101002", "Feijão carioca"}, {"102001", "Salada verde"}});
}

// A shown, active window holding the widgets under test plus a spare edit to move the focus to.
struct TestWindow {
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
    QWidget* spare = nullptr;

    template <class W>
    W* add(W* widget)
    {
        layout->addWidget(widget);
        return widget;
    }
    bool show();
    void leaveTo(QWidget* other) const; // moves the focus and lets the events arrive
};
