#include "quantidadepessoa.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/messages.h"

#include <QWidget>

namespace recipe {

void addQuantidadePessoaMessages(framework::TMessages& messages)
{
    messages.Add({{"QTPADR_INV", "Quantidade por pessoa deve ser maior ou igual a zero."},
                  {"alt_prop_prod_rec", "Deseja alterar proporcionalmente as quantidades dos produtos na receita?"}});
}

void Vd_QtPadrao(framework::Field& quantity, QWidget* control, const framework::TMessages& messages)
{
    const framework::ClientDataSet* dataSet = quantity.DataSet();
    using State = framework::ClientDataSet::State;
    if (!dataSet || (dataSet->state() != State::Edit && dataSet->state() != State::Insert) || quantity.IsNull())
        return;
    if (quantity.AsFloat() < 0) {
        if (control && control->isEnabled())
            control->setFocus();
        messages.ShowMsg(QStringLiteral("QTPADR_INV"), framework::mtError, framework::mbOK);
        throw framework::Abort();
    }
    if (quantity.AsFloat() == 0)
        quantity.Clear();
}

bool vd_virgula(QChar key, const QString& text)
{
    if (key == u'\b' || key.isDigit())
        return true;
    return key == u',' && !text.isEmpty() && !text.contains(u',');
}

} // namespace recipe
