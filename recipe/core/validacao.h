#pragma once

#include "framework/core/consiste.h"

#include <QString>
#include <QStringList>

class QLineEdit;
class QObject;
class QWidget;

namespace framework {
class ClientDataSet;
class Field;
class Query;
class TDBGrid;
class TMaskEdit;
class TMessages;
} // namespace framework

namespace recipe {

struct LevelFields;

// Adds the texts of the keys these checks show to the form's message list.
void addValidationMessages(framework::TMessages& messages);

// --- Routines that cannot fail --------------------------------------------------------------

// Hours as the "HHHH:MM" text of the validity edits (1.5 gives "0001:30").
QString RealToStTime(double hours);
// A number text rounded to 2 decimals; 0 for an empty or unreadable text.
double RoundNumber(const QString& text);
// Item of the storage-type combos: "RESFRIADO" 0, "CONGELADO" 1, anything else 2 ("NENHUM").
int indexTipoArmazenamento(const QString& storageType);
// The framework's reading of number texts, under the name the recipe form uses.
using framework::StrToFloatDef;

// --- Checks of the recipe form ---------------------------------------------------------------

// The checks shared by the dish record and the recipe pages. A failing check shows its keyed
// message from the form's list and aborts the running action (framework::Abort), leaving the
// data as it was; where a control is given, the offending field gets the focus.
class Validacao {
public:
    // qryServico is the form's service query (see createQryServico).
    Validacao(const framework::TMessages& messages, framework::Query& qryServico);

    // The form's qryServico: services of a branch that are not of type "A", one (P_CDSERVFILI)
    // or all of them (P_TCDSERVFILI = "T").
    static framework::Query* createQryServico(QObject* owner);

    // "HHHH:MM" from what a validity edit holds: "12:5" gives "0012:05", ":" gives "0000:00".
    QString AjustaHora(const QString& text) const;
    // Hours from an "HHHH:MM" text, rounded to 8 decimals.
    double StTimeToReal(const QString& text) const;

    // Stores a typed number in a field of a dataset being edited: a leading comma reads as
    // "0,"; more than maxIntegerDigits before the comma, or a text that is not a number, is
    // refused with VAL_INV. An empty text stores 0.
    void ValidNumber(framework::Field& field, const QString& text, int maxIntegerDigits) const;

    // Campo_Inf when the field is empty.
    void Vd_ValidaVazio(framework::Field& field, QWidget* control = nullptr) const;

    // Pads the service code to 5 and shows the service's name; SERV_EMPTY when required and
    // empty, SERV_NCAD when the branch has no such service (type "A" never qualifies).
    void Vd_CdServico(const QString& branch, framework::TMaskEdit& edit, QLineEdit& name, bool required) const;

    // While a row of the level's list is edited and the nutritional yield is the value the user
    // changed last (its Tag is 1): nutrient quantity = base (5 decimals) x yield / 100.
    // A yield not above 0 fails with Nutricional_Maior.
    void Vd_VrPerNutr(framework::ClientDataSet& list, const LevelFields& level, QWidget* control = nullptr) const;

    // Couples the factor pairs of the row being edited in the level's grid, by the column the
    // grid is in: cooking gain and yield (yield = gain + 100, gain above -100), cleaning loss
    // and yield (yield = 100 - loss), and keeps the defrost loss within 0..99.
    void Vd_CoccaoLimpeza(framework::TDBGrid& grid, const LevelFields& level) const;

private:
    struct HourParts {
        QString hours;   // digits, "0" when empty
        QString minutes; // digits, "0" when empty
    };
    HourParts splitHours(const QString& text) const;
    // Shows the key's message, focuses the field in the control and aborts.
    [[noreturn]] void fail(const QString& key, const QStringList& args = {}, QWidget* control = nullptr,
                           const QString& fieldName = {}) const;

    const framework::TMessages& m_messages;
    framework::Query& m_qryServico;
};

} // namespace recipe
