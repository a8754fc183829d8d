#include "fixture.h"

#include "framework/abort.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbdateedit.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbnavigator.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/shape.h"

#include <QToolButton>

using namespace framework;

namespace {

// A dish list bound to a data source, in a shown window.
class BoundTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ds = threeDishes();
        dts.setDataSet(ds.get());
    }
    Field* field(const char* name) const { return ds->FieldByName(name); }

    std::unique_ptr<ClientDataSet> ds;
    DataSource dts{nullptr, QStringLiteral("dtsPrato")};
    TestWindow win;
};

} // namespace

TEST_F(BoundTest, TypingIntoAMaskedEditReachesTheFieldThroughItsTextHandler)
{
    auto* dbeTempo = win.add(new TDBEdit(&win.window, "dbeTempo"));
    dbeTempo->setEditMask("!999:99;0; ");
    dbeTempo->setDataSource(&dts);
    dbeTempo->setDataField("HRTEMPO");
    QStringList handled;
    field("HRTEMPO")->OnSetText = [&](Field& f, const QString& text) {
        handled << text;
        f.setAsString("h" + text.trimmed());
    };
    ASSERT_TRUE(win.show());

    dbeTempo->setFocus();
    dbeTempo->home(false);
    QTest::keyClicks(dbeTempo, "01230");
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit); // typing put the dataset into edit
    win.leaveTo(win.spare);
    EXPECT_EQ(handled, QStringList({"01230"}));
    EXPECT_EQ(field("HRTEMPO")->AsString(), "h01230");
    ds->Post();
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);
}

TEST_F(BoundTest, AnUppercaseCodeMaskAndAPendingEditWrittenBeforePost)
{
    auto* dbeCod = win.add(new TDBEdit(&win.window, "dbeCdFilial"));
    field("CDPRATO")->setEditMask(">aaaa"); // the field's mask applies when the edit has none
    dbeCod->setDataSource(&dts);
    dbeCod->setDataField("CDPRATO");
    ASSERT_TRUE(win.show());
    EXPECT_EQ(dbeCod->inputMask(), ">nnnn;_");

    dbeCod->setFocus();
    dbeCod->selectAll();
    QTest::keyClicks(dbeCod, "ab1");
    EXPECT_EQ(dbeCod->Text(), "AB1");
    // Still in the edit: posting writes the typing first.
    ds->Post();
    EXPECT_EQ(field("CDPRATO")->AsString(), "AB1");
}

TEST_F(BoundTest, AClickAmongTheMasksBlanksTypesAfterWhatWasTyped)
{
    auto* medCod = win.add(new TMaskEdit(&win.window, "medCdPrato"));
    medCod->setEditMask("9999999999");
    medCod->setMinimumWidth(300);
    ASSERT_TRUE(win.show());
    const QPoint right(medCod->width() - 8, medCod->height() / 2);
    QTest::mouseClick(medCod, Qt::LeftButton, {}, right);
    QTest::keyClicks(medCod, "2010");
    EXPECT_EQ(medCod->Text(), "2010");
    QTest::mouseClick(medCod, Qt::LeftButton, {}, right);
    QTest::keyClicks(medCod, "010001");
    EXPECT_EQ(medCod->Text(), "2010010001");

    // The form handing the focus to an emptied edit whose cursor was left at the end.
    medCod->setText("");
    medCod->setCursorPosition(10);
    win.leaveTo(win.spare);
    medCod->setFocus();
    QTest::keyClicks(medCod, "1010");
    EXPECT_EQ(medCod->Text(), "1010");
}

