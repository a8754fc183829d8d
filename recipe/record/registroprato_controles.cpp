// The dish record page's components: cdsPrato's fields and their display texts, the lookups' and
// checks' datasets and queries, and the record's controls.
#include "recipe/core/contextoreceita.h"
#include "registroprato.h"
#include "recipe/core/validacao.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
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

namespace recipe {

void RegistroPrato::declaraCampos()
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
        pratos()->AddField(QString::fromLatin1(d.name), d.type, d.size)->setDisplayLabel(QString::fromUtf8(d.label));

    // Origin: "P" is a standard dish, a branch code a local one; the combo stores "P" for
    // "Padrão" and the working branch for "Local".
    Field* origem = pratos()->FieldByName(QStringLiteral("CDFILAUXPRAT"));
    origem->OnGetText = [this](Field& f, QString& text, bool) {
        text = f.IsNull() ? QString() : m_contexto.mensagens().Msg(f.AsString() == u"P" ? QStringLiteral("PADRAO") : QStringLiteral("LOCAL"));
    };
    origem->OnSetText = [this](Field& f, const QString& text) {
        f.setAsString(text == m_contexto.mensagens().Msg(QStringLiteral("PADRAO")) ? QStringLiteral("P") : m_contexto.filialTrabalho());
    };

    Field* frequencia = pratos()->FieldByName(QStringLiteral("IDFREQUENCIA"));
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
    Field* tempo = pratos()->FieldByName(QStringLiteral("QTTEMPOPRAT"));
    tempo->setDisplayFormat(QStringLiteral("#######"));
    tempo->setEditFormat(QStringLiteral("#######"));

    // The shelf life in hours, as the "HHHH:MM" text of the validity fields.
    pratos()->FieldByName(QStringLiteral("VRVALIDADE"))->OnGetText = [](Field& f, QString& text, bool) {
        text = f.IsNull() ? QString() : recipe::RealToStTime(f.AsFloat());
    };
    statusTexts(*pratos()->FieldByName(QStringLiteral("IDATIVO")));

