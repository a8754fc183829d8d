#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <utility>

namespace framework {

enum MsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };
enum MsgDlgButton { mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8 };
using MsgDlgButtons = int;
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// A form's message list: key -> text. Keys match without regard to letter case; "%s" and "%d"
// in a text are filled in order from the arguments. A key the list lacks is looked up in the
// standard list (msgMensagensPadroes) before giving up with a text that names the key.
class TMessages : public QObject {
    Q_OBJECT
public:
    explicit TMessages(QObject* parent = nullptr, const QString& objectName = {});

    void Add(const QString& key, const QString& text);
    void Add(std::initializer_list<std::pair<const char*, const char*>> items);
    void Remove(const QString& key);         // this list only
    bool Contains(const QString& key) const; // this list only
    int Count() const { return int(m_texts.size()); }

    QString Msg(const QString& key, const QStringList& args = {}) const;
    // Shows the key's text in a modal dialog through the dialog service; returns the button
    // pressed (mrOk, mrYes, mrNo, mrCancel).
    int ShowMsg(const QString& key, int kind, MsgDlgButtons buttons, const QStringList& args = {}) const;

    // Asks the key's text with buttons captioned by the texts of buttonKeys (at most three, in
    // the order shown); returns the position of the button pressed, -1 when none was.
    int ShowMsgAlert(const QString& key, int kind, const QStringList& buttonKeys, const QStringList& args = {}) const;

    // Fills "%s"/"%d" in order; surplus placeholders stay as they are.
    static QString fill(const QString& text, const QStringList& args);

private:
    bool lookup(const QString& key, QString& text) const;
    QHash<QString, QString> m_texts; // by lower-case key
};

// The base forms' standard messages (Excl, Canc, ...), shared by every form.
TMessages& msgMensagensPadroes();

// Shows text as an error; with abort, then cancels the running action (throws framework::Abort).
void MensErro(const QString& text, bool abort = true);

// A server query answered with a fault: shows its message (when showMessage) and throws
// framework::Abort. Any other result passes and gives true. flags is kept for the callers'
// signature and has no effect.
bool CheckResultServ(const QVariant& result, bool showMessage = true, int flags = 0);

} // namespace framework
