#pragma once

#include "framework/abort.h"

#include <QObject>
#include <QString>

namespace recipe {

// A component the recipe form names. A name the form lacks is a fault in how the form was built,
// never a case to skip, so it fails loudly.
template <class T>
T* componente(const QObject& form, const QString& name)
{
    auto* found = form.findChild<T*>(name);
    if (!found)
        throw framework::Error(QStringLiteral("Componente %1 não encontrado no formulário.").arg(name));
    return found;
}

template <class T>
T* componente(const QObject& form, const char* name)
{
    return componente<T>(form, QString::fromLatin1(name));
}

} // namespace recipe
