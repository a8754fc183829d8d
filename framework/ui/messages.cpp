#include "messages.h"

#include "dialogs.h"
#include "framework/abort.h"
#include "framework/data/datapacket.h"

#include <QRegularExpression>

#include <algorithm>

namespace framework {

TMessages::TMessages(QObject* parent, const QString& objectName) : QObject(parent)
{
    setObjectName(objectName);
}

void TMessages::Add(const QString& key, const QString& text)
{
    m_texts.insert(key.toLower(), text);
}

void TMessages::Remove(const QString& key)
{
    m_texts.remove(key.toLower());
}

void TMessages::Add(std::initializer_list<std::pair<const char*, const char*>> items)
{
    for (const auto& [key, text] : items)
        Add(QString::fromUtf8(key), QString::fromUtf8(text));
}

bool TMessages::Contains(const QString& key) const
{
    return m_texts.contains(key.toLower());
}

bool TMessages::lookup(const QString& key, QString& text) const
{
    const auto it = m_texts.constFind(key.toLower());
    if (it != m_texts.constEnd()) {
        text = *it;
        return true;
    }
    const TMessages& standard = msgMensagensPadroes();
    if (this != &standard)
        return standard.lookup(key, text);
    return false;
}

QString TMessages::Msg(const QString& key, const QStringList& args) const
{
    QString text;
    if (!lookup(key, text))
        return QStringLiteral("Mensagem não cadastrada: \"%1\".").arg(key);
    return fill(text, args);
}

int TMessages::ShowMsg(const QString& key, int kind, MsgDlgButtons buttons, const QStringList& args) const
{
    return dialogs().showMessage({key, Msg(key, args), kind, buttons});
}

int TMessages::ShowMsgAlert(const QString& key, int kind, const QStringList& buttonKeys, const QStringList& args) const
{
    // The captions ride on the standard buttons, in their order of display.
    static const std::pair<MsgDlgButton, ModalResult> choices[] = {{mbYes, mrYes}, {mbNo, mrNo}, {mbCancel, mrCancel}};
    const int count = std::min(int(buttonKeys.size()), 3);
    MessageRequest request{key, Msg(key, args), kind, 0, {}};
    for (int i = 0; i < count; ++i) {
        request.buttons |= choices[i].first;
        request.captions << Msg(buttonKeys[i]);
    }
    const int result = dialogs().showMessage(request);
    for (int i = 0; i < count; ++i)
        if (result == choices[i].second)
            return i;
    return -1;
}

QString TMessages::fill(const QString& text, const QStringList& args)
{
    static const QRegularExpression placeholder(QStringLiteral("%[sd]"));
    QString result;
    qsizetype from = 0;
    int next = 0;
    auto it = placeholder.globalMatch(text);
    while (it.hasNext() && next < args.size()) {
        const auto match = it.next();
        result += text.mid(from, match.capturedStart() - from);
        result += args[next++];
        from = match.capturedEnd();
    }
    result += text.mid(from);
    return result;
}

TMessages& msgMensagensPadroes()
{
    static TMessages* list = [] {
        auto* messages = new TMessages(nullptr, QStringLiteral("msgMensagensPadroes"));
        messages->Add({
            {"Excl", "Confirma a exclusão do registro?"},
            {"Canc", "Confirma o cancelamento das alterações?"},
            {"Canc_Todas", "Confirma o cancelamento de todas as alterações?"},
            {"Salvar", "Existem alterações não confirmadas. Deseja confirmá-las?"},
            {"Sair", "Existem alterações não confirmadas. Deseja sair assim mesmo?"},
            {"Confirma", "Confirma a operação?"},
            {"Registro_NEnc", "Registro não encontrado."},
            {"Lista_Vazia", "Não há registros para pesquisar."},
            {"Nenhum_Selec", "Nenhum item foi selecionado."},
            {"Campo_Obrig", "Campo %s deve ser informado."},
            {"Codigo_Inv", "Código inválido para a máscara %s."},
            {"Codigo_NivInc", "Código deve estar no último nível da máscara %s."},
            {"Dataset_Inativo", "Não há dados abertos para esta operação."},
            {"Sem_Alteracao", "Não há alterações a confirmar."},
            {"process", "Processando..."},
            {"Aguarde", "Aguarde..."},
            {"S", "Sim"},
            {"N", "Não"},
            {"Yes", "Sim"},
            {"No", "Não"},
        });
        return messages;
    }();
    return *list;
}

void MensErro(const QString& text, bool abort)
{
    dialogs().showMessage({QString(), text, mtError, mbOK});
    if (abort)
        throw Abort();
}

bool CheckResultServ(const QVariant& result, bool showMessage, int /*flags*/)
{
    if (!isServerFault(result))
        return true;
    if (showMessage)
        dialogs().showMessage({QString(), result.value<ServerFault>().message, mtError, mbOK});
    throw Abort();
}

} // namespace framework
