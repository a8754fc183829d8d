#pragma once

#include <QObject>
#include <QString>

namespace framework {
class Field;
class TMessages;
} // namespace framework

class QKeyEvent;
class QWidget;

namespace recipe {

class ContextoReceita;
class RegistroPrato;
struct ControlesRegistro;

// A preparation time as the ingredient lists keep it: 5 characters, three of hours and two of
// minutes. A text of up to 4 characters is first brought to 5 (zeros on the left); a longer one
// is split as it stands.
QString AjustaHrTempPrep(const QString& text);
// A preparation time that may be stored: empty, or its rightmost four characters a valid hh:mm.
bool TempoPreparoOk(const QString& text);

// While the field's dataset is being edited and the field holds a time, its rightmost 4
// characters must form a valid time; otherwise TEMPPREP_INV, with the focus on the control.
void Vd_HrTempPrep(const framework::Field& field, const framework::TMessages& messages, QWidget* control = nullptr);

// The dish's preparation form on the dish record: dbeNrFormaPreparo takes whole numbers only,
// leaving it checks the number against the forms (GetVdFormaPreparo) and shows the form's name,
// btnFormaPreparo chooses among all forms. The check also runs at every post of the dish.
class FormaPreparo : public QObject {
    Q_OBJECT
public:
    // Made with the record whose form number it checks; sets the record's Vd_FormaPreparo.
    FormaPreparo(ContextoReceita& contexto, RegistroPrato& registro);

    // FormaPreparoNCad when the number typed is no form; fills NMFORMAPREPARO otherwise.
    void Vd_FormaPreparo();
    // Loads cdsVdFormaPreparo: selection "T" all forms, empty the form of that number.
    void GetVdFormaPreparo(const QString& selection, qint64 number);

private:
    bool editando() const;
    static bool teclaRecusada(const QKeyEvent& key);

    ContextoReceita& m_contexto;
    const ControlesRegistro& m_c;
};

} // namespace recipe
