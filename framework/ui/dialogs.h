#pragma once

#include "messages.h"
#include "framework/abort.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

class QWidget;

namespace framework {

class ClientDataSet;

// --- Requests and answers ------------------------------------------------------------------

struct MessageRequest {
    QString key; // message-list key; empty for texts shown directly (MensErro, the guard)
    QString text;
    int kind = mtInformation;
    MsgDlgButtons buttons = mbOK;
    // Texts of the buttons offered, in the order Yes, No, OK, Cancel; empty: the standard ones.
    QStringList captions = {};
};

// A choice of rows of a dataset (Pesquisar, Pesquisar_Plus, PesquisaLista).
struct SearchRequest {
    enum class Mode { Single, Plus, List };
    ClientDataSet* dataSet = nullptr;
    QString title;
    QStringList fields;       // columns shown, in order; empty: the dataset's visible fields
    Mode mode = Mode::Single;
    bool alternative = false; // Plus: the typed filter starts on the second column (the names)
    QVector<int> preselected; // List: positions already chosen
};

// Procura: the column to search and the text typed.
struct RowSearchRequest {
    ClientDataSet* dataSet = nullptr;
    QStringList fields; // columns offered, in grid order
};
struct RowSearchAnswer {
    QString field;
    QString text;
};

// Filters in the form "Descrição(*.x)|*.x|Outra(*.y)|*.y"; filterIndex counts from 1.
struct FileRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString defaultExt; // without the dot
    QString fileName;   // proposed name
};

struct Credentials {
    QString user;
    QString password;
};
// Kind 0 asks for the operator's own login at the application server (operation: the operator
// proposed); other kinds ask for a supervisor's authorisation.
struct AuthorizationRequest {
    int kind = 0;
    QString operation; // e.g. "ALTERACAO_PRATO_PADRAO"
    QString text;
};

// --- The service ---------------------------------------------------------------------------

// Every dialog the forms open goes through this interface: the host uses the Qt face, tests
// and automation the scripted one.
class DialogService {
public:
    virtual ~DialogService() = default;

    virtual int showMessage(const MessageRequest& request) = 0; // the button pressed (mr...)
    // Chosen positions (0-based, current order of the dataset); nullopt when cancelled.
    virtual std::optional<QVector<int>> chooseRows(const SearchRequest& request) = 0;
    virtual std::optional<RowSearchAnswer> rowSearch(const RowSearchRequest& request) = 0;
    virtual QString openFileName(const FileRequest& request) = 0; // empty: cancelled
    virtual QString saveFileName(const FileRequest& request) = 0; // empty: cancelled
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<Credentials> askAuthorization(const AuthorizationRequest& request) = 0;
    virtual void showProgress(QWidget* form, const QString& text) = 0;
    virtual void hideProgress() = 0;
};

DialogService& dialogs();
// Replaces the service in use; nullptr puts the Qt face back.
void setDialogService(std::unique_ptr<DialogService> service);

// The Qt face: modal Qt dialogs.
class QtDialogs : public DialogService {
public:
    QtDialogs();
    ~QtDialogs() override;
    int showMessage(const MessageRequest& request) override;
    std::optional<QVector<int>> chooseRows(const SearchRequest& request) override;
    std::optional<RowSearchAnswer> rowSearch(const RowSearchRequest& request) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<Credentials> askAuthorization(const AuthorizationRequest& request) override;
    void showProgress(QWidget* form, const QString& text) override;
    void hideProgress() override;

private:
    struct Progress;
    std::unique_ptr<Progress> m_progress;
};

// The scripted face: records what the forms show and answers from one queue, in order.
// Messages offering only OK are answered OK without using the queue. A question the script
// did not answer (or answered with the wrong kind of answer) is recorded in failures(),
// reported to onFailure and thrown as a ScriptError, so a test never hangs on a dialog.
class ScriptError : public Error {
public:
    using Error::Error;
};

