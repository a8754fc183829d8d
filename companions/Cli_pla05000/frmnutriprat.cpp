#include "frmnutriprat.h"

#include "cli_pla05000.h"
#include "companions/common/formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/tipocard.h"
#include "framework/core/dbpicture.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/tabvalid.h"
#include "framework/ui/validafilial.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace framework;
using namespace Cli_pla05000;
using companions::falha;
using companions::codeAndName;
using companions::FocoNaFalha;
using companions::query;
using companions::radio;

TfrmNutriPrat::TfrmNutriPrat(QWidget* parent) : TfrmDadosGerRel(QStringLiteral("Pla050"), parent)
{
    setObjectName(QStringLiteral("frmNutriPrat"));
    setWindowTitle(QStringLiteral("Nutrientes do Prato"));
    resize(640, 560);
    createQueries();
    createComponents();
    connectHandlers();
}

void TfrmNutriPrat::createQueries()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    msgPadrao->Add({
        {"Arq_Rel_Err", "O arquivo contendo a definição do relatório de código '%s' não foi encontrado no diretório '%s'."},
        {"NovoCaption", "Título do relatório"},
        {"NovoPrompt", "Informe o título do relatório:"},
        {"FILI_EMPTY", "Filial deve ser informada."},
        {"FILI_NCAD", "Filial não cadastrada."},
        {"FILI_CNT", "Filial com contrato rescindido."},
        {"SERV_EMPTY", "Serviço deve ser informado."},
        {"SERV_NCAD", "Serviço não cadastrado."},
        {"PRATOINI_EMPTY", "Prato inicial deve ser informado."},
        {"PRATO_NCAD", "Prato não cadastrado."},
        {"NIVEL_INV", "Nível de ordenação deve estar entre 0  e %d. "},
        {"PRATOFIN_EMPTY", "Prato final deve ser informado."},
        {"PRATOINI>PRATOFIN", "Prato final deve ser maior ou igual ao prato inicial."},
        {"TPCARD_EMPTY", "Tipo de Cardápio deve ser informado."},
        {"TPCARD_NCAD", "Tipo de Cardápio não cadastrado."},
        {"NUTRIENTE", "Nutriente"},
        {"NUTR_DEVE", "Nutriente deve ser informado."},
    });

    qryFilial = query(this, "qryFilial",
                      "SELECT CDFILIAL, NMFILIAL, IDCNTRRESC FROM FILIAL "
                      "WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T') ORDER BY CDFILIAL");
    qryServico = query(this, "qryServico",
                       "SELECT CDSERVFILI, NMSERVICO, CDFILIAL FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL "
                       "AND (CDSERVFILI = :P_CDSERVFILI OR :P_TCDSERVFILI = 'T') AND (IDTIPOSERV <> 'A') "
                       "ORDER BY CDFILIAL, CDSERVFILI");
    qryPrato = query(this, "qryPrato",
                     "SELECT CDNVPRATO, CDPRATO, NMPRATO FROM PRATO "
                     "WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = :P_CDFILAUXPRAT) "
                     "AND (CDPRATO = :P_CDPRATO OR :P_TCDPRATO = 'T') ORDER BY CDPRATO, NMPRATO");
    qryFiliCentAgreg = companions::consultaFiliCentAgreg(this);
    qryTipoCard = companions::consultaTipoCard(this);
    qryNutriente = query(this, "qryNutriente", "SELECT CDNUTRIENTE, NMNUTRIENTE FROM NUTRIENTE ORDER BY CDNUTRIENTE");
    qryParamGeral = query(this, "qryParamGeral",
                          "SELECT CDCALORIAS, CDPROTEINA, CDLIPIDIOS, CDCARBOHIDRA, CDACIDGRAXOS, CDACUCARES "
                          "FROM PARAMGERAL ORDER BY CDPARGERAL");

    codeAndName(qryFilial, "CDFILIAL", 4, "NMFILIAL", 30);
    codeAndName(qryServico, "CDSERVFILI", 5, "NMSERVICO", 40);
    codeAndName(qryPrato, "CDPRATO", 10, "NMPRATO", 40);
    codeAndName(qryNutriente, "CDNUTRIENTE", 3, "NMNUTRIENTE", 20);
}

