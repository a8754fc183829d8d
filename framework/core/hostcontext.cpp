#include "framework/core/hostcontext.h"

#include "framework/abort.h"

namespace framework {

QString HostContext::DBPict(int kind) const
{
    return pictures.value(kind);
}

TDBPicture HostContext::DBPictObj(int kind) const
{
    return TDBPicture(DBPict(kind));
}

void HostContext::LoadBPL(const QString& module, const QVariantList& args) const
{
    if (!loadModule)
        throw Error(QStringLiteral("Módulo %1 não disponível.").arg(module));
    loadModule(module, args);
}

void HostContext::reset()
{
    *this = HostContext();
}

HostContext& hostContext()
{
    static HostContext context;
    return context;
}

} // namespace framework
