// The dish photos driven as a user: numbering and activation through the server, pictures
// opened from files as they are, the empty picture refused, the deactivated photo that only
// beeps, the standard photo's blocks and the service sub-page without a service.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbimage.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class FotoTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(dir.isValid());
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "JPG"));
        write("prato.jpg", jpeg);
        image.fill(Qt::red);
        QBuffer other(&bmp);
        other.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&other, "BMP"));
        write("prato.bmp", bmp);
        write("vazia.jpg", {});
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus();
        QApplication::processEvents();
        fil = form->findChild<ClientDataSet*>("cdsFotoPraFil");
        ASSERT_NE(fil, nullptr);
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void showBranch(const QString& dish)
    {
        form->findChild<TMaskEdit*>("medCdFiliFto")->setText(QStringLiteral("0002"));
        ASSERT_TRUE(form->dbaPadrao->setSelectedCode(dish));
        form->pgcPadrao->setCurrentWidget(form->tshFoto);
        form->pgcFoto->setCurrentWidget(form->tshFotoFil);
        QApplication::processEvents();
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    void click(const char* name)
    {
        auto* button = form->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    // Incluir, "Abrir Foto" on the file, Confirmar.
    void newPhoto(const QString& file)
    {
        press(form->mnuIncluir);
        script->fileName(dir.filePath(file));
        click("sbtAbrirFto");
        press(form->mnuConfirmar);
    }
    QString sql(const QString& text) { return value(text).toString(); }

    QTemporaryDir dir;
    QByteArray jpeg, bmp;
    TfrmReceitaPadrao* form = nullptr;
    ClientDataSet* fil = nullptr;
};

} // namespace

TEST_F(FotoTest, FirstPhotoIsActiveAndFittedAndItsFileIsStoredUnchanged)
{
    showBranch("2020010001");
    EXPECT_EQ(form->dtsPadrao->DataSet(), fil);
    EXPECT_TRUE(fil->IsEmpty());
    press(form->mnuIncluir);
    ASSERT_EQ(fil->state(), State::Insert);
    EXPECT_EQ(fil->FieldByName("NRFOTOPRAFIL")->AsString(), "01");
    EXPECT_EQ(fil->FieldByName("IDFOTOPRAFIL")->AsString(), "1");
    EXPECT_EQ(fil->FieldByName("IDAJUSFOTFIL")->AsString(), "S");
    EXPECT_EQ(form->findChild<TDBEdit*>("dbeNrFoto")->text(), "01");
    script->fileName(dir.filePath("prato.jpg"));
    click("sbtAbrirFto");
    EXPECT_FALSE(form->findChild<TDBImage*>("imgFtoFili")->image().isNull());
    press(form->mnuConfirmar);
    EXPECT_EQ(fil->ChangeCount(), 0);
    EXPECT_EQ(sql("SELECT NRFOTOPRAFIL || IDFOTOPRAFIL || IDAJUSFOTFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001'"),
              "011S");
    EXPECT_EQ(value("SELECT FGFOTOPRAFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001'").toByteArray(), jpeg);
    EXPECT_EQ(form->findChild<QLabel*>("lblAtivDesat")->text(), "Ativada");
    EXPECT_TRUE(form->findChild<QToolButton*>("sbtDesativaFto")->isVisibleTo(form));
}

TEST_F(FotoTest, AnEmptyFileLeavesNoPictureAndThePostIsRefused)
{
    showBranch("2020010001");
    press(form->mnuIncluir);
    script->fileName(dir.filePath("vazia.jpg"));
    click("sbtAbrirFto");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().key, "FOTO_EMPTY");
    EXPECT_EQ(script->lastMessage().text, "Foto deve ser informada.");
    EXPECT_EQ(fil->state(), State::Insert);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM FOTOPRAFIL WHERE CDPRATO = '2020010001'"), "0");
}