void TfrmNutriPrat::createComponents()
{
    auto* layout = new QVBoxLayout(panFiltros);
    layout->setContentsMargins(0, 0, 0, 0);

    companions::RadiosOrigem origem;
    layout->addWidget(companions::grupoOrigem(panFiltros, origem));
    rdbPadrao = origem.padrao;
    rdbLocal = origem.local;
    rdbServico = origem.servico;
    rdbTpCard = origem.tpCard;

    nbkFiltro = new QStackedWidget(panFiltros);
    nbkFiltro->setObjectName(QStringLiteral("nbkFiltro"));
    auto* filiServ = new QWidget(nbkFiltro);
    filiServ->setObjectName(QStringLiteral("FiliServ"));
    auto* filiServGrid = new QGridLayout(filiServ);
    filial = companions::linhaCodigo(filiServ, filiServGrid, 0, QStringLiteral("Filial"), QStringLiteral("medCdFilial"),
                                     QStringLiteral("9999"), QStringLiteral("edtNmFilial"), QStringLiteral("btnFilial"));
    servico = companions::linhaCodigo(filiServ, filiServGrid, 1, QStringLiteral("Serviço"),
                                      QStringLiteral("medCdServFili"), QStringLiteral(">ccccc"),
                                      QStringLiteral("edtNmServico"), QStringLiteral("btnServico"));
    auto* tpCardPage = new QWidget(nbkFiltro);
    tpCardPage->setObjectName(QStringLiteral("TpCard"));
    auto* tpCardGrid = new QGridLayout(tpCardPage);
    central = companions::linhaCodigo(tpCardPage, tpCardGrid, 0, QStringLiteral("Central"),
                                      QStringLiteral("medCdCentral"), QStringLiteral("9999"), QStringLiteral("edtNmCentral"));
    central.codigo->setReadOnly(true);
    central.codigo->setFocusPolicy(Qt::NoFocus);
    tipoCard = companions::linhaCodigo(tpCardPage, tpCardGrid, 1, QStringLiteral("Tipo de Cardápio"),
                                       QStringLiteral("medCdTpCard"), QString::fromLatin1(MascaraTipoCard),
                                       QStringLiteral("edtNmTpCard"), QStringLiteral("btnTpCard"));
    nbkFiltro->addWidget(filiServ);
    nbkFiltro->addWidget(tpCardPage);
    layout->addWidget(nbkFiltro);

    auto* pratos = new QGroupBox(QStringLiteral("Pratos"), panFiltros);
    pratos->setObjectName(QStringLiteral("grbPratos"));
    auto* pratosGrid = new QGridLayout(pratos);
    pratoIni = companions::linhaCodigo(pratos, pratosGrid, 0, QStringLiteral("de"), QStringLiteral("medCdPratoIni"),
                                       {}, QStringLiteral("edtNmPratoIni"), QStringLiteral("btnPratoIni"));
    pratoFin = companions::linhaCodigo(pratos, pratosGrid, 1, QStringLiteral("até"), QStringLiteral("medCdPratoFin"),
                                       {}, QStringLiteral("edtNmPratoFin"), QStringLiteral("btnPratoFin"));
    layout->addWidget(pratos);

    rdgDadosOperador = new QGroupBox(QStringLiteral("Ordenação"), panFiltros);
    rdgDadosOperador->setObjectName(QStringLiteral("rdgDadosOperador"));
    auto* ordem = new QHBoxLayout(rdgDadosOperador);
    m_ordenacao = new QButtonGroup(rdgDadosOperador);
    QRadioButton* porCodigo = radio(rdgDadosOperador, "rdbOrdemCodigo", "Código");
    QRadioButton* alfabetica = radio(rdgDadosOperador, "rdbOrdemAlfabetica", "Alfabética pelo Nível");
    m_ordenacao->addButton(porCodigo, 0);
    m_ordenacao->addButton(alfabetica, 1);
    porCodigo->setChecked(true);
    speNivel = new QSpinBox(rdgDadosOperador);
    speNivel->setObjectName(QStringLiteral("speNivel"));
    speNivel->setRange(0, 99);
    auto* nivel = new QLabel(QStringLiteral("Nível"), rdgDadosOperador);
    nivel->setBuddy(speNivel);
    ordem->addWidget(porCodigo);
    ordem->addWidget(alfabetica);
    ordem->addSpacing(16);
    ordem->addWidget(nivel);
    ordem->addWidget(speNivel);
    ordem->addStretch(1);
    layout->addWidget(rdgDadosOperador);

    auto* nutrientes = new QGroupBox(QStringLiteral("Nutrientes"), panFiltros);
    nutrientes->setObjectName(QStringLiteral("grbNutrientes"));
    auto* nutriRow = new QHBoxLayout(nutrientes);
    rdbNutrtodos = radio(nutrientes, "rdbNutrtodos", "Todos");
    rdbNutrLista = radio(nutrientes, "rdbNutrLista", "Lista");
    btnPesqNutri = new QPushButton(QStringLiteral("..."), nutrientes);
    btnPesqNutri->setObjectName(QStringLiteral("btnPesqNutri"));
    btnPesqNutri->setEnabled(false);
    rdbNutrtodos->setChecked(true);
    nutriRow->addWidget(rdbNutrtodos);
    nutriRow->addWidget(rdbNutrLista);
    nutriRow->addWidget(btnPesqNutri);
    nutriRow->addStretch(1);
    layout->addWidget(nutrientes);
    layout->addStretch(1);

    medCdFilial = filial.codigo;
    medCdServFili = servico.codigo;
    medCdCentral = central.codigo;
    medCdTpCard = tipoCard.codigo;
    medCdPratoIni = pratoIni.codigo;
    medCdPratoFin = pratoFin.codigo;

    const auto lookup = [](TBtnPesquisa* button, Query* list, const char* title, const char* empty) {
        button->setDataSet(list);
        button->setTitle(QString::fromUtf8(title));
        button->setEmptyText(QString::fromUtf8(empty));
    };
    lookup(filial.botao, qryFilial, "Filial", "Não há filial cadastrada.");
    lookup(servico.botao, qryServico, "Serviço", "Não há serviço cadastrado.");
    lookup(tipoCard.botao, qryTipoCard, "Tipo de Cardápio", "Não há tipo de cardápio cadastrado.");
    lookup(pratoIni.botao, qryPrato, "Prato", "Não há prato cadastrado.");
    lookup(pratoFin.botao, qryPrato, "Prato", "Não há prato cadastrado.");
    for (TBtnPesquisa* b : {pratoIni.botao, pratoFin.botao})
        b->setCompleteLevel(1, QStringLiteral("CDPRATO"));
}

