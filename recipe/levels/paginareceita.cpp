#include "paginareceita.h"
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

using framework::ClientDataSet;
using framework::Field;
using framework::FieldType;
using framework::TColumn;
using framework::TDBGrid;
using State = ClientDataSet::State;

namespace {

constexpr int kindReceita = 4;
const QString cdArvProd = QStringLiteral("CDARVPROD");
const QString cdProduto = QStringLiteral("CDPRODUTO");
const QString sgUnidade = QStringLiteral("SGUNIDADE");
const QString sgUnidProd = QStringLiteral("SGUNIDPROD");
const QString cdApreRece = QStringLiteral("CDAPRERECE");

// The texts of the requisition types, by code.
const std::pair<const char*, const char*> tiposRequisicao[] = {
    {"P", "Producao"}, {"D", "Distribuicao"}, {"E", "Entrega_Direta"}, {"F", "Finalizacao"}};

bool startsWith(const QString& name, const QString& prefix)
{
    return !prefix.isEmpty() && name.startsWith(prefix, Qt::CaseInsensitive);
}

bool isFlagColumn(const QString& name)
{
    return startsWith(name, QStringLiteral("IDPRODBASE")) || startsWith(name, QStringLiteral("IDQTDEFIX"));
}

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

PaginaReceita::PaginaReceita(ContextoReceita& contexto, const LevelFields& level, RegrasNivel regras)
    : QObject(&contexto.janela()), m_contexto(contexto), m_nivel(level), m_regras(std::move(regras))
{
    setObjectName(QStringLiteral("pagina") + level.dataSet);
    QWidget& form = contexto.janela();
    m_lista = form.findChild<ClientDataSet*>(level.dataSet);
    m_fonte = form.findChild<framework::DataSource*>(level.dataSource);
    m_grade = form.findChild<TDBGrid*>(level.grid);
    if (!m_lista || !m_fonte || !m_grade)
        throw framework::Error(QStringLiteral("Página de receita %1 incompleta no formulário.").arg(level.page));
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

QString PaginaReceita::niveisProduto() const
{
    return QString::number(framework::hostContext().DBPictObj(0).GetTtNiveis());
}

QString PaginaReceita::filialStatus() const
{
    // The branch of a branch or service page; the processing branch elsewhere.
    if (m_nivel.branchKey.isEmpty() || !m_regras.chaves)
        return framework::hostContext().FiliProc;
    return m_regras.chaves().value(0);
}

void PaginaReceita::arredondaPercentuais()
{
    const LevelFields& f = m_nivel;
    for (const QString& name :
         {f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.nutritionalYield, f.defrostLoss})
        if (Field* field = campo(name))
            field->setAsFloat(RoundNumber(field->AsString()));
}

void PaginaReceita::VrPeNutrAlterado()
{
    if (!editando())
        m_lista->Edit();
    campo(m_nivel.nutritionalYield)->setTag(1);
    campo(m_nivel.nutrientQty)->setTag(0);
}

void PaginaReceita::QtCalcNutrAlterado()
{
    if (!editando())
        m_lista->Edit();
    campo(m_nivel.nutritionalYield)->setTag(0);
    campo(m_nivel.nutrientQty)->setTag(1);
}

void PaginaReceita::CamposNutrInalterados()
{
    campo(m_nivel.nutritionalYield)->setTag(0);
    campo(m_nivel.nutrientQty)->setTag(0);
}

// --- Quantities --------------------------------------------------------------------------------

void PaginaReceita::Vd_Quantidade(const QString& mode)
{
    if (!editando())
        return;
    const Fatores fatores{campo(m_nivel.cookingGain)->AsFloat(), campo(m_nivel.cleaningLoss)->AsFloat(),
                          perdaDegelo()};
    if (mode == u"L") {
        const double net = liquidaDaBruta(campo(m_nivel.grossQty)->AsFloat(), fatores);
        if (net == 0)
            falha(QStringLiteral("QtdeLiquida_Zero"), m_nivel.grossQty);
        campo(m_nivel.netQty)->setAsFloat(net);
        return;
    }
    const double gross = brutaDaLiquida(campo(m_nivel.netQty)->AsFloat(), fatores);
    if (gross == 0)
        falha(QStringLiteral("QtdeBruta_Zero"), {});
    campo(m_nivel.grossQty)->setAsFloat(gross);
}

double PaginaReceita::Qtde_Bruta()
{
    Field* stock = campo(m_nivel.stockUnitQty);
    const double gross = campo(m_nivel.grossQty)->AsFloat();
    const double requisition = m_unidades->requisicao(
        {campo(cdProduto)->AsString(), campo(sgUnidade)->AsString(), campo(sgUnidProd)->AsString()}, gross);
    stock->setAsFloat(requisition);
    return requisition;
}

void PaginaReceita::recalculaQuantidades()
{
    if (!editando())
        return;
    if (entradaLiquida()) {
        if (!campo(m_nivel.netQty)->IsNull())
            Vd_Quantidade(QStringLiteral("B"));
    } else if (!campo(m_nivel.grossQty)->IsNull()) {
        Vd_Quantidade(QStringLiteral("L"));
    }
    campo(m_nivel.requisitionQty)->setAsFloat(Qtde_Bruta());
}

void PaginaReceita::Vd_QtCalcNutr()
{
    if (m_lista->state() != State::Edit && m_lista->state() != State::Insert)
        return;
    Field* quantity = campo(m_nivel.nutrientQty);
    if (quantity->Tag() != 1)
        return;
    if (quantity->AsFloat() <= 0)
        falha(QStringLiteral("QtCalcNutr_Maior"), m_nivel.nutrientQty);
    const double base = framework::RoundDec(campo(m_nivel.nutrientBase)->AsFloat(), 5);
    campo(m_nivel.nutritionalYield)->setAsFloat(base > 0 ? framework::RoundDec(quantity->AsFloat() / base * 100, 2) : 0);
}

void PaginaReceita::parNutriente()
{
    m_validacao->Vd_VrPerNutr(*m_lista, m_nivel, m_grade);
    Vd_QtCalcNutr();
}

void PaginaReceita::Atualiza_Proporcional()
{
    // Nothing to scale from: a quantity that was zero or empty gives no ratio.
    if (m_qtAnteriorNula || m_qtAnterior == 0)
        return;
    Vd_ProdInativo();
    m_validaPost = false;
    m_inativosVerificados = true;
    m_lista->DisableControls();
    const auto restore = qScopeGuard([this] {
        m_validaPost = true;
        m_inativosVerificados = false;
        m_lista->EnableControls();
    });
    const QString edited = campo(cdProduto)->AsString();
    const double ratio = campo(m_nivel.netQty)->AsFloat() / m_qtAnterior;
    Field* fixed = campo(m_nivel.fixedQty);
    for (m_lista->First(); !m_lista->Eof(); m_lista->Next()) {
        if (campo(cdProduto)->AsString() == edited || (fixed && fixed->AsString() == u"S"))
            continue;
        m_lista->Edit();
        Field* net = campo(m_nivel.netQty);
        net->setAsFloat(net->AsFloat() * ratio);
        Vd_Quantidade(QStringLiteral("P"));
        campo(m_nivel.requisitionQty)->setAsFloat(Qtde_Bruta());
        VrPeNutrAlterado();
        m_validacao->Vd_VrPerNutr(*m_lista, m_nivel, m_grade);
        m_lista->Post();
    }
    m_lista->Locate(cdProduto, edited);
}

void PaginaReceita::Calcula_Qtde_Prop_Pessoa(double factor)
{
    m_lista->CheckBrowseMode();
    // The run is one operation: whatever stops it, the list goes back to what it was.
    const framework::DataPacket antes = m_lista->Data();
    const QString atual = m_lista->IsEmpty() ? QString() : campo(cdProduto)->AsString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool idleWasActive = m_contexto.inatividade().isActive();
    m_contexto.inatividade().stop();
    m_lista->DisableControls();
    // The rows are typed as net quantities for the run; the entry mode the user works in comes
    // back afterwards as it was.
    m_forcaLiquida = true;
    m_calcQtPessoa = true;
    const auto restore = qScopeGuard([this, idleWasActive] {
        m_forcaLiquida = false;
        m_calcQtPessoa = false;
        m_inativosVerificados = false;
        m_lista->EnableControls();
        if (idleWasActive)
            m_contexto.inatividade().start();
        QApplication::restoreOverrideCursor();
    });
    // The dish data's post that asks for the run has passed the guards of a change to the level
    // (query mode, the standard recipe's block, the supervisor); one check of the recipe's
    // products serves every row.
    Vd_ProdInativo();
    m_inativosVerificados = true;
    const QString dishUnit = m_contexto.pratos().FieldByName(sgUnidade)->AsString();
    try {
        for (m_lista->First(); !m_lista->Eof(); m_lista->Next()) {
            Field* net = campo(m_nivel.netQty);
            const double inDishUnit = m_unidades->emUnidade(
                {campo(cdProduto)->AsString(), campo(sgUnidade)->AsString(), campo(sgUnidProd)->AsString()}, dishUnit,
                net->AsFloat());
            if (inDishUnit == 0)
                continue;
            m_lista->Edit();
            net->setAsFloat(net->AsFloat() * factor);
            VrPeNutrAlterado();
            m_lista->Post();
        }
    } catch (...) {
        m_lista->Cancel();
        m_lista->SetData(antes);
        if (!atual.isEmpty())
            m_lista->Locate(cdProduto, atual);
        throw;
    }
}

// --- Checks ------------------------------------------------------------------------------------

void PaginaReceita::preencheListaProdutos()
{
    const QString grouping = m_nivel.level == Level::TpCard
                                 ? QString()
                                 : m_contexto.parametrosGerais().Active() ? m_contexto.parametrosGerais().FieldByName(
                                                                        QStringLiteral("CDGRUPPROD"))->AsString()
                                                                  : QString();
    // The menu-type page reads the products anew at each search.
    const bool reload = m_regras.recarregaProdutos;
    if (flagGeral("IDCACHPRODFI") != u"S") {
        if (reload || !m_pesquisaProd->Active() || m_pesquisaProd->IsEmpty())
            loadPacket(m_pesquisaProd, m_contexto.servidor().call(QStringLiteral("getPesqProduto"),
                                                                     {niveisProduto(), grouping}));
        m_pesqProd->CopyFrom(*m_pesquisaProd);
        return;
    }
    if (reload || !m_produtoCache->Active() || m_produtoCache->IsEmpty())
        loadPacket(m_produtoCache, m_contexto.servidor().call(QStringLiteral("GetProdutoCache"),
                                                                 {niveisProduto(), m_contexto.filialTrabalho(), grouping}));
    m_pesqProd->CopyFrom(*m_produtoCache);
}

void PaginaReceita::Vd_CdProduto(bool required)
{
    if (!inserindo())
        return;
    QString code = campo(cdArvProd)->AsString().trimmed();
    if (code.isEmpty()) {
        if (required)
            falha(QStringLiteral("COD_EMPTY"), cdArvProd);
        return;
    }
    if (!framework::Tabvalid::ValidEx(m_fonte, 0, code, framework::Tabvalid::voNivelCompleto, {}, false))
        falha(QStringLiteral("PROD_NCAD"), cdArvProd);
    m_qryVdProduto->Close();
    m_qryVdProduto->setParam(QStringLiteral("P_CDARVPROD"), code);
    m_qryVdProduto->Open();
    if (m_qryVdProduto->IsEmpty())
        falha(QStringLiteral("PROD_NCAD"), cdArvProd);

    preencheListaProdutos();
    const bool cache = flagGeral("IDCACHPRODFI") == u"S";
    const QString grouping =
        m_contexto.parametrosGerais().Active() ? m_contexto.parametrosGerais().FieldByName(QStringLiteral("CDGRUPPROD"))->AsString().trimmed()
                                       : QString();
    const bool found = m_pesqProd->Locate(cdArvProd, code);
    if (!found) {
        if (m_nivel.level == Level::TpCard) {
            if (cache)
                falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
        } else if (!cache) {
            if (!grouping.isEmpty())
                falha(QStringLiteral("PROD_NCAD_GRUP_PROD"), cdArvProd);
        } else {
            falha(grouping.isEmpty() ? QStringLiteral("PROD_INATIVO") : QStringLiteral("PROD_INATIVO_GRUP_PROD"), cdArvProd);
        }
    }

    const QString product = m_qryVdProduto->FieldByName(cdProduto)->AsString();
    const QVariant status = m_contexto.servidor().call(QStringLiteral("Verif_Status_Prod"),
                                                          {filialStatus(), niveisProduto(), code});
    if (status.toString() == u"PROD_INATIVO")
        falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
    if (m_contexto.servidor().call(QStringLiteral("GetVerifProd"), {m_contexto.filialTrabalho(), product}).toBool())
        falha(QStringLiteral("PROD_N_ESTQ"), cdArvProd);
    if (m_contexto.produtosVerificados().Active()) {
        m_contexto.produtosVerificados().setFilter(QStringLiteral("CDPRODUTO = ") + framework::QuotedStr(product));
        m_contexto.produtosVerificados().setFiltered(true);
    }
    if (product != m_qryVdProduto->FieldByName(QStringLiteral("CDPRODESTO"))->AsString())
        falha(QStringLiteral("PROD_ESTO"), cdArvProd);

    const QString owner = m_contexto.pratos().FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = m_contexto.pratos().FieldByName(QStringLiteral("CDPRATO"))->AsString();
    if (m_verif->Active()
        && m_verif->Locate(QStringLiteral("CDFILAUXPRAT;CDPRATO;CDPRODUTO"), QVariantList{owner, dish, product}))
        falha(m_regras.duplicado, cdArvProd);

    campo(cdProduto)->setAsString(product);
    campo(QStringLiteral("NMPRODUTO"))->setAsString(m_qryVdProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString());
    campo(sgUnidProd)->setAsString(m_qryVdProduto->FieldByName(sgUnidade)->AsString());
}

void PaginaReceita::Vd_QtProduto(Field& quantity, bool required)
{
    if (!editando())
        return;
    if (quantity.IsNull()) {
        if (required)
            falha(QStringLiteral("QTDE_EMPTY"), quantity.FieldName());
        return;
    }
    if (!(quantity.AsFloat() > 0))
        falha(QStringLiteral("QTDE_ZERO"), quantity.FieldName());
}

void PaginaReceita::Vd_SgUnidProd()
{
    if (!editando())
        return;
    const QString unit = campo(sgUnidade)->AsString().trimmed();
    if (unit.isEmpty())
        return;
    m_qryPesqConvProduto->Close();
    m_qryPesqConvProduto->setParam(QStringLiteral("P_CDPRODUTO"), campo(cdProduto)->AsString());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDADE"), campo(sgUnidProd)->AsString().trimmed());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_TSGUNIDADE"), QString());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDESTO"), unit);
    m_qryPesqConvProduto->Open();
    if (m_qryPesqConvProduto->IsEmpty()
        || m_qryPesqConvProduto->FieldByName(QStringLiteral("SGUNIDDE"))->AsString().trimmed() != unit)
        falha(QStringLiteral("UNID_NC"), sgUnidade);
}

