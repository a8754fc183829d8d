#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class Query;
class TBtnPesquisa;
class TDBComboBox;
class TDBEdit;
} // namespace framework

namespace recipe {

class ContextoReceita;
class Enviador;

// The dish record page's own components: the record's grid of controls over cdsPrato and the
// datasets and queries of its lookups and checks.
struct ControlesRegistro {
    QLabel* lblNomePrato = nullptr;
    QGroupBox* grpPrincipal = nullptr;
    QLabel *lblCdPrato = nullptr, *lblNmPrato = nullptr, *lblStatus = nullptr, *lblUnid = nullptr,
           *lblArredTrans = nullptr, *lblSegMerc = nullptr, *lblFormaPreparo = nullptr, *lblFrequencia = nullptr,
           *lblTempo = nullptr, *lblValidade = nullptr;
    framework::TDBEdit *dbeCdPrato = nullptr, *dbeNmPrato = nullptr, *dbeCdUnidade = nullptr, *dbeArredTrans = nullptr,
                       *dbeCdSegMer = nullptr, *dbeDsSegMer = nullptr, *dbeNrFormaPreparo = nullptr,
                       *dbeNmFormaPreparo = nullptr, *dbeTempo = nullptr, *dbeValidade = nullptr;
    framework::TDBComboBox *dcbPrato = nullptr, *dcbStatus = nullptr, *dbcFrequencia = nullptr;
    framework::TBtnPesquisa *btpUnidade = nullptr, *btnSegMerc = nullptr, *btnFormaPreparo = nullptr;
    // The dishes of the working branch's tree for the code checks (cdsPratoAux, read from
    // qryPratoAux or the server), the next code, the other trees holding a code, the production
    // product and the preparation forms.
    framework::ClientDataSet *cdsPratoAux = nullptr, *cdsProxCodPrato = nullptr, *cdsExistPrat = nullptr,
                             *cdsProdProd = nullptr, *cdsVdFormaPreparo = nullptr;
    framework::DataSource* dtsPratoAux = nullptr;
    framework::Query *qryUnidade = nullptr, *qrySegMer = nullptr, *qryPratoAux = nullptr;
};

// The dish record of the form's first page (cdsPrato): the code proposed for a new dish, the
// checks of insertion, alteration, post and deletion, the supervisor's authorisations, the unit
// and market-segment lookups, and the sending of each change at once. A change the server
// refuses stays with the user, to be corrected and confirmed again or cancelled.
class RegistroPrato : public QObject {
    Q_OBJECT
public:
    // Declares the dish's fields on the context's cdsPrato and makes the record's components:
    // its datasets under the form (owner), its controls on the record page (pagina), the branch
    // panel held while the record is edited.
    RegistroPrato(ContextoReceita& contexto, QWidget& owner, QWidget& pagina, framework::DataSource& fonte,
                  QWidget& panFiliPrato);
    ~RegistroPrato() override;

    const ControlesRegistro& controles() const { return m_c; }

    // The record page's commands: a new dish (or group) proposed under the tree's node, the
    // record into edit, the dish deleted, the edit and any refused change given up.
    void inclui();
    void altera();
    void exclui();
    void cancela();

    // Filled in by the pages that come with the record:
    // the preparation form check, run at every post (unset, the number typed is kept);
    std::function<void()> Vd_FormaPreparo;
    // the containers of the current dish, reloaded when the tree reaches a dish;
    std::function<void()> CarregaContainers;
    // the host's local copy of tables, refreshed after dishes change (unset: this host reads every
    // table through the server and keeps no copy);
    std::function<void(const QStringList& tables)> AtualizaLocalCache;
    // the dish's rows the other pages loaded, dropped once the dish is deleted.
    std::function<void()> AoExcluir;

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
    void declaraCampos();
    void criaConsultas();
    void criaControles(QWidget& pagina);
    void liga();

    framework::ClientDataSet* pratos() const; // the context's cdsPrato
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

    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;

    ContextoReceita& m_contexto;
    QWidget& m_owner;
    QWidget& m_pagina;
    framework::DataSource& m_fonte;
    QWidget& m_panFiliPrato;
    ControlesRegistro m_c;
    std::unique_ptr<Enviador> m_enviador;
    QString m_codigoProposto;      // the code proposed for the dish being inserted
    bool m_reabrindoPrato = false; // a refused record goes back to edit without new checks
    bool m_autorizacaoPendente = false; // the standard dish's edit still needs the supervisor
};

} // namespace recipe
