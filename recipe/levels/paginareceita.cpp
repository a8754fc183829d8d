// The ingredient-list page: its construction (support lists and queries, field definitions,
// grid columns, events), the helpers its parts share and the supervisor's authorisations. The
// grid and its columns, the row checks, the product search and the quantities with the list-wide
// updates are in paginareceita_*.cpp.
#include "paginareceita.h"
#include "paginareceita_campos.h"
#include "recipe/record/registroprato.h"

#include "recipe/quantities/conversaounidade.h"
#include "recipe/core/enviador.h"
#include "recipe/record/formapreparo.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/quantities/quantidades.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/data/numberformat.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/tabvalid.h"
#include "server/autoriza.h"
#include "server/connection.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QScopeGuard>
#include <QTimer>

namespace recipe {

using namespace ingredientes;
using framework::FieldType;

namespace {

// Finds a component the form already has, or makes it under the form: the product search lists
// and the direct queries serve every ingredient page.
template <class T>
T* compartilhado(QObject* form, const QString& name)
{
    if (auto* existing = form->findChild<T*>(name, Qt::FindDirectChildrenOnly))
        return existing;
    return new T(form, name);
}

framework::Query* consulta(QObject* form, const char* name, const char* sql)
{
    auto* query = compartilhado<framework::Query>(form, QString::fromLatin1(name));
    if (query->SQL().isEmpty())
        query->setSQL(QString::fromLatin1(sql));
    return query;
}

void declaraPesquisa(ClientDataSet& dataSet)
{
    if (dataSet.FieldCount() > 0)
        return;
    const std::pair<const char*, const char*> campos[] = {
        {"CDPRODUTO", "Código"}, {"CDARVPROD", "Produto"}, {"NMPRODUTO", "Nome do Produto"},
        {"SGUNIDADE", "UN"},     {"DSCOMPLNOME", "Complemento"}};
    const int sizes[] = {10, 20, 50, 10, 300};
    int i = 0;
    for (const auto& [name, label] : campos)
        dataSet.AddField(QString::fromLatin1(name), FieldType::String, sizes[i++])
            ->setDisplayLabel(QString::fromUtf8(label));
    dataSet.FieldByName(QStringLiteral("CDPRODUTO"))->setVisible(false);
}

} // namespace

PaginaReceita::PaginaReceita(ContextoReceita& contexto, const LevelFields& level, RegrasNivel regras, ClientDataSet& lista,
                             framework::DataSource& fonte, TDBGrid& grade)
    : QObject(&contexto.janela()), m_contexto(contexto), m_nivel(level), m_regras(std::move(regras)), m_lista(&lista),
      m_fonte(&fonte), m_grade(&grade)
{
    setObjectName(QStringLiteral("pagina") + level.dataSet);
    m_conversao = std::make_unique<ConversaoUnidade>(contexto.conversoes());
    m_unidades = std::make_unique<QuantidadeUnidade>(*m_conversao);
    m_validacao = std::make_unique<Validacao>(contexto.mensagens(), contexto.servicos());
    m_enviador = std::make_unique<Enviador>(contexto.servidor());
    criaApoio();
    criaAtualizacaoQuantidade();
    defineCampos();
    criaGrade();
    ligaEventos();
}

PaginaReceita::~PaginaReceita() = default;

// --- Construction ------------------------------------------------------------------------------

void PaginaReceita::criaApoio()
{
    framework::TMessages& messages = m_contexto.mensagens();
    const std::pair<const char*, const char*> textos[] = {
        {"COD_EMPTY", "Código deve ser informado."},
        {"PROD_NCAD", "Produto não cadastrado."},
        {"PROD_NCAD_GRUP_PROD", "Produto não cadastrado para o agrupamento de produtos parametrizado."},
        {"PROD_INATIVO", "Receita não pode conter produto inativo."},
        {"PROD_INATIVO_GRUP_PROD", "Produto inativo ou não cadastrado para o agrupamento de produtos parametrizado."},
        {"PROD_N_ESTQ", "Inclusão bloqueada. Produto não utiliza controle de estoque."},
        {"PROD_ESTO", "Produto informado não é de atualização de estoque."},
        {"RecePadr_inf", "Produto já cadastrado na receita padrão."},
        {"ReceTpCard_inf", "Produto já cadastrado na receita por tipo de cardápio."},
        {"ReceLoc_inf", "Produto já cadastrado na receita local."},
        {"ReceServ_inf", "Produto já cadastrado na receita por serviço."},
        {"QTDE_EMPTY", "Quantidade deve ser informada."},
        {"QTDE_ZERO", "Quantidade deve ser maior que zero."},
        {"UNID_NC", "Unidade de medida não cadastrada."},
        {"FATCORPERDA_INV", "Aprov. limpeza deve estar entre 1% e 100%."},
        {"FATCORAPROV_INV", "Perda limpeza deve estar entre 0% e 99%."},
        {"TEMPPREP_INV", "Tempo de preparo não foi informado corretamente."},
        {"ProdProd_ja_existe", "Receita não pode ser alterada pois o produto de produção já existe em outra receita."},
        {"Prato_RecPadrao", "Prato deve possuir receita padrão."},
        {"ApreProd_nc", "Apresentação não cadastrada."},
        {"QtdeBruta_Zero", "Quantidade bruta deve ser maior que zero."},
        {"QtdeLiquida_Zero", "Quantidade líquida deve ser maior que zero."},
        {"QtCalcNutr_Maior", "Qtde. Cálculo Nutriente deve ser maior que zero."},
        {"pro_UpProdBasePR", "Atualizando receita (Padrão)..."},
        {"upd_cdsUpQtdePadr", "Atualizando quantidades para receita (Padrão)..."},
        {"upd_cdsUpQtdeLo", "Atualizando quantidades para receita (Local)..."},
        {"upd_cdsUpQtdeServ", "Atualizando quantidades para receita (Serviço)..."},
        {"Producao", "Produção"},
        {"Distribuicao", "Distribuição"},
        {"Entrega_Direta", "Entrega Direta"},
        {"Finalizacao", "Finalização"},
        {"PRODUTO", "Produto"},
        {"P_NCad", "Não há produto cadastrado."},
        {"UNID_MEDIDA", "Unidade de Medida"},
        {"N_HA_UNID_MEDIDA", "Não há unidade de medida cadastrada."},
        {"APRESENTACAO", "Apresentação"},
        {"N_HA_APRESENTACAO", "Não existe apresentação para o produto informado."},
    };
    for (const auto& [key, text] : textos)
        if (!messages.Contains(QString::fromLatin1(key)))
            messages.Add(QString::fromLatin1(key), QString::fromUtf8(text));

    m_verif = compartilhado<ClientDataSet>(&m_contexto.janela(), m_nivel.verifDataSet);
    m_pesquisaProd = compartilhado<ClientDataSet>(&m_contexto.janela(), QStringLiteral("cdsPesquisaProd"));
    m_produtoCache = compartilhado<ClientDataSet>(&m_contexto.janela(), QStringLiteral("cdsProdutoCache"));
    m_pesqProd = compartilhado<ClientDataSet>(&m_contexto.janela(), QStringLiteral("cdsPesqProd"));
    m_prodInativo = compartilhado<ClientDataSet>(&m_contexto.janela(), QStringLiteral("cdsProdInativo"));
    for (ClientDataSet* list : {m_pesquisaProd, m_produtoCache, m_pesqProd})
        declaraPesquisa(*list);

    m_qryVdProduto = consulta(&m_contexto.janela(), "qryVdProduto",
                              "SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, SGUNIDADE, CDNVPRODUTO, CDPRODESTO FROM PRODUTO "
                              "WHERE (CDARVPROD = :P_CDARVPROD)");
    m_qryCdProduto = consulta(&m_contexto.janela(), "qryCDPRODUTO", "SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = :P_CDARVPROD");
    m_qryApreRece = consulta(&m_contexto.janela(), "qryApreRece",
                             "SELECT CDAPRERECE, NMAPRERECE FROM APRERECE "
                             "WHERE (CDAPRERECE = :CDAPRERECE OR :CDAPRERECE = 'T') ORDER BY CDAPRERECE");
    if (m_qryApreRece->FieldCount() == 0) {
        m_qryApreRece->AddField(cdApreRece, FieldType::String, 3)->setDisplayLabel(QStringLiteral("Código"));
        m_qryApreRece->AddField(QStringLiteral("NMAPRERECE"), FieldType::String, 30)
            ->setDisplayLabel(QString::fromUtf8("Apresentação"));
    }
    // The product's own units, then the general conversions into the stock unit, then the
    // stock unit itself.
    m_qryPesqConvProduto = consulta(&m_contexto.janela(), "qryPesqConvProduto",
        "SELECT SGUNIDADE AS SGUNIDDE, VRFATOCONVES AS VRFTCONVER, '*' AS IDTIPOPE, 1 AS ORDEM FROM CONVPRODUTO "
        "WHERE CDPRODUTO = :P_CDPRODUTO AND (SGUNIDADE = :P_SGUNIDESTO OR :P_TSGUNIDADE = 'T') "
        "UNION ALL "
        "SELECT SGUNIDDE, VRFTCONVER, IDTIPOPE, 2 AS ORDEM FROM CONVUNID "
        "WHERE SGUNIDPARA = :P_SGUNIDADE AND (SGUNIDDE = :P_SGUNIDESTO OR :P_TSGUNIDADE = 'T') "
        "UNION ALL "
        "SELECT SGUNIDADE AS SGUNIDDE, 1 AS VRFTCONVER, '*' AS IDTIPOPE, 3 AS ORDEM FROM UNIDMEDIDA "
        "WHERE SGUNIDADE = :P_SGUNIDADE AND (SGUNIDADE = :P_SGUNIDESTO OR :P_TSGUNIDADE = 'T') "
        "ORDER BY 4, 1");
    if (m_qryPesqConvProduto->FieldCount() == 0) {
        m_qryPesqConvProduto->AddField(QStringLiteral("SGUNIDDE"), FieldType::String, 10)
            ->setDisplayLabel(QStringLiteral("Sigla"));
        Field* factor = m_qryPesqConvProduto->AddField(QStringLiteral("VRFTCONVER"), FieldType::Float);
        factor->setDisplayLabel(QString::fromUtf8("Fator de conversão"));
        factor->setDisplayFormat(QStringLiteral("#,###0.00000"));
        m_qryPesqConvProduto->AddField(QStringLiteral("IDTIPOPE"), FieldType::String, 1)->setVisible(false);
        m_qryPesqConvProduto->AddField(QStringLiteral("ORDEM"), FieldType::Integer)->setVisible(false);
    }

    QWidget* page = m_grade->parentWidget();
    m_altProporcional = new QCheckBox(QString::fromUtf8("Alteração Proporcional"), page);
    m_altProporcional->setObjectName(m_nivel.altProporcional);
    if (auto* layout = qobject_cast<QBoxLayout*>(page->layout()))
        layout->insertWidget(layout->indexOf(m_grade), m_altProporcional);
}

void PaginaReceita::criaAtualizacaoQuantidade()
{
    if (m_regras.atualizaQuantidade.isEmpty())
        return;
    const LevelFields& f = m_nivel;
    m_upQtde = compartilhado<ClientDataSet>(&m_contexto.janela(), m_regras.atualizaQuantidade);
    const std::pair<QString, int> texts[] = {{f.branchKey, 4},     {f.serviceKey, 5},   {QStringLiteral("CDFILAUXPRAT"), 4},
                                             {QStringLiteral("CDPRATO"), 10}, {cdProduto, 10}, {sgUnidade, 10},
                                             {f.prepTime, 5},      {QStringLiteral("NMPRODUTO"), 50}, {sgUnidProd, 10},
                                             {f.baseProduct, 1}};
    for (const auto& [name, size] : texts)
        if (!name.isEmpty())
            m_upQtde->AddField(name, FieldType::String, size);
    for (const QString& name : {f.cleaningLoss, f.cookingGain, f.netQty, f.stockUnitQty, f.requisitionQty, f.grossQty})
        m_upQtde->AddField(name, FieldType::Float);
    m_upQtde->FieldByName(f.grossQty)->setDisplayLabel(QStringLiteral("Qtde. Bruta"));
    const auto envia = [this](ClientDataSet& ds) {
        m_enviador->envia(ds, {m_regras.metodoAtualizaQuantidade, QStringLiteral("upd_") + ds.objectName(), {}, {}});
    };
    m_upQtde->AfterPost = envia;
    m_upQtde->AfterDelete = envia;
}

void PaginaReceita::defineCampos()
{
    const LevelFields& f = m_nivel;
    struct Definicao {
        QString name;
        const char* label;
        const char* display;
        const char* edit;
    };
    const Definicao definicoes[] = {
        {cdProduto, "Produto", nullptr, nullptr},
        {QStringLiteral("NMPRODUTO"), "Nome do Produto", nullptr, nullptr},
        {f.netQty, "Quantidade", "#,##0.00000", "##0.00000"},
        {sgUnidade, "UN", nullptr, nullptr},
        {f.cookingGain, "Ganho Cocção", "#,##0.00 %", nullptr},
        {f.cookingYield, "Aprov. Cocção", "#,##0.00 %", nullptr},
        {f.cleaningLoss, "Perda Limpeza", "#,##0.00 %", nullptr},
        {f.cleaningYield, "Aprov. Limpeza", "#,##0.00 %", nullptr},
        {f.prepTime, "Tempo", nullptr, nullptr},
        {f.stockUnitQty, "Qtde. na Unidade de Estoque", nullptr, nullptr},
        {f.grossQty, "Qtde. Bruta", "##0.00000", nullptr},
        {f.requisitionQty, "Qtde. Req.", nullptr, "##0.00000"},
        {f.baseProduct, "Pr. Base", nullptr, nullptr},
        {QStringLiteral("NMAPRERECE"), "Apresentação", nullptr, nullptr},
        {cdApreRece, "Apresentação", nullptr, nullptr},
        {f.nutritionalYield, "Aprov. Nutricional", "#,##0.00 %", nullptr},
        {f.nutrientQty, "Qtde. Cálculo Nutriente", "#,##0.00000", nullptr},
        {cdArvProd, "Produto", nullptr, nullptr},
        {f.fixedQty, "Qt. Fixa", nullptr, nullptr},
        {f.anticipation, "Dia(s) Lim. Seg.", nullptr, nullptr},
        {f.requisitionType, "Req. Para", nullptr, nullptr},
        {f.complement, "Complemento", "#,##0.00000", nullptr},
        {f.directEntry, "Comp. Ent. Direta", nullptr, nullptr},
        {f.defrostLoss, "Perda Degelo", "#,##0.00 %", nullptr},
    };
    for (const Definicao& d : definicoes) {
        Field* field = d.name.isEmpty() ? nullptr : m_lista->FindField(d.name);
        if (!field)
            continue;
        field->setDisplayLabel(QString::fromUtf8(d.label));
        if (d.display)
            field->setDisplayFormat(QString::fromLatin1(d.display));
        if (d.edit)
            field->setEditFormat(QString::fromLatin1(d.edit));
    }
    if (Field* time = campo(f.prepTime))
        time->setEditMask(QStringLiteral("!999:99;0; "));
    if (Field* fixed = campo(f.fixedQty))
        fixed->setDisplayWidth(4);
    campo(cdArvProd)->setEditMask(framework::hostContext().DBPictObj(0).editMask());
    if (!m_lista->FindField(f.nutrientBase)) {
        Field* base = m_lista->AddCalcField(f.nutrientBase, FieldType::Float);
        base->setDisplayLabel(QStringLiteral("Base Calc Nutr."));
        base->setDisplayFormat(QStringLiteral("#,##0.00000"));
        base->setReadOnly(true);
    }
    m_lista->setIndexFieldNames(cdArvProd);

    // Text handlers.
    if (Field* type = campo(f.requisitionType)) {
        type->OnGetText = [this](Field& field, QString& text, bool) {
            text.clear();
            for (const auto& [code, key] : tiposRequisicao)
                if (field.AsString() == QLatin1String(code))
                    text = m_contexto.mensagens().Msg(QString::fromLatin1(key));
        };
        type->OnSetText = [this](Field& field, const QString& text) {
            for (const auto& [code, key] : tiposRequisicao)
                if (text == m_contexto.mensagens().Msg(QString::fromLatin1(key)) || text == QLatin1String(code))
                    field.setAsString(QString::fromLatin1(code));
            if (field.AsString() != u"P")
                if (Field* complement = campo(m_nivel.complement))
                    complement->setAsFloat(0);
        };
    }
    Field* unit = campo(sgUnidade);
    unit->OnGetText = [this](Field& field, QString& text, bool) {
        text = field.AsString();
        if (text.trimmed().isEmpty())
            text = campo(sgUnidProd)->AsString();
    };
    // The stock unit is what an empty unit shows: typing it (or nothing) leaves the field empty,
    // any other unit is stored.
    unit->OnSetText = [this](Field& field, const QString& text) {
        const QString typed = text.trimmed();
        if (typed.isEmpty() || typed == campo(sgUnidProd)->AsString().trimmed())
            field.Clear();
        else
            field.setAsString(typed);
    };
    Field* requisition = campo(f.requisitionQty);
    requisition->OnGetText = [this](Field& field, QString& text, bool) {
        text = field.IsNull() ? QString()
                              : framework::formatNumber(field.AsFloat(), QStringLiteral("#,##0.00000")) + QStringLiteral("  ")
                                    + campo(sgUnidProd)->AsString();
    };
    requisition->OnSetText = [this](Field& field, const QString& text) { m_validacao->ValidNumber(field, text, 10); };
    campo(f.netQty)->OnSetText = [this](Field& field, const QString& text) { m_validacao->ValidNumber(field, text, 7); };
}

void PaginaReceita::criaGrade()
{
    const LevelFields& f = m_nivel;
    const QString colunas[] = {cdArvProd,        QStringLiteral("NMPRODUTO"), cdApreRece,       f.netQty,
                               sgUnidade,        f.fixedQty,                  f.cookingGain,    f.cookingYield,
                               f.cleaningLoss,   f.cleaningYield,             f.defrostLoss,    f.prepTime,
                               f.grossQty,       f.requisitionQty,            f.requisitionType, f.complement,
                               f.directEntry,    f.baseProduct,               f.anticipation,   f.nutrientBase,
                               f.nutritionalYield, f.nutrientQty};
    for (const QString& name : colunas) {
        if (name.isEmpty() || !m_lista->FindField(name))
            continue;
        TColumn* column = m_grade->AddColumn(name);
        if (name == cdApreRece || name == sgUnidade)
            column->setButtonStyle(TColumn::cbsEllipsis);
        else if (name == f.fixedQty)
            column->setButtonStyle(TColumn::cbsNone);
        else if (name == f.requisitionType)
            column->setPickList({m_contexto.mensagens().Msg(QStringLiteral("Producao")),
                                 m_contexto.mensagens().Msg(QStringLiteral("Distribuicao")),
                                 m_contexto.mensagens().Msg(QStringLiteral("Entrega_Direta"))});
        if (name == QLatin1String("NMPRODUTO") || name == f.requisitionQty || name == f.nutrientBase)
            column->setReadOnly(true);
    }
    m_grade->setOptions(TDBGrid::dgEditing | TDBGrid::dgTitles | TDBGrid::dgColumnResize | TDBGrid::dgColLines
                        | TDBGrid::dgRowLines | TDBGrid::dgTabs | TDBGrid::dgAlwaysShowSelection
                        | TDBGrid::dgConfirmDelete);
}

void PaginaReceita::ligaEventos()
{
    m_grade->OnColEnter = [this](TDBGrid&) { ColEnter(); };
    m_grade->OnColExit = [this](TDBGrid&) { ColExit(); };
    m_grade->OnEditButtonClick = [this](TDBGrid&) { EditButtonClick(); };
    m_grade->OnCellClick = [this](TDBGrid&, TColumn& column) { CellClick(column); };
    m_grade->OnDblClick = [this](TDBGrid&) { DblClick(); };
    m_grade->OnTitleClick = [this](TDBGrid&, TColumn& column) { TitleClick(column); };
    m_grade->OnKeyDown = [this](TDBGrid&, int& key, Qt::KeyboardModifiers modifiers) { KeyDown(key, modifiers); };
    m_grade->OnKeyPress = [this](TDBGrid&, QChar& key) { KeyPress(key); };
    m_grade->OnDrawColumnCell = [this](TDBGrid&, framework::TCellPaint& cell) { DrawColumnCell(cell); };
    m_grade->OnEnter = [this](TDBGrid&) { Enter(); };
    m_grade->OnExit = [this](TDBGrid&) { Exit(); };

    m_lista->BeforeInsert = [this](ClientDataSet&) { BeforeInsert(); };
    m_lista->OnNewRecord = [this](ClientDataSet&) { NewRecord(); };
    m_lista->BeforeEdit = [this](ClientDataSet&) { BeforeEdit(); };
    m_lista->BeforePost = [this](ClientDataSet&) { BeforePost(); };
    m_lista->AfterPost = [this](ClientDataSet&) { AfterPost(); };
    m_lista->BeforeDelete = [this](ClientDataSet&) { BeforeDelete(); };
    m_lista->OnCalcFields = [this](ClientDataSet&) { CalcFields(); };
    framework::guardedConnect(m_fonte, &framework::DataSource::stateChanged, this, [this] { StateChange(); });
}

// --- Helpers -----------------------------------------------------------------------------------

Field* PaginaReceita::campo(const QString& name) const { return name.isEmpty() ? nullptr : m_lista->FindField(name); }

bool PaginaReceita::editando() const { return m_lista->state() == State::Edit || m_lista->state() == State::Insert; }

bool PaginaReceita::inserindo() const { return m_lista->state() == State::Insert; }

bool PaginaReceita::coluna(const QString& fieldName) const
{
    const TColumn* column = m_grade->SelectedColumn();
    return column && !fieldName.isEmpty() && column->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0;
}

bool PaginaReceita::colunaQuantidade() const
{
    const LevelFields& f = m_nivel;
    for (const QString& name : {f.grossQty, f.netQty, sgUnidade, f.cookingGain, f.cookingYield, f.defrostLoss,
                                f.cleaningLoss, f.cleaningYield})
        if (coluna(name))
            return true;
    return false;
}

bool PaginaReceita::entradaLiquida() const
{
    return m_forcaLiquida || flag(&m_contexto.parametrosPlanejamento(), "IDQTLIQUBRUT") == u"B";
}

QString PaginaReceita::flagGeral(const char* name) const { return flag(&m_contexto.parametrosLocais(), name); }

double PaginaReceita::perdaDegelo() const
{
    const Field* loss = campo(m_nivel.defrostLoss);
    return loss ? loss->AsFloat() : 0;
}

QStringList PaginaReceita::chavesNivel() const
{
    QStringList keys;
    for (const QString& key : {m_nivel.centralKey, m_nivel.menuTypeKey, m_nivel.branchKey, m_nivel.serviceKey})
        if (!key.isEmpty())
            keys << key;
    return keys;
}

void PaginaReceita::falha(const QString& key, const QString& fieldName, const QStringList& args) const
{
    if (!fieldName.isEmpty()) {
        const int column = framework::IndiceCol(*m_grade, fieldName);
        if (column >= 0 && m_grade->Columns(column)->Visible())
            m_grade->setSelectedIndex(column);
        if (m_grade->isEnabled() && m_grade->isVisible())
            m_grade->setFocus();
    }
    m_contexto.mensagens().ShowMsg(key, framework::mtError, framework::mbOK, args);
    throw framework::Abort();
}

void PaginaReceita::autoriza(const QString& operation) const
{
    if (operation.isEmpty() || framework::hostContext().ModuFili)
        return;
    if (!server::Autoriza(m_contexto.autorizador(), kindReceita, operation))
        throw framework::Abort();
}

void PaginaReceita::verificaAlteracao() const
{
    if (m_contexto.consulta())
        throw framework::Abort();
    if (m_regras.limites)
        m_regras.limites(QStringLiteral("A"));
    if (m_regras.validaSeletores)
        m_regras.validaSeletores();
}

void PaginaReceita::autorizaEdicao()
{
    if (!m_autorizacaoPendente || reescalando() || m_lista->state() != State::Edit)
        return;
    if (!framework::hostContext().ModuFili
        && !server::Autoriza(m_contexto.autorizador(), kindReceita, m_regras.autorizaAlteracao)) {
        m_autorizacaoPendente = false;
        m_lista->Cancel();
        throw framework::Abort();
    }
    m_autorizacaoPendente = false;
}

} // namespace recipe