void PaginaReceita::Vd_PeFatCorr(Field& field, bool yield)
{
    if (!editando())
        return;
    const double value = field.AsFloat();
    if (yield && (value < 1 || value > 100))
        falha(QStringLiteral("FATCORPERDA_INV"), field.FieldName());
    if (!yield && (value < 0 || value > 99))
        falha(QStringLiteral("FATCORAPROV_INV"), field.FieldName());
}

void PaginaReceita::Vd_PePerDegelo()
{
    Field* loss = campo(m_nivel.defrostLoss);
    if (!loss || !editando())
        return;
    if (loss->AsFloat() < 0 || loss->AsFloat() > 99)
        falha(QStringLiteral("FatPerdaDegelo_fora"), loss->FieldName());
}

void PaginaReceita::Vd_HrTempPrep()
{
    Field* time = campo(m_nivel.prepTime);
    if (!time || !editando())
        return;
    if (!TempoPreparoOk(time->AsString()))
        falha(QStringLiteral("TEMPPREP_INV"), time->FieldName());
}

void PaginaReceita::Vd_ComplementoRecePadr()
{
    Field* complement = campo(m_nivel.complement);
    if (complement && !complement->IsNull() && !(complement->AsFloat() > 0))
        falha(QStringLiteral("QTDE_ZERO"), complement->FieldName());
}