TEST_F(BoundTest, AnotherWindowTakingTheFocusIsNotLeavingTheEdit)
{
    auto* medCod = win.add(new TMaskEdit(&win.window, "medCdFilial"));
    ASSERT_TRUE(win.show());
    int exits = 0;
    QObject::connect(medCod, &TMaskEdit::exited, [&] { ++exits; });
    // The message of the edit's own check becomes the active window: the check must not run again.
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(medCod, &deactivated);
    EXPECT_EQ(exits, 0);
    QFocusEvent tabbed(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(medCod, &tabbed);
    EXPECT_EQ(exits, 1);
}

TEST_F(BoundTest, RefusedTextsKeepTheFocusAndRefusedEditsSwallowTheKey)
{
    auto* dbeNome = win.add(new TDBEdit(&win.window, "dbeNmPrato"));
    dbeNome->setDataSource(&dts);
    dbeNome->setDataField("NMPRATO");
    field("NMPRATO")->OnSetText = [](Field& f, const QString& text) {
        if (text.trimmed().isEmpty())
            MensErro(QStringLiteral("Nome deve ser informado."));
        f.setAsString(text);
    };
    ASSERT_TRUE(win.show());

    dbeNome->setFocus();
    dbeNome->selectAll();
    QTest::keyClick(dbeNome, Qt::Key_Delete);
    win.leaveTo(win.spare);

    EXPECT_EQ(script->messageTexts(), QStringList({"Nome deve ser informado."}));
    QTRY_VERIFY(dbeNome->hasFocus()); // the focus came back
    EXPECT_EQ(field("NMPRATO")->AsString(), "Arroz branco");

    // The same typing, still pending, refuses the post.
    EXPECT_THROW(ds->Post(), Abort);
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit);
    EXPECT_EQ(script->messages().size(), 2);

    QTest::keyClick(dbeNome, Qt::Key_Escape); // drops the typing
    EXPECT_EQ(dbeNome->text(), "Arroz branco");
    ds->Cancel();

    ds->BeforeEdit = [](ClientDataSet&) { throw Abort(); };
    dbeNome->selectAll();
    QTest::keyClicks(dbeNome, "x");
    EXPECT_EQ(dbeNome->text(), "Arroz branco");
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);
}

TEST_F(BoundTest, EditsFollowTheDatasetsRecordAndState)
{
    auto* dbeNome = win.add(new TDBEdit(&win.window, "dbeNmPrato"));
    auto* dbePeso = win.add(new TDBNumberEdit(&win.window, "dbePeso"));
    dbeNome->setDataField("NMPRATO");
    dbePeso->setDataField("QTPESO");
    dbePeso->setDecimals(3);
    EXPECT_TRUE(dbeNome->isReadOnly()); // nothing bound yet
    dbeNome->setDataSource(&dts);
    dbePeso->setDataSource(&dts);
    EXPECT_FALSE(dbeNome->isReadOnly());
    EXPECT_EQ(dbeNome->text(), "Arroz branco");
    EXPECT_EQ(dbeNome->maxLength(), 40);

    ds->Next();
    EXPECT_EQ(dbeNome->text(), "Feijão carioca");
    ds->Edit();
    field("QTPESO")->setAsFloat(1234.5);
    EXPECT_EQ(dbePeso->text(), "1.234,500");
    ASSERT_TRUE(win.show());
    dbePeso->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(dbePeso->text(), "1234,500");
    dbePeso->selectAll();
    QTest::keyClicks(dbePeso, "7a,25"); // the letter is refused by the edit
    win.leaveTo(win.spare);
    EXPECT_DOUBLE_EQ(field("QTPESO")->AsFloat(), 7.25);
    EXPECT_EQ(dbePeso->text(), "7,250");
    field("NMPRATO")->setReadOnly(true);
    dbeNome->setDataField("NMPRATO");
    EXPECT_TRUE(dbeNome->isReadOnly());
    ds->Close();
    EXPECT_TRUE(dbeNome->text().isEmpty());
}

TEST_F(BoundTest, DateEditStoresDatesAndRefusesOtherTexts)
{
    auto* dbeData = win.add(new TDBDateEdit(&win.window, "dbeDtCad"));
    dbeData->setDataSource(&dts);
    dbeData->setDataField("DTCAD");
    ASSERT_TRUE(win.show());
    dbeData->setFocus();
    dbeData->home(false);
    QTest::keyClicks(dbeData, "31122024");
    win.leaveTo(win.spare);
    EXPECT_EQ(field("DTCAD")->AsDateTime().date(), QDate(2024, 12, 31));

    dbeData->setFocus();
    dbeData->home(false);
    QTest::keyClicks(dbeData, "3102");
    win.leaveTo(win.spare);
    EXPECT_TRUE(script->lastMessage().text.contains("não é uma data válida"));
    EXPECT_EQ(field("DTCAD")->AsDateTime().date(), QDate(2024, 12, 31));
}

