#pragma once

// The recipe form opened through the package's entry points, as the host calls them, on a demo
// database served in process, with the scripted dialog face recording what the user sees.
#include "framework/core/hostcontext.h"
#include "framework/data/datasource.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"
#include "host/hostdatabase.h"
#include "module/pkg_pla01300.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/record/registroprato.h"
#include "recipe/core/tabelapaginas.h"
#include "testdatabase.h"

#include <QApplication>
#include <QPointer>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failures for Qt texts and values.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) { *os << texts.join(" | ").toStdString(); }
inline void PrintTo(const QVariant& value, std::ostream* os) { *os << value.toString().toStdString(); }

// The dish record page's controls of the form.
inline const recipe::ControlesRegistro& controles(const TfrmReceitaPadrao* form) { return form->Registro().controles(); }

class RecipeFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = &framework::installScriptedDialogs();
        script->onFailure = [](const QString& failure) { ADD_FAILURE() << failure.toStdString(); };
        if (!testdb::available(backend))
            GTEST_SKIP() << "TEST_PG_CONN is not set";
        database = std::make_unique<testdb::TestDatabase>(backend);
        framework::HostContext& context = framework::hostContext();
        context.reset();
        context.databaseConnection = database->connectionName();
        context.FiliProc = QStringLiteral("0002");
        context.Operador = QStringLiteral("NUTRI");
        context.ModuloAtiv = QStringLiteral("8");
        context.loadModule = [this](const QString& module, const QVariantList&) { opened << module; };
        host::loadPictures();
        mainWindow = std::make_unique<QWidget>();
        context.mainWindow = mainWindow.get();
        auto* messages = new framework::TMessages(mainWindow.get(), QStringLiteral("msgPadrao"));
        messages->Add({{"FILI_DEVE", "Cadastre uma filial."}, {"Cad_PictPrat", "Cadastrar a máscara de prato?"}});
        Cli_pla01300::boConsulta = false;
        Cli_pla01300::stFilialC.clear();
    }

    void TearDown() override
    {
        if (TfrmReceitaPadrao* form = Cli_pla01300::frmReceitaPadrao) {
            // A test may end with changes not confirmed: the user gives them up.
            if (!form->paginas().pendentes().isEmpty())
                script->answer(framework::mrNo);
            form->close();
        }
        QApplication::processEvents();
        delete Cli_pla01300::frmReceitaPadrao;
        Cli_pla01300::frmReceitaPadrao = nullptr;
        Cli_pla01300::boIdCriado = false;
        framework::hostContext().reset();
    }

    void exec(const QString& sql)
    {
        QSqlQuery query(database->db());
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
    }

    // The first column of the first row of a query on the test database (invalid when none).
    QVariant value(const QString& sql)
    {
        QSqlQuery query(database->db());
        if (!query.exec(sql) || !query.next())
            return {};
        return query.value(0);
    }

    // Opens the form and brings its window to the front, as a user clicking the host's menu.
    TfrmReceitaPadrao* open()
    {
        CriaReceita();
        TfrmReceitaPadrao* form = Cli_pla01300::frmReceitaPadrao;
        if (form) {
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form));
        }
        return form;
    }

    // The user goes to another window and comes back.
    static void reactivate(QWidget* form)
    {
        QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
        QApplication::sendEvent(form, &deactivate);
        QApplication::sendEvent(form, &activate);
    }

    testdb::Backend backend = testdb::Backend::Sqlite; // a derived fixture may choose PostgreSQL
    framework::ScriptedDialogs* script = nullptr;
    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<QWidget> mainWindow;
    QStringList opened;
};
