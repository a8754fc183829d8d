#include "appserver/httpserver.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "host/hostdatabase.h"
#include "host/hostmodules.h"
#include "host/hostoptions.h"
#include "host/mainwindow.h"
#include "host/package.h"
#include "host/serverlogin.h"
#include "server/session.h"
#include "framework/ui/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using host::HostOptions;
using host::Package;

namespace {

bool parse(const QStringList& args, HostOptions& options, QString& error)
{
    return host::parseHostOptions(QStringList{"host"} + args, options, error);
}

QStringList menuTexts(const host::MainWindow& window)
{
    QStringList texts;
    for (QAction* action : window.findChild<QMenu*>("mnuModulos")->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

} // namespace

TEST(HostOptions, ContextComesFromTheCommandLine)
{
    HostOptions options;
    QString error;
    ASSERT_TRUE(parse({"--branch", "3", "--operator", "superv", "--module", "p", "--branch-module", "--date",
                       "2026-03-15", "--server", "localhost:8210", "--db", "/tmp/x.db", "--password", "segredo", "--ca", "/tmp/ca.pem"},
                      options, error))
        << error.toStdString();
    EXPECT_EQ(options.branch, "0003");
    EXPECT_EQ(options.operatorCode, "SUPERV");
    EXPECT_EQ(options.module, "P");
    EXPECT_TRUE(options.branchModule);
    EXPECT_EQ(options.date, QDate(2026, 3, 15));
    EXPECT_EQ(options.serverHost, "localhost");
    EXPECT_EQ(options.serverPort, 8210);
    EXPECT_EQ(options.database, "/tmp/x.db");
    EXPECT_EQ(options.password, "segredo");
    EXPECT_EQ(options.trustedCertificates, "/tmp/ca.pem");

    HostOptions bad;
    EXPECT_FALSE(parse({"--server", "localhost"}, bad, error));
    EXPECT_TRUE(error.contains("host:porta"));
    EXPECT_FALSE(parse({"--date", "15/03/2026"}, bad, error));
    EXPECT_FALSE(parse({"--server", "localhost:99999"}, bad, error));
}

TEST(HostPackage, ResolvesTheCreationFunctionsByNameAndCallsThem)
{
    Package package;
    ASSERT_TRUE(package.load(FAKE_PACKAGE)) << package.errorString().toStdString();
    EXPECT_EQ(package.found(), QStringList({"CriaReceita", "IniProc"}));

    host::MainWindow window(package, "teste");
    EXPECT_EQ(menuTexts(window).mid(0, 2), QStringList({Package::menuText("CriaReceita"), Package::menuText("IniProc")}));

    QLibrary probe(FAKE_PACKAGE);
    auto calls = reinterpret_cast<int (*)()>(probe.resolve("fakeReceitaCalls"));
    auto branch = reinterpret_cast<const char* (*)()>(probe.resolve("fakeLastBranch"));
    ASSERT_TRUE(calls && branch);
    window.findChild<QAction*>("actCriaReceita")->trigger();
    EXPECT_EQ(calls(), 1);
    framework::hostContext().FiliProc = "0004";
    package.invoke("IniProc");
    EXPECT_STREQ(branch(), "0004");
    EXPECT_THROW(package.invoke("CriaNutrPrat"), framework::Error); // not in this package
    framework::hostContext().reset();
}

TEST(HostPackage, TheRecipePackageAnswersThroughTheHostsContextAndMessages)
{
    Package package;
    ASSERT_TRUE(package.load(RECIPE_PACKAGE)) << package.errorString().toStdString();
    EXPECT_TRUE(package.found().contains("CriaReceita"));
    EXPECT_TRUE(package.found().contains("IniProc"));

    QTemporaryDir dir;
    db::Target target;
    target.path = dir.filePath("pacote.db");
    QSqlDatabase database = db::openAndMigrate(target, "pacote");
    auto& context = framework::hostContext();
    context.databaseConnection = "pacote";
    auto& script = framework::installScriptedDialogs();
    host::MainWindow window(package, "teste");
    context.mainWindow = &window;

    // No branch yet: the package shows the host's own message and opens nothing.
    package.invoke("CriaReceita");
    EXPECT_EQ(script.messageKeys(), QStringList{"FILI_DEVE"});

    db::createDemoData(database);
    host::loadPictures();
    package.invoke("CriaReceita");
    QWidget* form = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmReceitaPadrao")
            form = w;
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    form->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    context.reset();
}

TEST(HostPackage, WithoutThePackageTheMenuSaysSo)
{
    Package package;
    EXPECT_FALSE(package.load("/nao/existe/libPkg_pla01300.so"));
    host::MainWindow window(package, "teste");
    const QStringList texts = menuTexts(window);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts.first().contains("não encontrado"));

    auto* messages = window.findChild<framework::TMessages*>("msgPadrao");
    ASSERT_NE(messages, nullptr);
    EXPECT_TRUE(messages->Contains("FILI_DEVE"));
    EXPECT_TRUE(messages->Contains("Cad_PictPrat"));
}

TEST(HostDatabase, FirstStartCreatesTheDemoDatabaseAndItsPictures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dados/receita.db");
    host::openHostDatabase(path);
    auto& context = framework::hostContext();
    EXPECT_EQ(context.databaseConnection, host::DatabaseConnection);
    EXPECT_EQ(context.DBPict(1), "9.99.999.9999");
    EXPECT_EQ(context.DBPict(0), "9.99.999.9999");
    {
        QSqlQuery q(QSqlDatabase::database(host::DatabaseConnection));
        ASSERT_TRUE(q.exec("SELECT COUNT(*) FROM FILIAL") && q.next());
        EXPECT_GT(q.value(0).toInt(), 0);
    }
    host::openHostDatabase(path); // the second start keeps the data it finds
    QSqlDatabase::database(host::DatabaseConnection).close();
    QSqlDatabase::removeDatabase(host::DatabaseConnection);
    context.reset();
}

TEST(HostModules, ModulesOfTheMainSystemAnswerWithAMessage)
{
    try {
        host::LoadBPL("PLA01301", {1, "1010010001"});
        FAIL() << "expected a refusal";
    } catch (const framework::Error& e) {
        EXPECT_TRUE(e.message().contains("PLA01301"));
        EXPECT_TRUE(e.message().contains("não está disponível"));
    }
}

TEST(HostServerLogin, TheOperatorEntersWithThePasswordOptionOrIsAsked)
{
    QTemporaryDir dir;
    db::Target target;
    target.path = dir.filePath("servidor.db");
    {
        QSqlDatabase database = db::openAndMigrate(target, "login");
        db::createDemoData(database);
        database.close();
    }
    QSqlDatabase::removeDatabase("login");
    appserver::HttpServer daemon(target);
    daemon.setLogger([](const QString&) {});
    HostOptions options;
    options.serverHost = "127.0.0.1";
    options.serverPort = daemon.start("127.0.0.1", 0);
    options.operatorCode = db::DemoOperator;
    auto& script = framework::installScriptedDialogs();
    server::Session::instance().clear();

    options.password = db::DemoOperatorPassword;
    EXPECT_EQ(host::loginToServer(options), "");
    EXPECT_FALSE(server::Session::instance().token("127.0.0.1", options.serverPort).isEmpty());

    // A wrong password option: the prompt asks, and shows why; an empty operator keeps the option's.
    server::Session::instance().clear();
    options.password = "errada";
    script.authorize("", "outra").authorize("", db::DemoOperatorPassword);
    EXPECT_EQ(host::loginToServer(options), "");
    EXPECT_EQ(script.pendingAnswers(), 0);

    server::Session::instance().clear();
    options.password.clear();
    script.refuseAuthorization();
    EXPECT_EQ(host::loginToServer(options), "Entrada no servidor de aplicação cancelada.");
    EXPECT_TRUE(server::Session::instance().token("127.0.0.1", options.serverPort).isEmpty());
    server::Session::instance().clear();
    framework::setDialogService(nullptr);
}