TEST_F(FotoTest, ActivatingASecondPhotoDeactivatesTheFirstAndADeactivatedOneOnlyBeeps)
{
    showBranch("2020010001");
    newPhoto("prato.jpg");
    newPhoto("prato.bmp");
    EXPECT_EQ(sql("SELECT IDFOTOPRAFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001' AND NRFOTOPRAFIL = '02'"), "2");
    EXPECT_EQ(value("SELECT FGFOTOPRAFIL FROM FOTOPRAFIL WHERE NRFOTOPRAFIL = '02'").toByteArray(), bmp);

    // The second photo is deactivated: "Abrir Foto" asks for no file.
    ASSERT_TRUE(fil->Locate("NRFOTOPRAFIL", "02"));
    QApplication::processEvents();
    EXPECT_EQ(form->findChild<QLabel*>("lblAtivDesat")->text(), "Desativada");
    EXPECT_TRUE(form->findChild<TDBImage*>("imgFtoFili")->ReadOnly());
    click("sbtAbrirFto");
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_TRUE(script->failures().isEmpty());
    EXPECT_EQ(fil->state(), State::Browse);

    click("sbtAtivaFto");
    EXPECT_EQ(sql("SELECT NRFOTOPRAFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001' AND IDFOTOPRAFIL = '1'"), "02");
    EXPECT_EQ(sql("SELECT IDFOTOPRAFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001' AND NRFOTOPRAFIL = '01'"), "2");
    EXPECT_EQ(fil->ChangeCount(), 0);
    EXPECT_EQ(fil->FieldByName("NRFOTOPRAFIL")->AsString(), "02");
    EXPECT_EQ(form->findChild<QLabel*>("lblAtivDesat")->text(), "Ativada");
}

TEST_F(FotoTest, StandardPhotosOfTheDemoShowAndAServiceWithoutCodeAsksNothing)
{
    ASSERT_TRUE(form->dbaPadrao->setSelectedCode("2010010001"));
    form->pgcPadrao->setCurrentWidget(form->tshFoto);
    form->pgcFoto->setCurrentWidget(form->tshFotoPad);
    QApplication::processEvents();
    auto* pad = form->findChild<ClientDataSet*>("cdsFotoPraPad");
    EXPECT_EQ(pad->RecordCount(), 2); // drawn by the demo
    EXPECT_FALSE(form->findChild<TDBImage*>("imgFtoPad")->image().isNull());
    EXPECT_FALSE(form->mnuProcurar->isEnabled());

    script->reset();
    form->findChild<TMaskEdit*>("medCdFiliServFto")->setText(QStringLiteral("0002"));
    form->findChild<TMaskEdit*>("medCdServFto")->clear();
    form->pgcFoto->setCurrentWidget(form->tshFotoSer);
    QApplication::processEvents();
    EXPECT_FALSE(script->progressTexts().contains("Carregando foto do prato (Serviço)..."));
    EXPECT_EQ(form->findChild<ClientDataSet*>("cdsFotoPraSer")->RecordCount(), 0);

    // In a branch module the standard photos are not changed.
    hostContext().ModuFili = true;
    form->pgcFoto->setCurrentWidget(form->tshFotoPad);
    QApplication::processEvents();
    press(form->mnuIncluir);
    EXPECT_EQ(script->lastMessage().key, "FOTOPRAT_N_INC");
    EXPECT_EQ(pad->state(), State::Browse);
    hostContext().ModuFili = false;
}

// The pages menu reaches each photo sub-page and checks the item of the one shown, whichever way
// it was reached; while a photo is being edited it leaves the page where it is.
TEST_F(FotoTest, ThePagesMenuShowsEachSubPageAndChecksTheOneShown)
{
    ASSERT_TRUE(form->dbaPadrao->setSelectedCode("2010010001"));
    const auto item = [this](const char* name) { return form->findChild<QAction*>(QString::fromLatin1(name)); };
    const auto checked = [&] {
        QStringList names;
        for (const char* name : {"mnuFotoPadrao", "mnuFotoLocal", "mnuFotoServico"})
            if (item(name)->isChecked())
                names << QString::fromLatin1(name);
        return names;
    };
    press(item("mnuFotoLocal"));
    EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshFoto);
    EXPECT_EQ(form->pgcFoto->currentWidget(), form->tshFotoFil);
    EXPECT_EQ(checked(), QStringList{"mnuFotoLocal"});
    form->pgcFoto->setCurrentWidget(form->tshFotoPad);
    QApplication::processEvents();
    EXPECT_EQ(checked(), QStringList{"mnuFotoPadrao"});

    press(form->mnuIncluir);
    ASSERT_EQ(form->findChild<ClientDataSet*>("cdsFotoPraPad")->state(), State::Insert);
    press(item("mnuFotoServico"));
    EXPECT_EQ(form->pgcFoto->currentWidget(), form->tshFotoPad);
    EXPECT_EQ(checked(), QStringList{"mnuFotoPadrao"});
    script->answer(mrYes); // cancel the new photo
    press(form->mnuCancelar);
}
