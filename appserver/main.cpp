#include "db/database.h"
#include "db/migrations.h"
#include "framework/abort.h"
#include "framework/core/freedmemory.h"
#include "httpserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <csignal>
#include <cstdio>
#include <pthread.h>

// appserver --db <SQLite file or PostgreSQL connection string> --port N [--host 127.0.0.1]
//           [--cert certificate.pem --key key.pem] [--max-body-mb 64] [--proxy 127.0.0.1 ...]
// SIGTERM (or SIGINT) stops it: it takes no more connections, answers the requests already
// sent, and exits with 0.
int main(int argc, char** argv)
{
    // SIGTERM and SIGINT are taken by sigwait below; block them before any thread starts so
    // that no worker thread receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    framework::keepFreedMemoryForReuse();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Servidor de aplicação da Receita Padrão.");
    parser.addHelpOption();
    parser.addOption({"db", "Arquivo SQLite ou conexão PostgreSQL (host=... dbname=...).", "banco"});
    parser.addOption({"port", "Porta TCP (0: uma porta livre).", "porta", "8210"});
    parser.addOption({"host", "Endereço em que escuta (0.0.0.0: todos).", "endereco", "127.0.0.1"});
    parser.addOption({"cert", "Certificado PEM: serve HTTPS (com --key).", "arquivo"});
    parser.addOption({"key", "Chave privada PEM do certificado.", "arquivo"});
    parser.addOption({"max-body-mb", "Tamanho máximo de uma requisição, em MiB.", "MiB", "64"});
    parser.addOption({"proxy", "Endereço de um balanceador à frente (repetível): de lá, o cliente é o último do "
                               "X-Forwarded-For.", "endereco"});
    parser.process(app);
    if (!parser.isSet("db")) {
        std::fprintf(stderr, "Informe o banco de dados com --db.\n");
        return 2;
    }
    qSetMessagePattern("%{time yyyy-MM-ddTHH:mm:ss.zzz} %{message}");

    const db::Target target = db::Target::parse(parser.value("db"));
    try {
        // The schema is created or brought up to date once, before serving.
        QSqlDatabase database = db::openAndMigrate(target, "appserver-migration");
        database.close();
    } catch (const framework::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    QSqlDatabase::removeDatabase("appserver-migration");

    appserver::ServerOptions options;
    bool ok = false;
    const qint64 maxBodyMb = parser.value("max-body-mb").toLongLong(&ok);
    if (!ok || maxBodyMb < 1 || maxBodyMb > 4096) {
        std::fprintf(stderr, "Tamanho máximo inválido: %s (de 1 a 4096 MiB).\n", qPrintable(parser.value("max-body-mb")));
        return 2;
    }
    options.maxBodyBytes = maxBodyMb << 20;
    options.certificateFile = parser.value("cert");
    options.keyFile = parser.value("key");
    options.trustedProxies = parser.values("proxy");
    appserver::HttpServer server(target, options);
    if (!server.setupError().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.setupError()));
        return 1;
    }
    const int port = server.start(parser.value("host"), parser.value("port").toInt());
    if (port < 0) {
        std::fprintf(stderr, "Não foi possível escutar em %s:%s: a porta está em uso por outro programa ou o endereço "
                             "não pertence a esta máquina.\n",
                     qPrintable(parser.value("host")), qPrintable(parser.value("port")));
        return 1;
    }
    qInfo().noquote() << QStringLiteral("Servidor de aplicação em %1://%2:%3, banco %4")
                             .arg(options.certificateFile.isEmpty() ? "http" : "https", parser.value("host"))
                             .arg(port)
                             .arg(target.describe());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    qInfo().noquote() << QStringLiteral("Sinal %1 recebido: encerrando depois das chamadas em andamento.").arg(received);
    server.stop();
    qInfo().noquote() << QStringLiteral("Servidor de aplicação encerrado.");
    return 0;
}
