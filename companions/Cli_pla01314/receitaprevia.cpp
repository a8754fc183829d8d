#include "receitaprevia.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/data/numberformat.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"
#include "recipe/quantities/quantidades.h"

using namespace framework;

namespace {

struct Coluna {
    const char* campo;
    FieldType tipo;
    int tamanho;
    const char* titulo; // nullptr: not a grid column
    const char* formato;
};

// The packet's columns as the form declares them, in the grid's order where they are shown.
const Coluna colunas[] = {
    {"CDARVPROD", FieldType::String, 20, "Produto", nullptr},
    {"NMPRODUTO", FieldType::String, 50, "Nome do Produto", nullptr},
    {"NMAPRERECE", FieldType::String, 30, "Apresentação", nullptr},
    {"QTPROD", FieldType::Float, 0, "Quantidade", "##0.00000"},
    {"SGUNIDADE", FieldType::String, 10, "UN", nullptr},
    {"IDQTDEFIX", FieldType::String, 1, "Qtde. Fixa", nullptr},
    {"VRPEFATCOC", FieldType::Float, 0, "Ganho Cocção", "#,##0.00 %"},
    {"VRPEFATCOCAP", FieldType::Float, 0, "Aprov. Cocção", "#,##0.00 %"},
    {"VRPEFATCOR", FieldType::Float, 0, "Perda Limpeza", "#,##0.00 %"},
    {"VRPEFATCORAP", FieldType::Float, 0, "Aprov. Limpeza", "#,##0.00 %"},
    {"VRPERCDEGELO", FieldType::Float, 0, "Perda Degelo", "#,##0.00 %"},
    {"HRTEMPPRE", FieldType::String, 5, "Tempo", nullptr},
    {"QTBRUTAPRUNR", FieldType::Float, 0, "Qtde. Bruta", "#,##0.00000"},
    {"QTBRUTA", FieldType::Float, 0, "Qtde Req.", "#,##0.00000"},
    {"IDPRODBASE", FieldType::String, 1, "Pr. Base", nullptr},
    {"BASECALCNUTR", FieldType::Float, 0, "Base Calc Nutr.", "#,##0.00000"},
    {"VRPEFATNUT", FieldType::Float, 0, "Aprov. Nutricional", "#,##0.00 %"},
    {"QTCALCNUTR", FieldType::Float, 0, "Qtde. Cálculo Nutriente", "#,##0.00000"},
    {"CDFILAUXPRAT", FieldType::String, 4, nullptr, nullptr},
    {"CDPRATO", FieldType::String, 10, nullptr, nullptr},
    {"CDPRODUTO", FieldType::String, 10, nullptr, nullptr},
    {"QTUNIDDEST", FieldType::Float, 0, nullptr, nullptr},
    {"CDAPRERECE", FieldType::String, 3, nullptr, nullptr},
    {"IDTPREQPROD", FieldType::String, 1, nullptr, nullptr},
    {"QTCOMPLPROD", FieldType::Float, 0, nullptr, nullptr},
    {"IDUTCOMPENTDIR", FieldType::String, 1, nullptr, nullptr},
    {"SGUNIDPROD", FieldType::String, 10, nullptr, nullptr},
};

// Computed on the client, as the recipe pages compute them.
bool calculado(const char* campo)
{
    const QLatin1String nome(campo);
    return nome == QLatin1String("VRPEFATCOCAP") || nome == QLatin1String("VRPEFATCORAP")
           || nome == QLatin1String("BASECALCNUTR");
}

} // namespace

