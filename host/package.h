#pragma once

#include <QFunctionPointer>
#include <QHash>
#include <QLibrary>
#include <QStringList>

namespace host {

// The package Pkg_pla01300: a shared library whose extern "C" creation functions the host finds
// by name.
class Package {
public:
    // The creation functions, in menu order.
    static const QStringList& creationFunctions();
    // Where the package is looked for when no path is given: beside the host and in the
    // build tree's module folder.
    static QStringList candidatePaths(const QString& hostDir);

    // Loads the library and resolves the creation functions it has; false with errorString()
    // when it cannot be loaded.
    bool load(const QString& path);
    bool isLoaded() const { return m_library.isLoaded(); }
    QString fileName() const { return m_library.fileName(); }
    QString errorString() const { return m_library.errorString(); }
    QStringList found() const; // creation functions present, in menu order

    // Whether the host can call the function from its menu (the others take the arguments of
    // the recipe form that opens them), and the call itself. Throws framework::Error.
    static bool callableFromMenu(const QString& name);
    static QString menuText(const QString& name);
    void invoke(const QString& name) const;

private:
    QLibrary m_library;
    QHash<QString, QFunctionPointer> m_functions;
};

} // namespace host
