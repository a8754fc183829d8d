#include "mensagens.h"

#include "framework/ui/messages.h"

namespace companions {

void mensagensRevisao(framework::TMessages& messages)
{
    messages.Add({
        {"PratoIni_inf", "Prato inicial deve ser informado."},
        {"Prato_nc", "Prato não cadastrado."},
        {"Nivel_Deve", "Código do prato deve ser totalmente preenchido."},
        {"PratoFin_inf", "Prato final deve ser informado."},
        {"Filial_inf", "Filial deve ser informada."},
        {"Filial_nc", "Filial não cadastrada."},
        {"Servico_inf", "Serviço deve ser informado."},
        {"Servico_nc", "Serviço não cadastrado para filial informada."},
        {"PratoIni<PratoFin", "Prato inicial deve ser menor ou igual ao prato final."},
        {"Padrao_Padrao", "Não é possível copiar os pratos de origem padrão para destino padrão."},
        {"Filial_Igual", "Filial de destino deve ser diferente da filial de origem."},
        {"Servico_igual", "Serviço de destino deve ser diferente do serviço de origem."},
        {"Imp_Conc", "A importação foi realizada com sucesso."},
        {"Prato", "Prato"},
        {"N_Prato", "Não há prato cadastrado."},
        {"exporting", "Exportando receitas..."},
        {"TPCARD_EMPTY", "Tipo de Cardápio deve ser informado."},
        {"TPCARD_NCAD", "Tipo de Cardápio não cadastrado."},
        {"TpCard_Igual", "Tipo de Cardápio de destino deve ser diferente do Tipo de Cardápio de origem."},
        {"P", "Padrão"},
        {"alt_prop_prod_rec", "Deseja alterar proporcionalmente as quantidades dos produtos na receita?"},
        {"Grid_Vazio", "Não há pratos válidos no intervalo informado."},
        {"Prat_n_selec", "Nenhum prato foi selecionado para revisão de receita."},
        {"Prat_dev_marc", "Para alterar a quantidade o prato deve ser marcado."},
        {"Conf_rev_auto", "Confirmar a revisão automática de receitas?"},
        {"process", "Carregando pratos..."},
    });
}

void mensagensServicos(framework::TMessages& messages)
{
    messages.Add({
        {"GrupoNCad", "Grupo de serviço informado não encontrado."},
        {"GrupoServ", "Grupo de Serviço"},
        {"NHaGrupo", "Não há grupos de serviços cadastrados."},
        {"PercNeg", "Valor percentual deve ser maior que zero."},
        {"Servico_Fatu_Ambu", "Somente serviço do tipo restaurante ou do tipo hospitalar pode ser utilizado."},
    });
}

} // namespace companions
