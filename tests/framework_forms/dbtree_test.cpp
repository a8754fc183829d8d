#include "forms_fixture.h"

#include "framework/abort.h"
#include "framework/forms/dbtree.h"

#include <QPixmap>
#include <QTest>

using namespace framework;

namespace {

// Picture "9.99.999": groups "1", "101"; dishes "101001".
class TreeTest : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        ds = makeDishes({{"2", "Sobremesas"},
                         {"101001", "Arroz branco"},
                         {"1", "Pratos base"},
                         {"101", "Arroz"},
                         {"101002", "Arroz integral", "0001"},
                         {"201", "Frutas"},
                         {"201001", "Banana"},
                         {"305001", "Sem grupo"}});
        source.setDataSet(ds.get());
        tree.setFieldCode("CDPRATO");
        tree.setFieldName("NMPRATO");
        tree.setFieldAux("CDFILAUXPRAT");
        tree.setPicture(TDBPicture("9.99.999"));
        tree.setDataSource(&source);
        tree.resize(300, 400);
        tree.show();
        tree.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&tree));
        tree.setFocus();
    }

    QModelIndex indexOf(const QString& code) const
    {
        QModelIndexList found = tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, code + " -", 1,
                                                     Qt::MatchStartsWith | Qt::MatchRecursive);
        return found.value(0);
    }

    std::unique_ptr<ClientDataSet> ds;
    DataSource source{nullptr, QStringLiteral("dtsPrato")};
    TDBTree tree{nullptr, QStringLiteral("dbaPadrao")};
};

TEST_F(TreeTest, NodesHangUnderTheirGroupsAndOrphansAtTheRoot)
{
    EXPECT_EQ(tree.NodeCount(), 8);
    QStringList roots;
    for (int r = 0; r < tree.model()->rowCount(); ++r)
        roots << tree.model()->index(r, 0).data().toString();
    EXPECT_EQ(roots, (QStringList{"1 - Pratos base", "2 - Sobremesas", "305001 - Sem grupo"}));
    const QModelIndex rice = indexOf("101");
    ASSERT_TRUE(rice.isValid());
    EXPECT_EQ(rice.parent().data().toString(), "1 - Pratos base");
    EXPECT_EQ(tree.model()->rowCount(rice), 2);
    EXPECT_TRUE(tree.HasChildren("101"));
    EXPECT_FALSE(tree.HasChildren("101001"));
}

TEST_F(TreeTest, FollowsTheDatasetCursorAndMovesIt)
{
    QStringList changes;
    tree.OnChange = [&](TDBTree&, const TTreeNode& node) { changes << node.code; };
    ASSERT_TRUE(ds->Locate("CDPRATO", "201001"));
    EXPECT_EQ(tree.SelectedCode(), "201001");
    EXPECT_TRUE(tree.isExpanded(indexOf("201"))); // its groups open to show it
    EXPECT_TRUE(tree.Selected().lastLevel);

    ASSERT_TRUE(tree.setSelectedCode("101002"));
    EXPECT_EQ(currentCode(*ds), "101002");
    EXPECT_EQ(tree.Selected().aux, "0001");
    EXPECT_EQ(changes, (QStringList{"201001", "101002"}));

    // The user clicks a node.
    const QModelIndex banana = indexOf("201001");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(banana).center());
    EXPECT_EQ(currentCode(*ds), "201001");
}

TEST_F(TreeTest, ARefusedChangeKeepsTheSelectionAndTheRecord)
{
    ASSERT_TRUE(tree.setSelectedCode("101001"));
    int asked = 0;
    tree.OnChanging = [&](TDBTree&, const TTreeNode& node, bool& allow) {
        ++asked;
        allow = node.code != "201";
    };
    tree.expandAll();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(indexOf("201")).center());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(tree.SelectedCode(), "101001");
    EXPECT_EQ(currentCode(*ds), "101001");
    EXPECT_EQ(tree.selectionModel()->selectedIndexes().value(0), tree.currentIndex());

    tree.OnChanging = [](TDBTree&, const TTreeNode&, bool&) { throw Abort(); };
    EXPECT_FALSE(tree.setSelectedCode("2"));
    EXPECT_EQ(currentCode(*ds), "101001");
}

TEST_F(TreeTest, KeyHookSwallowsKeys)
{
    ASSERT_TRUE(tree.setSelectedCode("1"));
    QList<int> seen;
    tree.OnKeyDown = [&](TDBTree&, int& key, Qt::KeyboardModifiers) {
        seen << key;
        if (key == Qt::Key_Down)
            key = 0;
    };
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.SelectedCode(), "1");
    tree.OnKeyDown = nullptr;
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.SelectedCode(), "2");
    EXPECT_EQ(seen, QList<int>{Qt::Key_Down});
}

TEST_F(TreeTest, StateImagesAndTextsComeFromTheCallbacks)
{
    QPixmap local(8, 8);
    local.fill(Qt::red);
    tree.setStateImages({QIcon(), QIcon(local)});
    tree.OnGetImageIndex = [](TDBTree&, const TTreeNode& node) {
        return node.lastLevel && node.aux != "P" ? 1 : -1;
    };
    EXPECT_FALSE(indexOf("101002").data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(indexOf("101001").data(Qt::DecorationRole).isNull());

    tree.OnGetText = [](TDBTree&, const TTreeNode& node) { return "[" + node.code + "]"; };
    EXPECT_EQ(tree.model()->index(0, 0).data().toString(), "[1]");
}

TEST_F(TreeTest, NewAndChangedCodesMoveTheirNodes)
{
    tree.expandAll();
    ds->Append();
    ds->FieldByName("CDPRATO")->setAsString("102");
    ds->FieldByName("NMPRATO")->setAsString("Massas");
    ds->Post();
    EXPECT_EQ(tree.NodeCount(), 9);
    EXPECT_EQ(tree.SelectedCode(), "102");
    EXPECT_EQ(tree.currentIndex().parent().data().toString(), "1 - Pratos base");
    EXPECT_TRUE(tree.isExpanded(indexOf("101"))); // kept through the rebuild

    ASSERT_TRUE(ds->Locate("CDPRATO", "305001"));
    ds->Edit();
    ds->FieldByName("CDPRATO")->setAsString("201002");
    ds->Post();
    EXPECT_EQ(tree.currentIndex().parent().data().toString(), "201 - Frutas");

    ds->Edit();
    ds->FieldByName("NMPRATO")->setAsString("Maçã");
    ds->Post();
    EXPECT_EQ(tree.currentIndex().data().toString(), "201002 - Maçã");
}

} // namespace