void PaginaReceita::Vd_ApreRece()
{
    if (!editando() || campo(cdApreRece)->AsString().trimmed().isEmpty() || campo(cdProduto)->AsString().isEmpty())
        return;
    const QString code = framework::Ajusta(campo(cdApreRece)->AsString().trimmed(), 3);
    m_qryApreRece->Close();
    m_qryApreRece->setParam(cdApreRece, code);
    m_qryApreRece->Open();
    if (m_qryApreRece->IsEmpty())
        falha(QStringLiteral("ApreProd_nc"), cdApreRece);
    campo(QStringLiteral("NMAPRERECE"))->setAsString(m_qryApreRece->FieldByName(QStringLiteral("NMAPRERECE"))->AsString());
    campo(cdApreRece)->setAsString(code);
}

void PaginaReceita::Vd_ProdInativo()
{
    const QString x = QStringLiteral("x");
    QVariantList args{filialStatus(), niveisProduto(), m_contexto.pratos().FieldByName(QStringLiteral("CDPRATO"))->AsString(),
                      m_contexto.pratos().FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString()};
    // Slots 4..10: service, then one slot per recipe kind, then central and menu type.
    const QStringList kinds{QStringLiteral("RP"), QStringLiteral("RL"), QStringLiteral("RS"), QStringLiteral("RT")};
    // The level's own keys fill their slots: the service, or the central and the menu type.
    const QStringList keys = m_regras.chaves ? m_regras.chaves() : QStringList();
    args << (m_nivel.serviceKey.isEmpty() ? x : keys.value(1));
    for (const QString& kind : kinds)
        args << (kind == m_regras.kindReceita ? kind : x);
    if (m_nivel.centralKey.isEmpty())
        args << x << x;
    else
        args << keys.value(0) << keys.value(1);
    loadPacket(m_prodInativo, m_contexto.servidor().call(QStringLiteral("Verif_Prod_Inativo"), args));
    QString offending;
    for (m_prodInativo->First(); !m_prodInativo->Eof() && offending.isEmpty(); m_prodInativo->Next())
        if (m_prodInativo->FieldByName(QStringLiteral("IDPRODATIV"))->AsString() == u"I"
            || m_prodInativo->FieldByName(QStringLiteral("IDPRODATIVPR"))->AsString() == u"N")
            offending = m_prodInativo->FieldByName(cdArvProd)->AsString();
    // Any offending row blocks, a reply of one row included.
    if (offending.isEmpty())
        return;
    m_lista->Cancel();
    m_lista->Locate(cdArvProd, offending);
    falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
}

