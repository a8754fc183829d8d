// The one place that knows how the package's creation functions are called. Their argument
// conventions belong to the package; when they change, only this file follows.

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "package.h"

namespace host {

namespace {

using NoArguments = void (*)();
using BranchArgument = void (*)(const char* branchOrNull);
using ModalResult = int (*)();

} // namespace

bool Package::callableFromMenu(const QString& name)
{
    return name == "CriaReceita" || name == "IniProc" || name == "CriaReplicaPorServico" || name == "CriaNutriPrat";
}

QString Package::menuText(const QString& name)
{
    static const QHash<QString, QString> texts{
        {"CriaReceita", "&Receita padrão"},
        {"IniProc", "Receita padrão (&consulta da filial)"},
        {"CriaNutrPrat", "Consulta nutricional do prato"},
        {"CriaCustoPrato", "Custo do prato"},
        {"CriaImportacaoPrato", "Importação de pratos"},
        {"CriaReplicaPorServico", "Re&plicação de receita por serviço"},
        {"CriaPercentualdeReceita", "Percentual sobre receita"},
        {"CriaNutriPrat", "&Nutrientes dos pratos"},
    };
    return texts.value(name, name);
}

void Package::invoke(const QString& name) const
{
    const QFunctionPointer function = m_functions.value(name);
    if (!function)
        throw framework::Error(QStringLiteral("A função %1 não existe no pacote.").arg(name));
    if (name == "IniProc") {
        // Query mode on the branch being processed.
        const QByteArray branch = framework::hostContext().FiliProc.toUtf8();
        reinterpret_cast<BranchArgument>(function)(branch.isEmpty() ? nullptr : branch.constData());
    } else if (name == "CriaNutriPrat" || name == "CriaReplicaPorServico") {
        reinterpret_cast<ModalResult>(function)();
    } else if (callableFromMenu(name)) {
        reinterpret_cast<NoArguments>(function)();
    } else {
        throw framework::Error(QStringLiteral("%1 é aberta a partir do formulário de receita.").arg(menuText(name)));
    }
}

} // namespace host
