#pragma once

#include <QString>

class QWidget;

namespace framework {
class Field;
class TMessages;
} // namespace framework

namespace recipe {

// Adds the texts of the quantity-per-person checks to the form's message list.
void addQuantidadePessoaMessages(framework::TMessages& messages);

// Leaving a quantity-per-person edit of a level's dish data: while the record is edited the
// value must not be negative (QTPADR_INV, the control takes the focus back and the action
// aborts); zero means "not set" and is stored as null.
void Vd_QtPadrao(framework::Field& quantity, QWidget* control, const framework::TMessages& messages);

// The key filter of the household-measure quantities: Backspace and digits pass, a comma only
// after something and only once; anything else is dropped. True when the key passes.
bool vd_virgula(QChar key, const QString& text);

} // namespace recipe
