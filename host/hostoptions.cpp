#include "hostoptions.h"

#include <QCommandLineParser>

namespace host {

bool parseHostOptions(const QStringList& arguments, HostOptions& options, QString& error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Receita Padrão: cliente de planejamento de cardápios.");
    parser.addHelpOption();
    parser.addOptions({
        {"branch", "Filial em processamento (FiliProc).", "codigo", options.branch},
        {"operator", "Código do operador.", "codigo", options.operatorCode},
        {"module", "Módulo ativo (P, 8, L...).", "letra", options.module},
        {"branch-module", "Executa como módulo de filial (ModuFili)."},
        {"date", "Data de processamento (AAAA-MM-DD).", "data"},
        {"server", "Servidor de aplicação host:porta (https://host:porta para HTTPS); sem ele os objetos rodam no "
                   "próprio cliente.", "endereco"},
        {"password", "Senha do operador no servidor de aplicação (sem ela, é pedida ao iniciar).", "senha"},
        {"ca", "Certificados PEM em que confiar no servidor HTTPS (o certificado do próprio servidor).", "arquivo"},
        {"db", "Banco de dados: arquivo SQLite ou conexão PostgreSQL (host=... dbname=...).", "banco"},
        {"package", "Biblioteca do pacote Pkg_pla01300.", "arquivo"},
        {"reports", "Pasta das definições de relatório (padrão: reports ao lado do programa).", "pasta"},
        {"open", "Abre ao iniciar o formulário de uma função do pacote (ex.: CriaReceita).", "funcao"},
        {"screenshot", "Grava a primeira janela em PNG e encerra (com --open, a janela aberta).", "arquivo"},
        {"dish", "Com --screenshot: escolhe antes o prato na árvore do formulário.", "codigo"},
        {"page", "Com --screenshot: mostra antes a página com esse nome (ex.: tshPadrao).", "nome"},
    });
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet("help")) {
        error = parser.helpText();
        return false;
    }
    options.branch = parser.value("branch").trimmed().rightJustified(4, '0');
    options.operatorCode = parser.value("operator").trimmed().toUpper();
    options.module = parser.value("module").trimmed().toUpper();
    options.branchModule = parser.isSet("branch-module");
    if (parser.isSet("date")) {
        options.date = QDate::fromString(parser.value("date"), Qt::ISODate);
        if (!options.date.isValid()) {
            error = QStringLiteral("Data de processamento inválida: %1 (use AAAA-MM-DD).").arg(parser.value("date"));
            return false;
        }
    }
    if (parser.isSet("server")) {
        const QString address = parser.value("server");
        const int colon = address.lastIndexOf(':');
        bool ok = false;
        options.serverPort = colon > 0 ? address.mid(colon + 1).toInt(&ok) : 0;
        options.serverHost = colon > 0 ? address.left(colon) : QString();
        if (!ok || options.serverPort <= 0 || options.serverPort > 65535) {
            error = QStringLiteral("Servidor inválido: %1 (use host:porta).").arg(address);
            return false;
        }
    }
    options.password = parser.value("password");
    options.trustedCertificates = parser.value("ca");
    options.database = parser.value("db");
    options.package = parser.value("package");
    options.reports = parser.value("reports");
    options.open = parser.value("open");
    options.screenshot = parser.value("screenshot");
    options.dish = parser.value("dish");
    options.page = parser.value("page");
    return true;
}

} // namespace host
