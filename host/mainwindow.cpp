#include "mainwindow.h"

#include "framework/core/hostcontext.h"
#include "framework/ui/guard.h"
#include "package.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace host {

MainWindow::MainWindow(const Package& package, const QString& databaseText, QWidget* parent)
    : QMainWindow(parent), m_package(package), m_messages(new framework::TMessages(this, "msgPadrao"))
{
    setObjectName("frmPrincipal");
    setWindowTitle("Receita Padrão — Planejamento de Cardápios");
    m_messages->Add({
        {"FILI_DEVE", "Nenhuma filial cadastrada. Cadastre ao menos uma filial antes de usar a receita padrão."},
        {"Cad_PictPrat", "A máscara de código de prato não está cadastrada. Deseja abrir o cadastro de máscaras agora?"},
    });
    buildModuleMenu();
    buildContextPanel(databaseText);
    resize(800, 520);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible() && !child->close()) {
            event->ignore();
            return;
        }
    QMainWindow::closeEvent(event);
}

void MainWindow::buildModuleMenu()
{
    QMenu* menu = menuBar()->addMenu("&Módulos");
    menu->setObjectName("mnuModulos");
    const QStringList found = m_package.found();
    if (found.isEmpty()) {
        const QString text = m_package.isLoaded()
                                 ? QStringLiteral("O pacote Pkg_pla01300 não oferece funções de criação.")
                                 : QStringLiteral("Pacote Pkg_pla01300 não encontrado: nenhuma função disponível.");
        menu->addAction(text)->setEnabled(false);
    }
    for (const QString& name : found) {
        QAction* action = menu->addAction(Package::menuText(name));
        action->setObjectName("act" + name);
        if (!Package::callableFromMenu(name)) {
            action->setEnabled(false);
            action->setToolTip("Aberta a partir do formulário de receita.");
            continue;
        }
        framework::guardedConnect(action, &QAction::triggered, this, [this, name] { m_package.invoke(name); });
    }
    menu->addSeparator();
    QAction* quit = menu->addAction("&Sair", qApp, &QApplication::closeAllWindows);
    quit->setObjectName("actSair");
}

void MainWindow::buildContextPanel(const QString& databaseText)
{
    const auto& context = framework::hostContext();
    auto* panel = new QWidget(this);
    panel->setObjectName("panContexto");
    auto* form = new QFormLayout(panel);
    const auto row = [&](const QString& label, const QString& value) {
        auto* text = new QLabel(value, panel);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, text);
    };
    row("Filial em processamento:", context.FiliProc);
    row("Operador:", context.Operador);
    row("Módulo ativo:", context.ModuloAtiv + (context.ModuFili ? " (módulo de filial)" : " (módulo central)"));
    row("Data de processamento:", context.DataProc.toString("dd/MM/yyyy"));
    row("Servidor de aplicação:", context.WebURL.isEmpty()
                                      ? QStringLiteral("no próprio cliente")
                                      : QStringLiteral("%1:%2").arg(context.WebURL).arg(context.WebPort));
    row("Banco de dados:", databaseText);
    row("Máscara de prato:", context.DBPict(1).isEmpty() ? QStringLiteral("(não cadastrada)") : context.DBPict(1));
    row("Pacote:", m_package.isLoaded() ? m_package.fileName() : QStringLiteral("(não carregado)"));
    setCentralWidget(panel);
    statusBar()->showMessage(m_package.found().isEmpty() ? QStringLiteral("Nenhuma função de criação disponível.")
                                                         : QStringLiteral("Escolha uma função no menu Módulos."));
}

} // namespace host
