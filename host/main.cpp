#include "db/database.h"
#include "framework/abort.h"
#include "framework/core/freedmemory.h"
#include "framework/core/hostcontext.h"
#include "framework/forms/filereportengine.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/guard.h"
#include "hostdatabase.h"
#include "hostmodules.h"
#include "hostoptions.h"
#include "mainwindow.h"
#include "package.h"
#include "server/session.h"
#include "serverlogin.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

namespace {

int fail(bool headless, const QString& text)
{
    if (headless)
        std::fprintf(stderr, "%s\n", qPrintable(text));
    else
        QMessageBox::critical(nullptr, "Receita Padrão", text);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    app.setApplicationName("ReceitaPadrao");
    app.setOrganizationName("ReceitaPadrao");

    host::HostOptions options;
    QString error;
    if (!host::parseHostOptions(app.arguments(), options, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.contains("--") ? 0 : 2; // help text, or a bad option
    }
    const bool headless = !options.screenshot.isEmpty();

    auto& context = framework::hostContext();
    context.FiliProc = options.branch;
    context.Operador = options.operatorCode;
    context.ModuloAtiv = options.module;
    context.ModuFili = options.branchModule;
    context.DataProc = options.date;
    context.WebURL = options.serverHost;
    context.WebPort = options.serverPort;

    if (!options.serverHost.isEmpty()) {
        if (headless && options.password.isEmpty())
            return fail(headless, QStringLiteral("Informe a senha do operador com --password para usar o servidor de aplicação."));
        const QString failure = host::loginToServer(options);
        if (!failure.isEmpty())
            return fail(headless, failure);
        // The prompt may have logged in another operator: the calls are his.
        context.Operador = server::Session::instance().operatorCode();
    }

    const QString database = options.database.isEmpty() ? host::defaultDatabasePath() : options.database;
    try {
        host::openHostDatabase(database);
    } catch (const framework::Error& e) {
        return fail(headless, e.message());
    }

    framework::setReportEngine(std::make_unique<framework::FileReportEngine>(
        options.reports.isEmpty() ? framework::FileReportEngine::defaultDirectory() : options.reports));

    host::Package package;
    const QStringList paths = options.package.isEmpty()
                                  ? host::Package::candidatePaths(QCoreApplication::applicationDirPath())
                                  : QStringList{options.package};
    for (const QString& path : paths)
        if (QFileInfo::exists(path) && package.load(path))
            break;
    if (!options.package.isEmpty() && !package.isLoaded())
        std::fprintf(stderr, "Pacote não carregado: %s\n", qPrintable(package.errorString()));

    host::MainWindow window(package, db::Target::parse(database).describe());
    context.mainWindow = &window;
    context.loadModule = [&window](const QString& module, const QVariantList& args) {
        host::LoadBPL(module, args, &window);
    };
    window.show();
    if (!options.open.isEmpty())
        QTimer::singleShot(0, &window, [&] { framework::guarded([&] { package.invoke(options.open); }); });

    if (headless) {
        // Time for the window opened at start to activate and load its data.
        QTimer::singleShot(options.open.isEmpty() ? 0 : 500, &window, [&] {
            QWidget* shown = &window;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != &window && w->isVisible() && w->windowType() == Qt::Window)
                    shown = w; // the module's form, not a progress or message window
            framework::guarded([&] {
                if (!options.dish.isEmpty())
                    for (auto* tree : shown->findChildren<framework::TDBTree*>())
                        tree->setSelectedCode(options.dish);
                if (auto* page = options.page.isEmpty() ? nullptr : shown->findChild<QWidget*>(options.page))
                    for (auto* tabs : shown->findChildren<QTabWidget*>())
                        if (tabs->indexOf(page) >= 0)
                            tabs->setCurrentWidget(page);
            });
            QApplication::processEvents();

            const bool saved = shown->grab().save(options.screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "Não foi possível gravar %s\n", qPrintable(options.screenshot));
            app.exit(saved ? 0 : 1);
        });
    }
    const int status = app.exec();
    // The session at the application server ends with the program, not hours later.
    server::Session::instance().logout();
    return status;
}