// --- Grid --------------------------------------------------------------------------------------

void PaginaReceita::ColExit()
{
    const LevelFields& f = m_nivel;
    autorizaEdicao();
    if (m_lista->state() == State::Edit || m_lista->state() == State::Insert)
        arredondaPercentuais();
    if (coluna(cdArvProd)) {
        Vd_CdProduto(false);
        const QString code = campo(cdArvProd)->AsString().trimmed();
        if (inserindo() && !code.isEmpty()) {
            m_qryCdProduto->Close();
            m_qryCdProduto->setParam(QStringLiteral("P_CDARVPROD"), code);
            m_qryCdProduto->Open();
            const QVariant loss = m_contexto.servidor().call(
                QStringLiteral("GetValorProduto"), {m_qryCdProduto->FieldByName(cdProduto)->AsString()});
            const double value = framework::StrToFloatDef(loss.toString(), 0);
            campo(f.cleaningLoss)->setAsFloat(value);
            campo(f.cleaningYield)->setAsFloat(100 - value);
        }
    }
    if (coluna(sgUnidade))
        Vd_SgUnidProd();
    if (coluna(f.cleaningLoss))
        Vd_PeFatCorr(*campo(f.cleaningLoss), false);
    if (coluna(f.cleaningYield))
        Vd_PeFatCorr(*campo(f.cleaningYield), true);
    if (coluna(f.prepTime))
        Vd_HrTempPrep();
    if (coluna(f.defrostLoss))
        Vd_PePerDegelo();
    m_validacao->Vd_CoccaoLimpeza(*m_grade, m_nivel);
    if (colunaQuantidade())
        recalculaQuantidades();
    parNutriente();
    if (coluna(cdApreRece))
        Vd_ApreRece();
}

