#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QKeyEvent;
class TfrmReceitaPadrao;

namespace framework {
class Query;
class TBtnPesquisa;
} // namespace framework

namespace recipe {

class Enviador;

// The dish record of the form's first page (cdsPrato): the code proposed for a new dish, the
// checks of insertion, alteration, post and deletion, the supervisor's authorisations, the unit
// and market-segment lookups, and the sending of each change at once. A change the server
// refuses stays with the user, to be corrected and confirmed again or cancelled.
class RegistroPrato : public QObject {
    Q_OBJECT
public:
    explicit RegistroPrato(TfrmReceitaPadrao& form);
    ~RegistroPrato() override;

    // The dish tree's current node is the record's dish.
    bool treeMatchesRecord() const;
    // Habilita_NivelCompleto, and dcbPrato, dcbStatus and lblStatus shown only at the last level.
    void mostraNivelCompleto(const QString& code);
    void Vd_NivelPrato(const QString& operation); // "I", "A", "E": the branch module's limits
    void Vd_Receita(const QString& operation);    // the standard recipe of the current dish
    // True when the code's level is blocked (CDNVBLPRAT); an unset block is stored as "0" first.
    bool NivelBloq(const QString& code);
    // Reads the dishes of the working branch's tree into cdsPratoAux.
    void carregaPratoAux();
    // Sets "RefreshPesqPrato" of the host's open menu forms: true makes them reload their dishes.
    static void RefreshPesqPrato(bool refresh);
    // The supervisor of a standard dish's edit, when it still needs one; refused, the record goes
    // back to what it holds and the action ends.
    void autorizaAlteracao();

private:
    bool inserting() const;
    QString propoeCodigo();
    void cdsPratoBeforeInsert(); // proposes the new code
    void cdsPratoAfterInsert();
    void cdsPratoBeforeEdit();
    void cdsPratoBeforePost();
    void cdsPratoAfterPost(); // sends the record at once (UpdPrato)
    void cdsPratoBeforeDelete();
    void cdsPratoAfterDelete(); // sends the deletion at once
    void cdsPratoAfterScroll();
    void cdsParamGeralAfterPost();
    void dtsPratoStateChange();

    void Vd_CdPrato(bool required);
    void Vd_SgUnidPrato(bool required);
    void Vd_VrArredTrans();
    void origemNaCentral(); // standard or local: a new dish posted in a central module
    void Vd_ExistePrato();  // the new code in another branch's tree (GetExistPrat)
    bool enviaPrato(bool deletion); // false when nothing was pending

    void dbeCdPratoExit();
    // True when the key is dropped.
    bool dbeTempoKeyPress(const QKeyEvent& event) const;
    // A lookup of the record: lists every row of its query (P_key empty, P_Tkey "T") and copies
    // the chosen row's fields into the record.
    void ligaPesquisa(framework::TBtnPesquisa& button, framework::Query& query, const QString& key,
                      const QStringList& fields);

    TfrmReceitaPadrao& m_form;
    std::unique_ptr<Enviador> m_enviador;
    QString m_codigoProposto;      // the code proposed for the dish being inserted
    bool m_reabrindoPrato = false; // a refused record goes back to edit without new checks
    bool m_autorizacaoPendente = false; // the standard dish's edit still needs the supervisor
};

} // namespace recipe
