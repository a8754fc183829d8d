#include "guards.h"

#include "call.h"
#include "errors.h"
#include "framework/core/consiste.h"
#include "framework/core/dbpicture.h"
#include "grantstore.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace appserver::guards {

namespace {

using framework::DataPacket;
using framework::RowStatus;

const char* const ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
const char* const ImpPrato = "Pla01309.rdmImpPrato";

// --- Shapes of the change logs -----------------------------------------------------------------

enum Changes : quint8 { Inserts = 1, Modifies = 2, Deletes = 4, AnyChange = Inserts | Modifies | Deletes };

// The most rows a form sends in one change log. The forms send the records of one dish at a
// time (the tree does not move while a change is pending).
constexpr int oneRecord = 1;
constexpr int dishRecord = 4;        // one dish's record at a level, a refused change still pending
constexpr int numberedRecords = 200; // one dish's preparation modes or photos at a level (01 to 98)
constexpr int dishRows = 1000;       // one dish's list (ingredients, containers): more than any holds
constexpr int dishRange = 200000;    // the dishes of a range of the tree, marked or not
constexpr int branchServices = 10000; // the services of a branch, changed or not

struct Shape {
    const char* object;
    const char* method;
    int maxRows;     // 0: the method takes no change log
    Changes changes; // the kinds of row the form sends
    int logArgument = 0; // the argument that carries the log
};

const Shape shapes[] = {
    {ReceitaPadrao, "UpdParamGeral", oneRecord, Modifies}, // the one parameter row, never added or removed
    {ReceitaPadrao, "UpdPrato", dishRecord, AnyChange},
    {ReceitaPadrao, "UpdProdPrat", dishRows, AnyChange},
    {ReceitaPadrao, "UpdReceTpCard", dishRows, AnyChange},
    {ReceitaPadrao, "UpdReceFili", dishRows, AnyChange},
    {ReceitaPadrao, "UpdReceServ", dishRows, AnyChange},
    {ReceitaPadrao, "UpdUpQtdePadr", dishRows, AnyChange},
    {ReceitaPadrao, "UpdUpQtdeLo", dishRows, AnyChange},
    {ReceitaPadrao, "UpdUpQtdeServ", dishRows, AnyChange},
    {ReceitaPadrao, "UpdDadosPrat", dishRecord, AnyChange},
    {ReceitaPadrao, "UpdPratFili", dishRecord, AnyChange},
    {ReceitaPadrao, "UpdPratServ", dishRecord, AnyChange},
    {ReceitaPadrao, "UpdPratTpCard", dishRecord, AnyChange},
    {ReceitaPadrao, "UpdPrepPad", numberedRecords, AnyChange},
    {ReceitaPadrao, "UpdPrepFil", numberedRecords, AnyChange},
    {ReceitaPadrao, "UpdPrepSer", numberedRecords, AnyChange},
    {ReceitaPadrao, "UpdFotoPraPad", numberedRecords, AnyChange},
    {ReceitaPadrao, "UpdFotoPraFil", numberedRecords, AnyChange},
    {ReceitaPadrao, "UpdFotoPraSer", numberedRecords, AnyChange},
    {ReceitaPadrao, "SetContainer", dishRows, AnyChange},
    {ReceitaPadrao, "UpdContainer", 0, AnyChange},
    {ImpPrato, "ExportaPratos", dishRange, Modifies}, // the dish grid with its marks
    // The services of a branch with their marks, origins and percentages, after the dish key.
    {ReceitaPadrao, "AplicaPercentualReceita", branchServices, Modifies, 1},
    // The services of a branch with their marks and percentages; the dishes travel as a list.
    {ReceitaPadrao, "ReplicaReceitaServico", branchServices, Modifies},
};

// --- The changes guarded by a supervisor's authorisation ---------------------------------------

enum class Change { Insert, Modify, Delete, Call }; // Call: the procedure changes rows itself

// Which of the method's changes need the operation.
enum class Scope {
    Every,                 // every row (every call)
    StandardTree,          // rows of the standard tree (CDFILAUXPRAT "P"), groups included
    NewStandardDish,       // a dish (last level) added to the standard tree; a new group is free
    BeyondFirstLevelBlock, // anything but the first setting of the dish level block ("" to "0")
    StandardLevel,         // a procedure called for the standard recipe (its level argument "P")
};

struct GuardedChange {
    const char* object;
    const char* method;
    Change change;
    Scope scope;
    const char* operation;
    int levelArgument = 0; // Scope::StandardLevel: the argument that names the level
};

// Each change the forms guard with a supervisor's authorisation, and the operation that guards
// it: the one table of them.
const GuardedChange guardedChanges[] = {
    {ReceitaPadrao, "UpdPrato", Change::Insert, Scope::NewStandardDish, "INCLUSAO_PRATO_PADRAO"},
    {ReceitaPadrao, "UpdPrato", Change::Modify, Scope::StandardTree, "ALTERACAO_PRATO_PADRAO"},
    {ReceitaPadrao, "UpdPrato", Change::Delete, Scope::StandardTree, "EXCLUSAO_PRATO_PADRAO"},
    {ReceitaPadrao, "UpdProdPrat", Change::Insert, Scope::Every, "INCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdProdPrat", Change::Modify, Scope::Every, "ALTERACAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdProdPrat", Change::Delete, Scope::Every, "EXCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdUpQtdePadr", Change::Insert, Scope::Every, "INCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdUpQtdePadr", Change::Modify, Scope::Every, "ALTERACAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdUpQtdePadr", Change::Delete, Scope::Every, "EXCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "ProUpProdBasePR", Change::Call, Scope::Every, "ALTERACAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "ProUpdQtdeFix", Change::Call, Scope::StandardLevel, "ALTERACAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdDadosPrat", Change::Insert, Scope::Every, "INCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdDadosPrat", Change::Modify, Scope::Every, "ALTERACAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdDadosPrat", Change::Delete, Scope::Every, "EXCLUSAO_PRODUTO_RECEITA_PADRAO"},
    {ReceitaPadrao, "UpdParamGeral", Change::Modify, Scope::BeyondFirstLevelBlock, "ALTERACAO_PARAMETRO_GERAL"},
    // The review's copy into the standard recipes (its destination kind, argument 7, "P").
    {ImpPrato, "ExportaPratos", Change::Call, Scope::StandardLevel, "ALTERACAO_PRODUTO_RECEITA_PADRAO", 7},
};

QString key(const QString& object, const QString& method)
{
    return object.toLower() + u'.' + method.toLower();
}

const Shape* shapeOf(const QString& object, const QString& method)
{
    static const QHash<QString, const Shape*> byMethod = [] {
        QHash<QString, const Shape*> table;
        for (const Shape& s : shapes)
            table.insert(key(QLatin1String(s.object), QLatin1String(s.method)), &s);
        return table;
    }();
    return byMethod.value(key(object, method));
}

QList<const GuardedChange*> guardsOf(const QString& object, const QString& method)
{
    static const QHash<QString, QList<const GuardedChange*>> byMethod = [] {
        QHash<QString, QList<const GuardedChange*>> table;
        for (const GuardedChange& g : guardedChanges)
            table[key(QLatin1String(g.object), QLatin1String(g.method))] << &g;
        return table;
    }();
    return byMethod.value(key(object, method));
}

Change changeOf(RowStatus status)
{
    switch (status) {
    case RowStatus::Inserted: return Change::Insert;
    case RowStatus::Modified: return Change::Modify;
    case RowStatus::Deleted: return Change::Delete;
    case RowStatus::Unmodified: break;
    }
    return Change::Call;
}

bool sameCell(const DataPacket& log, int row, int column)
{
    const bool nowNull = log.rows.isNull(row, column), wasNull = log.originals.isNull(row, column);
    if (nowNull || wasNull)
        return nowNull == wasNull;
    return log.rows.value(row, column) == log.originals.value(row, column);
}

// The rows of one change log as the scopes read them.
class LogRows {
public:
    LogRows(Call& call, const DataPacket& log) : m_call(call), m_log(log) {}