void PaginaReceita::ColEnter()
{
    const TColumn* column = m_grade->SelectedColumn();
    if (!column)
        return;
    const QString name = column->FieldName();
    m_grade->setOption(TDBGrid::dgEditing, !isFlagColumn(name) && !startsWith(name, QStringLiteral("IDUTCOMPENTDIR")));
    if (name == cdApreRece && !column->Visible()) {
        const int next = framework::IndiceCol(*m_grade, entradaLiquida() ? m_nivel.netQty : sgUnidade);
        if (next >= 0)
            m_grade->setSelectedIndex(next);
    }
}

void PaginaReceita::EditButtonClick()
{
    framework::TMessages& messages = m_contexto.mensagens();
    if (coluna(cdArvProd)) {
        if (!inserindo())
            return;
        preencheListaProdutos();
        m_pesquisaProd->CopyFrom(*m_pesqProd);
        m_pesquisaProd->FieldByName(QStringLiteral("DSCOMPLNOME"))->setVisible(flagGeral("IDPESQCOMPPROD") == u"S");
        if (!framework::Pesquisar(*m_pesquisaProd, messages.Msg(QStringLiteral("PRODUTO")) + u'|'
                                                       + messages.Msg(QStringLiteral("P_NCad"))))
            return;
        for (const QString& name : {cdArvProd, cdProduto, QStringLiteral("NMPRODUTO")})
            campo(name)->setAsString(m_pesquisaProd->FieldByName(name)->AsString());
        campo(sgUnidProd)->setAsString(m_pesquisaProd->FieldByName(sgUnidade)->AsString());
        return;
    }
    if (coluna(sgUnidade)) {
        if (m_lista->state() == State::Insert)
            Vd_CdProduto(true);
        if (!editando())
            m_lista->Edit();
        m_qryPesqConvProduto->Close();
        m_qryPesqConvProduto->setParam(QStringLiteral("P_CDPRODUTO"), campo(cdProduto)->AsString());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDADE"), campo(sgUnidProd)->AsString().trimmed());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDESTO"), QString());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_TSGUNIDADE"), QStringLiteral("T"));
        m_qryPesqConvProduto->Open();
        if (framework::Pesquisar_Plus(*m_qryPesqConvProduto, messages.Msg(QStringLiteral("UNID_MEDIDA")) + u'|'
                                                                  + messages.Msg(QStringLiteral("N_HA_UNID_MEDIDA"))))
            campo(sgUnidade)->setText(m_qryPesqConvProduto->FieldByName(QStringLiteral("SGUNIDDE"))->AsString().trimmed());
        return;
    }
    if (coluna(cdApreRece) && !campo(cdProduto)->AsString().isEmpty()) {
        m_qryApreRece->Close();
        m_qryApreRece->setParam(cdApreRece, QStringLiteral("T"));
        m_qryApreRece->Open();
        if (!framework::Pesquisar(*m_qryApreRece, messages.Msg(QStringLiteral("APRESENTACAO")) + u'|'
                                                      + messages.Msg(QStringLiteral("N_HA_APRESENTACAO"))))
            return;
        if (!editando())
            m_lista->Edit();
        campo(QStringLiteral("NMAPRERECE"))->setAsString(m_qryApreRece->FieldByName(QStringLiteral("NMAPRERECE"))->AsString());
        campo(cdApreRece)->setAsString(m_qryApreRece->FieldByName(cdApreRece)->AsString());
    }
}

void PaginaReceita::alternaFlag(const QString& fieldName, bool post)
{
    if (!editando())
        m_lista->Edit();
    Field* field = campo(fieldName);
    field->setAsString(field->AsString() == u"S" ? QStringLiteral("N") : QStringLiteral("S"));
    if (post)
        m_lista->Post();
}

void PaginaReceita::CellClick(TColumn& column)
{
    const QString name = column.FieldName();
    if (m_lista->Active() && !m_lista->IsEmpty()) {
        if ((name == m_nivel.baseProduct || name == m_nivel.fixedQty) && m_lista->state() != State::Edit
            && m_lista->state() != State::Insert)
            alternaFlag(name, true);
        else if (name == m_nivel.directEntry && campo(m_nivel.requisitionType)->AsString() == u"P")
            alternaFlag(name, m_lista->state() != State::Insert);
    }
    DblClick();
}

void PaginaReceita::DblClick()
{
    Field* type = campo(m_nivel.requisitionType);
    const int column = framework::IndiceCol(*m_grade, m_nivel.requisitionType);
    if (type && column >= 0 && m_lista->Active() && !type->IsNull())
        m_grade->Columns(column)->setButtonStyle(TColumn::cbsAuto);
}

