// The ingredient-list page's grid and columns: entering and leaving a column, the lookups'
// buttons, clicks on the flags, the keys a column takes and how its cells are drawn.
#include "paginareceita.h"
#include "paginareceita_campos.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "server/connection.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>

namespace recipe {

// The names the page's files share, with the framework's types they use.
using namespace ingredientes;

void PaginaReceita::ColExit()
{
    const LevelFields& f = m_nivel;
    autorizaEdicao();
    if (m_lista->state() == State::Edit || m_lista->state() == State::Insert)
        arredondaPercentuais();
    if (coluna(cdArvProd))
        produtoInformado();
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

void PaginaReceita::produtoInformado()
{
    Vd_CdProduto(false);
    const QString code = campo(cdArvProd)->AsString().trimmed();
    if (!inserindo() || code.isEmpty())
        return;
    m_qryCdProduto->Close();
    m_qryCdProduto->setParam(QStringLiteral("P_CDARVPROD"), code);
    m_qryCdProduto->Open();
    const QVariant loss = m_contexto.servidor().call(QStringLiteral("GetValorProduto"),
                                                     {m_qryCdProduto->FieldByName(cdProduto)->AsString()});
    const double value = framework::StrToFloatDef(loss.toString(), 0);
    campo(m_nivel.cleaningLoss)->setAsFloat(value);
    campo(m_nivel.cleaningYield)->setAsFloat(100 - value);
}

void PaginaReceita::KeyDown(int& key, Qt::KeyboardModifiers modifiers)
{
    const TColumn* column = m_grade->SelectedColumn();
    const QString name = column ? column->FieldName() : QString();
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl && name == cdArvProd) {
        if (key == Qt::Key_C || key == Qt::Key_X)
            m_prodCopiado = campo(cdArvProd)->AsString();
        else if (key == Qt::Key_V && inserindo()) {
            // A code pasted is a code typed: the same checks, and the product's loss with it.
            const QString pasted =
                m_prodCopiado.isEmpty() ? QGuiApplication::clipboard()->text().trimmed() : m_prodCopiado;
            key = 0;
            if (pasted.isEmpty())
                return;
            campo(cdArvProd)->setAsString(pasted);
            produtoInformado();
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

} // namespace recipe
