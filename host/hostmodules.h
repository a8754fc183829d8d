#pragma once

#include <QString>
#include <QVariantList>

class QWidget;

namespace host {

// LoadBPL: opens one of the host's own modules by code. The host of this installation carries
// only the registration of code pictures (GER02100); any other module belongs to the main
// system and is refused with a message (framework::Error).
void LoadBPL(const QString& module, const QVariantList& args, QWidget* parent = nullptr);

} // namespace host
