#include "gradepratos.h"

#include "formcompanheiro.h"
#include "painelnivel.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QApplication>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QStyle>

using namespace framework;

namespace companions {

namespace {

const QString Marca = QStringLiteral("IDMARCADO");

} // namespace

GradePratos::GradePratos(QWidget* parent, const TMessages& messages) : m_messages(messages)
{
    cdsGridPratos = new ClientDataSet(parent, QStringLiteral("cdsGridPratos"));
    cdsGridPratos->AddField(Marca, FieldType::String, 1)->setDisplayLabel(QStringLiteral("✔"));
    Field* arvore = cdsGridPratos->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4);
    arvore->setDisplayLabel(QStringLiteral("Árvore"));
    arvore->setReadOnly(true);
    arvore->OnGetText = [this](Field& field, QString& text, bool) {
        text = field.AsString() == u"P" ? m_messages.Msg(QStringLiteral("P")) : field.AsString();
    };
    Field* codigo = cdsGridPratos->AddField(QStringLiteral("CDPRATO"), FieldType::String, 10);
    codigo->setDisplayLabel(QStringLiteral("Código"));
    codigo->setReadOnly(true);
    Field* nome = cdsGridPratos->AddField(QStringLiteral("NMPRATO"), FieldType::String, 40);
    nome->setDisplayLabel(QStringLiteral("Nome"));
    nome->setReadOnly(true);
    // The list is the server's: nothing is added to it or taken from it here.
    cdsGridPratos->BeforeInsert = [](ClientDataSet&) { throw Abort(); };
    cdsGridPratos->BeforeDelete = [](ClientDataSet&) { throw Abort(); };
    cdsGridPratos->AfterCancel = [this](ClientDataSet&) {
        if (!m_emRotina)
            DesfazAlteracoes();
    };
    dtsGridPratos = new DataSource(parent, QStringLiteral("dtsGridPratos"));
    dtsGridPratos->setDataSet(cdsGridPratos);

    dbgPadrao = new TDBGrid(parent, QStringLiteral("dbgPadrao"));
    dbgPadrao->setDataSource(dtsGridPratos);
    dbgPadrao->setOption(TDBGrid::dgAlwaysShowSelection, true);
    dbgPadrao->setOption(TDBGrid::dgConfirmDelete, false);
    dbgPadrao->AddColumn(Marca)->setWidth(26);
    dbgPadrao->AddColumn(QStringLiteral("CDFILAUXPRAT"))->setWidth(90);
    dbgPadrao->AddColumn(QStringLiteral("CDPRATO"))->setWidth(90);
    dbgPadrao->AddColumn(QStringLiteral("NMPRATO"))->setWidth(280);

    dbgPadrao->OnColEnter = [this](TDBGrid&) { AplicaRegraColuna(); };
    dbgPadrao->OnDrawColumnCell = [this](TDBGrid&, TCellPaint& cell) { desenha(cell); };
    dbgPadrao->OnCellClick = [this](TDBGrid&, TColumn& column) {
        if (column.FieldName() == Marca && !Vazia()) {
            const bool marcado = AlternaMarca();
            if (OnMarcaLinha)
                OnMarcaLinha(marcado);
        }
    };
    dbgPadrao->OnTitleClick = [this](TDBGrid&, TColumn& column) {
        if (column.FieldName() == Marca && !Vazia() && OnTituloMarca)
            OnTituloMarca();
    };
    dbgPadrao->OnKeyDown = [this](TDBGrid&, int& key, Qt::KeyboardModifiers shift) {
        if (key == Qt::Key_Delete && (shift & Qt::ControlModifier)) {
            key = 0;
        } else if (key == Qt::Key_Space && shift == Qt::NoModifier && colunaMarca() && !Vazia()) {
            key = 0;
            const bool marcado = AlternaMarca();
            if (OnMarcaLinha)
                OnMarcaLinha(marcado);
        }
    };
}

void GradePratos::Abre()
{
    cdsGridPratos->FieldByName(QStringLiteral("CDPRATO"))->setEditMask(hostContext().DBPict(1).remove(u'.'));
    if (!cdsGridPratos->Active())
        cdsGridPratos->CreateDataSet();
}

void GradePratos::Carrega(server::Connection& netImpPrato, const QString& pratoInicial, const QString& pratoFinal,
                          const CodigosNivel& origem)
{
    QVariantList args{filialCabecalhoReceita(),
                      pratoInicial,
                      pratoFinal,
                      QString::number(hostContext().DBPictObj(1).GetTtNiveis()),
                      origem.tipo,
                      origem.central,
                      origem.tipoCard,
                      origem.filial,
                      origem.servico};
    const QVariant result = netImpPrato.call(QStringLiteral("GetPratos"), args, QStringLiteral("process"));
    CheckResultServ(result);
    cdsGridPratos->SetData(toPacket(result));
    AplicaRegraColuna(); // the grid is on its first column now
}

void GradePratos::Esvazia()
{
    if (cdsGridPratos->Active())
        cdsGridPratos->EmptyDataSet();
}

void GradePratos::DesfazAlteracoes()
{
    QScopedValueRollback rotina(m_emRotina, true);
    cdsGridPratos->CancelUpdates();
}

bool GradePratos::Vazia() const { return !cdsGridPratos->Active() || cdsGridPratos->IsEmpty(); }

int GradePratos::Marcados() const
{
    return Vazia() ? 0 : contaMarcados(*cdsGridPratos, Marca);
}

bool GradePratos::AlternaMarca()
{
    QScopedValueRollback rotina(m_emRotina, true);
    if (cdsGridPratos->state() == ClientDataSet::State::Browse)
        cdsGridPratos->Edit();
    Field* marca = cdsGridPratos->FieldByName(Marca);
    const bool marcar = marca->AsString() == u"N";
    marca->setAsString(marcar ? QStringLiteral("S") : QStringLiteral("N"));
    cdsGridPratos->Post();
    return marcar;
}

void GradePratos::MarcaTodos(bool marcar)
{
    AlteraTodas([marcar](ClientDataSet& cds) {
        cds.FieldByName(Marca)->setAsString(marcar ? QStringLiteral("S") : QStringLiteral("N"));
    });
}

void GradePratos::AlteraTodas(const std::function<void(ClientDataSet&)>& change)
{
    if (Vazia())
        return;
    QScopedValueRollback rotina(m_emRotina, true);
    ClientDataSet& cds = *cdsGridPratos;
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
        change(cds);
        cds.Post();
    }
}

bool GradePratos::colunaMarca() const
{
    const Field* field = dbgPadrao->SelectedField();
    return field && field->FieldName() == Marca;
}

void GradePratos::AplicaRegraColuna()
{
    dbgPadrao->setOption(TDBGrid::dgEditing, !colunaMarca());
}

void GradePratos::desenha(TCellPaint& cell) const
{
    if (!cell.field)
        return;
    if (cell.field->FieldName() == Marca) {
        cell.check = cell.value(Marca).toString() == u"N" ? TCellPaint::ckUnchecked : TCellPaint::ckChecked;
    } else if (cell.field->FieldName() == u"CDFILAUXPRAT") {
        QStyle* style = QApplication::style();
        cell.icon = style->standardIcon(cell.value(QStringLiteral("CDFILAUXPRAT")).toString() == u"P"
                                            ? QStyle::SP_DirHomeIcon
                                            : QStyle::SP_FileIcon);
    }
}

} // namespace companions
