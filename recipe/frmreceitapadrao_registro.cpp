// The dish record page's components: cdsPrato's fields and their display texts, the lookups
// and checks' queries, the record's controls, the dish colours and weight buttons, and their wiring.
#include "cli_pla01300.h"
#include "conversaounidade.h"
#include "frmreceitapadrao.h"
#include "registroprato.h"

#include "framework/abort.h"
#include "validacao.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/shape.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace framework;

namespace {

// Shelf-life units: what IDFREQUENCIA stores and the item dbcFrequencia shows for it.
const QStringList frequencyValues{QStringLiteral("H"), QStringLiteral("D"), QStringLiteral("M"), QStringLiteral("A")};
const QStringList frequencyItems{QStringLiteral("Horas"), QStringLiteral("Dias"), QStringLiteral("Meses"),
                                 QStringLiteral("Anos")};
const QStringList statusItems{QStringLiteral("Ativo"), QStringLiteral("Inativo")};

// IDATIVO of the dish and of the dish data of every level: nothing when empty, "Ativo" for "S",
// "Inativo" otherwise; the combo's first item stores "S", any other "N".
void statusTexts(Field& field)
{
    field.OnGetText = [](Field& f, QString& text, bool) {
        text = f.IsNull() || f.AsString().isEmpty() ? QString() : f.AsString() == u"S" ? statusItems[0] : statusItems[1];
    };
    field.OnSetText = [](Field& f, const QString& text) {
        f.setAsString(text == statusItems[0] ? QStringLiteral("S") : QStringLiteral("N"));
    };
}

QLabel* label(QWidget* parent, const char* name, const QString& caption)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

TDBEdit* dbEdit(QWidget* parent, const char* name, DataSource* source, const char* field)
{
    auto* edit = new TDBEdit(parent, QString::fromLatin1(name));
    edit->setDataSource(source);
    edit->setDataField(QString::fromLatin1(field));
    return edit;
}

TDBComboBox* dbCombo(QWidget* parent, const char* name, DataSource* source, const char* field, const QStringList& items)
{
    auto* combo = new TDBComboBox(parent, QString::fromLatin1(name));
    combo->setDataSource(source);
    combo->setDataField(QString::fromLatin1(field));
    combo->setItems(items);
    return combo;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// A row of the record's grid: its label and its controls side by side.
void addRow(QGridLayout* grid, QLabel* caption, std::initializer_list<QWidget*> controls, int stretchIndex = -1)
{
    const int row = grid->rowCount();
    grid->addWidget(caption, row, 0);
    auto* line = new QHBoxLayout;
    int index = 0;
    for (QWidget* control : controls)
        line->addWidget(control, index++ == stretchIndex ? 1 : 0);
    if (stretchIndex < 0)
        line->addStretch(1);
    grid->addLayout(line, row, 1);
    caption->setBuddy(*controls.begin());
}

} // namespace

void TfrmReceitaPadrao::createRegistroPrato()
{
    msgPadrao->Add({
        {"BloPratLoc", "Operação bloqueada. Não é permitida a inclusão de prato local na árvore."},
        {"COD_EMPTY", "Código deve ser informado."},
        {"PRATO_CAD", "Prato já cadastrado na árvore padrão ou da filial."},
        {"NIVBL_INC", "Nível bloqueado para inclusão."},
        {"NIVBL_ALT", "Nível bloqueado para alteração."},
        {"NIVBL_EXC", "Nível bloqueado para exclusão."},
        {"PRATO_ESP", "Nível deve ser totalmente preenchido."},
        {"NIVINC_N_INC", "Prato de nível incompleto não pode ser incluído em módulo filial."},
        {"NIVINC_N_ALT", "Prato de nível incompleto não pode ser alterado em módulo filial."},
        {"NIVINC_N_EXC", "Prato de nível incompleto não pode ser excluído em módulo filial."},
        {"PADR_N_ALT", "Prato da árvore padrão não pode ser alterado em módulo filial."},
        {"PADR_N_EXC", "Prato da árvore padrão não pode ser excluído em módulo filial."},
        {"RECPAD_N_PRATLOCA", "Receita padrão não pode ser incluída para prato local."},
        {"RECPAD_N_INC", "Receita padrão não pode ser incluída em módulo filial."},
        {"RECPAD_N_ALT", "Receita padrão não pode ser alterada em módulo filial."},
        {"RECPAD_N_EXC", "Receita padrão não pode ser excluída em módulo filial."},
        {"NMPRATO_EMPTY", "Nome deve ser informado."},
        {"UNID_EMPTY", "Unidade deve ser informada."},
        {"UNID_NC", "Unidade de medida não cadastrada."},
        {"VRARTRAN_INV", "Arredondamento para transporte deve ser maior ou igual a zero."},
        {"PRAT_JA_CAD", "Prato já cadastrado em árvore de filial."},
        {"PRAT_EXIS", "Prato já cadastrado em árvore de filial. Continua?"},
        {"Excl_Inv", "Exclusão não permitida. Existem pratos relacionados."},
        {"NO_DADOS", "Não há dados a serem excluídos."},
        {"N_DADOS_CALC", "Não existem dados para efetuar o cálculo."},
        {"PESOPRATO", "Peso calculado do prato é %s. Confirma?"},
        {"UNIDADE", "Unidade de Medida"},
        {"N_HA_UNIDADE", "Não há unidade de medida cadastrada."},
        {"SEGMERCADO", "Segmento de Mercado"},
        {"N_HA_SEGMERCADO", "Não há segmento de mercado cadastrado."},
        {"FORMAPREPARO", "Formas de Preparo"},
        {"N_HA_FORMAPREPARO", "Não há forma de preparo cadastrada."},
        {"get_cdsProxCodPrato", "Importando próximo código para prato..."},
        {"get_cdsExistPrat", "Verificando o prato nas árvores das filiais..."},
        {"get_cdsPratoAux", "Carregando pratos (Auxiliar)..."},
        {"upd_cdsPrato", "Atualizando pratos..."},
        {"upd_cdsParamGeral", "Atualizando parâmetros gerais..."},
        {"Canc_Todas", "Tem certeza que deseja desfazer todas as alterações?"},
        {"get_cdsProdPrat", "Carregando produtos do prato..."},
        {"get_cdsReceTpCard", "Carregando receitas por tipo de cardápio..."},
        {"get_cdsReceFili", "Carregando receitas por filial..."},
        {"get_cdsReceServ", "Carregando receitas por serviço..."},
        {"upd_cdsProdPrat", "Atualizando produtos do prato..."},
        {"upd_cdsReceTpCard", "Atualizando receitas por tipo de cardápio..."},
        {"upd_cdsReceFili", "Atualizando receitas por filial..."},
        {"upd_cdsReceServ", "Atualizando receitas por serviço..."},
    });
    recipe::addValidationMessages(*msgPadrao);

    createCamposPrato();
    createConsultasPrato();
    createControlesPrato();
    createPesoECores();
}

void TfrmReceitaPadrao::createCamposPrato()
{
    struct Def {
        const char* name;
        FieldType type;
        int size;
        const char* label;
    };
    static const Def defs[] = {
        {"CDPRATO", FieldType::String, 10, "Código"},
        {"NMPRATO", FieldType::String, 40, "Nome"},
        {"CDNVPRATO", FieldType::String, 1, "Nível"},
        {"CDFILAUXPRAT", FieldType::String, 4, "Origem"},
        {"CDFILIAL", FieldType::String, 4, "Filial"},
        {"SGUNIDADE", FieldType::String, 10, "Unidade"},
        {"VRARREDTRANS", FieldType::Float, 0, "Arredondamento para Transporte"},
        {"CDSEGMER", FieldType::String, 5, "Segmento de Mercado"},
        {"DSSEGMER", FieldType::String, 40, "Segmento de Mercado"},
        {"NRFORMAPREPARO", FieldType::Float, 0, "Preparo"},
        {"NMFORMAPREPARO", FieldType::String, 30, "Preparo"},
        {"IDFREQUENCIA", FieldType::String, 1, "Frequência"},
        {"QTTEMPOPRAT", FieldType::Float, 0, "Tempo"},
        {"VRVALIDADE", FieldType::Float, 0, "Validade (horas)"},
        {"IDATIVO", FieldType::String, 1, "Status"},
        {"CDPRODPRODUCAO", FieldType::String, 10, "Produto de Produção"},
        {"CDARVPROD", FieldType::String, 20, "Produto de Produção"},
        {"NMPRODUTO", FieldType::String, 50, "Produto de Produção"},
    };
    for (const Def& d : defs)
        cdsPrato->AddField(QString::fromLatin1(d.name), d.type, d.size)->setDisplayLabel(QString::fromUtf8(d.label));

    // Origin: "P" is a standard dish, a branch code a local one; the combo stores "P" for
    // "Padrão" and the working branch for "Local".
    Field* origem = cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"));
    origem->OnGetText = [this](Field& f, QString& text, bool) {
        text = f.IsNull() ? QString() : msgPadrao->Msg(f.AsString() == u"P" ? QStringLiteral("PADRAO") : QStringLiteral("LOCAL"));
    };
    origem->OnSetText = [this](Field& f, const QString& text) {
        f.setAsString(text == msgPadrao->Msg(QStringLiteral("PADRAO")) ? QStringLiteral("P") : m_filial);
    };

    Field* frequencia = cdsPrato->FieldByName(QStringLiteral("IDFREQUENCIA"));
    frequencia->OnGetText = [](Field& f, QString& text, bool) {
        const int index = frequencyValues.indexOf(f.AsString());
        text = index < 0 ? QString() : frequencyItems[index];
    };
    frequencia->OnSetText = [](Field& f, const QString& text) {
        const int index = frequencyItems.indexOf(text);
        if (index < 0)
            f.Clear();
        else
            f.setAsString(frequencyValues[index]);
    };

    // A shelf life is a whole number of its unit; zero shows nothing.
    Field* tempo = cdsPrato->FieldByName(QStringLiteral("QTTEMPOPRAT"));
    tempo->setDisplayFormat(QStringLiteral("#######"));
    tempo->setEditFormat(QStringLiteral("#######"));

    // The shelf life in hours, as the "HHHH:MM" text of the validity fields.
    cdsPrato->FieldByName(QStringLiteral("VRVALIDADE"))->OnGetText = [](Field& f, QString& text, bool) {
        text = f.IsNull() ? QString() : recipe::RealToStTime(f.AsFloat());
    };
    statusTexts(*cdsPrato->FieldByName(QStringLiteral("IDATIVO")));

    cdsPratoAux->AddField(QStringLiteral("CDCHAVEPRATO"), FieldType::String, 14);
    cdsPratoAux->AddField(QStringLiteral("CDPRATO"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    cdsPratoAux->AddField(QStringLiteral("NMPRATO"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
    cdsPratoAux->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4);
    cdsPratoAux->AddField(QStringLiteral("CDNVPRATO"), FieldType::String, 1);

    const auto dataSet = [this](const char* name) { return new ClientDataSet(this, QString::fromLatin1(name)); };
    cdsProxCodPrato = dataSet("cdsProxCodPrato");
    cdsExistPrat = dataSet("cdsExistPrat");
    cdsProdProd = dataSet("cdsProdProd");
    cdsProdProd->AddField(QStringLiteral("CDPRODUTO"), FieldType::String, 10);
    cdsProdProd->AddField(QStringLiteral("CDARVPROD"), FieldType::String, 20);
    cdsProdProd->AddField(QStringLiteral("NMPRODUTO"), FieldType::String, 50);
    cdsVdFormaPreparo = dataSet("cdsVdFormaPreparo");
    cdsVdFormaPreparo->AddField(QStringLiteral("NRFORMAPREPARO"), FieldType::Float);
    cdsVdFormaPreparo->AddField(QStringLiteral("CODIGO"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    cdsVdFormaPreparo->AddField(QStringLiteral("NMFORMAPREPARO"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Nome"));

    dtsPratoAux = new DataSource(this, QStringLiteral("dtsPratoAux"));
    dtsPratoAux->setDataSet(cdsPratoAux);
}

void TfrmReceitaPadrao::createConsultasPrato()
{
    const auto query = [this](const char* name, const char* sql) {
        auto* q = new Query(this, QString::fromLatin1(name));
        q->setSQL(QString::fromLatin1(sql));
        return q;
    };
    qryUnidade = query("qryUnidade", "SELECT SGUNIDADE, DSUNIDADE FROM UNIDMEDIDA "
                                     "WHERE (SGUNIDADE = :P_SGUNIDADE OR :P_TSGUNIDADE = 'T') ORDER BY SGUNIDADE");
    qryUnidade->AddField(QStringLiteral("SGUNIDADE"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Sigla"));
    qryUnidade->AddField(QStringLiteral("DSUNIDADE"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Descrição"));
    qrySegMer = query("qrySegMer", "SELECT CDSEGMER, DSSEGMER FROM SEGMERCADO "
                                   "WHERE (CDSEGMER = :P_CDSEGMER OR :P_TCDSEGMER = 'T') ORDER BY CDSEGMER");
    qrySegMer->AddField(QStringLiteral("CDSEGMER"), FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
    qrySegMer->AddField(QStringLiteral("DSSEGMER"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Descrição"));
    qryPratoAux = query("qryPratoAux",
                        "SELECT (CDPRATO || CDFILAUXPRAT) AS CDCHAVEPRATO, CDPRATO, NMPRATO, CDFILAUXPRAT, CDNVPRATO "
                        "FROM PRATO WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = :P_CDFILAUXPRAT) "
                        "ORDER BY CDNVPRATO, CDPRATO, NMPRATO");
    qryServico = recipe::Validacao::createQryServico(this);
    qryConvProduto = recipe::ConversaoUnidade::createQryConvProduto(this);
    m_conversao = std::make_unique<recipe::ConversaoUnidade>(*qryConvProduto);
}

void TfrmReceitaPadrao::createControlesPrato()
{
    auto* page = new QVBoxLayout(tshFormulario);
    lblNomePrato = label(tshFormulario, "lblNomePrato", {});
    QFont bold = lblNomePrato->font();
    bold.setBold(true);
    lblNomePrato->setFont(bold);
    page->addWidget(lblNomePrato);
    grpPrincipal = new QGroupBox(tshFormulario);
    grpPrincipal->setObjectName(QStringLiteral("grpPrincipal"));
    page->addWidget(grpPrincipal);
    page->addStretch(1);
    auto* grid = new QGridLayout(grpPrincipal);
    QWidget* g = grpPrincipal;

    lblCdPrato = label(g, "lblCdPrato", QStringLiteral("Código"));
    dbeCdPrato = dbEdit(g, "dbeCdPrato", dtsPrato, "CDPRATO");
    dbeCdPrato->setMaximumWidth(110);
    dcbPrato = dbCombo(g, "dcbPrato", dtsPrato, "CDFILAUXPRAT", {});
    lblStatus = label(g, "lblStatus", QStringLiteral("Status"));
    dcbStatus = dbCombo(g, "dcbStatus", dtsPrato, "IDATIVO", statusItems);
    addRow(grid, lblCdPrato, {dbeCdPrato, dcbPrato, lblStatus, dcbStatus});

    lblNmPrato = label(g, "lblNmPrato", QStringLiteral("Nome"));
    dbeNmPrato = dbEdit(g, "dbeNmPrato", dtsPrato, "NMPRATO");
    dbeNmPrato->setMaxLength(40);
    addRow(grid, lblNmPrato, {dbeNmPrato}, 0);

    lblUnid = label(g, "lblUnid", QStringLiteral("Unidade"));
    dbeCdUnidade = dbEdit(g, "dbeCdUnidade", dtsPrato, "SGUNIDADE");
    dbeCdUnidade->setMaxLength(10);
    dbeCdUnidade->setMaximumWidth(110);
    btpUnidade = new TBtnPesquisa(g, QStringLiteral("btpUnidade"));
    btpUnidade->setDataSet(qryUnidade);
    btpUnidade->setTitle(msgPadrao->Msg(QStringLiteral("UNIDADE")));
    btpUnidade->setEmptyText(msgPadrao->Msg(QStringLiteral("N_HA_UNIDADE")));
    addRow(grid, lblUnid, {dbeCdUnidade, btpUnidade});

    lblArredTrans = label(g, "lblArredTrans", QStringLiteral("Arredondamento para Transporte"));
    dbeArredTrans = dbEdit(g, "dbeArredTrans", dtsPrato, "VRARREDTRANS");
    dbeArredTrans->setMaxLength(10);
    dbeArredTrans->setMaximumWidth(110);
    addRow(grid, lblArredTrans, {dbeArredTrans});

    // The segment is chosen from its list only: its code and name are not typed.
    lblSegMerc = label(g, "lblSegMerc", QStringLiteral("Segmento de Mercado"));
    dbeCdSegMer = dbEdit(g, "dbeCdSegMer", dtsPrato, "CDSEGMER");
    dbeCdSegMer->setReadOnly(true);
    dbeCdSegMer->setMaximumWidth(70);
    btnSegMerc = new TBtnPesquisa(g, QStringLiteral("btnSegMerc"));
    btnSegMerc->setDataSet(qrySegMer);
    btnSegMerc->setTitle(msgPadrao->Msg(QStringLiteral("SEGMERCADO")));
    btnSegMerc->setEmptyText(msgPadrao->Msg(QStringLiteral("N_HA_SEGMERCADO")));
    dbeDsSegMer = dbEdit(g, "dbeDsSegMer", dtsPrato, "DSSEGMER");
    dbeDsSegMer->setReadOnly(true);
    addRow(grid, lblSegMerc, {dbeCdSegMer, btnSegMerc, dbeDsSegMer}, 2);

    lblFormaPreparo = label(g, "lblFormaPreparo", QStringLiteral("Preparo"));
    dbeNrFormaPreparo = dbEdit(g, "dbeNrFormaPreparo", dtsPrato, "NRFORMAPREPARO");
    dbeNrFormaPreparo->setMaximumWidth(70);
    btnFormaPreparo = new TBtnPesquisa(g, QStringLiteral("btnFormaPreparo"));
    btnFormaPreparo->setDataSet(cdsVdFormaPreparo);
    btnFormaPreparo->setTitle(msgPadrao->Msg(QStringLiteral("FORMAPREPARO")));
    btnFormaPreparo->setEmptyText(msgPadrao->Msg(QStringLiteral("N_HA_FORMAPREPARO")));
    dbeNmFormaPreparo = dbEdit(g, "dbeNmFormaPreparo", dtsPrato, "NMFORMAPREPARO");
    dbeNmFormaPreparo->setReadOnly(true);
    addRow(grid, lblFormaPreparo, {dbeNrFormaPreparo, btnFormaPreparo, dbeNmFormaPreparo}, 2);

    lblFrequencia = label(g, "lblFrequencia", QStringLiteral("Validade em"));
    dbcFrequencia = dbCombo(g, "dbcFrequencia", dtsPrato, "IDFREQUENCIA", frequencyItems);
    lblTempo = label(g, "lblTempo", QStringLiteral("Tempo"));
    dbeTempo = dbEdit(g, "dbeTempo", dtsPrato, "QTTEMPOPRAT");
    dbeTempo->setMaximumWidth(90);
    addRow(grid, lblFrequencia, {dbcFrequencia, lblTempo, dbeTempo});

    lblValidade = label(g, "lblValidade", QStringLiteral("Validade (horas)"));
    dbeValidade = dbEdit(g, "dbeValidade", dtsPrato, "VRVALIDADE");
    dbeValidade->setReadOnly(true);
    dbeValidade->setFocusPolicy(Qt::NoFocus);
    dbeValidade->setMaximumWidth(90);
    addRow(grid, lblValidade, {dbeValidade});
}

void TfrmReceitaPadrao::createPesoECores()
{
    // Each recipe page offers the dish weight of its list; the standard page also the dish colours.
    const auto strip = [](QWidget* page) {
        auto* layout = qobject_cast<QBoxLayout*>(page->layout());
        if (!layout)
            layout = new QVBoxLayout(page);
        auto* row = new QHBoxLayout;
        layout->insertLayout(layout->count() > 0 ? 1 : 0, row);
        return row;
    };
    const QString caption = QStringLiteral("Calcular Peso");
    QHBoxLayout* padrao = strip(tshPadrao);
    sbtCalcPadrao = toolButton(tshPadrao, "sbtCalcPadrao", caption);
    padrao->addWidget(sbtCalcPadrao);
    shpCorPrincipal = new TShape(tshPadrao, QStringLiteral("shpCorPrincipal"));
    shpCorSecundaria = new TShape(tshPadrao, QStringLiteral("shpCorSecundaria"));
    shpCorAuxiliar = new TShape(tshPadrao, QStringLiteral("shpCorAuxiliar"));
    for (TShape* shape : {shpCorPrincipal, shpCorSecundaria, shpCorAuxiliar})
        padrao->addWidget(shape);
    padrao->addStretch(1);
    sbtCalcTC = toolButton(tshTpCard, "sbtCalcTC", caption);
    strip(tshTpCard)->addWidget(sbtCalcTC, 0, Qt::AlignLeft);
    sbtCalcPratLoca = toolButton(tshReceLoca, "sbtCalcPratLoca", caption);
    strip(tshReceLoca)->addWidget(sbtCalcPratLoca, 0, Qt::AlignLeft);
    sbtCalcServ = toolButton(tshReceServ, "sbtCalcServ", caption);
    strip(tshReceServ)->addWidget(sbtCalcServ, 0, Qt::AlignLeft);
}

void TfrmReceitaPadrao::connectRegistroPrato()
{
    m_registro = new recipe::RegistroPrato(*this);

    guardedConnect(shpCorPrincipal, &TShape::mouseUp, this, [this] { shpCorPrincipalMouseUp(); });
    guardedConnect(shpCorSecundaria, &TShape::mouseUp, this, [this] { shpCorSecundariaMouseUp(); });
    guardedConnect(shpCorAuxiliar, &TShape::mouseUp, this, [this] { shpCorAuxiliarMouseUp(); });
    for (QToolButton* button : {sbtCalcPadrao, sbtCalcTC, sbtCalcPratLoca, sbtCalcServ})
        guardedConnect(button, &QToolButton::clicked, this, [this] { sbtCalcPadraoClick(); });
}

void TfrmReceitaPadrao::falha(const char* key, QWidget* control) const
{
    if (control && control->isEnabled())
        control->setFocus();
    msgPadrao->ShowMsg(QString::fromLatin1(key), mtError, mbOK);
    throw Abort();
}