void TfrmNutriPrat::connectHandlers()
{
    for (QRadioButton* r : {rdbPadrao, rdbLocal, rdbServico, rdbTpCard})
        guardedConnect(r, &QRadioButton::clicked, this, [this] { rdbNivelClick(); });
    guardedConnect(m_ordenacao, &QButtonGroup::idClicked, this, [this] { rdgDadosOperadorClick(); });
    for (QRadioButton* r : {rdbNutrtodos, rdbNutrLista})
        guardedConnect(r, &QRadioButton::clicked, this, [this] { rdbNutriClick(); });
    guardedConnect(btnPesqNutri, &QPushButton::clicked, this, [this] { btnPesqNutriClick(); });

    guardedConnect(medCdFilial, &TMaskEdit::exited, this, [this] { Vd_CdFilial(false); });
    guardedConnect(medCdServFili, &TMaskEdit::exited, this, [this] { Vd_CdServFili(false); });
    guardedConnect(medCdTpCard, &TMaskEdit::exited, this, [this] { Vd_CdTipoCard(false); });
    guardedConnect(medCdPratoIni, &TMaskEdit::exited, this, [this] { Vd_CdPrato(medCdPratoIni, false); });
    guardedConnect(medCdPratoFin, &TMaskEdit::exited, this, [this] { Vd_CdPrato(medCdPratoFin, false); });

    filial.botao->BeforePesq = [this](TBtnPesquisa&) {
        qryFilial->Close();
        qryFilial->setParam(QStringLiteral("P_CDFILIAL"), QString());
        qryFilial->setParam(QStringLiteral("P_TCDFILIAL"), QStringLiteral("T"));
        qryFilial->Open();
    };
    servico.botao->BeforePesq = [this](TBtnPesquisa&) {
        qryServico->Close();
        qryServico->setParam(QStringLiteral("P_CDFILIAL"), medCdFilial->Text());
        qryServico->setParam(QStringLiteral("P_CDSERVFILI"), QString());
        qryServico->setParam(QStringLiteral("P_TCDSERVFILI"), QStringLiteral("T"));
        qryServico->Open();
    };
    tipoCard.botao->BeforePesq = [this](TBtnPesquisa&) {
        qryTipoCard->Close();
        qryTipoCard->setParam(QStringLiteral("P_CDFILCENTPME"), medCdCentral->Text());
        qryTipoCard->setParam(QStringLiteral("P_CDFILIAL"), hostContext().FiliProc);
        qryTipoCard->setParam(QStringLiteral("P_CDTIPOCARD"), QString());
        qryTipoCard->setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        qryTipoCard->Open();
    };
    const auto listaPratos = [this](TBtnPesquisa&) {
        qryPrato->Close();
        qryPrato->setParam(QStringLiteral("P_CDFILAUXPRAT"), filialPrato());
        qryPrato->setParam(QStringLiteral("P_CDPRATO"), QString());
        qryPrato->setParam(QStringLiteral("P_TCDPRATO"), QStringLiteral("T"));
        qryPrato->Open();
    };
    pratoIni.botao->BeforePesq = listaPratos;
    pratoFin.botao->BeforePesq = listaPratos;

    const auto escolhe = [](const companions::LinhaCodigo& line, Query* list, const char* code, const char* name) {
        line.botao->AfterPesq = [line, list, code, name](TBtnPesquisa&) {
            line.codigo->setText(list->FieldByName(QString::fromLatin1(code))->AsString());
            line.nome->setText(list->FieldByName(QString::fromLatin1(name))->AsString());
        };
    };
    escolhe(filial, qryFilial, "CDFILIAL", "NMFILIAL");
    escolhe(servico, qryServico, "CDSERVFILI", "NMSERVICO");
    escolhe(tipoCard, qryTipoCard, "CDTIPOCARD", "NMTIPOCARD");
    escolhe(pratoIni, qryPrato, "CDPRATO", "NMPRATO");
    escolhe(pratoFin, qryPrato, "CDPRATO", "NMPRATO");
}

