// The dish record page's messages and record (registroprato.h), the queries every page shares,
// the dish colours and weight buttons of the recipe pages, and their wiring.
#include "recipe/quantities/conversaounidade.h"
#include "frmreceitapadrao.h"
#include "recipe/record/registroprato.h"
#include "recipe/core/validacao.h"

#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/shape.h"

#include <QBoxLayout>
#include <QToolButton>

using namespace framework;

namespace {

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

void TfrmReceitaPadrao::createRegistroPrato()
{
    msgPadrao->Add({
        {"BloPratLoc", "Operação bloqueada. Não é permitida a inclusão de prato local na árvore."},
        {"COD_EMPTY", "Código deve ser informado."},
        {"PRATO_CAD", "Prato já cadastrado na árvore padrão ou da filial."},
        {"NIVBL_INC", "Nível bloqueado para inclusão."},
        {"NIVBL_ALT", "Nível bloqueado para alteração."},
        {"NIVBL_EXC", "Nível bloqueado para exclusão."},
        {"PRATO_ESP", "Nível deve ser totalmente preenchido."},
        {"NIVINC_N_INC", "Prato de nível incompleto não pode ser incluído em módulo filial."},
        {"NIVINC_N_ALT", "Prato de nível incompleto não pode ser alterado em módulo filial."},
        {"NIVINC_N_EXC", "Prato de nível incompleto não pode ser excluído em módulo filial."},
        {"PADR_N_ALT", "Prato da árvore padrão não pode ser alterado em módulo filial."},
        {"PADR_N_EXC", "Prato da árvore padrão não pode ser excluído em módulo filial."},
        {"RECPAD_N_PRATLOCA", "Receita padrão não pode ser incluída para prato local."},
        {"RECPAD_N_INC", "Receita padrão não pode ser incluída em módulo filial."},
        {"RECPAD_N_ALT", "Receita padrão não pode ser alterada em módulo filial."},
        {"RECPAD_N_EXC", "Receita padrão não pode ser excluída em módulo filial."},
        {"NMPRATO_EMPTY", "Nome deve ser informado."},
        {"UNID_EMPTY", "Unidade deve ser informada."},
        {"UNID_NC", "Unidade de medida não cadastrada."},
        {"VRARTRAN_INV", "Arredondamento para transporte deve ser maior ou igual a zero."},
        {"PRAT_JA_CAD", "Prato já cadastrado em árvore de filial."},
        {"PRAT_EXIS", "Prato já cadastrado em árvore de filial. Continua?"},
        {"Excl_Inv", "Exclusão não permitida. Existem pratos relacionados."},
        {"NO_DADOS", "Não há dados a serem excluídos."},
        {"N_DADOS_CALC", "Não existem dados para efetuar o cálculo."},
        {"PESOPRATO", "Peso calculado do prato é %s. Confirma?"},
        {"UNIDADE", "Unidade de Medida"},
        {"N_HA_UNIDADE", "Não há unidade de medida cadastrada."},
        {"SEGMERCADO", "Segmento de Mercado"},
        {"N_HA_SEGMERCADO", "Não há segmento de mercado cadastrado."},
        {"FORMAPREPARO", "Formas de Preparo"},
        {"N_HA_FORMAPREPARO", "Não há forma de preparo cadastrada."},
        {"get_cdsProxCodPrato", "Importando próximo código para prato..."},
        {"get_cdsExistPrat", "Verificando o prato nas árvores das filiais..."},
        {"get_cdsPratoAux", "Carregando pratos (Auxiliar)..."},
        {"upd_cdsPrato", "Atualizando pratos..."},
        {"upd_cdsParamGeral", "Atualizando parâmetros gerais..."},
        {"Canc_Todas", "Tem certeza que deseja desfazer todas as alterações?"},
        {"get_cdsProdPrat", "Carregando produtos do prato..."},
        {"get_cdsReceTpCard", "Carregando receitas por tipo de cardápio..."},
        {"get_cdsReceFili", "Carregando receitas por filial..."},
        {"get_cdsReceServ", "Carregando receitas por serviço..."},
        {"upd_cdsProdPrat", "Atualizando produtos do prato..."},
        {"upd_cdsReceTpCard", "Atualizando receitas por tipo de cardápio..."},
        {"upd_cdsReceFili", "Atualizando receitas por filial..."},
        {"upd_cdsReceServ", "Atualizando receitas por serviço..."},
    });
    recipe::addValidationMessages(*msgPadrao);

    qryServico = recipe::Validacao::createQryServico(this);
    qryConvProduto = recipe::ConversaoUnidade::createQryConvProduto(this);
    m_conversao = std::make_unique<recipe::ConversaoUnidade>(*qryConvProduto);
    m_registro = new recipe::RegistroPrato(*this, *this, *tshFormulario, *dtsPrato, *panFiliPrato);
    createPesoECores();
}

void TfrmReceitaPadrao::createPesoECores()
{
    // Each recipe page offers the dish weight of its list; the standard page also the dish colours.
    const auto strip = [](QWidget* page) {
        auto* layout = qobject_cast<QBoxLayout*>(page->layout());
        if (!layout)
            layout = new QVBoxLayout(page);
        auto* row = new QHBoxLayout;
        layout->insertLayout(layout->count() > 0 ? 1 : 0, row);
        return row;
    };
    const QString caption = QStringLiteral("Calcular Peso");
    QHBoxLayout* padrao = strip(tshPadrao);
    sbtCalcPadrao = toolButton(tshPadrao, "sbtCalcPadrao", caption);
    padrao->addWidget(sbtCalcPadrao);
    shpCorPrincipal = new TShape(tshPadrao, QStringLiteral("shpCorPrincipal"));
    shpCorSecundaria = new TShape(tshPadrao, QStringLiteral("shpCorSecundaria"));
    shpCorAuxiliar = new TShape(tshPadrao, QStringLiteral("shpCorAuxiliar"));
    for (TShape* shape : {shpCorPrincipal, shpCorSecundaria, shpCorAuxiliar})
        padrao->addWidget(shape);
    padrao->addStretch(1);
    sbtCalcTC = toolButton(tshTpCard, "sbtCalcTC", caption);
    strip(tshTpCard)->addWidget(sbtCalcTC, 0, Qt::AlignLeft);
    sbtCalcPratLoca = toolButton(tshReceLoca, "sbtCalcPratLoca", caption);
    strip(tshReceLoca)->addWidget(sbtCalcPratLoca, 0, Qt::AlignLeft);
    sbtCalcServ = toolButton(tshReceServ, "sbtCalcServ", caption);
    strip(tshReceServ)->addWidget(sbtCalcServ, 0, Qt::AlignLeft);
}

void TfrmReceitaPadrao::connectRegistroPrato()
{
    guardedConnect(shpCorPrincipal, &TShape::mouseUp, this, [this] { shpCorPrincipalMouseUp(); });
    guardedConnect(shpCorSecundaria, &TShape::mouseUp, this, [this] { shpCorSecundariaMouseUp(); });
    guardedConnect(shpCorAuxiliar, &TShape::mouseUp, this, [this] { shpCorAuxiliarMouseUp(); });
    for (QToolButton* button : {sbtCalcPadrao, sbtCalcTC, sbtCalcPratLoca, sbtCalcServ})
        guardedConnect(button, &QToolButton::clicked, this, [this] { sbtCalcPadraoClick(); });
}