    bool inScope(Scope scope, int row)
    {
        switch (scope) {
        case Scope::Every: return true;
        case Scope::StandardTree: return standard(row);
        case Scope::NewStandardDish: return standard(row) && dishPicture().isLastLevel(text(row, "CDPRATO"));
        case Scope::BeyondFirstLevelBlock: return !onlyFirstLevelBlock(row);
        case Scope::StandardLevel: break; // a procedure's argument, not a row's
        }
        return true;
    }

private:
    QString text(int row, const char* column) const
    {
        const int c = m_log.rows.indexOf(QLatin1String(column));
        return c < 0 ? QString() : m_log.rows.text(row, c).trimmed();
    }

    // The owner as sent and as read (a modified row keeps the one it was read with).
    bool standard(int row) const
    {
        const int c = m_log.rows.indexOf(QStringLiteral("CDFILAUXPRAT"));
        if (c < 0)
            return true; // a log without the owner is refused by the method; guarded meanwhile
        const bool read = row < m_log.originals.rowCount() && !m_log.originals.isNull(row, c)
                          && m_log.originals.text(row, c).trimmed() == u"P";
        return read || m_log.rows.text(row, c).trimmed() == u"P";
    }

    // The dish level block is read as "0" while it is empty, and the form writes that "0" the
    // first time it reads the block: a change that means nothing new.
    bool onlyFirstLevelBlock(int row) const
    {
        const int block = m_log.rows.indexOf(QStringLiteral("CDNVBLPRAT"));
        const int key = m_log.rows.indexOf(QStringLiteral("CDPARGERAL"));
        if (block < 0 || row >= m_log.originals.rowCount())
            return false;
        for (int c = 0; c < m_log.fields().size(); ++c)
            if (c != block && c != key && !sameCell(m_log, row, c))
                return false;
        const bool wasEmpty = m_log.originals.isNull(row, block) || m_log.originals.text(row, block).trimmed().isEmpty();
        return wasEmpty && m_log.rows.text(row, block).trimmed() == u"0";
    }