void TfrmNutriPrat::FormCreate()
{
    TfrmDadosGerRel::FormCreate();
    m_primeiraAtivacao = true;
    stNutriente.clear();
    stNutriColuna.clear();
}

void TfrmNutriPrat::FormActivate()
{
    TfrmDadosGerRel::FormActivate();
    if (m_primeiraAtivacao)
        primeiraAtivacao();
}

void TfrmNutriPrat::primeiraAtivacao()
{
    const HostContext& context = hostContext();
    const QString dishMask = context.DBPict(1).remove(u'.');
    medCdPratoIni->setEditMask(dishMask);
    medCdPratoFin->setEditMask(dishMask);
    qryPrato->FieldByName(QStringLiteral("CDPRATO"))->setEditMask(dishMask);

    const int levels = context.DBPictObj(1).GetTtNiveis();
    m_nivelMaximo = levels < 2 ? levels : levels - 2;

    const QString branch = companions::filialCabecalhoReceita();
    medCdFilial->setText(branch.isEmpty() ? context.FiliProc : branch);
    qryFilial->Close();
    qryFilial->setParam(QStringLiteral("P_CDFILIAL"), medCdFilial->Text());
    qryFilial->setParam(QStringLiteral("P_TCDFILIAL"), QString());
    qryFilial->Open();
    filial.nome->setText(qryFilial->FieldByName(QStringLiteral("NMFILIAL"))->AsString());

    rdbPadrao->setChecked(true);
    rdbNivelClick();
    rdgDadosOperadorClick();

    if (context.ModuloAtiv == u"8" || context.ModuloAtiv == u"L") {
        if (!companions::mostraCentral(*qryFiliCentAgreg, *medCdCentral, *central.nome))
            rdbTpCard->setEnabled(false);
    } else {
        // Without centrals there are no menu types; the row of levels simply closes up.
        nbkFiltro->setCurrentIndex(0);
        rdbTpCard->hide();
    }
    m_primeiraAtivacao = false;
}

QString TfrmNutriPrat::IdTipoRece() const
{
    if (rdbLocal->isChecked())
        return QStringLiteral("F");
    if (rdbServico->isChecked())
        return QStringLiteral("S");
    if (rdbTpCard->isChecked())
        return QStringLiteral("T");
    return QStringLiteral("P");
}

int TfrmNutriPrat::ItemIndexOrdenacao() const { return m_ordenacao->checkedId(); }

QString TfrmNutriPrat::filialPrato() const
{
    // Set from the current filters at every use, the menu-type level included.
    return rdbPadrao->isChecked() ? QStringLiteral("P") : medCdFilial->Text();
}

