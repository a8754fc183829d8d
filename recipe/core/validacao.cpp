#include "validacao.h"

#include "levelfields.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/numberformat.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"

#include <QLineEdit>
#include <cmath>

namespace recipe {

using framework::ClientDataSet;
using framework::Field;

namespace {

bool editing(const ClientDataSet& dataSet)
{
    return dataSet.state() == ClientDataSet::State::Edit || dataSet.state() == ClientDataSet::State::Insert;
}

bool allDigits(const QString& text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Puts the focus on the control; in a grid, on the column that shows the field.
void focusField(QWidget* control, const QString& fieldName)
{
    if (!control)
        return;
    if (auto* grid = qobject_cast<framework::TDBGrid*>(control); grid && !fieldName.isEmpty()) {
        for (int i = 0; i < grid->ColumnCount(); ++i) {
            const framework::TColumn* column = grid->Columns(i);
            if (column && column->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) {
                grid->setSelectedIndex(i);
                break;
            }
        }
    }
    if (control->isEnabled())
        control->setFocus();
}

} // namespace

void addValidationMessages(framework::TMessages& messages)
{
    messages.Add({
        {"ValCons_Inv", "Valor inválido. A quantidade de horas deve estar no formato 'HHHH:MM'."},
        {"VAL_INV", "%s não é um valor válido para o campo %s."},
        {"Campo_Inf", "%s deve ser informado."},
        {"SERV_EMPTY", "Serviço deve ser informado."},
        {"SERV_NCAD", "Serviço não cadastrado."},
        {"Nutricional_Maior", "Aprov. Nutricional deve ser maior que zero."},
        {"FatCocGanho_Maior", "Ganho Cocção deve ser maior que -100."},
        {"FatCocAprov_Menor", "Aprov. Cocção deve ser maior que zero."},
        {"FatPerdaDegelo_fora", "Perda de degelo deve estar entre 0% e 99%."},
    });
}

QString RealToStTime(double hours)
{
    // Whole minutes first, so that 1.99999 gives "0002:00" and never 60 minutes.
    const long long minutes = std::llround(hours * 60);
    return framework::PadL(QString::number(minutes / 60), 4, QLatin1Char('0')) + QLatin1Char(':')
           + framework::Ajusta(QString::number(minutes % 60), 2);
}

double RoundNumber(const QString& text)
{
    if (framework::EmptyString(text))
        return 0;
    return framework::RoundDec(framework::StrToFloatDef(text, 0), 2);
}

int indexTipoArmazenamento(const QString& storageType)
{
    const QString type = storageType.trimmed();
    if (type == QLatin1String("RESFRIADO"))
        return 0;
    if (type == QLatin1String("CONGELADO"))
        return 1;
    return 2;
}

// --- Validacao -------------------------------------------------------------------------------

Validacao::Validacao(const framework::TMessages& messages, framework::Query& qryServico)
    : m_messages(messages), m_qryServico(qryServico)
{
}

framework::Query* Validacao::createQryServico(QObject* owner)
{
    auto* query = new framework::Query(owner, QStringLiteral("qryServico"));
    query->setSQL(QStringLiteral(
        "SELECT CDSERVFILI, NMSERVICO, CDFILIAL FROM SERVICO WHERE (CDFILIAL = :P_CDFILIAL) AND "
        "(CDSERVFILI = :P_CDSERVFILI OR :P_TCDSERVFILI = 'T') AND (IDTIPOSERV <> 'A') "
        "ORDER BY CDFILIAL, CDSERVFILI"));
    return query;
}

void Validacao::fail(const QString& key, const QStringList& args, QWidget* control, const QString& fieldName) const
{
    // The focus moves first, so that it is where the user has to correct once the message closes.
    focusField(control, fieldName);
    m_messages.ShowMsg(key, framework::mtError, framework::mbOK, args);
    throw framework::Abort();
}

Validacao::HourParts Validacao::splitHours(const QString& text) const
{
    // A validity edit holds "HHHH:MM" with blanks where nothing was typed, or nothing at all.
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    QString hours = colon < 0 ? text : text.left(colon);
    QString minutes = colon < 0 ? QString() : text.mid(colon + 1, 2).trimmed();
    hours.remove(QLatin1Char(' '));
    hours = hours.trimmed();
    if (hours.isEmpty())
        hours = QStringLiteral("0");
    if (minutes.isEmpty())
        minutes = QStringLiteral("0");
    if (!allDigits(hours) || !allDigits(minutes))
        fail(QStringLiteral("ValCons_Inv"));
    return {hours, minutes};
}

QString Validacao::AjustaHora(const QString& text) const
{
    const HourParts parts = splitHours(text);
    return framework::Ajusta(parts.hours, 4) + QLatin1Char(':') + framework::Ajusta(parts.minutes, 2);
}

double Validacao::StTimeToReal(const QString& text) const
{
    const HourParts parts = splitHours(text);
    return framework::RoundDec(StrToFloatDef(parts.hours, 0) + StrToFloatDef(parts.minutes, 0) / 60, 8);
}

void Validacao::ValidNumber(Field& field, const QString& text, int maxIntegerDigits) const
{
    if (!field.DataSet() || !editing(*field.DataSet()))
        return;
    QString number = text.trimmed();
    if (number.startsWith(QLatin1Char(',')))
        number.prepend(QLatin1Char('0'));
    if (number.isEmpty()) {
        field.setAsFloat(0);
        return;
    }
    // A text that is not a number is refused rather than stored as 0: a mistyped quantity
    // must not silently become zero.
    double value = 0;
    if (!framework::parseNumber(number, value))
        fail(QStringLiteral("VAL_INV"), {number, field.DisplayLabel()});
    const int integerDigits = int(QString::number(std::trunc(std::fabs(value)), 'f', 0).size());
    if (integerDigits > maxIntegerDigits)
        fail(QStringLiteral("VAL_INV"), {number, field.DisplayLabel()});
    field.setAsFloat(value);
}

void Validacao::Vd_ValidaVazio(Field& field, QWidget* control) const
{
    if (field.IsNull() || framework::EmptyString(field.AsString()))
        fail(QStringLiteral("Campo_Inf"), {field.DisplayLabel()}, control, field.FieldName());
}

void Validacao::Vd_CdServico(const QString& branch, framework::TMaskEdit& edit, QLineEdit& name, bool required) const
{
    const QString code = framework::Ajusta(edit.Text(), 5);
    edit.setText(code);
    if (framework::EmptyString(code)) {
        if (required)
            fail(QStringLiteral("SERV_EMPTY"), {}, &edit);
        return;
    }
    m_qryServico.Close();
    m_qryServico.setParam(QStringLiteral("P_CDFILIAL"), branch);
    m_qryServico.setParam(QStringLiteral("P_CDSERVFILI"), code);
    m_qryServico.setParam(QStringLiteral("P_TCDSERVFILI"), QString());
    m_qryServico.Open();
    if (m_qryServico.IsEmpty())
        fail(QStringLiteral("SERV_NCAD"), {}, &edit);
    name.setText(m_qryServico.FieldByName(QStringLiteral("NMSERVICO"))->AsString());
}

void Validacao::Vd_VrPerNutr(ClientDataSet& list, const LevelFields& level, QWidget* control) const
{
    if (!editing(list))
        return;
    Field* yield = list.FieldByName(level.nutritionalYield);
    if (yield->Tag() != 1 || yield->IsNull())
        return;
    if (yield->AsFloat() <= 0)
        fail(QStringLiteral("Nutricional_Maior"), {}, control, yield->FieldName());
    const double base = framework::RoundDec(list.FieldByName(level.nutrientBase)->AsFloat(), 5);
    list.FieldByName(level.nutrientQty)->setAsFloat(base * yield->AsFloat() / 100);
}

void Validacao::Vd_CoccaoLimpeza(framework::TDBGrid& grid, const LevelFields& level) const
{
    ClientDataSet* list = grid.DataSet();
    const Field* column = grid.SelectedField();
    if (!list || !column || !editing(*list))
        return;
    const auto is = [&](const QString& name) {
        return !name.isEmpty() && column->FieldName().compare(name, Qt::CaseInsensitive) == 0;
    };
    const auto value = [&](const QString& name) { return list->FieldByName(name)->AsFloat(); };
    // The pairs are percentages kept to 2 decimals; rounding keeps binary noise out of them.
    const auto store = [&](const QString& name, double percent) {
        list->FieldByName(name)->setAsFloat(framework::RoundDec(percent, 2));
    };

    if (is(level.cookingGain)) {
        const double gain = value(level.cookingGain);
        if (gain <= -100)
            fail(QStringLiteral("FatCocGanho_Maior"), {}, &grid, level.cookingGain);
        store(level.cookingYield, gain + 100);
    } else if (is(level.cookingYield)) {
        const double yield = value(level.cookingYield);
        if (yield <= 0)
            fail(QStringLiteral("FatCocAprov_Menor"), {}, &grid, level.cookingYield);
        store(level.cookingGain, yield - 100);
    } else if (is(level.defrostLoss)) {
        const double loss = value(level.defrostLoss);
        if (loss < 0 || loss > 99)
            fail(QStringLiteral("FatPerdaDegelo_fora"), {}, &grid, level.defrostLoss);
    } else if (is(level.cleaningLoss)) {
        store(level.cleaningYield, 100 - value(level.cleaningLoss));
    } else if (is(level.cleaningYield)) {
        store(level.cleaningLoss, 100 - value(level.cleaningYield));
    }
}

} // namespace recipe