void PaginaReceita::TitleClick(TColumn& column)
{
    if (editando() || m_lista->ChangeCount() > 0 || !m_lista->Active() || m_lista->IsEmpty())
        return;
    const QString name = column.FieldName();
    if (name != m_nivel.baseProduct && name != m_nivel.fixedQty)
        return;
    // Every row of the recipe changes on the server at once: the guards of a row edit.
    verificaAlteracao();
    autoriza(m_regras.autorizaAlteracao);
    const auto bookmark = m_lista->GetBookmark();
    m_lista->First();
    const QString value = campo(name)->AsString() == u"S" ? QStringLiteral("N") : QStringLiteral("S");
    if (m_lista->BookmarkValid(bookmark))
        m_lista->GotoBookmark(bookmark);
    const QString owner = campo(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = campo(QStringLiteral("CDPRATO"))->AsString();
    const QString parent = m_contexto.grupo(dish);
    QStringList scope;
    for (const QString& key : chavesNivel())
        scope << campo(key)->AsString();
    QVariant reply;
    if (name == m_nivel.baseProduct) {
        QVariantList args{owner, dish};
        const QVariantList keys(scope.begin(), scope.end());
        if (!m_regras.escopoNoFim)
            args += keys;
        args << value << m_contexto.filialTrabalho() << parent;
        if (m_regras.escopoNoFim)
            args += keys;
        reply = m_contexto.servidor().call(m_regras.metodoBase, args, m_regras.progressoBase);
    } else {
        QVariantList args{m_nivel.serverLetter, owner, dish, scope.value(0), scope.value(1), value, m_contexto.filialTrabalho(),
                          parent};
        reply = m_contexto.servidor().call(QStringLiteral("ProUpdQtdeFix"), args);
    }
    m_lista->DisableControls();
    const auto restore = qScopeGuard([this] { m_lista->EnableControls(); });
    const QString filter = m_lista->Filter();
    const bool filtered = m_lista->Filtered();
    loadPacket(m_lista, reply);
    m_lista->setFilter(filter);
    m_lista->setFiltered(filtered);
    m_lista->Locate(QStringLiteral("CDPRATO"), dish);
}

void PaginaReceita::KeyDown(int& key, Qt::KeyboardModifiers modifiers)
{
    const TColumn* column = m_grade->SelectedColumn();
    const QString name = column ? column->FieldName() : QString();
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl && name == cdArvProd) {
        if (key == Qt::Key_C || key == Qt::Key_X)
            m_prodCopiado = campo(cdArvProd)->AsString();
        else if (key == Qt::Key_V && inserindo() && !m_prodCopiado.isEmpty()) {
            campo(cdArvProd)->setAsString(m_prodCopiado);
            key = 0;
            return;
        }
    }
    const bool arrows = key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Left || key == Qt::Key_Right
                        || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!m_lista->Active() || (m_lista->IsEmpty() && !editando())) {
        if (arrows)
            key = 0;
        return;
    }
    if (ctrl && key == Qt::Key_Delete) {
        key = 0;
        return;
    }
    if (name == cdArvProd && m_lista->state() == State::Edit && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        key = 0;
        return;
    }
    if (key == Qt::Key_Space && isFlagColumn(name)) {
        key = 0;
        TColumn* current = m_grade->SelectedColumn();
        if (ctrl)
            TitleClick(*current);
        else
            CellClick(*current);
        return;
    }
    const bool derived = entradaLiquida() ? startsWith(name, QStringLiteral("QTBRUTA")) : startsWith(name, QStringLiteral("QTPROD"));
    if (key == Qt::Key_Delete && derived) {
        key = 0;
        return;
    }
    Field* type = campo(m_nivel.requisitionType);
    if (key == Qt::Key_Delete && type && !type->IsNull()) {
        if (!editando())
            m_lista->Edit();
        type->setAsString(QStringLiteral("P"));
        if (Field* complement = campo(m_nivel.complement))
            complement->Clear();
        return;
    }
    const LevelFields& f = m_nivel;
    const bool numberColumn = startsWith(name, QStringLiteral("QTPROD")) || startsWith(name, QStringLiteral("QTBRUTA"))
                              || name == f.complement || name == f.cookingGain || name == f.cookingYield
                              || name == f.cleaningLoss || name == f.cleaningYield || name == f.defrostLoss
                              || name == f.nutritionalYield || name == f.nutrientQty;
    if (!numberColumn)
        return;
    if (key == Qt::Key_E || key == Qt::Key_Minus) {
        key = 0;
        return;
    }
    const bool editsNumber = key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Comma
                             || key == Qt::Key_Period || (key >= Qt::Key_0 && key <= Qt::Key_9);
    if (!editsNumber)
        return;
    if (name == f.nutrientQty)
        QtCalcNutrAlterado();
    else
        VrPeNutrAlterado();
}

void PaginaReceita::KeyPress(QChar& key)
{
    const ClientDataSet* toolbar = m_contexto.fonteComandos().DataSet();
    if (!toolbar || !toolbar->Active() || (toolbar->IsEmpty() && toolbar->state() == State::Browse)) {
        key = QChar();
        return;
    }
    const TColumn* column = m_grade->SelectedColumn();
    const QString name = column ? column->FieldName() : QString();
    const LevelFields& f = m_nivel;
    const bool quantity = name == f.netQty || name == f.grossQty || name == f.complement || name == f.requisitionQty;
    if (quantity && key.toUpper() == u'E') {
        key = QChar();
        return;
    }
    if (name == f.anticipation && !key.isDigit() && key != u'\b' && key != u'\r') {
        key = QChar();
        return;
    }
    if (name == cdArvProd && !inserindo()) {
        key = QChar();
        return;
    }
    if (name == f.complement && campo(f.requisitionType)->AsString() != u"P") {
        key = QChar();
        return;
    }
    if (name == f.requisitionType && !campo(f.requisitionType)->IsNull()) {
        key = QChar();
        return;
    }
    const bool derived = entradaLiquida() ? startsWith(name, QStringLiteral("QTBRUTA")) : startsWith(name, QStringLiteral("QTPROD"));
    if (derived && key != u'\t' && key != u'\r' && !(key.unicode() >= 25 && key.unicode() <= 28)) {
        key = QChar();
        return;
    }
    if (m_lista->state() == State::Edit && (name == f.netQty || name == f.grossQty) && m_grade->InplaceEditor()) {
        const QString text = m_grade->InplaceEditor()->property("text").toString() + key;
        if (key.isPrint() && !framework::MaxNumber(text, 10, 5))
            key = QChar();
    }
}