class ScriptedDialogs : public DialogService {
public:
    struct Message {
        QString key;
        QString text;
        int kind = mtInformation;
        MsgDlgButtons buttons = mbOK;
        int answer = mrNone;
        QStringList captions = {};
    };
    struct Search {
        SearchRequest::Mode mode;
        QString title;
        int rowCount = 0;
    };

    // --- Answers, consumed in the order the questions come ---
    ScriptedDialogs& answer(int modalResult); // a message with a choice of buttons
    ScriptedDialogs& chooseRow(int position); // Pesquisar / Pesquisar_Plus
    ScriptedDialogs& chooseRowWhere(const QString& field, const QVariant& value);
    ScriptedDialogs& chooseRowList(const QVector<int>& positions); // PesquisaLista
    ScriptedDialogs& cancelSearch();                            // any row choice
    ScriptedDialogs& searchFor(const QString& field, const QString& text); // Procura
    ScriptedDialogs& fileName(const QString& name);             // open or save; empty cancels
    ScriptedDialogs& color(const QColor& color);
    ScriptedDialogs& cancelColor();
    ScriptedDialogs& authorize(const QString& user, const QString& password);
    ScriptedDialogs& refuseAuthorization();

    // --- What was shown ---
    const QVector<Message>& messages() const { return m_messages; }
    QStringList messageKeys() const;
    QStringList messageTexts() const;
    Message lastMessage() const; // an empty Message when none
    const QVector<Search>& searches() const { return m_searches; }
    const QStringList& progressTexts() const { return m_progressTexts; }
    bool progressVisible() const { return m_progressVisible; }
    const QStringList& failures() const { return m_failures; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void reset(); // forgets answers and records

    // Called with each failure as it happens (tests put ADD_FAILURE here).
    std::function<void(const QString&)> onFailure;

    int showMessage(const MessageRequest& request) override;
    std::optional<QVector<int>> chooseRows(const SearchRequest& request) override;
    std::optional<RowSearchAnswer> rowSearch(const RowSearchRequest& request) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<Credentials> askAuthorization(const AuthorizationRequest& request) override;
    void showProgress(QWidget* form, const QString& text) override;
    void hideProgress() override;

private:
    struct ButtonAnswer { int result; };
    struct RowsAnswer { QVector<int> positions; };
    struct RowWhereAnswer { QString field; QVariant value; };
    struct CancelSearchAnswer {};
    struct RowSearchScript { RowSearchAnswer answer; };
    struct FileAnswer { QString name; };
    struct ColorAnswer { std::optional<QColor> color; };
    struct AuthorizationAnswer { std::optional<Credentials> credentials; };
    using Answer = std::variant<ButtonAnswer, RowsAnswer, RowWhereAnswer, CancelSearchAnswer, RowSearchScript,
                                FileAnswer, ColorAnswer, AuthorizationAnswer>;

    template <class... Accepted>
    Answer take(const QString& question);
    [[noreturn]] void fail(const QString& text);

    std::deque<Answer> m_answers;
    QVector<Message> m_messages;
    QVector<Search> m_searches;
    QStringList m_progressTexts;
    bool m_progressVisible = false;
    QStringList m_failures;
};

// Puts a scripted face in place of the dialog service and returns it (one call, for tests and
// automation tools driving the forms). It stays installed until setDialogService replaces it.
ScriptedDialogs& installScriptedDialogs();

// --- Short calls the forms use ---------------------------------------------------------------
QString AbrirArquivo(const FileRequest& request);  // empty: cancelled
QString SalvarArquivo(const FileRequest& request); // empty: cancelled
std::optional<QColor> EscolherCor(const QColor& initial = Qt::white);
// The supervisor's user and password for an operation; nullopt when the prompt is refused.
std::optional<Credentials> PedirAutorizacaoSupervisor(int kind, const QString& operation, const QString& text = {});

} // namespace framework
