#pragma once

#include "call.h"

#include <QHash>
#include <QString>
#include <functional>

namespace appserver {

// A server object (such as Pla01300.rdmReceitaPadrao): a table of methods by name. Subclasses
// register each member function in their constructor with one line:
//     query("GetPrato", &RdmReceitaPadrao::GetPrato);
//     update("UpdParamGeral", &RdmReceitaPadrao::UpdParamGeral);
// A query answers a value (a packet, an array, a scalar); a failure reaches the client as a
// fault. An update answers its status text: empty when it succeeded, the reason otherwise.
// Objects hold no state: one instance serves every client and thread.
class ServerObject {
public:
    enum class Kind { Query, Update };
    struct Method {
        QString name;
        Kind kind;
        std::function<QVariant(Call&)> run;
        bool answersPacket = false; // an update that answers a packet on success, its status text on refusal
    };

    explicit ServerObject(const QString& name) : m_name(name) {}
    virtual ~ServerObject() = default;
    ServerObject(const ServerObject&) = delete;
    ServerObject& operator=(const ServerObject&) = delete;

    const QString& name() const { return m_name; }
    const Method* method(const QString& name) const; // without regard to case; nullptr when absent
    QStringList methodNames() const;

protected:
    template <class T>
    void query(const QString& name, QVariant (T::*fn)(Call&) const)
    {
        add({name, Kind::Query, [this, fn](Call& call) { return (static_cast<const T*>(this)->*fn)(call); }});
    }
    // Update functions refuse by throwing appserver::Refusal; returning means success.
    template <class T>
    void update(const QString& name, void (T::*fn)(Call&) const)
    {
        add({name, Kind::Update, [this, fn](Call& call) {
                 (static_cast<const T*>(this)->*fn)(call);
                 return QVariant(QString(""));
             }});
    }
    // An update that stores its work and still has something to tell (what it left out): its
    // text is the status the client reads, and the transaction is kept.
    template <class T>
    void update(const QString& name, QString (T::*fn)(Call&) const)
    {
        add({name, Kind::Update, [this, fn](Call& call) {
                 const QString status = (static_cast<const T*>(this)->*fn)(call);
                 return QVariant(status.isNull() ? QString("") : status);
             }});
    }

    // An update that stores its work and answers a packet of what it left out (empty when it left
    // out nothing); a refusal still answers its text.
    template <class T>
    void update(const QString& name, framework::DataPacket (T::*fn)(Call&) const)
    {
        add({name, Kind::Update,
             [this, fn](Call& call) { return QVariant::fromValue((static_cast<const T*>(this)->*fn)(call)); }, true});
    }

private:
    void add(Method method);

    QString m_name;
    QHash<QString, Method> m_methods; // by lower-case name
};

} // namespace appserver