    const framework::TDBPicture& dishPicture()
    {
        if (!m_picture)
            m_picture.emplace(m_call.value("SELECT CDPICTPRAT FROM PARAMGERAL ORDER BY CDPARGERAL").toString());
        return *m_picture;
    }

    Call& m_call;
    const DataPacket& m_log;
    std::optional<framework::TDBPicture> m_picture;
};

// The operations the call's changes need, each once, in the table's order.
QStringList neededOperations(Call& call, const QList<const GuardedChange*>& guards)
{
    QStringList needed;
    const auto need = [&needed](const GuardedChange* g) {
        if (!needed.contains(QLatin1String(g->operation)))
            needed << QLatin1String(g->operation);
    };
    std::optional<DataPacket> log;
    std::optional<LogRows> rows;
    for (const GuardedChange* g : guards) {
        if (g->change == Change::Call) {
            if (g->scope != Scope::StandardLevel || call.text(g->levelArgument).trimmed().toUpper() == u"P")
                need(g);
            continue;
        }
        if (!log) {
            log = call.packet(0);
            rows.emplace(call, *log);
        }
        for (int row = 0; row < log->rowCount(); ++row)
            if (changeOf(log->rowStatus(row)) == g->change && rows->inScope(g->scope, row)) {
                need(g);
                break;
            }
    }
    return needed;
}

// --- The changes an operator's group must allow -----------------------------------------------

// The lists whose rows of standard dishes a branch that locks its revised recipes (planning
// parameter IDBLOALTRELO "S") lets in or out only for operators whose group allows it (ARRV 1).
// No supervisor authorises it.
const char* const revisedRecipeLists[] = {"UpdReceFili", "UpdReceServ"};

void checkRevisedRecipes(Call& call, const QString& object)
{
    const auto listed = [&call](const char* method) {
        return call.method().compare(QLatin1String(method), Qt::CaseInsensitive) == 0;
    };
    if (object.compare(QLatin1String(ReceitaPadrao), Qt::CaseInsensitive) != 0
        || std::none_of(std::begin(revisedRecipeLists), std::end(revisedRecipeLists), listed))
        return;
    const DataPacket log = call.packet(0);
    const int owner = log.rows.indexOf(QStringLiteral("CDFILAUXPRAT"));
    const int branch = log.rows.indexOf(QStringLiteral("CDFILIAL"));
    if (owner < 0 || branch < 0)
        return; // the method refuses a log without its key
    QStringList branches;
    for (int row = 0; row < log.rowCount(); ++row) {
        const RowStatus status = log.rowStatus(row);
        if ((status == RowStatus::Inserted || status == RowStatus::Deleted) && log.rows.text(row, owner).trimmed() == u"P"
            && !branches.contains(log.rows.text(row, branch)))
            branches << log.rows.text(row, branch);
    }
    checkRevisedRecipeRight(call, branches);
}

// The swap of an ingredient for one of its optional products is what a branch that locks its
// revised recipes (IDBLOALTRELO "S") offers instead of adding and removing rows: the form has the
// command only there, and so has the server. The argument names the branch whose recipe it is.
struct LockedBranchOnly {
    const char* object;
    const char* method;
    int branchArgument;
};
const LockedBranchOnly lockedBranchOnly[] = {{ReceitaPadrao, "TrocaProduto", 2}};

void checkLockedBranch(Call& call, const QString& object)
{
    for (const LockedBranchOnly& m : lockedBranchOnly) {
        if (object.compare(QLatin1String(m.object), Qt::CaseInsensitive) != 0
            || call.method().compare(QLatin1String(m.method), Qt::CaseInsensitive) != 0)
            continue;
        const QString branch = framework::Ajusta(call.text(m.branchArgument), 4);
        if (call.value("SELECT IDBLOALTRELO FROM PARAMPLANEJA WHERE CDFILIAL = ?", {branch}).toString() != u"S") {
            call.logNote(QStringLiteral("troca fora de receita revisada bloqueada (filial %1)").arg(branch));
            throw NotAllowed(QStringLiteral("A troca de ingrediente só é feita nas receitas revisadas de filiais que "
                                            "bloqueiam a alteração delas. Nada foi gravado."));
        }
    }
}

const QString refusalPrefix = QStringLiteral("Alteração não autorizada (");

} // namespace