TEST_F(BoundTest, CheckBoxAndCombosWriteTheirValuesWhenTheUserChooses)
{
    auto* chk = win.add(new TDBCheckBox(&win.window, "dbcAtivo"));
    chk->setDataSource(&dts);
    chk->setDataField("IDATIVO");
    EXPECT_TRUE(chk->isChecked());
    chk->click();
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit);
    EXPECT_EQ(field("IDATIVO")->AsString(), "N");
    EXPECT_FALSE(chk->isChecked());
    ds->Cancel();
    EXPECT_TRUE(chk->isChecked());
    chk->setReadOnly(true);
    chk->click();
    EXPECT_TRUE(chk->isChecked());
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);

    auto* dcb = win.add(new TDBComboBox(&win.window, "dcbStatus"));
    dcb->setItems({"Ativo", "Inativo"});
    dcb->setValues({"S", "N"});
    dcb->setDataSource(&dts);
    dcb->setDataField("IDATIVO");
    EXPECT_EQ(dcb->currentIndex(), 0);
    ASSERT_TRUE(win.show());
    dcb->setFocus();
    QTest::keyClick(dcb, Qt::Key_Down);
    EXPECT_EQ(field("IDATIVO")->AsString(), "N");
    ds->Post();

    // A lookup list: names shown, codes stored.
    auto units = makeDishes({{"KG", "Quilograma"}, {"L", "Litro"}});
    DataSource dtsUnidade;
    dtsUnidade.setDataSet(units.get());
    auto* dlc = win.add(new TDBLookupComboBox(&win.window, "dlcUnidade"));
    dlc->setListSource(&dtsUnidade);
    dlc->setKeyField("CDPRATO");
    dlc->setListField("NMPRATO");
    dlc->setDataSource(&dts);
    dlc->setDataField("CDPRATO");
    ASSERT_EQ(dlc->count(), 2);
    EXPECT_EQ(dlc->itemText(0), "Quilograma");
    EXPECT_EQ(dlc->currentIndex(), -1); // the current code is no unit
    dlc->setFocus();
    QTest::keyClick(dlc, Qt::Key_Down);
    EXPECT_EQ(field("CDPRATO")->AsString(), "KG");
    EXPECT_EQ(dlc->currentIndex(), 0);
}

TEST_F(BoundTest, NavigatorMovesAndAsksBeforeDeleting)
{
    TDBNavigator nav(nullptr, "dbnNavFoto");
    nav.setVisibleButtons({TDBNavigator::nbFirst, TDBNavigator::nbPrior, TDBNavigator::nbNext,
                           TDBNavigator::nbLast, TDBNavigator::nbDelete});
    nav.setDataSource(&dts);
    EXPECT_FALSE(nav.button(TDBNavigator::nbPrior)->isEnabled());
    EXPECT_TRUE(nav.button(TDBNavigator::nbNext)->isEnabled());
    nav.button(TDBNavigator::nbLast)->click();
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_FALSE(nav.button(TDBNavigator::nbNext)->isEnabled());

    script->answer(mrNo).answer(mrYes);
    nav.button(TDBNavigator::nbDelete)->click();
    EXPECT_EQ(ds->RecordCount(), 3);
    nav.button(TDBNavigator::nbDelete)->click();
    EXPECT_EQ(ds->RecordCount(), 2);
    EXPECT_EQ(script->lastMessage().key, "Excl");
    ds->Edit();
    EXPECT_FALSE(nav.button(TDBNavigator::nbFirst)->isEnabled()); // no moves while editing
}

TEST(Colours, FieldNumbersAreRgbWithRedInTheHighByte)
{
    EXPECT_EQ(colorFromNumber(double(0xC62828)), QColor(0xC6, 0x28, 0x28));
    EXPECT_EQ(numberFromColor(QColor(0x11, 0x22, 0x33)), double(0x112233));
    EXPECT_FALSE(colorFromNumber(QVariant()).isValid());
    EXPECT_FALSE(colorFromNumber(-1).isValid());
}
