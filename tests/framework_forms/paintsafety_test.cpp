// Views over datasets whose fields are replaced or whose text handlers fail keep painting, show
// the failure once, and follow single-row edits without starting over.
#include "forms_fixture.h"

#include "framework/abort.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"

#include <QSignalSpy>
#include <QTest>

using namespace framework;

namespace {

class PaintSafety : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        ds = makeDishes({{"1", "Pratos base"}, {"101", "Arroz"}, {"101001", "Arroz branco"}, {"101002", "Arroz doce"}});
        source.setDataSet(ds.get());
    }

    void show(QWidget& view)
    {
        view.resize(400, 300);
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }

    std::unique_ptr<ClientDataSet> ds;
    DataSource source;
};

} // namespace

TEST_F(PaintSafety, FieldsReplacedWhileControlsAreDisabledAreNeverPaintedFromTheirRemains)
{
    TDBGrid grid;
    grid.setDataSource(&source);
    grid.AddColumn("CDPRATO");
    grid.AddColumn("QTPESO");
    show(grid);

    // New data where QTPESO changed type: its old field object goes while the grid still holds it.
    ds->DisableControls();
    DataPacket packet({{"CDPRATO", FieldType::String, 10}, {"QTPESO", FieldType::String, 10}});
    packet.rows.setValue(packet.appendRow(), 0, QString("9"));
    ds->SetData(packet);
    grid.grab(); // paints the rows it knows of
    ds->EnableControls();
    grid.grab();
    EXPECT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(grid.model()->index(0, 0).data().toString(), "9");
}

TEST_F(PaintSafety, AFailingTextHandlerShowsAnEmptyCellAndOneMessage)
{
    TDBGrid grid;
    grid.setDataSource(&source);
    grid.AddColumn("CDPRATO");
    grid.AddColumn("NMPRATO");
    ds->FieldByName("NMPRATO")->OnGetText = [](Field&, QString&, bool) { throw Error("Texto indisponível."); };
    int drawn = 0;
    grid.OnDrawColumnCell = [&drawn](TDBGrid&, TCellPaint&) {
        ++drawn;
        throw Error("Cor indisponível.");
    };
    show(grid);
    grid.grab();
    grid.grab();
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "");
    QTRY_COMPARE(script->messages().size(), 2); // one per failing handler, after the paint
    QTest::qWait(20);
    EXPECT_EQ(script->messages().size(), 2);
    QStringList texts = script->messageTexts();
    texts.sort();
    EXPECT_EQ(texts, QStringList({"Cor indisponível.", "Texto indisponível."}));
}

TEST_F(PaintSafety, TreeRepaintsAnEditedNodeWithoutRebuilding)
{
    TDBTree tree;
    tree.setFieldCode("CDPRATO");
    tree.setFieldName("NMPRATO");
    tree.setPicture(TDBPicture("9.99.999"));
    tree.setDataSource(&source);
    show(tree);
    QSignalSpy resets(tree.model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(tree.model(), &QAbstractItemModel::dataChanged);

    ASSERT_TRUE(ds->Locate("CDPRATO", "101001"));
    ds->Edit();
    ds->FieldByName("NMPRATO")->setValue("Arroz soltinho");
    ds->Post();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(changes.count(), 1);
    tree.expandAll();
    const QModelIndexList found =
        tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, "101001 - Arroz soltinho", 1,
                            Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1);

    // A changed code moves the node: then the tree rebuilds.
    ds->Edit();
    ds->FieldByName("CDPRATO")->setValue("101003");
    ds->Post();
    EXPECT_GE(resets.count(), 1);
}
