#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;

namespace framework {
class ClientDataSet;
class DataSource;
class Field;
class Query;
class TColumn;
class TDBGrid;
struct TCellPaint;
} // namespace framework

namespace recipe {

class ContextoReceita;
class ConversaoUnidade;
class Enviador;
class QuantidadeUnidade;
class Validacao;
struct LevelFields;

// What differs between the levels that share the ingredient-list page, beyond field names.
struct RegrasNivel {
    // Supervisor authorisation keys of insert, change and delete (asked outside the branch module).
    QString autorizaInclusao, autorizaAlteracao, autorizaExclusao;
    QString duplicado;   // message key of a product already in the recipe
    QString kindReceita; // the recipe kind's slot code of Verif_Prod_Inativo ("RP", ...)
    // The level's quantity-update dataset (cdsUpQtdePadr, ...) and its server method; empty
    // when the level has none.
    QString atualizaQuantidade, metodoAtualizaQuantidade;
    // Title click on the base-product column: the server method and its progress key. The row's
    // level keys go after the dish, or after the group where `escopoNoFim` (the menu type).
    QString metodoBase, progressoBase;
    bool escopoNoFim = false;
    // Production-product edit of the level's dish data (dbeCdProdPadr, ...); empty: none.
    QString produtoProducao;
    // Deleting the last row asks the server whether the recipe may be left empty.
    bool verificaUltima = true;
    // The product search reads the products anew each time instead of keeping them.
    bool recarregaProdutos = false;

    // The standard recipe's limits in this module for an operation ("I", "A", "E"), asked before a
    // row is inserted, changed or deleted; unset, there are none.
    std::function<void(const QString& operacao)> limites;

    // Hooks of the levels below the standard one; unset, nothing runs.
    // The page's branch, service or menu type, checked before a row is inserted or edited.
    std::function<void()> validaSeletores;
    // The first row of an empty list: may the level revise the dish at all.
    std::function<void()> primeiraLinha;
    // The lock of revised recipes, checked before a row is inserted or deleted.
    std::function<void()> bloqueio;
    // Entering the grid.
    std::function<void()> aoEntrar;
    // The page's selector values, in the order of the level's keys: central and menu type,
    // branch, or branch and service.
    std::function<QStringList()> chaves;
};

// The ingredient list of one recipe level on its page of the recipe form: the dataset's field
// definitions, the grid with its columns and events, the text handlers, the row events, the
// product and quantity checks, the quantity computations, the proportional update and the
// sending of deletions. Built once per level from the level's LevelFields.
class PaginaReceita : public QObject {
    Q_OBJECT
public:
    // Works on the level's list, its data source and its grid, which the form made.
    PaginaReceita(ContextoReceita& contexto, const LevelFields& level, RegrasNivel regras, framework::ClientDataSet& lista,
                  framework::DataSource& fonte, framework::TDBGrid& grade);
    ~PaginaReceita() override;

    const LevelFields& nivel() const { return m_nivel; }
    framework::ClientDataSet& lista() const { return *m_lista; }
    // Rows whose quantities other tools revise: each post or deletion is sent at once.
    framework::ClientDataSet* atualizacaoQuantidade() const { return m_upQtde; }
    framework::TDBGrid& grade() const { return *m_grade; }
    QCheckBox& altProporcional() const { return *m_altProporcional; }

    // --- Grid ------------------------------------------------------------------------------
    void ColEnter();
    void ColExit();
    void EditButtonClick();
    void CellClick(framework::TColumn& column);
    void DblClick();
    void TitleClick(framework::TColumn& column);
    void KeyDown(int& key, Qt::KeyboardModifiers modifiers);
    void KeyPress(QChar& key);
    void DrawColumnCell(framework::TCellPaint& cell) const;
    void Enter();
    void Exit();

    // --- Rows ------------------------------------------------------------------------------
    void BeforeInsert();
    void NewRecord();
    void BeforeEdit();
    void BeforePost();
    void AfterPost();
    void BeforeDelete();
    void CalcFields();
    void StateChange();

    // --- Checks (each shows its message, focuses the field and aborts) -------------------
    void Vd_CdProduto(bool required);
    void Vd_QtProduto(framework::Field& quantity, bool required);
    void Vd_SgUnidProd();
    void Vd_PeFatCorr(framework::Field& field, bool yield);
    void Vd_PePerDegelo();
    void Vd_HrTempPrep();
    void Vd_ComplementoRecePadr();
    void Vd_ProdInativo();
    // A presentation typed on a row (edited or new) must exist; its name is brought with it.
    void Vd_ApreRece();