void PaginaReceita::DrawColumnCell(framework::TCellPaint& cell) const
{
    if (!cell.column)
        return;
    const QString name = cell.column->FieldName();
    const LevelFields& f = m_nivel;
    const bool liquida = entradaLiquida();
    if (name == f.complement && cell.value(f.requisitionType).toString() != u"P")
        cell.greyed = true;
    if ((!liquida && (startsWith(name, QStringLiteral("QTPROD")) || name == f.requisitionQty))
        || (liquida && startsWith(name, QStringLiteral("QTBRUTA"))))
        cell.greyed = true;
    if (isFlagColumn(name))
        cell.check = framework::TCellPaint::checkFor(cell.value(name));
    if (name == f.directEntry) {
        if (cell.value(f.requisitionType).toString() != u"P")
            cell.check = framework::TCellPaint::ckGreyed;
        else
            cell.check = cell.value(name).toString() == u"S" ? framework::TCellPaint::ckChecked
                                                             : framework::TCellPaint::ckUnchecked;
    }
    if (name == cdApreRece && !cell.editing && !cell.value(cdApreRece).toString().trimmed().isEmpty())
        cell.text = cell.value(QStringLiteral("NMAPRERECE")).toString();
}

void PaginaReceita::Enter()
{
    if (m_regras.aoEntrar)
        m_regras.aoEntrar();
}

void PaginaReceita::Exit()
{
    // Only a move to another control of the form confirms: a message or search dialog taking the
    // focus must not post the row it is about.
    const QWidget* focus = QApplication::focusWidget();
    if (QApplication::activeModalWidget() || !focus || focus->window() != m_contexto.janela().window())
        return;
    if (m_contexto.comando(Comando::Confirmar).isEnabled())
        m_contexto.comando(Comando::Confirmar).trigger();
}

// --- Rows --------------------------------------------------------------------------------------

void PaginaReceita::BeforeInsert()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    autoriza(m_regras.autorizaInclusao);
    if (m_regras.limites)
        m_regras.limites(QStringLiteral("I"));
    if (m_regras.validaSeletores)
        m_regras.validaSeletores();
    if (m_regras.primeiraLinha && m_lista->IsEmpty())
        m_regras.primeiraLinha();
    if (m_regras.bloqueio)
        m_regras.bloqueio();
    m_autorizacaoPendente = false;
    m_qtAnterior = 0;
    m_qtAnteriorNula = false;
    m_modoEdicao = QStringLiteral("I");
    m_verif->SetData(m_lista->Data());
    const int column = framework::IndiceCol(*m_grade, cdArvProd);
    if (column >= 0)
        m_grade->setSelectedIndex(column);
}

void PaginaReceita::NewRecord()
{
    const LevelFields& f = m_nivel;
    const std::pair<QString, QVariant> defaults[] = {
        {f.cookingGain, 0.0},      {f.cookingYield, 100.0}, {f.cleaningYield, 100.0}, {f.nutritionalYield, 100.0},
        {f.defrostLoss, 0.0},      {f.directEntry, QStringLiteral("N")}, {f.requisitionType, QStringLiteral("P")}};
    for (const auto& [name, value] : defaults)
        if (Field* field = campo(name))
            field->setValue(value);
    campo(f.nutritionalYield)->setTag(1);
    campo(f.nutrientQty)->setTag(0);
}

void PaginaReceita::BeforeEdit()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    // The rows a run posts are not edits of the user's: nothing to check or to remember.
    if (reescalando())
        return;
    verificaAlteracao();
    m_autorizacaoPendente = !m_regras.autorizaAlteracao.isEmpty();
    const Field* net = campo(m_nivel.netQty);
    m_qtAnteriorNula = net->IsNull();
    m_qtAnterior = net->AsFloat();
    m_modoEdicao = QStringLiteral("E");
    m_verif->SetData(m_lista->Data());
}

