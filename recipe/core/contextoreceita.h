#pragma once

#include <QString>

namespace server {
class Connection;
}

namespace framework {
class ClientDataSet;
class DataSource;
class Query;
class TMessages;
} // namespace framework

class QAction;
class QTimer;
class QWidget;

namespace recipe {

enum class Comando;
struct Pagina;
class TabelaPaginas;

// What the pieces of the recipe form (pages, panels, selectors, sub-pages, the dish record) use of
// the form, and nothing else: its two connections and message list, the parameters it loaded, the
// current dish and the working branch, the page table with the toolbar's commands and the
// enabling calls. The form implements it; a piece is given it with the components it works on.
class ContextoReceita {
public:
    // The form's window: the owner of what a piece makes, where the form's components are found
    // by name.
    virtual QWidget& janela() = 0;

    // --- Server and messages -----------------------------------------------------------------
    virtual server::Connection& servidor() const = 0;    // netReceitaPadrao
    virtual server::Connection& autorizador() const = 0; // netAutoriza: the supervisor's grants
    virtual framework::TMessages& mensagens() const = 0; // msgPadrao

    // --- Parameters ---------------------------------------------------------------------------
    virtual framework::ClientDataSet& parametrosGerais() const = 0;       // cdsParamGeral
    virtual framework::ClientDataSet& parametrosPlanejamento() const = 0; // cdsParamPlaneja, of the working branch
    // The general parameters read from the database itself (qryParamGeral: product cache, search).
    virtual framework::Query& parametrosLocais() const = 0;
    // The products of the working branch without stock control (cdsVerifProd).
    virtual framework::ClientDataSet& produtosVerificados() const = 0;
    // The lookups every page shares: the branches (qryFilial), the services of a branch
    // (qryServico) and a product's unit conversions (qryConvProduto).
    virtual framework::Query& filiais() const = 0;
    virtual framework::Query& servicos() const = 0;
    virtual framework::Query& conversoes() const = 0;

    // --- The dish and the branch -------------------------------------------------------------
    // The dishes of the working branch's tree (cdsPrato); its current row is the current dish.
    virtual framework::ClientDataSet& pratos() const = 0;
    // The group of dishes a code belongs to: its parent at the last level, itself above it.
    virtual QString grupo(const QString& code) const = 0;
    // The code of the dish tree's current node.
    virtual QString codigoArvore() const = 0;
    // The tree shows the dish record's dishes again.
    virtual void sincronizaArvore() = 0;
    // The working branch: the branch every server call of the form is about.
    virtual const QString& filialTrabalho() const = 0;
    // Opened to look at one branch's recipes: nothing may change.
    virtual bool consulta() const = 0;
    // The dishes of the working branch's tree read anew into the lookup list (cdsPratoAux).
    virtual framework::ClientDataSet& carregaPratosDaFilial() = 0;

    // --- Pages and commands ------------------------------------------------------------------
    virtual const TabelaPaginas& paginas() const = 0;
    virtual QWidget* paginaVisivel() const = 0; // the tab of pgcPadrao shown
    virtual void mostraPagina(QWidget* tab) = 0;
    // The page shown is loaded again for the current dish and its selectors (pgcPadraoChange).
    virtual void atualizaPagina() = 0;
    // A recipe page's list and dish data for the current dish's group (reused unless forced).
    virtual void carregaLista(const Pagina& page, bool force) = 0;
    // The data source the toolbar's commands act on (dtsPadrao) and each command's menu item.
    virtual framework::DataSource& fonteComandos() const = 0;
    virtual QAction& comando(Comando comando) const = 0;
    // Confirmar, as the toolbar runs it; Procurar over the tree's dishes.
    virtual void confirma() = 0;
    virtual void procuraNaArvore() = 0;
    // The idle timer: stopped while a long command runs.
    virtual QTimer& inatividade() const = 0;

    // --- Enabling rules ----------------------------------------------------------------------
    virtual void AtualizaBotoes() = 0;
    virtual void Habilita_Pagina(bool complete) = 0;
    virtual void Habilita_NivelCompleto(const QString& code) = 0;
    virtual void Habilita_Desabilita(framework::DataSource* source) = 0;
    virtual void Habilita_Botoes(framework::DataSource* source, bool enabled) = 0;
    virtual void Limpa_Componentes() = 0;

protected:
    ~ContextoReceita() = default;
};

// A dish code at the last level of the dish picture (a dish, not a group).
bool nivelCompleto(const QString& code);
// The dataset shows the current dish's rows only / shows them (not a view emptied while a
// selector is chosen).
void filtraPeloPrato(framework::ClientDataSet& dataSet, const framework::ClientDataSet& pratos);
bool filtradoPeloPrato(const framework::ClientDataSet& dataSet, const framework::ClientDataSet& pratos);
// Shows the key's message after focusing the control (when enabled) and aborts.
[[noreturn]] void falha(const framework::TMessages& mensagens, const char* key, QWidget* control = nullptr);

} // namespace recipe
