#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace appserver {

class Call;

// What a call may change, decided on the server whatever the client checked before sending:
// - the shape of a change log: no more rows than the method's form can produce, and only the
//   kinds of change it produces;
// - the changes the forms guard with a supervisor's authorisation (Autoriza, kind 4): the
//   caller's operator holds the operation's right himself (USUAUTORIZA), or the call takes one
//   of the grants that Autoriza gave to the caller's session for that operation;
// - the changes the forms allow only to operators whose group allows them (PARAMGRUPUSUA).
// - the changes the forms offer only where a branch locks its revised recipes (the ingredient swap).
namespace guards {

// The kind of the recipe operations' authorisations.
constexpr int kindReceita = 4;

// Refuses (Refusal) a change log of a shape the method's form never sends. Runs before the
// call's transaction starts, so that a huge log never holds a lock.
void checkShape(const QString& object, const QString& method, const QVariantList& args);

// Whether the method's change logs have a declared shape (every update method must have one).
bool declaresShape(const QString& object, const QString& method);

// For each guarded operation the call's changes touch: the caller's own right, or a grant taken
// from his session in the call's transaction (a rollback gives it back). Refuses (NotAllowed,
// with missingAuthorisationText) when neither is there, and what his group does not allow.
void authorise(Call& call, const QString& object);

// Refuses (NotAllowed) a change that takes rows of standard dishes in or out of the recipes of
// these branches when one of them locks its revised recipes (planning parameter IDBLOALTRELO
// "S") and the caller's group does not allow it (ARRV 1). The methods that rewrite many recipes
// at once call it with the branches they write to.
void checkRevisedRecipeRight(Call& call, const QStringList& branches);

// Whether the operator (active) may authorise the operation himself.
bool holdsRight(Call& call, const QString& operatorCode, int kind, const QString& operation);
// The operator's group's value of a parameter; 0 when he has no group or it does not set it.
int groupParameter(Call& call, const QString& operatorCode, const QString& parameter);

// The refusal of a change that needs the operation's authorisation, and the operation such a
// refusal names (empty for any other text): the client asks for the authorisation and sends
// the call again.
QString missingAuthorisationText(const QString& operation);
QString missingAuthorisation(const QString& text);

} // namespace guards
} // namespace appserver
