#include "fixture.h"

#include "framework/abort.h"
#include "framework/data/datapacket.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace framework;

// --- Message lists -----------------------------------------------------------------------------

TEST_F(UiTest, MessageKeysIgnoreLetterCaseAndFillArgumentsInOrder)
{
    TMessages msg(nullptr, QStringLiteral("msgPadrao"));
    msg.Add({{"upd_cdsPrato", "Atualizando pratos..."}, {"PESOPRATO", "Peso calculado do prato é %s. Confirma?"}});
    msg.Add(QStringLiteral("NIVEL_INV"), QStringLiteral("Nível deve estar entre 0 e %d (%s)."));

    EXPECT_EQ(msg.Msg("Upd_cdsPrato"), "Atualizando pratos...");
    EXPECT_TRUE(msg.Contains("UPD_CDSPRATO"));
    EXPECT_EQ(msg.Msg("pesoprato", {"1,50000 KG"}), "Peso calculado do prato é 1,50000 KG. Confirma?");
    EXPECT_EQ(msg.Msg("NIVEL_INV", {"3", "máximo"}), "Nível deve estar entre 0 e 3 (máximo).");
    // Missing arguments leave the placeholder; a text is never cut.
    EXPECT_EQ(msg.Msg("NIVEL_INV", {"3"}), "Nível deve estar entre 0 e 3 (%s).");
    // An argument holding a placeholder is not filled again.
    EXPECT_EQ(TMessages::fill("%s e %s", {"%s", "b"}), "%s e b");
}

TEST_F(UiTest, UnknownKeyNamesTheKeyAndStandardMessagesFillGaps)
{
    TMessages msg;
    EXPECT_TRUE(msg.Msg("SEM_CHAVE").contains("SEM_CHAVE"));
    EXPECT_EQ(msg.Msg("excl"), "Confirma a exclusão do registro?");
    EXPECT_EQ(msgMensagensPadroes().Msg("Canc"), "Confirma o cancelamento das alterações?");
    EXPECT_FALSE(msg.Msg("process").contains("process"));
}

TEST_F(UiTest, ShowMsgReturnsTheButtonAndRecordsKeyTextAndKind)
{
    TMessages msg;
    msg.Add(QStringLiteral("PRAT_EXIS"), QStringLiteral("Prato já cadastrado em árvore de filial. Continua?"));
    script->answer(mrNo);
    EXPECT_EQ(msg.ShowMsg("prat_exis", mtWarning, mbYes | mbNo), mrNo);
    EXPECT_EQ(msg.ShowMsg("Excl", mtInformation, mbOK), mrOk); // OK alone needs no answer

    ASSERT_EQ(script->messages().size(), 2);
    const auto first = script->messages()[0];
    EXPECT_EQ(first.key, "prat_exis");
    EXPECT_EQ(first.text, "Prato já cadastrado em árvore de filial. Continua?");
    EXPECT_EQ(first.kind, mtWarning);
    EXPECT_EQ(first.buttons, mbYes | mbNo);
    EXPECT_EQ(first.answer, mrNo);
}

TEST_F(UiTest, MensErroShowsAnErrorAndAbortsOnlyWhenAsked)
{
    EXPECT_THROW(MensErro(QStringLiteral("Código deve ser informado.")), Abort);
    EXPECT_NO_THROW(MensErro(QStringLiteral("Só aviso."), false));
    EXPECT_EQ(script->messageTexts(), QStringList({"Código deve ser informado.", "Só aviso."}));
    EXPECT_EQ(script->lastMessage().kind, mtError);
}

TEST_F(UiTest, CheckResultServShowsAServerFaultAndAborts)
{
    EXPECT_TRUE(CheckResultServ(QVariant::fromValue(DataPacket())));
    EXPECT_TRUE(CheckResultServ(QString()));
    const QVariant fault = QVariant::fromValue(ServerFault{QStringLiteral("Tabela PRATO indisponível.")});
    EXPECT_THROW(CheckResultServ(fault), Abort);
    EXPECT_THROW(CheckResultServ(fault, false), Abort);
    EXPECT_EQ(script->messageTexts(), QStringList({"Tabela PRATO indisponível."}));
}

// --- The guard ---------------------------------------------------------------------------------

TEST_F(UiTest, GuardSwallowsAbortSilentlyAndShowsEveryOtherFailure)
{
    guarded([] { throw Abort(); });
    EXPECT_TRUE(script->messages().isEmpty());

    guarded([] { throw Error(QStringLiteral("Unidade de medida não cadastrada.")); });
    guarded([] { throw std::runtime_error("falha de rede"); });
    guarded([] { throw 42; });
    EXPECT_EQ(script->messageTexts(),
              QStringList({"Unidade de medida não cadastrada.", "falha de rede", "Erro inesperado."}));
    for (const auto& message : script->messages())
        EXPECT_EQ(message.kind, mtError);
    EXPECT_FALSE(guardedOk([] { throw Abort(); }));
    EXPECT_TRUE(guardedOk([] {}));
}

