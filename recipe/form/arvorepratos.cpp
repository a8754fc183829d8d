#include "arvorepratos.h"
#include "recipe/record/registroprato.h"
#include "recipe/core/cli_pla01300.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/messages.h"

#include <QAction>
#include <QList>
#include <QStringList>
#include <QTabWidget>

using framework::ClientDataSet;
using framework::TDBTree;
using framework::TTreeNode;

namespace recipe {

ArvorePratos::ArvorePratos(TfrmReceitaPadrao& form) : m_form(form)
{
    TDBTree& tree = *form.dbaPadrao;
    tree.OnChanging = [this](TDBTree&, const TTreeNode& node, bool& allow) { dbaPadraoChanging(node, allow); };
    tree.OnChange = [this](TDBTree&, const TTreeNode& node) { dbaPadraoChange(node); };
    tree.OnGetImageIndex = [](TDBTree&, const TTreeNode& node) { return dbaPadraoGetImageIndex(node); };
    tree.OnKeyDown = [](TDBTree&, int& key, Qt::KeyboardModifiers) { dbaPadraoKeyDown(key); };
}

void ArvorePratos::dbaPadraoChanging(const TTreeNode&, bool& allowChange) const
{
    // What any page edits, or holds unsent, belongs to the dish shown (a post reads the keys
    // from it): the user confirms or cancels first.
    if (!m_form.cdsPrato->Active())
        return;
    const QList<const Pagina*> pendentes = m_form.paginas().pendentes();
    if (pendentes.isEmpty())
        return;
    allowChange = false;
    m_form.AtualizaBotoes();
    // On the page shown Confirmar says so; a page out of sight is named.
    const Pagina& page = *pendentes.first();
    if (!page.tab->isVisibleTo(&m_form))
        m_form.msgPadrao->ShowMsg(QStringLiteral("PRATO_PENDENTE"), framework::mtInformation, framework::mbOK,
                                  {titulo(page)});
}

QString ArvorePratos::titulo(const Pagina& page) const
{
    // The tab and, inside the preparation-mode and photo pages, the sub-page.
    QStringList names;
    for (QTabWidget* tabs : {m_form.pgcPadrao, m_form.pgcModoPrep, m_form.pgcFoto})
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i) == page.tab || tabs->widget(i)->isAncestorOf(page.tab))
                names << tabs->tabText(i).remove(u'&');
    return names.join(QStringLiteral(" / "));
}

void ArvorePratos::dbaPadraoChange(const TTreeNode& node) const
{
    const ClientDataSet& prato = *m_form.cdsPrato;
    const bool rows = prato.Active() && !prato.IsEmpty();
    const QString record = rows ? prato.FieldByName(QStringLiteral("CDPRATO"))->AsString() : QString();
    if (node.lastLevel && node.code != record)
        for (QAction* command : {m_form.mnuIncluir, m_form.mnuAlterar, m_form.mnuExcluir})
            command->setEnabled(false);
    if (!node.isNull() && !node.lastLevel)
        m_form.pgcPadrao->setCurrentWidget(m_form.tshFormulario);
    const bool recordComplete =
        rows && framework::hostContext().DBPictObj(1).isLastLevel(record);
    m_form.Habilita_Pagina(rows && node.lastLevel && recordComplete);

    // The containers of the dish left are not shown beside another node; the grid being worked
    // in keeps them, and a dish at the last level has just read its own.
    if (auto* grid = m_form.findChild<framework::TDBGrid*>(QStringLiteral("dbgContainer")))
        if (ClientDataSet* containers = grid->DataSet(); containers && !grid->hasFocus() && !node.lastLevel)
            containers->Close();
    m_form.Registro().mostraNivelCompleto(node.code);
}

void ArvorePratos::ShowColumns() const
{
    using Role = QString LevelFields::*;
    static const QList<std::pair<const char*, QList<Role>>> optional{
        {"IDGANHOCOCC", {&LevelFields::cookingGain}},
        {"IDAPROVCOCC", {&LevelFields::cookingYield}},
        {"IDPERDALIMP", {&LevelFields::cleaningLoss}},
        {"IDAPROVLIMP", {&LevelFields::cleaningYield}},
        {"IDTEMPPREP", {&LevelFields::prepTime}},
        {"IDUTDIASLIMSEG", {&LevelFields::anticipation}},
        {"IDUTREQCOMPENTD", {&LevelFields::requisitionType, &LevelFields::complement, &LevelFields::directEntry}},
        {"IDPERDADEGELO", {&LevelFields::defrostLoss}},
    };
    const auto show = [this](const LevelFields& level, const QString& fieldName, bool visible) {
        if (fieldName.isEmpty())
            return;
        if (auto* list = m_form.findChild<ClientDataSet*>(level.dataSet))
            if (framework::Field* field = list->FindField(fieldName))
                field->setVisible(visible);
        if (auto* grid = m_form.findChild<framework::TDBGrid*>(level.grid)) {
            const int column = framework::IndiceCol(*grid, fieldName);
            if (column >= 0)
                grid->Columns(column)->setVisible(visible);
        }
    };
    const framework::ClientDataSet* params = m_form.cdsParamPlaneja;
    for (const Level levelId : {Level::Padrao, Level::TpCard, Level::Filial, Level::Servico}) {
        const LevelFields& level = levelFields(levelId);
        // The presentation column shows the presentation's name.
        const bool presentation = flag(params, "IDAPRERECE") != u"N";
        show(level, QStringLiteral("CDAPRERECE"), presentation);
        show(level, QStringLiteral("NMAPRERECE"), presentation);
        for (const auto& [flagName, roles] : optional)
            for (Role role : roles)
                show(level, level.*role, flag(params, flagName) != u"N");
    }
}

int ArvorePratos::dbaPadraoGetImageIndex(const TTreeNode& node)
{
    return node.lastLevel && node.aux != u"P" ? 1 : -1;
}

void ArvorePratos::dbaPadraoKeyDown(int& key)
{
    if (Cli_pla01300::boConsulta && key == Qt::Key_Delete)
        key = 0;
}

} // namespace recipe
