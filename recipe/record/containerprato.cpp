#include "containerprato.h"
#include "registroprato.h"

#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/dbpicture.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"
#include "server/connection.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGroupBox>
#include <QTabWidget>

using namespace framework;

namespace recipe {

namespace {

using State = ClientDataSet::State;

const QString principal = QStringLiteral("IDPRATCONTPRI");
const QString codigo = QStringLiteral("CDCONTAINER");
const QString quantidade = QStringLiteral("QTPRATCONTAINER");
const QString nome = QStringLiteral("NMCONTAINER");

bool editando(const ClientDataSet& ds)
{
    return ds.state() == State::Edit || ds.state() == State::Insert;
}

// The number of a transport edit: as typed in the edit being left, as stored for the others
// (leaving an edit stored what it held). Empty counts as 0.
double valor(const TDBEdit* edit, const TDBEdit& checked)
{
    if (!edit)
        return 0;
    if (edit == &checked || !edit->DataSource() || !edit->DataSource()->DataSet())
        return StrToFloatDef(edit->text().trimmed(), 0);
    const Field* field = edit->DataSource()->DataSet()->FindField(edit->DataField());
    return field && !field->IsNull() ? field->AsFloat() : 0;
}

} // namespace

ContainerPrato::ContainerPrato(ContextoReceita& contexto, QWidget& pagina, RegistroPrato& registro)
    : QObject(&contexto.janela()), m_contexto(contexto), m_pagina(pagina), m_registro(registro),
      m_enviador(std::make_unique<Enviador>(contexto.servidor()))
{
    setObjectName(QStringLiteral("containerPrato"));
    adicionaMensagens();
    criaComponentes();
    conecta();
    registro.CarregaContainers = [this] { carrega(); };
}

ContainerPrato::~ContainerPrato() = default;

void ContainerPrato::adicionaMensagens()
{
    m_contexto.mensagens().Add({
        {"get_cdsPratoContainer", "Carregando embalagens do prato..."},
        {"get_cdsPesqContainer", "Carregando embalagens..."},
        {"upd_cdsPratoContainer", "Atualizando embalagens do prato..."},
        {"pro_UpdContainer", "Atualizando embalagem principal..."},
        {"Container", "Embalagens"},
        {"Container_Branco", "Embalagem deve ser informada."},
        {"Container_N_Cadastrado", "Embalagem não cadastrada"},
        {"Container_Existe", "Embalagem já existente"},
        {"QTCONT_INV", "Quantidade por container deve ser maior ou igual a zero."},
        {"QTAMOS_INV", "Amostra deve ser maior ou igual a zero."},
        {"PERMINCONT_INV", "Percentual mínimo por container deve ser entre 0 e 100%."},
    });
}

void ContainerPrato::criaComponentes()
{
    m_lista = new ClientDataSet(&m_contexto.janela(), QStringLiteral("cdsPratoContainer"));
    m_lista->AddField(principal, FieldType::String, 1);
    m_lista->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4);
    m_lista->AddField(QStringLiteral("CDPRATO"), FieldType::String, 10);
    m_lista->AddField(codigo, FieldType::String, 5)->setDisplayLabel(QStringLiteral("Container"));
    m_lista->AddField(quantidade, FieldType::Float);
    m_lista->AddField(nome, FieldType::String, 40);
    m_fonte = new DataSource(&m_contexto.janela(), QStringLiteral("dtsPratoContainer"));
    m_fonte->setDataSet(m_lista);

