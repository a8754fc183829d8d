#include "serverlogin.h"

#include "framework/ui/dialogs.h"
#include "server/session.h"

namespace host {

QString loginToServer(const HostOptions& options)
{
    server::Session& session = server::Session::instance();
    session.setTrustedCertificates(options.trustedCertificates);
    QString failure;
    if (!options.password.isEmpty()) {
        failure = session.login(options.serverHost, options.serverPort, options.operatorCode, options.password);
        if (failure.isEmpty())
            return {};
    }
    const QString address = QStringLiteral("%1:%2").arg(options.serverHost).arg(options.serverPort);
    for (int attempt = 0; attempt < 3; ++attempt) {
        QString text = QStringLiteral("Entre no servidor de aplicação %1.").arg(address);
        if (!failure.isEmpty())
            text.prepend(failure + QLatin1Char('\n'));
        // Kind 0 is the operator's own login; the operation carries the proposed operator.
        const auto credentials = framework::dialogs().askAuthorization({0, options.operatorCode, text});
        if (!credentials)
            return QStringLiteral("Entrada no servidor de aplicação cancelada.");
        const QString operatorCode =
            credentials->user.trimmed().isEmpty() ? options.operatorCode : credentials->user.trimmed().toUpper();
        failure = session.login(options.serverHost, options.serverPort, operatorCode, credentials->password);
        if (failure.isEmpty())
            return {};
    }
    return failure;
}

} // namespace host