    // --- Quantities --------------------------------------------------------------------------
    // The derived quantity of the row from the driving one: gross from net ("B", "P") or net
    // from gross ("L"); a zero result is refused.
    void Vd_Quantidade(const QString& mode);
    // The requisition quantity of the row from its gross quantity (to 5 decimals).
    double Qtde_Bruta();
    void Vd_QtCalcNutr();
    // Scales the net quantity of every other unfixed row by the edited row's new/old ratio.
    void Atualiza_Proporcional();
    // Scales the net quantity of every row expressible in the dish's unit by factor. All or
    // nothing: a run that fails leaves the list as it was.
    void Calcula_Qtde_Prop_Pessoa(double factor);

    void VrPeNutrAlterado();
    void QtCalcNutrAlterado();
    void CamposNutrInalterados();

    // A run of row edits the user asked for once (the import of the registered cleaning loss):
    // the supervisor and the recipe's inactive products are asked once, before the first; each
    // row is still checked and recomputed by its post, and no post starts a proportional update.
    // Whatever the run throws ends it.
    void lote(const std::function<void()>& trabalho);
    // A new row (or a deletion) changes a recipe whose production product another recipe uses:
    // refused with ProdProd_ja_existe.
    void vdAlteraReceitaProdProd();

    // "B": the net quantity is typed and the gross derived; otherwise the reverse.
    bool entradaLiquida() const;

    // The supervisor of a row edit: asked at once by Alterar; an edit begun by a typed key waits
    // until what was typed is kept (the column left, the row posted), or the prompt would take the
    // keys typed after the first. Refused, the row goes back to its saved values.
    void autorizaEdicao();

private:
    void defineCampos();
    void criaGrade();
    void ligaEventos();
    void criaApoio();
    void criaAtualizacaoQuantidade();

    framework::Field* campo(const QString& name) const;
    bool editando() const;
    bool inserindo() const;
    bool coluna(const QString& fieldName) const; // the grid's selected column shows that field
    bool colunaQuantidade() const;
    [[noreturn]] void falha(const QString& key, const QString& fieldName, const QStringList& args = {}) const;
    void autoriza(const QString& operation) const;
    // What a change of saved rows must pass, but the supervisor (asked by the caller): query mode
    // refuses silently, then the standard recipe's block and the level's selectors.
    void verificaAlteracao() const;
    // A run of rows posted by the proportional update or the rescaling is under way.
    bool reescalando() const { return !m_validaPost || m_calcQtPessoa; }
    bool m_emLote = false; // a run of the user's (lote) is under way
    void arredondaPercentuais();
    void recalculaQuantidades();
    void parNutriente();
    void alternaFlag(const QString& fieldName, bool post);
    void preencheListaProdutos();
    // The product code typed or pasted into a new row: checked, and its registered loss taken.
    void produtoInformado();
    QString filialStatus() const;
    QString niveisProduto() const;
    QString flagGeral(const char* name) const;
    // The level's key columns of a row (branch, service, central, menu type), in key order.
    QStringList chavesNivel() const;
    double perdaDegelo() const; // 0 where the list keeps none

    ContextoReceita& m_contexto;
    const LevelFields& m_nivel;
    RegrasNivel m_regras;
    framework::ClientDataSet* m_lista;
    framework::DataSource* m_fonte;
    framework::TDBGrid* m_grade;
    QCheckBox* m_altProporcional;
    framework::ClientDataSet* m_upQtde = nullptr;
    framework::ClientDataSet *m_verif, *m_pesquisaProd, *m_produtoCache, *m_pesqProd, *m_prodInativo;
    framework::Query *m_qryVdProduto, *m_qryCdProduto, *m_qryApreRece, *m_qryPesqConvProduto;
    std::unique_ptr<ConversaoUnidade> m_conversao;
    std::unique_ptr<QuantidadeUnidade> m_unidades;
    std::unique_ptr<Validacao> m_validacao;
    std::unique_ptr<Enviador> m_enviador;

    bool m_validaPost = true;   // false while the proportional update posts rows
    bool m_calcQtPessoa = false; // true while the quantity-per-person rescaling posts rows
    bool m_forcaLiquida = false; // the rescaling types net quantities whatever the entry mode
    // The recipe's products were checked for this run of row posts: the answer is the dish's,
    // not the row's, so one check serves every row the run posts.
    bool m_inativosVerificados = false;
    // The row edit still needs the supervisor. Asked when the edit begins, the prompt would take
    // the keys typed after the one that opened the cell: it waits until what was typed is kept
    // (the column left, the row posted).
    bool m_autorizacaoPendente = false;
    double m_qtAnterior = 0;     // net quantity when the row's edit began
    bool m_qtAnteriorNula = true;
    QString m_modoEdicao = QStringLiteral("B"); // "I", "E" or "B"
    QString m_prodCopiado;
};

} // namespace recipe