    m_catalogo = new ClientDataSet(&m_contexto.janela(), QStringLiteral("cdsPesqContainer"));
    m_catalogo->AddField(codigo, FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
    Field* name = m_catalogo->AddField(nome, FieldType::String, 40);
    name->setDisplayLabel(QStringLiteral("Nome"));
    name->setReadOnly(true);
    name->setDisplayWidth(30);
    Field* qty = m_catalogo->AddField(QStringLiteral("QTCONTAINER"), FieldType::Float);
    qty->setDisplayLabel(QStringLiteral("Quantidade"));
    qty->setVisible(false);
    m_catalogo->AddField(QStringLiteral("IDMARCADO"), FieldType::String, 1)->setVisible(false);
    (new DataSource(&m_contexto.janela(), QStringLiteral("dtsContainer")))->setDataSet(m_catalogo);

    auto* box = new QGroupBox(QStringLiteral("Embalagens"), &m_pagina);
    box->setObjectName(QStringLiteral("grbContainer"));
    m_grade = new TDBGrid(box, QStringLiteral("dbgContainer"));
    (new QVBoxLayout(box))->addWidget(m_grade);
    auto* page = qobject_cast<QBoxLayout*>(m_pagina.layout());
    if (!page)
        page = new QVBoxLayout(&m_pagina);
    page->addWidget(box, 1);
    m_grade->setDataSource(m_fonte);
    TColumn* mark = m_grade->AddColumn(principal);
    mark->setTitle(QStringLiteral("✔"));
    mark->setReadOnly(true);
    mark->setWidth(28);
    TColumn* code = m_grade->AddColumn(codigo);
    code->setTitle(QStringLiteral("Embalagem"));
    code->setButtonStyle(TColumn::cbsEllipsis);
    code->setWidth(260);
    m_grade->AddColumn(quantidade)->setTitle(QStringLiteral("Quantidade"));
    m_grade->setOptions(TDBGrid::dgEditing | TDBGrid::dgTitles | TDBGrid::dgColumnResize | TDBGrid::dgColLines
                        | TDBGrid::dgRowLines | TDBGrid::dgTabs | TDBGrid::dgConfirmDelete);
}

void ContainerPrato::conecta()
{
    m_grade->OnEnter = [this](TDBGrid&) { dbgContainerEnter(); };
    m_grade->OnColEnter = [this](TDBGrid& grid) {
        const TColumn* column = grid.SelectedColumn();
        grid.setOption(TDBGrid::dgEditing, !column || column->FieldName() != principal);
    };
    m_grade->OnColExit = [this](TDBGrid&) {
        if (colunaCodigo())
            Vd_Container(false);
    };
    m_grade->OnEditButtonClick = [this](TDBGrid&) { escolheContainer(); };
    m_grade->OnDblClick = [this](TDBGrid& grid) {
        if (grid.SelectedColumn() && grid.SelectedColumn()->FieldName() == principal)
            marcaPrincipal();
    };
    m_grade->OnKeyDown = [this](TDBGrid& grid, int& key, Qt::KeyboardModifiers shift) {
        if (key == Qt::Key_Delete && (shift & Qt::ControlModifier)) {
            key = 0; // rows are deleted with the toolbar
        } else if (key == Qt::Key_Space && !(shift & Qt::ControlModifier)) {
            key = 0;
            if (grid.SelectedColumn() && grid.SelectedColumn()->FieldName() == principal)
                marcaPrincipal();
        }
    };
    m_grade->OnKeyPress = [this](TDBGrid&, QChar& key) { teclaPressionada(key); };
    m_grade->OnDrawColumnCell = [this](TDBGrid&, TCellPaint& cell) { desenha(cell); };

    m_lista->BeforeInsert = [this](ClientDataSet&) {
        if (m_contexto.consulta())
            throw Abort();
    };
    m_lista->BeforeEdit = [this](ClientDataSet& ds) {
        if (m_contexto.consulta())
            throw Abort();
        m_codigoAnterior = ds.FieldByName(codigo)->AsString();
    };
    m_lista->OnNewRecord = [this](ClientDataSet& ds) {
        m_codigoAnterior.clear();
        ds.FieldByName(QStringLiteral("CDFILAUXPRAT"))->setAsString(prato("CDFILAUXPRAT"));
        ds.FieldByName(QStringLiteral("CDPRATO"))->setAsString(prato("CDPRATO"));
        ds.FieldByName(principal)->setAsString(QStringLiteral("N"));
    };
    m_lista->BeforePost = [this](ClientDataSet&) { antesDePostar(); };
    m_lista->AfterPost = [this](ClientDataSet&) { aposPostar(); };
    m_lista->AfterDelete = [this](ClientDataSet&) { envia(); };
    guardedConnect(m_fonte, &DataSource::stateChanged, this, [this] { estadoMudou(); });
}

void ContainerPrato::registra(TabelaPaginas& paginas)
{
    Pagina pagina;
    pagina.tab = m_grade;
    pagina.dentroDe = &m_pagina;
    pagina.dataSet = m_lista;
    pagina.fonte = m_fonte;
    pagina.regra(Comando::Incluir, [this](const Pagina&) { incluir(); });
    pagina.regra(Comando::Alterar, [this](const Pagina&) { alterar(); });
    pagina.regra(Comando::Excluir, [this](const Pagina&) { excluir(); });
    pagina.regra(Comando::Procurar, [this](const Pagina&) { m_contexto.procuraNaArvore(); });
    pagina.regra(Comando::Verificar, [this](const Pagina&) { carrega(); });
    pagina.regra(Comando::Confirmar, [this](const Pagina&) { confirmar(); });
    pagina.regra(Comando::Cancelar, [this](const Pagina&) { cancelar(); });
    paginas.adiciona(pagina);
}

void ContainerPrato::habilitaBarra() const
{
    const bool livre = m_lista->Active() && !m_lista->IsEmpty() && !m_contexto.comando(Comando::Confirmar).isEnabled();
    m_contexto.comando(Comando::Alterar).setEnabled(livre);
    m_contexto.comando(Comando::Excluir).setEnabled(livre);
}

QString ContainerPrato::prato(const char* field) const
{
    const ClientDataSet* dishes = &m_contexto.pratos();
    return dishes->Active() && !dishes->IsEmpty() ? dishes->FieldByName(QLatin1String(field))->AsString() : QString();
}

bool ContainerPrato::colunaCodigo() const
{
    const TColumn* column = m_grade->SelectedColumn();
    return column && column->FieldName() == codigo;
}

// --- Loading -----------------------------------------------------------------------------------

void ContainerPrato::carrega()
{
    // What the user is typing, or a change the server refused, is not thrown away.
    if (editando(*m_lista) || (m_lista->Active() && m_lista->ChangeCount() > 0))
        return;
    const QString dish = prato("CDPRATO");
    if (dish.isEmpty()) {
        m_lista->Close();
        return;
    }
    loadPacket(m_lista, m_contexto.servidor().call(QStringLiteral("GetPratoContainer"),
                                                      {dish, prato("CDFILAUXPRAT")},
                                                      QStringLiteral("get_cdsPratoContainer")));
}

void ContainerPrato::dbgContainerEnter()
{
    const TColumn* column = m_grade->SelectedColumn();
    m_grade->setOption(TDBGrid::dgEditing, !column || column->FieldName() != principal);
    carrega();
    m_contexto.AtualizaBotoes();
}

void ContainerPrato::carregaCatalogo()
{
    loadPacket(m_catalogo, m_contexto.servidor().call(QStringLiteral("GetContainer"), {},
                                                         QStringLiteral("get_cdsPesqContainer")));
}

void ContainerPrato::estadoMudou()
{
    const bool editing = editando(*m_lista);
    m_contexto.AtualizaBotoes();
    // The other pages wait while a container row is being edited, then come back as the dish
    // allows.
    if (m_contexto.paginaVisivel() == &m_pagina && (editing || m_paginasTravadas)) {
        m_paginasTravadas = editing;
        const bool complete = prato("CDNVPRATO") == QString::number(hostContext().DBPictObj(1).GetTtNiveis());
        m_contexto.Habilita_Pagina(!editing && complete);
    }
    if (editing)
        carregaCatalogo();
}

// --- Checks ------------------------------------------------------------------------------------

void ContainerPrato::falha(const char* key, QWidget* control) const { recipe::falha(m_contexto.mensagens(), key, control); }

void ContainerPrato::falhaContainer(const char* key)
{
    if (editando(*m_lista))
        m_lista->FieldByName(quantidade)->Clear();
    const int column = IndiceCol(*m_grade, codigo);
    if (column >= 0 && m_grade->SelectedIndex() != column)
        m_grade->setSelectedIndex(column);
    falha(key, m_grade);
}

void ContainerPrato::Vd_Container(bool required)
{
    if (!m_lista->Active())
        return;
    Field* code = m_lista->FieldByName(codigo);
    if (required && code->AsString().trimmed().isEmpty())
        falhaContainer("Container_Branco");
    if (!editando(*m_lista) || !colunaCodigo())
        return;
    const QString typed = Ajusta(code->AsString(), 5);
    if (typed != code->AsString())
        code->setAsString(typed);
    if (typed.isEmpty())
        return;
    if (!m_catalogo->Active())
        carregaCatalogo();
    if (!m_catalogo->Locate(codigo, typed))
        falhaContainer("Container_N_Cadastrado");
    m_lista->FieldByName(nome)->setAsString(m_catalogo->FieldByName(nome)->AsString());
    m_lista->FieldByName(quantidade)->setValue(m_catalogo->FieldByName(QStringLiteral("QTCONTAINER"))->Value());
    if (typed == m_codigoAnterior)
        return;
    const QVariant exists = m_contexto.servidor().call(QStringLiteral("GetVdContainer"),
                                                          {typed, prato("CDPRATO"), prato("CDFILAUXPRAT")});
    CheckResultServ(exists);
    if (exists.toBool())
        falhaContainer("Container_Existe");
}

void ContainerPrato::Vd_QtContainer(const TransporteNivel& nivel, TDBEdit& checked) const
{
    const DataSource* source = checked.DataSource();
    const ClientDataSet* ds = source ? source->DataSet() : nullptr;
    if (!ds || !editando(*ds))
        return;
    // The edit just left is judged by its own rule, so a wrong sample shows the sample's message.
    const auto sample = [this, &nivel, &checked] {
        if (valor(nivel.amostra, checked) < 0)
            falha("QTAMOS_INV", nivel.amostra);
    };
    const auto percent = [this, &nivel, &checked] {
        const double value = valor(nivel.percentualMinimo, checked);
        if (value < 0 || value > 100)
            falha("PERMINCONT_INV", nivel.percentualMinimo);
    };
    if (&checked == nivel.amostra)
        sample();
    else if (&checked == nivel.percentualMinimo)
        percent();
    else if (valor(&checked, checked) < 0)
        falha("QTCONT_INV", &checked);
    if (nivel.amostra)
        sample();
    if (nivel.percentualMinimo)
        percent();
}

// --- Keys, drawing, choosing -------------------------------------------------------------------

void ContainerPrato::teclaPressionada(QChar& key) const
{
    const TColumn* column = m_grade->SelectedColumn();
    if (!column)
        return;
    const bool control = key == u'\b' || key == u'\r';
    if (column->FieldName() == codigo && !key.isDigit() && !control)
        key = QChar();
    else if (column->FieldName() == quantidade && !key.isDigit() && !control && key != u',')
        key = QChar();
}

void ContainerPrato::desenha(TCellPaint& cell) const
{
    if (!cell.column)
        return;
    const QString column = cell.column->FieldName();
    if (column == principal) {
        cell.check = TCellPaint::checkFor(cell.value(principal));
        cell.text.clear();
    } else if (column == codigo) {
        const QString code = cell.value(codigo).toString();
        const QString name = cell.value(nome).toString();
        const bool typing = cell.editing && cell.selected && colunaCodigo();
        cell.text = code.isEmpty() ? QString() : typing || name.isEmpty() ? code : name;
    }
}

void ContainerPrato::escolheContainer()
{
    if (!colunaCodigo())
        return;
    if (m_lista->state() == State::Browse)
        m_lista->IsEmpty() ? m_lista->Append() : m_lista->Edit();
    if (!m_catalogo->Active())
        carregaCatalogo();
    if (!Pesquisar(*m_catalogo, m_contexto.mensagens().Msg(QStringLiteral("Container")) + u'|'
                                    + msgMensagensPadroes().Msg(QStringLiteral("Lista_Vazia")),
                   {codigo, nome}))
        return;
    m_lista->FieldByName(codigo)->setAsString(m_catalogo->FieldByName(codigo)->AsString());
    m_lista->FieldByName(nome)->setAsString(m_catalogo->FieldByName(nome)->AsString());
    m_lista->FieldByName(quantidade)->setValue(m_catalogo->FieldByName(QStringLiteral("QTCONTAINER"))->Value());
}

// --- Rows --------------------------------------------------------------------------------------

void ContainerPrato::antesDePostar()
{
    if (m_lista->state() == State::Insert)
        m_lista->FieldByName(codigo)->setAsString(Ajusta(m_lista->FieldByName(codigo)->AsString(), 5));
    Vd_Container(true);
}

void ContainerPrato::envia()
{
    m_enviador->envia(*m_lista, {QStringLiteral("SetContainer"), QStringLiteral("upd_cdsPratoContainer"), {}, {}});
}

void ContainerPrato::aposPostar()
{
    const QString code = m_lista->FieldByName(codigo)->AsString();
    envia();
    // A new principal cleared the dish's former one on the server: the list shows it so.
    carrega();
    m_lista->Locate(codigo, code, loCaseInsensitive);
}

void ContainerPrato::marcaPrincipal()
{
    if (!m_lista->Active() || m_lista->IsEmpty())
        return;
    const bool started = m_lista->state() == State::Browse;
    if (started)
        m_lista->Edit();
    try {
        Field* mark = m_lista->FieldByName(principal);
        if (mark->AsString() != u"S") {
            const QString status = updateStatus(m_contexto.servidor().call(
                QStringLiteral("UpdContainer"), {prato("CDFILAUXPRAT"), prato("CDPRATO")}, QStringLiteral("pro_UpdContainer")));
            if (!status.isEmpty())
                MensErro(status);
            mark->setAsString(QStringLiteral("S"));
        } else {
            mark->setAsString(QStringLiteral("N"));
        }
    } catch (...) {
        if (started && editando(*m_lista))
            m_lista->Cancel();
        throw;
    }
    m_contexto.confirma();
}

// --- Toolbar rules -----------------------------------------------------------------------------

void ContainerPrato::incluir()
{
    if (!m_lista->Active())
        carrega();
    if (m_lista->Active() && m_lista->state() == State::Browse)
        m_lista->Append();
    const int column = IndiceCol(*m_grade, codigo);
    if (column >= 0)
        m_grade->setSelectedIndex(column);
    m_grade->setFocus();
}

void ContainerPrato::alterar()
{
    if (m_registro.NivelBloq(prato("CDPRATO")))
        falha("NIVBL_ALT");
    if (!m_lista->Active() || m_lista->IsEmpty() || m_lista->state() != State::Browse)
        return;
    m_lista->Edit();
    const int column = IndiceCol(*m_grade, codigo);
    if (column >= 0)
        m_grade->setSelectedIndex(column);
    m_grade->setFocus();
}

void ContainerPrato::excluir()
{
    if (!m_lista->Active() || m_lista->IsEmpty())
        return;
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    m_lista->Delete();
}

void ContainerPrato::confirmar()
{
    if (editando(*m_lista))
        m_lista->Post();
    else if (m_lista->Active() && m_lista->ChangeCount() > 0)
        envia(); // a change the server refused before goes again
    m_contexto.sincronizaArvore();
}

void ContainerPrato::cancelar()
{
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (editando(*m_lista))
        m_lista->Cancel();
    if (m_lista->Active() && m_lista->ChangeCount() > 0)
        m_lista->CancelUpdates();
}

} // namespace recipe