    const auto dataSet = [this](const char* name) { return new ClientDataSet(&m_owner, QString::fromLatin1(name)); };
    m_c.cdsPratoAux = dataSet("cdsPratoAux");
    m_c.cdsPratoAux->AddField(QStringLiteral("CDCHAVEPRATO"), FieldType::String, 14);
    m_c.cdsPratoAux->AddField(QStringLiteral("CDPRATO"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    m_c.cdsPratoAux->AddField(QStringLiteral("NMPRATO"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
    m_c.cdsPratoAux->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4);
    m_c.cdsPratoAux->AddField(QStringLiteral("CDNVPRATO"), FieldType::String, 1);

    m_c.cdsProxCodPrato = dataSet("cdsProxCodPrato");
    m_c.cdsExistPrat = dataSet("cdsExistPrat");
    m_c.cdsProdProd = dataSet("cdsProdProd");
    m_c.cdsProdProd->AddField(QStringLiteral("CDPRODUTO"), FieldType::String, 10);
    m_c.cdsProdProd->AddField(QStringLiteral("CDARVPROD"), FieldType::String, 20);
    m_c.cdsProdProd->AddField(QStringLiteral("NMPRODUTO"), FieldType::String, 50);
    m_c.cdsVdFormaPreparo = dataSet("cdsVdFormaPreparo");
    m_c.cdsVdFormaPreparo->AddField(QStringLiteral("NRFORMAPREPARO"), FieldType::Float);
    m_c.cdsVdFormaPreparo->AddField(QStringLiteral("CODIGO"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    m_c.cdsVdFormaPreparo->AddField(QStringLiteral("NMFORMAPREPARO"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Nome"));

    m_c.dtsPratoAux = new DataSource(&m_owner, QStringLiteral("dtsPratoAux"));
    m_c.dtsPratoAux->setDataSet(m_c.cdsPratoAux);
}

void RegistroPrato::criaConsultas()
{
    const auto query = [this](const char* name, const char* sql) {
        auto* q = new Query(&m_owner, QString::fromLatin1(name));
        q->setSQL(QString::fromLatin1(sql));
        return q;
    };
    m_c.qryUnidade = query("qryUnidade", "SELECT SGUNIDADE, DSUNIDADE FROM UNIDMEDIDA "
                                     "WHERE (SGUNIDADE = :P_SGUNIDADE OR :P_TSGUNIDADE = 'T') ORDER BY SGUNIDADE");
    m_c.qryUnidade->AddField(QStringLiteral("SGUNIDADE"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Sigla"));
    m_c.qryUnidade->AddField(QStringLiteral("DSUNIDADE"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Descrição"));
    m_c.qrySegMer = query("qrySegMer", "SELECT CDSEGMER, DSSEGMER FROM SEGMERCADO "
                                   "WHERE (CDSEGMER = :P_CDSEGMER OR :P_TCDSEGMER = 'T') ORDER BY CDSEGMER");
    m_c.qrySegMer->AddField(QStringLiteral("CDSEGMER"), FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
    m_c.qrySegMer->AddField(QStringLiteral("DSSEGMER"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Descrição"));
    m_c.qryPratoAux = query("qryPratoAux",
                        "SELECT (CDPRATO || CDFILAUXPRAT) AS CDCHAVEPRATO, CDPRATO, NMPRATO, CDFILAUXPRAT, CDNVPRATO "
                        "FROM PRATO WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = :P_CDFILAUXPRAT) "
                        "ORDER BY CDNVPRATO, CDPRATO, NMPRATO");
}

void RegistroPrato::criaControles(QWidget& pagina)
{
    auto* page = new QVBoxLayout(&pagina);
    m_c.lblNomePrato = label(&pagina, "lblNomePrato", {});
    QFont bold = m_c.lblNomePrato->font();
    bold.setBold(true);
    m_c.lblNomePrato->setFont(bold);
    page->addWidget(m_c.lblNomePrato);
    m_c.grpPrincipal = new QGroupBox(&pagina);
    m_c.grpPrincipal->setObjectName(QStringLiteral("grpPrincipal"));
    page->addWidget(m_c.grpPrincipal);
    page->addStretch(1);
    auto* grid = new QGridLayout(m_c.grpPrincipal);
    QWidget* g = m_c.grpPrincipal;

    m_c.lblCdPrato = label(g, "lblCdPrato", QStringLiteral("Código"));
    m_c.dbeCdPrato = dbEdit(g, "dbeCdPrato", &m_fonte, "CDPRATO");
    m_c.dbeCdPrato->setMaximumWidth(110);
    m_c.dcbPrato = dbCombo(g, "dcbPrato", &m_fonte, "CDFILAUXPRAT", {});
    m_c.lblStatus = label(g, "lblStatus", QStringLiteral("Status"));
    m_c.dcbStatus = dbCombo(g, "dcbStatus", &m_fonte, "IDATIVO", statusItems);
    addRow(grid, m_c.lblCdPrato, {m_c.dbeCdPrato, m_c.dcbPrato, m_c.lblStatus, m_c.dcbStatus});

    m_c.lblNmPrato = label(g, "lblNmPrato", QStringLiteral("Nome"));
    m_c.dbeNmPrato = dbEdit(g, "dbeNmPrato", &m_fonte, "NMPRATO");
    m_c.dbeNmPrato->setMaxLength(40);
    addRow(grid, m_c.lblNmPrato, {m_c.dbeNmPrato}, 0);

    m_c.lblUnid = label(g, "lblUnid", QStringLiteral("Unidade"));
    m_c.dbeCdUnidade = dbEdit(g, "dbeCdUnidade", &m_fonte, "SGUNIDADE");
    m_c.dbeCdUnidade->setMaxLength(10);
    m_c.dbeCdUnidade->setMaximumWidth(110);
    m_c.btpUnidade = new TBtnPesquisa(g, QStringLiteral("btpUnidade"));
    m_c.btpUnidade->setDataSet(m_c.qryUnidade);
    m_c.btpUnidade->setTitle(m_contexto.mensagens().Msg(QStringLiteral("UNIDADE")));
    m_c.btpUnidade->setEmptyText(m_contexto.mensagens().Msg(QStringLiteral("N_HA_UNIDADE")));
    addRow(grid, m_c.lblUnid, {m_c.dbeCdUnidade, m_c.btpUnidade});

    m_c.lblArredTrans = label(g, "lblArredTrans", QStringLiteral("Arredondamento para Transporte"));
    m_c.dbeArredTrans = dbEdit(g, "dbeArredTrans", &m_fonte, "VRARREDTRANS");
    m_c.dbeArredTrans->setMaxLength(10);
    m_c.dbeArredTrans->setMaximumWidth(110);
    addRow(grid, m_c.lblArredTrans, {m_c.dbeArredTrans});

    // The segment is chosen from its list only: its code and name are not typed.
    m_c.lblSegMerc = label(g, "lblSegMerc", QStringLiteral("Segmento de Mercado"));
    m_c.dbeCdSegMer = dbEdit(g, "dbeCdSegMer", &m_fonte, "CDSEGMER");
    m_c.dbeCdSegMer->setReadOnly(true);
    m_c.dbeCdSegMer->setMaximumWidth(70);
    m_c.btnSegMerc = new TBtnPesquisa(g, QStringLiteral("btnSegMerc"));
    m_c.btnSegMerc->setDataSet(m_c.qrySegMer);
    m_c.btnSegMerc->setTitle(m_contexto.mensagens().Msg(QStringLiteral("SEGMERCADO")));
    m_c.btnSegMerc->setEmptyText(m_contexto.mensagens().Msg(QStringLiteral("N_HA_SEGMERCADO")));
    m_c.dbeDsSegMer = dbEdit(g, "dbeDsSegMer", &m_fonte, "DSSEGMER");
    m_c.dbeDsSegMer->setReadOnly(true);
    addRow(grid, m_c.lblSegMerc, {m_c.dbeCdSegMer, m_c.btnSegMerc, m_c.dbeDsSegMer}, 2);

    m_c.lblFormaPreparo = label(g, "lblFormaPreparo", QStringLiteral("Preparo"));
    m_c.dbeNrFormaPreparo = dbEdit(g, "dbeNrFormaPreparo", &m_fonte, "NRFORMAPREPARO");
    m_c.dbeNrFormaPreparo->setMaximumWidth(70);
    m_c.btnFormaPreparo = new TBtnPesquisa(g, QStringLiteral("btnFormaPreparo"));
    m_c.btnFormaPreparo->setDataSet(m_c.cdsVdFormaPreparo);
    m_c.btnFormaPreparo->setTitle(m_contexto.mensagens().Msg(QStringLiteral("FORMAPREPARO")));
    m_c.btnFormaPreparo->setEmptyText(m_contexto.mensagens().Msg(QStringLiteral("N_HA_FORMAPREPARO")));
    m_c.dbeNmFormaPreparo = dbEdit(g, "dbeNmFormaPreparo", &m_fonte, "NMFORMAPREPARO");
    m_c.dbeNmFormaPreparo->setReadOnly(true);
    addRow(grid, m_c.lblFormaPreparo, {m_c.dbeNrFormaPreparo, m_c.btnFormaPreparo, m_c.dbeNmFormaPreparo}, 2);

    m_c.lblFrequencia = label(g, "lblFrequencia", QStringLiteral("Validade em"));
    m_c.dbcFrequencia = dbCombo(g, "dbcFrequencia", &m_fonte, "IDFREQUENCIA", frequencyItems);
    m_c.lblTempo = label(g, "lblTempo", QStringLiteral("Tempo"));
    m_c.dbeTempo = dbEdit(g, "dbeTempo", &m_fonte, "QTTEMPOPRAT");
    m_c.dbeTempo->setMaximumWidth(90);
    addRow(grid, m_c.lblFrequencia, {m_c.dbcFrequencia, m_c.lblTempo, m_c.dbeTempo});

    m_c.lblValidade = label(g, "lblValidade", QStringLiteral("Validade (horas)"));
    m_c.dbeValidade = dbEdit(g, "dbeValidade", &m_fonte, "VRVALIDADE");
    m_c.dbeValidade->setReadOnly(true);
    m_c.dbeValidade->setFocusPolicy(Qt::NoFocus);
    m_c.dbeValidade->setMaximumWidth(90);
    addRow(grid, m_c.lblValidade, {m_c.dbeValidade});
}

} // namespace recipe
