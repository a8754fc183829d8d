#include "dialogs.h"

#include "framework/data/clientdataset.h"

namespace framework {

namespace {

std::unique_ptr<DialogService>& currentService()
{
    static std::unique_ptr<DialogService> service;
    return service;
}

int buttonOf(int modalResult)
{
    switch (modalResult) {
    case mrYes: return mbYes;
    case mrNo: return mbNo;
    case mrOk: return mbOK;
    case mrCancel: return mbCancel;
    default: return 0;
    }
}

QString describe(const SearchRequest& request)
{
    return QStringLiteral("pesquisa \"%1\"").arg(request.title);
}

} // namespace

DialogService& dialogs()
{
    auto& service = currentService();
    if (!service)
        service = std::make_unique<QtDialogs>();
    return *service;
}

void setDialogService(std::unique_ptr<DialogService> service)
{
    currentService() = std::move(service);
}

ScriptedDialogs& installScriptedDialogs()
{
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& result = *scripted;
    setDialogService(std::move(scripted));
    return result;
}

QString AbrirArquivo(const FileRequest& request)
{
    return dialogs().openFileName(request);
}

QString SalvarArquivo(const FileRequest& request)
{
    return dialogs().saveFileName(request);
}

std::optional<QColor> EscolherCor(const QColor& initial)
{
    return dialogs().chooseColor(initial);
}

std::optional<Credentials> PedirAutorizacaoSupervisor(int kind, const QString& operation, const QString& text)
{
    return dialogs().askAuthorization({kind, operation, text});
}

// --- Scripted face ---------------------------------------------------------------------------

ScriptedDialogs& ScriptedDialogs::answer(int modalResult)
{
    m_answers.push_back(ButtonAnswer{modalResult});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::chooseRow(int position)
{
    m_answers.push_back(RowsAnswer{{position}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::chooseRowWhere(const QString& field, const QVariant& value)
{
    m_answers.push_back(RowWhereAnswer{field, value});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::chooseRowList(const QVector<int>& positions)
{
    m_answers.push_back(RowsAnswer{positions});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::cancelSearch()
{
    m_answers.push_back(CancelSearchAnswer{});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::searchFor(const QString& field, const QString& text)
{
    m_answers.push_back(RowSearchScript{{field, text}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::fileName(const QString& name)
{
    m_answers.push_back(FileAnswer{name});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::color(const QColor& color)
{
    m_answers.push_back(ColorAnswer{color});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::cancelColor()
{
    m_answers.push_back(ColorAnswer{std::nullopt});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::authorize(const QString& user, const QString& password)
{
    m_answers.push_back(AuthorizationAnswer{Credentials{user, password}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::refuseAuthorization()
{
    m_answers.push_back(AuthorizationAnswer{std::nullopt});
    return *this;
}

QStringList ScriptedDialogs::messageKeys() const
{
    QStringList keys;
    for (const Message& message : m_messages)
        keys << message.key;
    return keys;
}

QStringList ScriptedDialogs::messageTexts() const
{
    QStringList texts;
    for (const Message& message : m_messages)
        texts << message.text;
    return texts;
}

ScriptedDialogs::Message ScriptedDialogs::lastMessage() const
{
    return m_messages.isEmpty() ? Message{} : m_messages.last();
}

void ScriptedDialogs::reset()
{
    m_answers.clear();
    m_messages.clear();
    m_searches.clear();
    m_progressTexts.clear();
    m_progressVisible = false;
    m_failures.clear();
}

void ScriptedDialogs::fail(const QString& text)
{
    m_failures << text;
    if (onFailure)
        onFailure(text);
    throw ScriptError(text);
}

template <class... Accepted>
ScriptedDialogs::Answer ScriptedDialogs::take(const QString& question)
{
    if (m_answers.empty())
        fail(QStringLiteral("Roteiro sem resposta para: %1").arg(question));
    Answer next = m_answers.front();
    if (!(std::holds_alternative<Accepted>(next) || ...))
        fail(QStringLiteral("Resposta do roteiro não serve para: %1").arg(question));
    m_answers.pop_front();
    return next;
}

int ScriptedDialogs::showMessage(const MessageRequest& request)
{
    Message message{request.key, request.text, request.kind, request.buttons, mrOk, request.captions};
    const bool onlyOk = request.buttons == mbOK || request.buttons == 0;
    if (!onlyOk) {
        m_messages << message; // recorded before the answer, so an unanswered one is visible too
        const Answer answer = take<ButtonAnswer>(QStringLiteral("mensagem \"%1\"").arg(request.text));
        const int result = std::get<ButtonAnswer>(answer).result;
        if (!(buttonOf(result) & request.buttons))
            fail(QStringLiteral("O roteiro respondeu %1 à mensagem \"%2\", que não oferece esse botão")
                     .arg(result)
                     .arg(request.text));
        m_messages.last().answer = result;
        return result;
    }
    m_messages << message;
    return mrOk;
}

std::optional<QVector<int>> ScriptedDialogs::chooseRows(const SearchRequest& request)
{
    ClientDataSet& dataSet = *request.dataSet;
    m_searches << Search{request.mode, request.title, dataSet.RecordCount()};
    const Answer answer = take<RowsAnswer, RowWhereAnswer, CancelSearchAnswer>(describe(request));
    if (std::holds_alternative<CancelSearchAnswer>(answer))
        return std::nullopt;
    if (const auto* where = std::get_if<RowWhereAnswer>(&answer)) {
        const Field* field = dataSet.FieldByName(where->field);
        for (int position = 0; position < dataSet.RecordCount(); ++position) {
            if (dataSet.valueAt(position, field) == where->value)
                return QVector<int>{position};
        }
        fail(QStringLiteral("Nenhuma linha com %1 = \"%2\" na %3")
                 .arg(where->field, where->value.toString(), describe(request)));
    }
    const QVector<int> positions = std::get<RowsAnswer>(answer).positions;
    for (int position : positions) {
        if (position < 0 || position >= dataSet.RecordCount())
            fail(QStringLiteral("Linha %1 fora da %2 (%3 linhas)")
                     .arg(position)
                     .arg(describe(request))
                     .arg(dataSet.RecordCount()));
    }
    if (request.mode != SearchRequest::Mode::List && positions.size() != 1)
        fail(QStringLiteral("A %1 escolhe uma linha só").arg(describe(request)));
    return positions;
}

std::optional<RowSearchAnswer> ScriptedDialogs::rowSearch(const RowSearchRequest&)
{
    const Answer answer = take<RowSearchScript, CancelSearchAnswer>(QStringLiteral("procura de registro"));
    if (std::holds_alternative<CancelSearchAnswer>(answer))
        return std::nullopt;
    return std::get<RowSearchScript>(answer).answer;
}

QString ScriptedDialogs::openFileName(const FileRequest& request)
{
    return std::get<FileAnswer>(take<FileAnswer>(QStringLiteral("abrir arquivo \"%1\"").arg(request.title))).name;
}

QString ScriptedDialogs::saveFileName(const FileRequest& request)
{
    return std::get<FileAnswer>(take<FileAnswer>(QStringLiteral("salvar arquivo \"%1\"").arg(request.title))).name;
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor&)
{
    return std::get<ColorAnswer>(take<ColorAnswer>(QStringLiteral("escolha de cor"))).color;
}

std::optional<Credentials> ScriptedDialogs::askAuthorization(const AuthorizationRequest& request)
{
    const Answer answer =
        take<AuthorizationAnswer>(QStringLiteral("autorização do supervisor \"%1\"").arg(request.operation));
    return std::get<AuthorizationAnswer>(answer).credentials;
}

void ScriptedDialogs::showProgress(QWidget*, const QString& text)
{
    m_progressTexts << text;
    m_progressVisible = true;
}

void ScriptedDialogs::hideProgress()
{
    m_progressVisible = false;
}

} // namespace framework
