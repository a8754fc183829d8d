#include "gradeservicos.h"

#include "formcompanheiro.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/data/numberformat.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"

#include <QScopeGuard>
#include <QScopedValueRollback>

using namespace framework;

namespace companions {

namespace {

const QString Marca = QStringLiteral("IDMARCADO");
const QString Percentual = QStringLiteral("PERCENTUAL");

bool controle(Qt::KeyboardModifiers shift) { return (shift & Qt::ControlModifier) != 0; }

} // namespace

GradeServicos::GradeServicos(QWidget* parent, const TMessages& messages) : m_messages(messages)
{
    cdsServicos = new ClientDataSet(parent, QStringLiteral("cdsServicos"));
    cdsServicos->AddField(Marca, FieldType::String, 1)->setDisplayLabel(QStringLiteral("✔"));
    cdsServicos->AddField(QStringLiteral("CDFILIAL"), FieldType::String, 4)->setVisible(false);
    Field* codigo = cdsServicos->AddField(QStringLiteral("CDSERVFILI"), FieldType::String, 5);
    codigo->setDisplayLabel(QStringLiteral("Código"));
    codigo->setReadOnly(true);
    Field* nome = cdsServicos->AddField(QStringLiteral("NMSERVICO"), FieldType::String, 40);
    nome->setDisplayLabel(QStringLiteral("Nome"));
    nome->setReadOnly(true);
    Field* percentual = cdsServicos->AddField(Percentual, FieldType::Float);
    percentual->setDisplayLabel(QStringLiteral("Percentual"));
    percentual->setDisplayFormat(QStringLiteral("#00.00%"));
    // Nothing above zero is no percentage: shown as a plain 0.
    percentual->OnGetText = [](Field& field, QString& text, bool displayText) {
        if (field.IsNull())
            text.clear();
        else if (!displayText)
            text = field.AsString();
        else
            text = field.AsFloat() > 0 ? formatNumber(field.AsFloat(), field.DisplayFormat()) : QStringLiteral("0");
    };
    // The list is the server's: nothing is added to it or taken from it here.
    cdsServicos->BeforeInsert = [](ClientDataSet&) { throw Abort(); };
    cdsServicos->BeforeDelete = [](ClientDataSet&) { throw Abort(); };
    cdsServicos->BeforePost = [this](ClientDataSet&) { antesGravar(); };
    cdsServicos->AfterScroll = [this](ClientDataSet&) {
        AplicaRegraColuna();
        if (AoMudarLinha)
            AoMudarLinha();
    };
    dtsServicos = new DataSource(parent, QStringLiteral("dtsServicos"));
    dtsServicos->setDataSet(cdsServicos);

    dbgServicos = new TDBGrid(parent, QStringLiteral("dbgServicos"));
    dbgServicos->setDataSource(dtsServicos);
    dbgServicos->setOption(TDBGrid::dgAlwaysShowSelection, true);
    dbgServicos->setOption(TDBGrid::dgConfirmDelete, false);
    dbgServicos->AddColumn(Marca)->setWidth(26);
    dbgServicos->AddColumn(QStringLiteral("CDSERVFILI"))->setWidth(70);
    dbgServicos->AddColumn(QStringLiteral("NMSERVICO"))->setWidth(240);
    dbgServicos->AddColumn(Percentual)->setWidth(90);

    dbgServicos->OnColEnter = [this](TDBGrid&) { AplicaRegraColuna(); };
    dbgServicos->OnDrawColumnCell = [this](TDBGrid&, TCellPaint& cell) { desenha(cell); };
    // The click's own cell: when the row it was on refused to be left, the click marks nothing.
    guardedConnect(dbgServicos, &TDBGrid::clicked, dbgServicos,
                   [this](const QModelIndex& index) { clicou(index.row(), index.column()); });
    dbgServicos->OnTitleClick = [this](TDBGrid&, TColumn& column) {
        if (column.FieldName() == Marca && !Vazia() && OnTituloMarca)
            OnTituloMarca();
    };
    dbgServicos->OnKeyDown = [this](TDBGrid&, int& key, Qt::KeyboardModifiers shift) {
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if ((key == Qt::Key_Delete || enter) && controle(shift)) {
            key = 0;
        } else if (key == Qt::Key_Space && shift == Qt::NoModifier && (m_espacoQualquer || colunaMarca()) && !Vazia()) {
            key = 0;
            MarcaServico();
        }
    };
    // A percentage has no sign nor exponent; a line feed is no percentage either.
    dbgServicos->OnKeyPress = [](TDBGrid&, QChar& key) {
        if (key == u'e' || key == u'E' || key == u'-' || key == u'\n')
            key = QChar();
    };
}

void GradeServicos::Abre()
{
    if (!cdsServicos->Active())
        cdsServicos->CreateDataSet();
}

void GradeServicos::Carrega(const QVariant& resultado, const FiltroServico& filtro)
{
    CheckResultServ(resultado);
    m_filtro.reset();
    cdsServicos->SetData(toPacket(resultado));
    m_filtro = filtro;
}

bool GradeServicos::CarregadaPara(const FiltroServico& filtro) const
{
    return cdsServicos->Active() && m_filtro == filtro;
}

void GradeServicos::Esvazia()
{
    m_filtro.reset();
    if (!cdsServicos->Active())
        return;
    if (cdsServicos->state() != ClientDataSet::State::Browse)
        cdsServicos->Cancel();
    cdsServicos->EmptyDataSet();
}

bool GradeServicos::Vazia() const { return !cdsServicos->Active() || cdsServicos->IsEmpty(); }

int GradeServicos::Marcados() const
{
    return Vazia() ? 0 : contaMarcados(*cdsServicos, Marca);
}

void GradeServicos::MarcaServico()
{
    ClientDataSet& cds = *cdsServicos;
    QScopedValueRollback semVerificacao(m_semVerificacao, true);
    cds.DisableControls();
    auto libera = qScopeGuard([&cds] { cds.EnableControls(); });
    cds.CheckBrowseMode();
    if (Vazia())
        return;
    cds.Edit();
    Field* marca = cds.FieldByName(Marca);
    const bool marcar = marca->AsString() == u"N";
    marca->setAsString(marcar ? QStringLiteral("S") : QStringLiteral("N"));
    if (AoMarcar)
        AoMarcar(marcar);
    if (!m_marcaEmEdicao)
        cds.Post();
    AplicaRegraColuna();
}

void GradeServicos::MarcaTodos(bool marcar)
{
    if (Vazia())
        return;
    ClientDataSet& cds = *cdsServicos;
    QScopedValueRollback semVerificacao(m_semVerificacao, true);
    cds.CheckBrowseMode();
    const ClientDataSet::Bookmark atual = cds.GetBookmark();
    cds.DisableControls();
    auto libera = qScopeGuard([&cds, atual] {
        if (cds.BookmarkValid(atual))
            cds.GotoBookmark(atual);
        cds.EnableControls();
    });
    for (cds.First(); !cds.Eof(); cds.Next()) {
        cds.Edit();
        cds.FieldByName(Marca)->setAsString(marcar ? QStringLiteral("S") : QStringLiteral("N"));
        if (AoMarcar)
            AoMarcar(marcar);
        cds.Post();
    }
}

void GradeServicos::Vd_Percentual()
{
    const Field* percentual = cdsServicos->FieldByName(Percentual);
    if (!percentual->IsNull() && percentual->AsFloat() > 0)
        return;
    dbgServicos->setSelectedIndex(IndiceCol(*dbgServicos, Percentual));
    falha(m_messages, QStringLiteral("PercNeg"), dbgServicos);
}

void GradeServicos::antesGravar()
{
    if (m_semVerificacao)
        return;
    if (VerificaLinha)
        VerificaLinha();
    else
        Vd_Percentual();
}

void GradeServicos::clicou(int linha, int coluna)
{
    const TColumn* column = dbgServicos->Columns(coluna);
    if (!column || column->FieldName() != Marca || Vazia() || cdsServicos->currentPosition() != linha)
        return;
    MarcaServico();
}

bool GradeServicos::colunaMarca() const
{
    const Field* field = dbgServicos->SelectedField();
    return field && field->FieldName() == Marca;
}

void GradeServicos::AplicaRegraColuna()
{
    const Field* field = dbgServicos->SelectedField();
    const bool percentual = field && field->FieldName() == Percentual && !Vazia();
    dbgServicos->setOption(TDBGrid::dgEditing, percentual && (!PercentualEditavel || PercentualEditavel()));
}

void GradeServicos::desenha(TCellPaint& cell) const
{
    if (cell.field && cell.field->FieldName() == Marca)
        cell.check = cell.value(Marca).toString() == u"S" ? TCellPaint::ckChecked : TCellPaint::ckUnchecked;
}

} // namespace companions