ReceitaPrevia::ReceitaPrevia(QWidget* parent)
{
    cdsReceitas = new ClientDataSet(parent, QStringLiteral("cdsReceitas"));
    dtsReceitas = new DataSource(parent, QStringLiteral("dtsReceitas"));
    dtsReceitas->setDataSet(cdsReceitas);
    dbgReceitas = new TDBGrid(parent, QStringLiteral("dbgReceitas"));
    dbgReceitas->setDataSource(dtsReceitas);
    dbgReceitas->setReadOnly(true);
    dbgReceitas->setOption(TDBGrid::dgEditing, false);
    dbgReceitas->setOption(TDBGrid::dgAlwaysShowSelection, true);
    for (const Coluna& c : colunas) {
        const QString nome = QString::fromLatin1(c.campo);
        Field* field = calculado(c.campo) ? cdsReceitas->AddCalcField(nome, c.tipo, c.tamanho)
                                          : cdsReceitas->AddField(nome, c.tipo, c.tamanho);
        field->setReadOnly(true);
        if (c.formato)
            field->setDisplayFormat(QString::fromLatin1(c.formato));
        if (!c.titulo) {
            field->setVisible(false);
            continue;
        }
        field->setDisplayLabel(QString::fromUtf8(c.titulo));
        dbgReceitas->AddColumn(nome);
    }
    cdsReceitas->FieldByName(QStringLiteral("HRTEMPPRE"))->setEditMask(QStringLiteral("!999:99;0; "));
    // The requisition quantity in the product's stock unit.
    cdsReceitas->FieldByName(QStringLiteral("QTBRUTA"))->OnGetText = [this](Field& field, QString& text, bool) {
        text = field.IsNull() ? QString()
                              : formatNumber(field.AsFloat(), QStringLiteral("#,##0.00000")) + QStringLiteral("  ")
                                    + cdsReceitas->FieldByName(QStringLiteral("SGUNIDPROD"))->AsString();
    };
    cdsReceitas->OnCalcFields = [this](ClientDataSet&) { calcula(); };
    cdsReceitas->BeforeInsert = [](ClientDataSet&) { throw Abort(); };
    cdsReceitas->BeforeEdit = [](ClientDataSet&) { throw Abort(); };
    cdsReceitas->BeforeDelete = [](ClientDataSet&) { throw Abort(); };
    dbgReceitas->OnDrawColumnCell = [this](TDBGrid&, TCellPaint& cell) { desenha(cell); };
    dbgReceitas->OnKeyDown = [](TDBGrid&, int& key, Qt::KeyboardModifiers shift) {
        if (key == Qt::Key_Delete && (shift & Qt::ControlModifier))
            key = 0;
    };
}

void ReceitaPrevia::Abre()
{
    cdsReceitas->FieldByName(QStringLiteral("CDARVPROD"))->setEditMask(hostContext().DBPictObj(0).editMask());
    if (!cdsReceitas->Active())
        cdsReceitas->CreateDataSet();
}

void ReceitaPrevia::Carrega(const QVariant& resultado)
{
    CheckResultServ(resultado);
    cdsReceitas->SetData(toPacket(resultado));
}

void ReceitaPrevia::Esvazia()
{
    if (!cdsReceitas->Active())
        cdsReceitas->CreateDataSet();
    cdsReceitas->EmptyDataSet();
}

bool ReceitaPrevia::Vazia() const { return !cdsReceitas->Active() || cdsReceitas->IsEmpty(); }

bool ReceitaPrevia::Zerada()
{
    if (Vazia())
        return false;
    const Field* liquida = cdsReceitas->FieldByName(QStringLiteral("QTPROD"));
    const Field* requisicao = cdsReceitas->FieldByName(QStringLiteral("QTBRUTA"));
    bool zerada = false;
    for (int pos = 0, rows = cdsReceitas->RecordCount(); pos < rows && !zerada; ++pos)
        zerada = !(cdsReceitas->valueAt(pos, liquida).toDouble() > 0) || !(cdsReceitas->valueAt(pos, requisicao).toDouble() > 0);
    cdsReceitas->First();
    return zerada;
}

void ReceitaPrevia::calcula()
{
    const auto valor = [this](const char* campo) { return cdsReceitas->FieldByName(QString::fromLatin1(campo))->AsFloat(); };
    const recipe::Fatores fatores{0, valor("VRPEFATCOR"), valor("VRPERCDEGELO")};
    cdsReceitas->FieldByName(QStringLiteral("VRPEFATCOCAP"))->setAsFloat(valor("VRPEFATCOC") + 100);
    cdsReceitas->FieldByName(QStringLiteral("VRPEFATCORAP"))->setAsFloat(100 - valor("VRPEFATCOR"));
    cdsReceitas->FieldByName(QStringLiteral("BASECALCNUTR"))->setAsFloat(recipe::baseNutriente(valor("QTBRUTA"), fatores));
}

void ReceitaPrevia::desenha(TCellPaint& cell) const
{
    if (!cell.field)
        return;
    const QString nome = cell.field->FieldName();
    if (nome == u"IDQTDEFIX" || nome == u"IDPRODBASE")
        cell.check = TCellPaint::checkFor(cell.value(nome));
}