TEST_F(UiTest, GuardedSlotsAndFiltersKeepExceptionsOutOfTheEventLoop)
{
    QPushButton button;
    QLineEdit edit;
    int runs = 0;
    guardedConnect(&button, &QPushButton::clicked, &button, [&] {
        ++runs;
        throw Error(QStringLiteral("Falhou no clique."));
    });
    guardedConnect(&edit, &QLineEdit::textChanged, &edit, [&](const QString& text) {
        if (text == "x")
            throw Abort();
    });
    button.click();
    edit.setText("x");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(script->messageTexts(), QStringList({"Falhou no clique."}));

    // A filter that throws consumes the event: the key never reaches the edit.
    installGuardedEventFilter(&edit, [](QObject*, QEvent* event) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F9)
            throw Abort();
        return false;
    });
    edit.clear();
    QTest::keyClick(&edit, Qt::Key_F9);
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(edit.text(), "ab");

    bool fired = false;
    guardedSingleShot(0, &edit, [&] {
        fired = true;
        throw Abort();
    });
    QTRY_VERIFY(fired);
    EXPECT_EQ(script->messages().size(), 1);
}

// --- The scripted face -------------------------------------------------------------------------

TEST_F(UiTest, AnUnansweredOrWronglyAnsweredQuestionFailsClearly)
{
    QStringList reported;
    script->onFailure = [&](const QString& failure) { reported << failure; };

    EXPECT_THROW(msgMensagensPadroes().ShowMsg("Excl", mtConfirmation, mbYes | mbNo), ScriptError);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains("Confirma a exclusão do registro?")) << reported[0].toStdString();

    script->answer(mrOk); // not a button this question offers
    EXPECT_THROW(msgMensagensPadroes().ShowMsg("Excl", mtConfirmation, mbYes | mbNo), ScriptError);
    script->fileName("a.rtf"); // a file name where a colour is asked
    EXPECT_THROW(EscolherCor(), ScriptError);
    EXPECT_EQ(script->failures().size(), 3);
    script->reset();

    // Inside a handler the guard turns the failure into a shown error, never a hang.
    guarded([] { PedirAutorizacaoSupervisor(4, "ALTERACAO_PRATO_PADRAO"); });
    EXPECT_EQ(reported.size(), 4);
    EXPECT_TRUE(script->lastMessage().text.contains("ALTERACAO_PRATO_PADRAO"));
}

TEST_F(UiTest, ScriptAnswersFilesColoursAndAuthorisationsInOrder)
{
    script->fileName("/tmp/modo.rtf").fileName("").color(QColor(0x11, 0x22, 0x33)).cancelColor();
    script->authorize("SUPER", "segredo").refuseAuthorization();

    FileRequest open;
    open.title = QStringLiteral("Abrir o Arquivo");
    EXPECT_EQ(AbrirArquivo(open), "/tmp/modo.rtf");
    EXPECT_EQ(SalvarArquivo(open), "");
    EXPECT_EQ(EscolherCor(), QColor(0x11, 0x22, 0x33));
    EXPECT_FALSE(EscolherCor().has_value());
    const auto granted = PedirAutorizacaoSupervisor(4, "INCLUSAO_PRATO_PADRAO");
    ASSERT_TRUE(granted.has_value());
    EXPECT_EQ(granted->user, "SUPER");
    EXPECT_EQ(granted->password, "segredo");
    EXPECT_FALSE(PedirAutorizacaoSupervisor(4, "INCLUSAO_PRATO_PADRAO").has_value());
}

// --- Progress window ---------------------------------------------------------------------------

TEST_F(UiTest, ProgressWindowNestsAndKeepsTheBusyCursorUntilTheOuterCallEnds)
{
    ActiveShowAvi(nullptr, 0, QStringLiteral("Carregando pratos..."));
    {
        ShowAviScope inner(nullptr, QStringLiteral("Atualizando pratos..."));
        EXPECT_TRUE(script->progressVisible());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_TRUE(script->progressVisible()); // the inner end does not close the outer window
    DeactiveShowAvi();
    DeactiveShowAvi(); // an extra end is harmless
    EXPECT_FALSE(script->progressVisible());
    EXPECT_FALSE(ShowAviActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(script->progressTexts(), QStringList({"Carregando pratos...", "Atualizando pratos..."}));

    // An exception leaving the scope still closes the window.
    EXPECT_THROW(([] {
                     ShowAviScope scope(nullptr, QStringLiteral("get_x"));
                     throw Abort();
                 }()),
                 Abort);
    EXPECT_FALSE(script->progressVisible());
}

// --- The Qt face -------------------------------------------------------------------------------

TEST(QtDialogs, MessageBoxesOfferTheAskedButtonsInPortugueseAndReturnThePressedOne)
{
    QtDialogs qt;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons())
            offered << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(qt.showMessage({"Excl", "Confirma a exclusão do registro?", mtConfirmation, mbYes | mbNo}), mrNo);
    offered.sort();
    EXPECT_EQ(offered, QStringList({"Não", "Sim"}));
}
