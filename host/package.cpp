#include "package.h"

#include <QDir>

namespace host {

const QStringList& Package::creationFunctions()
{
    static const QStringList names{"CriaReceita",         "IniProc",
                                   "CriaNutrPrat",        "CriaCustoPrato",
                                   "CriaImportacaoPrato", "CriaReplicaPorServico",
                                   "CriaPercentualdeReceita", "CriaNutriPrat"};
    return names;
}

QStringList Package::candidatePaths(const QString& hostDir)
{
    const QDir dir(hostDir);
    return {dir.filePath("libPkg_pla01300.so"), dir.filePath("module/libPkg_pla01300.so"),
            dir.filePath("../module/libPkg_pla01300.so")};
}

bool Package::load(const QString& path)
{
    m_library.setFileName(path);
    if (!m_library.load())
        return false;
    for (const QString& name : creationFunctions())
        if (QFunctionPointer f = m_library.resolve(name.toLatin1().constData()))
            m_functions.insert(name, f);
    return true;
}

QStringList Package::found() const
{
    QStringList names;
    for (const QString& name : creationFunctions())
        if (m_functions.contains(name))
            names << name;
    return names;
}

} // namespace host
