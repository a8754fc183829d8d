#include "replicareceita.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/guards.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "lugarreceita.h"
#include "percentualorigem.h"

#include <QSet>
#include <QSqlQuery>
#include <deque>

// The replication's rules (ReplicaReceitaServico), all inside the call's one transaction:
// - The marked rows of the services packet are the destinations, each with its percentage above
//   0 (2 decimals); a service listed twice, an unregistered one or a row added or removed refuses
//   the call. Unmarked rows are left alone.
// - Each listed dish that has a recipe at the origin replaces each destination's recipe of it by
//   the origin's at the destination's percentage, scaled by the code the percentage form's
//   preview and apply use; the service then follows that origin and percentage (PERCRECESERV), as
//   after the percentage form's apply. A dish without a recipe at the origin is left alone.
// - A dish whose origin recipe uses a product taken out of a destination's branch line is left
//   out for that branch's services and answered; the others are stored.
// - Refused, storing nothing: an origin not registered, or a service origin that does not serve
//   meals or is itself a destination; a dish not registered; a local dish sent to another
//   branch's services; a percentage that takes a quantity to zero; a malformed dish list; rows of
//   standard dishes into the recipes of a branch that locks its revised recipes, for an operator
//   whose group does not allow it.

namespace appserver {

namespace {

// The most dishes a list may hold: more than any range of the tree the form loads.
constexpr qsizetype maxPratos = 200000;
// One key: a branch of 4, "_", a code of 10, the quotes, the separator; with room to spare.
constexpr qsizetype maxTextoLista = maxPratos * 24;

[[noreturn]] void listaInvalida(const QString& motivo)
{
    throw Refusal(QStringLiteral("Lista de pratos inválida: %1. Nada foi gravado.").arg(motivo));
}

// One key "owner_dish" of the list, normalised as the dish table keeps it.
ChavePrato chaveDe(const QString& texto)
{
    const qsizetype separador = texto.indexOf(u'_');
    if (separador <= 0 || separador == texto.size() - 1)
        listaInvalida(QStringLiteral("chave \"%1\" sem dono ou código").arg(texto.left(40)));
    QString dono = texto.left(separador).trimmed().toUpper();
    const QString prato = texto.mid(separador + 1).trimmed();
    if (dono.size() > 4 || prato.size() > 10 || prato.isEmpty())
        listaInvalida(QStringLiteral("chave \"%1\" maior que a de um prato").arg(texto.left(40)));
    if (dono != u"P")
        dono = framework::Ajusta(dono, 4);
    return {dono, prato};
}

// The keys of the list, in its order, each once: 'key', 'key', ... with a quote inside a key
// doubled. Read character by character: nothing of it reaches a statement but as bound values.
QList<ChavePrato> chavesPratos(const QString& lista)
{
    if (lista.size() > maxTextoLista)
        listaInvalida(QStringLiteral("texto maior que o de %1 pratos").arg(maxPratos));
    QList<ChavePrato> chaves;
    QSet<ChavePrato> vistas;
    qsizetype pos = 0;
    const auto pulaEspacos = [&] {
        while (pos < lista.size() && lista[pos].isSpace())
            ++pos;
    };
    pulaEspacos();
    while (pos < lista.size()) {
        if (lista[pos] != u'\'')
            listaInvalida(QStringLiteral("esperava uma chave entre aspas na posição %1").arg(pos + 1));
        QString chave;
        for (++pos;; ++pos) {
            if (pos >= lista.size())
                listaInvalida(QStringLiteral("aspas não fechadas"));
            if (lista[pos] == u'\'') {
                if (pos + 1 < lista.size() && lista[pos + 1] == u'\'') {
                    chave += u'\'';
                    ++pos;
                    continue;
                }
                ++pos;
                break;
            }
            chave += lista[pos];
        }
        const ChavePrato prato = chaveDe(chave);
        if (!vistas.contains(prato)) {
            vistas.insert(prato);
            chaves << prato;
            if (chaves.size() > maxPratos)
                listaInvalida(QStringLiteral("mais de %1 pratos").arg(maxPratos));
        }
        pulaEspacos();
        if (pos >= lista.size())
            break;
        if (lista[pos] != u',')
            listaInvalida(QStringLiteral("esperava \",\" na posição %1").arg(pos + 1));
        ++pos;
        pulaEspacos();
        if (pos >= lista.size())
            listaInvalida(QStringLiteral("separador sem chave no fim"));
    }
    return chaves;
}

int coluna(const framework::DataPacket& servicos, const char* nome)
{
    const int col = servicos.rows.indexOf(QString::fromLatin1(nome));
    if (col < 0)
        throw Refusal(QStringLiteral("Os serviços enviados não trazem a coluna %1.").arg(QLatin1String(nome)));
    return col;
}

struct Destino {
    QString filial, servico;
    double percentual = 0;
    QString descricao() const { return nomeServico(filial, servico); }
};

// The marked services of the packet, in its order.
QList<Destino> destinosMarcados(const framework::DataPacket& servicos)
{
    const int marcado = coluna(servicos, "IDMARCADO"), filial = coluna(servicos, "CDFILIAL"),
              servico = coluna(servicos, "CDSERVFILI"), percentual = coluna(servicos, "PERCENTUAL");
    const framework::RowStore& s = servicos.rows;
    QList<Destino> lista;
    QSet<QString> vistos;
    for (int r = 0; r < servicos.rowCount(); ++r) {
        const framework::RowStatus status = servicos.rowStatus(r);
        if (status == framework::RowStatus::Inserted || status == framework::RowStatus::Deleted)
            throw Refusal(QStringLiteral("A lista de serviços não admite serviços incluídos ou excluídos."));
        if (s.text(r, marcado) != u"S")
            continue;
        Destino d{framework::Ajusta(s.text(r, filial), 4), framework::Ajusta(s.text(r, servico), 5), 0};
        if (d.filial.isEmpty() || d.servico.isEmpty())
            throw Refusal(QStringLiteral("Um serviço enviado não tem filial ou código."));
        const QString chave = d.filial + u'|' + d.servico;
        if (vistos.contains(chave))
            throw Refusal(QStringLiteral("O %1 foi enviado mais de uma vez.").arg(d.descricao()));
        vistos.insert(chave);
        d.percentual = percentualServico(s.isNull(r, percentual) ? 0 : s.number(r, percentual), d.descricao());
        lista << d;
    }
    return lista;
}

// Every destination registered; the branches they are of, in order.
QStringList verificaDestinos(Call& call, const QList<Destino>& destinos)
{
    QStringList filiais;
    QHash<QString, QSet<QString>> cadastrados;
    for (const Destino& d : destinos) {
        auto servicos = cadastrados.find(d.filial);
        if (servicos == cadastrados.end()) {
            filiais << d.filial;
            QSet<QString> daFilial;
            QSqlQuery query = execute(call.db(), "SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ?", {d.filial});
            while (query.next())
                daFilial.insert(query.value(0).toString());
            servicos = cadastrados.insert(d.filial, daFilial);
        }
        if (!servicos->contains(d.servico))
            throw Refusal(QStringLiteral("Serviço %1 não cadastrado para a filial %2.").arg(d.servico, d.filial));
    }
    return filiais;
}

// Every dish registered, a local one going only to its own branch's services. Gives the names.
QHash<ChavePrato, QString> verificaPratos(Call& call, const QList<ChavePrato>& pratos, const QStringList& filiais)
{
    const QHash<ChavePrato, QString> nomes = nomesPratos(call, pratos);
    for (const ChavePrato& p : pratos) {
        if (!nomes.contains(p))
            throw Refusal(QStringLiteral("Prato %1 não cadastrado.").arg(p.prato));
        if (p.dono == u"P")
            continue;
        for (const QString& filial : filiais)
            if (filial != p.dono)
                throw Refusal(QStringLiteral("O prato %1 é local da filial %2: sua receita não vai para os serviços da "
                                             "filial %3.")
                                  .arg(p.prato, p.dono, filial));
    }
    return nomes;
}

// The origin's rows of each dish, as a recipe of its own.
QHash<ChavePrato, framework::DataPacket> receitasPorPrato(const framework::DataPacket& linhas)
{
    QHash<ChavePrato, framework::DataPacket> receitas;
    for (int r = 0; r < linhas.rowCount(); ++r) {
        const ChavePrato prato{linhas.rows.text(r, ingrediente::Dono), linhas.rows.text(r, ingrediente::Prato)};
        auto receita = receitas.find(prato);
        if (receita == receitas.end())
            receita = receitas.insert(prato, framework::DataPacket(ingrediente::campos()));
        receita->rows.copyRow(receita->rows.appendRow(), linhas.rows, r);
    }
    return receitas;
}

} // namespace

QVariant ReplicaReceita::GetServicos(Call& call) const
{
    static const auto defs = fields("IDMARCADO:T1 CDFILIAL:T4 CDSERVFILI:T5 NMSERVICO:T40 PERCENTUAL:D");
    const QString grupo = framework::Ajusta(call.text(0), 3);
    const QString filial = framework::Ajusta(call.text(1), 4);
    QString sql = QStringLiteral("SELECT 'S', CDFILIAL, CDSERVFILI, NMSERVICO, 100.0 FROM SERVICO WHERE CDFILIAL = ?");
    QVariantList valores{filial};
    if (!grupo.isEmpty()) {
        sql += QStringLiteral(" AND CDGRUPSERV = ?");
        valores << grupo;
    }
    sql += QStringLiteral(" ORDER BY CDSERVFILI");
    return QVariant::fromValue(call.select(sql, valores, defs));
}

framework::DataPacket ReplicaReceita::ReplicaReceitaServico(Call& call) const
{
    static const auto naoProcessados = fields("CDFILAUXPRAT:T4 CDPRATO:T10 NMPRATO:T40 CDFILIAL:T4 NMPRODUTO:T50");
    const QList<Destino> destinos = destinosMarcados(call.packet(0));
    const QList<ChavePrato> pratos = chavesPratos(call.text(1));
    const LugarReceita origem =
        LugarReceita::de(call.text(2), call.text(5), call.text(6), call.text(3), call.text(4), QStringLiteral("origem"));
    call.setArg(2, origem.letra());
    if (pratos.isEmpty())
        throw Refusal(QStringLiteral("Nenhum prato foi selecionado para a replicação de receitas."));
    if (destinos.isEmpty())
        throw Refusal(QStringLiteral("Nenhum serviço foi selecionado para a replicação de receitas."));
    verificaOrigemServico(call, origem);
    if (origem.nivel() == LugarReceita::Nivel::Servico)
        for (const Destino& d : destinos)
            if (d.filial == origem.filial() && d.servico == origem.servico())
                throw Refusal(QStringLiteral("O %1 é a origem da replicação e não pode recebê-la.").arg(d.descricao()));
    const QStringList filiais = verificaDestinos(call, destinos);
    const QHash<ChavePrato, QString> nomes = verificaPratos(call, pratos, filiais);
    if (std::any_of(pratos.cbegin(), pratos.cend(), [](const ChavePrato& p) { return p.dono == u"P"; }))
        guards::checkRevisedRecipeRight(call, filiais);

    // Each branch's line is read once; each destination is one place of the service level.
    QHash<QString, QHash<QString, QString>> inativos;
    std::deque<LugarReceita> lugares;
    for (const Destino& d : destinos) {
        lugares.push_back(LugarReceita::de(QStringLiteral("S"), d.filial, d.servico, {}, {}, QStringLiteral("destino")));
        if (!inativos.contains(d.filial))
            inativos.insert(d.filial, lugares.back().produtosInativos(call));
    }

    const QHash<ChavePrato, framework::DataPacket> receitas = receitasPorPrato(origem.ingredientes(call, pratos));
    framework::DataPacket deixados(naoProcessados);
    for (const ChavePrato& prato : pratos) {
        const auto receita = receitas.constFind(prato);
        if (receita == receitas.cend())
            continue;
        // The first product of the recipe each branch's line leaves out.
        QHash<QString, QString> foraDaLinha;
        for (const QString& filial : filiais)
            for (int r = 0; r < receita->rowCount(); ++r)
                if (const auto fora = inativos[filial].constFind(receita->rows.text(r, ingrediente::Produto));
                    fora != inativos[filial].cend()) {
                    foraDaLinha.insert(filial, *fora);
                    break;
                }
        for (const QString& filial : filiais)
            if (foraDaLinha.contains(filial)) {
                const int linha = deixados.rows.appendRow();
                const QVariantList valores{prato.dono, prato.prato, nomes.value(prato), filial, foraDaLinha.value(filial)};
                for (int c = 0; c < valores.size(); ++c)
                    deixados.rows.setValue(linha, c, valores[c]);
            }

        framework::DataPacket novas(ingrediente::campos());
        QVector<int> linhas;
        QVector<const LugarReceita*> onde;
        QList<PercentualDeServico> seguem;
        for (qsizetype i = 0; i < destinos.size(); ++i) {
            const Destino& d = destinos[i];
            if (foraDaLinha.contains(d.filial))
                continue;
            seguem.append({d.filial, d.servico, &origem, d.percentual});
            const framework::DataPacket nova = receitaEscalada(*receita, d.percentual);
            for (int r = 0; r < nova.rowCount(); ++r) {
                if (quantidadeZerada(nova.rows, r))
                    throw Refusal(QStringLiteral("O percentual do %1 produz quantidades iguais a zero na receita do prato "
                                                 "%2 (produto %3).")
                                      .arg(d.descricao(), prato.prato, nova.rows.text(r, ingrediente::Produto)));
                const int linha = novas.rows.appendRow();
                novas.rows.copyRow(linha, nova.rows, r);
                linhas << linha;
                onde << &lugares[size_t(i)];
            }
        }
        LugarReceita::substituiIngredientes(call, prato, novas.rows, linhas, onde);
        gravaPercentuais(call, prato, seguem);
    }
    return deixados;
}

void RdmReceitaPadrao::registraReplica()
{
    query<RdmReceitaPadrao>("GetServicos", &ReplicaReceita::GetServicos);
    update<RdmReceitaPadrao>("ReplicaReceitaServico", &ReplicaReceita::ReplicaReceitaServico);
}

} // namespace appserver
