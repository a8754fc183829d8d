#include "quantidadepessoa.h"

#include "companions/common/formcompanheiro.h"
#include "companions/common/gradepratos.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"

using namespace framework;

namespace {

const QString Quantidade = QStringLiteral("QUANTIDADE");
const QString Proporcao = QStringLiteral("PROPORCAO");

bool preenchida(const QVariant& v) { return !v.isNull() && v.toDouble() != 0; }

} // namespace

QuantidadePessoa::QuantidadePessoa(companions::GradePratos& grade, const TMessages& messages)
    : m_grade(grade), m_messages(messages)
{
    ClientDataSet& cds = *grade.cdsGridPratos;
    Field* quantidade = cds.AddField(Quantidade, FieldType::Float);
    quantidade->setDisplayLabel(QStringLiteral("Qt. Pessoa"));
    quantidade->setDisplayFormat(QStringLiteral("#,##0.00000"));
    Field* unidade = cds.AddField(QStringLiteral("SGUNIDADE"), FieldType::String, 10);
    unidade->setDisplayLabel(QStringLiteral("UN"));
    unidade->setReadOnly(true);
    cds.AddField(Proporcao, FieldType::Float)->setVisible(false);
    grade.dbgPadrao->AddColumn(Quantidade)->setWidth(100);
    grade.dbgPadrao->AddColumn(QStringLiteral("SGUNIDADE"))->setWidth(50);

    cds.AfterOpen = [this](ClientDataSet&) { m_carregadas.clear(); };
    cds.BeforeEdit = [this](ClientDataSet&) { antesEditar(); };
    cds.AfterEdit = [this](ClientDataSet& ds) { m_inicioEdicao = ds.FieldByName(Quantidade)->Value(); };
    cds.BeforePost = [this](ClientDataSet&) { antesGravar(); };
    // An exponent or a sign has no place in a quantity per person.
    grade.dbgPadrao->OnKeyPress = [](TDBGrid& grid, QChar& key) {
        const Field* field = grid.SelectedField();
        if (field && field->FieldName() == Quantidade && QStringLiteral("eE+-").contains(key))
            key = QChar();
    };
}

void QuantidadePessoa::antesEditar()
{
    ClientDataSet& cds = *m_grade.cdsGridPratos;
    const ClientDataSet::Bookmark row = cds.GetBookmark();
    if (!m_carregadas.contains(row))
        m_carregadas.insert(row, cds.FieldByName(Quantidade)->Value());
    const Field* selected = m_grade.dbgPadrao->SelectedField();
    if (!m_grade.EmRotina() && selected && selected->FieldName() == Quantidade
        && cds.FieldByName(QStringLiteral("IDMARCADO"))->AsString() != u"S")
        companions::falha(m_messages, QStringLiteral("Prat_dev_marc"));
}

void QuantidadePessoa::antesGravar()
{
    ClientDataSet& cds = *m_grade.cdsGridPratos;
    const QVariant nova = cds.FieldByName(Quantidade)->Value();
    if (nova == m_inicioEdicao)
        return;
    // The ratio is always to the quantity the grid was loaded with; where either is missing
    // there is nothing to scale by.
    const QVariant carregada = m_carregadas.value(cds.GetBookmark());
    const bool escala = preenchida(nova) && preenchida(carregada) && nova.toDouble() != carregada.toDouble();
    cds.FieldByName(Proporcao)->setAsFloat(escala ? nova.toDouble() / carregada.toDouble() : 1.0);
    if (OnAlterada)
        OnAlterada();
}

bool QuantidadePessoa::HaProporcao() const
{
    const ClientDataSet& cds = *m_grade.cdsGridPratos;
    if (!cds.Active())
        return false;
    const Field* marca = cds.FieldByName(QStringLiteral("IDMARCADO"));
    const Field* proporcao = cds.FieldByName(Proporcao);
    for (int pos = 0, rows = cds.RecordCount(); pos < rows; ++pos) {
        const QVariant ratio = cds.valueAt(pos, proporcao);
        if (cds.valueAt(pos, marca).toString() == u"S" && !ratio.isNull() && ratio.toDouble() != 1.0)
            return true;
    }
    return false;
}

void QuantidadePessoa::DesfazProporcoes()
{
    m_grade.AlteraTodas([](ClientDataSet& cds) { cds.FieldByName(Proporcao)->setAsFloat(1.0); });
}