void checkShape(const QString& object, const QString& method, const QVariantList& args)
{
    const Shape* shape = shapeOf(object, method);
    if (!shape || shape->maxRows == 0 || shape->logArgument >= args.size()
        || !framework::isPacket(args[shape->logArgument]))
        return; // not a change log: the method refuses what it cannot read
    const DataPacket log = framework::toPacket(args[shape->logArgument]);
    if (log.rowCount() > shape->maxRows)
        throw Refusal(QStringLiteral("Alterações demais em uma chamada de %1: %2 registros, quando o formulário envia "
                                     "no máximo %3. Nada foi gravado.")
                          .arg(method)
                          .arg(log.rowCount())
                          .arg(shape->maxRows));
    for (int row = 0; row < log.rowCount(); ++row) {
        const RowStatus status = log.rowStatus(row);
        const Changes change = status == RowStatus::Inserted   ? Inserts
                               : status == RowStatus::Modified ? Modifies
                               : status == RowStatus::Deleted  ? Deletes
                                                               : AnyChange;
        if (!(shape->changes & change))
            throw Refusal(status == RowStatus::Inserted
                              ? QStringLiteral("%1 não inclui registros: só altera os existentes. Nada foi gravado.").arg(method)
                              : QStringLiteral("%1 não exclui registros: só altera os existentes. Nada foi gravado.").arg(method));
    }
}

bool declaresShape(const QString& object, const QString& method)
{
    return shapeOf(object, method) != nullptr;
}

void authorise(Call& call, const QString& object)
{
    checkRevisedRecipes(call, object);
    checkLockedBranch(call, object);
    const QList<const GuardedChange*> guards = guardsOf(object, call.method());
    if (guards.isEmpty())
        return;
    const Caller& caller = call.caller();
    for (const QString& operation : neededOperations(call, guards)) {
        if (holdsRight(call, caller.operatorCode, kindReceita, operation))
            continue;
        std::optional<Grant> grant = call.grants().take(call.db(), caller.session, kindReceita, operation);
        if (!grant) {
            call.logNote(QStringLiteral("sem autorização para %1").arg(operation));
            throw NotAllowed(missingAuthorisationText(operation));
        }
        call.logNote(QStringLiteral("autorizado por %1 (%2)").arg(grant->supervisor, operation));
    }
}

void checkRevisedRecipeRight(Call& call, const QStringList& branches)
{
    if (branches.isEmpty() || groupParameter(call, call.caller().operatorCode, QStringLiteral("ARRV")) == 1)
        return;
    for (const QString& code : branches)
        if (call.value("SELECT IDBLOALTRELO FROM PARAMPLANEJA WHERE CDFILIAL = ?", {code}).toString() == u"S") {
            call.logNote(QStringLiteral("receita revisada da filial %1").arg(code));
            throw NotAllowed(QStringLiteral("Operador não autorizado a incluir / excluir produto em receita revisada."));
        }
}

bool holdsRight(Call& call, const QString& operatorCode, int kind, const QString& operation)
{
    return call.value("SELECT COUNT(*) FROM USUAUTORIZA A JOIN USUARIO U ON U.CDOPERADOR = A.CDOPERADOR "
                      "WHERE A.CDOPERADOR = ? AND A.NRTIPOAUTORIZA = ? AND A.CDOPERACAO = ? AND U.IDATIVO = 'S'",
                      {operatorCode, kind, operation})
               .toInt()
           > 0;
}

int groupParameter(Call& call, const QString& operatorCode, const QString& parameter)
{
    const QVariant value = call.value(
        "SELECT G.VRPARAMGRUP FROM USUARIO U JOIN PARAMGRUPUSUA G ON G.CDGRUPOUSUA = U.CDGRUPOUSUA "
        "WHERE U.CDOPERADOR = ? AND G.CDPARAMGRUP = ?",
        {operatorCode, parameter});
    return value.isValid() && !value.isNull() ? value.toInt() : 0;
}

QString missingAuthorisationText(const QString& operation)
{
    return refusalPrefix + operation
           + QStringLiteral("): esta alteração exige a autorização de um supervisor, que não foi dada nesta sessão, "
                            "já foi usada ou expirou. Nada foi gravado.");
}

QString missingAuthorisation(const QString& text)
{
    static const QRegularExpression named(QRegularExpression::escape(refusalPrefix) + QStringLiteral("([A-Z_]+)\\)"));
    const auto match = named.match(text);
    return match.hasMatch() && match.capturedStart() == 0 ? match.captured(1) : QString();
}

} // namespace appserver::guards