void TfrmNutriPrat::rdbNivelClick()
{
    const QString level = IdTipoRece();
    nbkFiltro->setCurrentIndex(level == u"T" ? 1 : 0);
    filial.setEnabled((level == u"F" || level == u"S") && !hostContext().ModuFili);
    servico.setEnabled(level == u"S");
    pratoIni.limpa();
    pratoFin.limpa();
}

void TfrmNutriPrat::rdgDadosOperadorClick()
{
    speNivel->setValue(0);
    speNivel->setEnabled(ItemIndexOrdenacao() == 1);
}

void TfrmNutriPrat::rdbNutriClick()
{
    btnPesqNutri->setEnabled(rdbNutrLista->isChecked());
    stNutriente.clear();
    stNutriColuna.clear();
}

void TfrmNutriPrat::btnPesqNutriClick()
{
    qryNutriente->Close();
    qryNutriente->Open();
    PesquisaLista(*qryNutriente, QStringLiteral("CDNUTRIENTE"),
                  msgPadrao->Msg(QStringLiteral("NUTRIENTE")) + u'|' + QStringLiteral("Não há Nutriente Cadastrado"),
                  stNutriente);
}

void TfrmNutriPrat::Vd_CdFilial(bool required)
{
    FocoNaFalha foco(medCdFilial);
    medCdFilial->setText(Ajusta(medCdFilial->Text(), 4));
    filial.nome->setText(ValidaFilial(medCdFilial->Text(), hostContext().Operador, required));
}

void TfrmNutriPrat::Vd_CdServFili(bool required)
{
    const QString code = Ajusta(medCdServFili->Text(), 5);
    medCdServFili->setText(code);
    servico.nome->clear();
    if (EmptyString(code)) {
        if (required)
            falha(*msgPadrao, QStringLiteral("SERV_EMPTY"), medCdServFili);
        return;
    }
    qryServico->Close();
    qryServico->setParam(QStringLiteral("P_CDFILIAL"), medCdFilial->Text());
    qryServico->setParam(QStringLiteral("P_CDSERVFILI"), code);
    qryServico->setParam(QStringLiteral("P_TCDSERVFILI"), QString());
    qryServico->Open();
    if (qryServico->IsEmpty())
        falha(*msgPadrao, QStringLiteral("SERV_NCAD"), medCdServFili);
    servico.nome->setText(qryServico->FieldByName(QStringLiteral("NMSERVICO"))->AsString());
}

void TfrmNutriPrat::Vd_CdTipoCard(bool required)
{
    companions::verificaTipoCard(*qryTipoCard, *msgPadrao, medCdCentral->Text(), *medCdTpCard, *tipoCard.nome, required);
}

void TfrmNutriPrat::Vd_CdPrato(TMaskEdit* field, bool required)
{
    const bool inicial = field == medCdPratoIni;
    QLineEdit* name = inicial ? pratoIni.nome : pratoFin.nome;
    FocoNaFalha foco(field);
    name->clear();
    QString code = field->Text();
    if (EmptyString(code)) {
        if (required)
            falha(*msgPadrao, inicial ? QStringLiteral("PRATOINI_EMPTY") : QStringLiteral("PRATOFIN_EMPTY"), field);
        return;
    }
    Tabvalid::ValidEx(nullptr, 1, code, Tabvalid::voQualquerNivel, msgPadrao->Msg(QStringLiteral("PRATO_NCAD")));
    qryPrato->Close();
    qryPrato->setParam(QStringLiteral("P_CDFILAUXPRAT"), filialPrato());
    qryPrato->setParam(QStringLiteral("P_CDPRATO"), code);
    qryPrato->setParam(QStringLiteral("P_TCDPRATO"), QString());
    qryPrato->Open();
    if (qryPrato->IsEmpty())
        falha(*msgPadrao, QStringLiteral("PRATO_NCAD"), field);
    name->setText(qryPrato->FieldByName(QStringLiteral("NMPRATO"))->AsString());
}

bool TfrmNutriPrat::ModeloMacro() const
{
    return LayoutAtual().fileName.compare(CodigoRelatorio().left(6) + QStringLiteral("02.QR2"), Qt::CaseInsensitive) == 0;
}