void PaginaReceita::BeforePost()
{
    if (!m_inativosVerificados)
        Vd_ProdInativo();
    if (!m_validaPost)
        return;
    autorizaEdicao();
    const LevelFields& f = m_nivel;
    Vd_CdProduto(true);
    Field* type = campo(f.requisitionType);
    if (Field* direct = campo(f.directEntry); direct && type && type->AsString() != u"P")
        direct->setAsString(QStringLiteral("N"));
    Vd_QtProduto(*campo(entradaLiquida() ? f.netQty : f.grossQty), true);
    if (Field* complement = campo(f.complement); complement && complement->AsFloat() != 0)
        Vd_ComplementoRecePadr();
    Vd_SgUnidProd();
    for (const QString& name : {f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.nutritionalYield})
        m_validacao->Vd_ValidaVazio(*campo(name), m_grade);
    // A nutrient quantity that follows the yield is derived below; only a typed one must be there.
    if (campo(f.nutritionalYield)->Tag() != 1)
        m_validacao->Vd_ValidaVazio(*campo(f.nutrientQty), m_grade);
    arredondaPercentuais();
    Vd_PeFatCorr(*campo(f.cleaningLoss), false);
    Vd_PeFatCorr(*campo(f.cleaningYield), true);
    Vd_PePerDegelo();
    Vd_HrTempPrep();
    if (coluna(cdApreRece))
        Vd_ApreRece();
    if (campo(f.cookingGain)->IsNull())
        campo(f.cookingGain)->setAsFloat(0);
    m_validacao->Vd_CoccaoLimpeza(*m_grade, m_nivel);
    // A new row takes the dish's and the level's keys; a saved one keeps its own.
    if (inserindo()) {
        for (const QString& key : {QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")})
            campo(key)->setAsString(m_contexto.pratos().FieldByName(key)->AsString());
        if (m_regras.chaves) {
            const QStringList keys = chavesNivel();
            const QStringList values = m_regras.chaves();
            for (int i = 0; i < keys.size(); ++i)
                campo(keys[i])->setAsString(values.value(i));
        }
    }
    if (Field* time = campo(f.prepTime); time && !time->IsNull())
        time->setAsString(AjustaHrTempPrep(time->AsString()));
    if (colunaQuantidade() || m_calcQtPessoa || inserindo())
        recalculaQuantidades();
    parNutriente();
    framework::Seta_Campo_Null(*m_lista);
    if (Field* anticipation = campo(f.anticipation); anticipation && anticipation->AsString().trimmed().isEmpty())
        anticipation->Clear();
    if (Field* complement = campo(f.complement); complement && complement->IsNull())
        complement->setAsFloat(0);
}

void PaginaReceita::AfterPost()
{
    // A run's own posts never start another run.
    const bool proportional = !reescalando() && m_altProporcional->isChecked() && m_modoEdicao == u"E"
                              && m_qtAnterior != campo(m_nivel.netQty)->AsFloat();
    m_modoEdicao = QStringLiteral("B");
    if (proportional)
        Atualiza_Proporcional();
}

void PaginaReceita::BeforeDelete()
{
    autoriza(m_regras.autorizaExclusao);
    if (m_regras.limites)
        m_regras.limites(QStringLiteral("E"));
    const QString owner = campo(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = campo(QStringLiteral("CDPRATO"))->AsString();
    auto* production = m_regras.produtoProducao.isEmpty()
                           ? nullptr
                           : m_contexto.janela().findChild<framework::TDBEdit*>(m_regras.produtoProducao);
    auto* dishData = m_contexto.janela().findChild<ClientDataSet*>(m_nivel.dish.dataSet);
    if (production && !production->Text().trimmed().isEmpty() && dishData && dishData->Active()) {
        const auto text = [dishData](const char* name) {
            const Field* field = dishData->FindField(QString::fromLatin1(name));
            return field ? field->AsString() : QString();
        };
        ClientDataSet reply;
        loadPacket(&reply, m_contexto.servidor().call(QStringLiteral("VerificaProdProd"),
                                                         {text("CDPRODPRODUCAO"), owner, dish, m_nivel.letter,
                                                          text("CDFILIAL"), text("CDSERVFILI")}));
        if (!reply.IsEmpty())
            falha(QStringLiteral("ProdProd_ja_existe"), {});
    }
    if (m_regras.verificaUltima && m_lista->RecordCount() == 1) {
        const Field* branch = campo(m_nivel.branchKey);
        const QString answer =
            m_contexto.servidor()
                .call(QStringLiteral("Verif_DelReceita"),
                       {branch ? branch->AsString() : QString(), owner, dish, m_nivel.serverLetter})
                .toString();
        if (!answer.isEmpty()) {
            if (m_contexto.mensagens().Contains(answer))
                falha(answer, {});
            framework::MensErro(answer, false);
            throw framework::Abort();
        }
    }
    if (m_regras.bloqueio)
        m_regras.bloqueio();
}

void PaginaReceita::CalcFields()
{
    const LevelFields& f = m_nivel;
    const Fatores fatores{0, campo(f.cleaningLoss)->AsFloat(), perdaDegelo()};
    campo(f.nutrientBase)->setAsFloat(baseNutriente(campo(f.requisitionQty)->AsFloat(), fatores));
}

void PaginaReceita::StateChange()
{
    const State state = m_lista->state();
    const bool editing = state == State::Edit || state == State::Insert;
    if (editing)
        m_contexto.Habilita_Desabilita(m_fonte);
    const int column = framework::IndiceCol(*m_grade, cdArvProd);
    if (column >= 0)
        m_grade->Columns(column)->setButtonStyle(state == State::Insert ? TColumn::cbsEllipsis : TColumn::cbsAuto);
    if (editing)
        m_contexto.Habilita_Pagina(false);
    // A new row keeps the mark its defaults set.
    if (state != State::Insert)
        CamposNutrInalterados();
}

} // namespace recipe
