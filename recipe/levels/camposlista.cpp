#include "camposlista.h"
#include "recipe/core/levelfields.h"

#include "framework/data/clientdataset.h"

namespace recipe {

using framework::FieldType;

void declaraCamposLista(framework::ClientDataSet& list, const LevelFields& f)
{
    struct Campo {
        QString name;
        FieldType type;
        int size;
        const char* label;
    };
    const Campo campos[] = {
        {f.centralKey, FieldType::String, 4, "Central"},
        {f.menuTypeKey, FieldType::String, 10, "Tipo de Cardápio"},
        {f.branchKey, FieldType::String, 4, "Filial"},
        {f.serviceKey, FieldType::String, 5, "Serviço"},
        {QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4, "Origem"},
        {QStringLiteral("CDPRATO"), FieldType::String, 10, "Prato"},
        {QStringLiteral("CDPRODUTO"), FieldType::String, 10, "Produto"},
        {QStringLiteral("CDARVPROD"), FieldType::String, 20, "Produto"},
        {QStringLiteral("NMPRODUTO"), FieldType::String, 50, "Nome"},
        {f.netQty, FieldType::Float, 0, "Qtde. Líquida"},
        {QStringLiteral("SGUNIDADE"), FieldType::String, 10, "Unidade"},
        {f.cookingGain, FieldType::Float, 0, "% Ganho Cocção"},
        {f.cookingYield, FieldType::Float, 0, "% Aprov. Cocção"},
        {f.cleaningLoss, FieldType::Float, 0, "% Perda Limpeza"},
        {f.cleaningYield, FieldType::Float, 0, "% Aprov. Limpeza"},
        {f.prepTime, FieldType::String, 5, "Tempo Preparo"},
        {QStringLiteral("SGUNIDPROD"), FieldType::String, 10, "Unid. Estoque"},
        {f.stockUnitQty, FieldType::Float, 0, "Qtde. Unid. Estoque"},
        {f.grossQty, FieldType::Float, 0, "Qtde. Bruta"},
        {f.requisitionQty, FieldType::Float, 0, "Qtde. Requisição"},
        {f.baseProduct, FieldType::String, 1, "Base"},
        {QStringLiteral("CDAPRERECE"), FieldType::String, 3, "Apresentação"},
        {QStringLiteral("NMAPRERECE"), FieldType::String, 30, "Apresentação"},
        {f.nutritionalYield, FieldType::Float, 0, "% Aprov. Nutricional"},
        {f.nutrientQty, FieldType::Float, 0, "Qtde. Cálculo Nutricional"},
        {f.fixedQty, FieldType::String, 1, "Qtde. Fixa"},
        {f.anticipation, FieldType::String, 3, "Antecipação"},
        {f.requisitionType, FieldType::String, 1, "Tipo Requisição"},
        {f.complement, FieldType::Float, 0, "Complemento"},
        {f.directEntry, FieldType::String, 1, "Entrega Direta"},
        {f.defrostLoss, FieldType::Float, 0, "% Perda Degelo"},
    };
    for (const Campo& c : campos)
        if (!c.name.isEmpty())
            list.AddField(c.name, c.type, c.size)->setDisplayLabel(QString::fromUtf8(c.label));
    list.FieldByName(QStringLiteral("CDARVPROD"))->setTag(1);
    for (const char* hidden : {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "CDFILIAL", "CDSERVFILI", "CDFILCENTPME",
                               "CDTIPOCARD"})
        if (framework::Field* field = list.FindField(QString::fromLatin1(hidden)))
            field->setVisible(false);
}

} // namespace recipe