void TfrmNutriPrat::vd_MontaNutri()
{
    if (rdbNutrLista->isChecked()) {
        if (stNutriente.isEmpty())
            falha(*msgPadrao, QStringLiteral("NUTR_DEVE"), rdbNutrLista);
        stNutriColuna = stNutriente.left(16);
        return;
    }
    qryNutriente->Close();
    qryNutriente->Open();
    QStringList codes;
    for (qryNutriente->First(); !qryNutriente->Eof(); qryNutriente->Next())
        codes << qryNutriente->FieldByName(QStringLiteral("CDNUTRIENTE"))->AsString();
    stNutriente = codes.join(u'_');
    if (!ModeloMacro())
        return;
    // The "02" layout prints the macro-nutrients in columns of their own: the other columns take
    // the first four nutrients that are none of the general parameters' six.
    qryParamGeral->Close();
    qryParamGeral->Open();
    QStringList macro;
    for (const char* field : {"CDCALORIAS", "CDPROTEINA", "CDLIPIDIOS", "CDCARBOHIDRA", "CDACIDGRAXOS", "CDACUCARES"})
        macro << qryParamGeral->FieldByName(QString::fromLatin1(field))->AsString();
    stNutriColuna.clear();
    for (qsizetype i = 0; i < stNutriente.size() && stNutriColuna.size() <= 15; i += 4) {
        const QString code = stNutriente.mid(i, 3);
        if (!macro.contains(code))
            stNutriColuna += code + u'_';
    }
}

void TfrmNutriPrat::Vd_Impressao(bool required)
{
    const QString level = IdTipoRece();
    if (level == u"T")
        Vd_CdTipoCard(required);
    if (level == u"F" || level == u"S") {
        Vd_CdFilial(true);
        if (level == u"S")
            Vd_CdServFili(required);
    }
    vd_MontaNutri();
    if (medCdPratoFin->hasFocus()) {
        Vd_CdPrato(medCdPratoFin, required);
        Vd_CdPrato(medCdPratoIni, required);
    } else {
        Vd_CdPrato(medCdPratoIni, required);
        Vd_CdPrato(medCdPratoFin, required);
    }
    if (medCdPratoIni->Text() > medCdPratoFin->Text() && !medCdPratoFin->Text().isEmpty())
        falha(*msgPadrao, QStringLiteral("PRATOINI>PRATOFIN"), medCdPratoFin);
    if (ItemIndexOrdenacao() == 1
        && (speNivel->cleanText().isEmpty() || speNivel->value() < 0 || speNivel->value() > m_nivelMaximo)) {
        speNivel->setFocus();
        msgPadrao->ShowMsg(QStringLiteral("NIVEL_INV"), mtError, mbOK, {QString::number(m_nivelMaximo)});
        throw Abort();
    }
}

void TfrmNutriPrat::ValidaImpressao(bool required) { Vd_Impressao(required); }

void TfrmNutriPrat::AtribuiParametros(ReportParams& params)
{
    const QString level = IdTipoRece();
    const auto set = [&params](const char* name, const QVariant& value) {
        if (params.ExistParam(QString::fromLatin1(name)))
            params.setParam(QString::fromLatin1(name), value);
    };
    const QString receita = companions::filialCabecalhoReceita();
    QString coluna = stNutriColuna;
    if (coluna.startsWith(u'_'))
        coluna.remove(0, 1);

    set("P_CDFILAUXPRAT", filialPrato());
    set("P_CDSERVFILI", level == u"S" ? medCdServFili->Text() : QStringLiteral("XXX"));
    set("P_CDFILIAL", level == u"P" ? (receita.isEmpty() ? hostContext().FiliProc : receita) : medCdFilial->Text());
    set("P_CDPRATOINIC", medCdPratoIni->Text());
    set("P_CDPRATOFINA", companions::completaFinal(medCdPratoFin->Text(), u'Z'));
    set("P_NIVEL", hostContext().DBPictObj(1).TamAcNivel(speNivel->value()));
    set("P_ORDENA", QString::number(ItemIndexOrdenacao()));
    set("P_IDTIPORECE", level);
    set("P_CDFILCENTPME", medCdCentral->Text());
    set("P_CDTIPOCARD", medCdTpCard->Text());
    set("P_CDNUTRIENTE", stNutriente);
    set("P_NUTRIENTE1", coluna.mid(0, 3));
    set("P_NUTRIENTE2", coluna.mid(4, 3));
    set("P_NUTRIENTE3", coluna.mid(8, 3));
    set("P_NUTRIENTE4", coluna.mid(12, 3));
}
