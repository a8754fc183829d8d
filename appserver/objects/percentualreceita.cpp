#include "percentualreceita.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "lugarreceita.h"
#include "percentualorigem.h"

#include <QSet>
#include <QSqlQuery>
#include <optional>
#include <vector>

// The apply's rules (AplicaPercentualReceita), all inside the call's one transaction; a refusal
// stores nothing:
// - The rows of the services packet changed in the form (IDALTERADO "S") are applied; the others
//   are left as they are. A service listed twice, or a row added or removed, refuses the call.
// - A changed row marked "S" replaces the service's recipe of the dish by the origin's at the
//   percentage: the rows GetReceitasPerVirtual showed, computed by the same code. The service
//   keeps its origin and percentage (PERCRECESERV) for the next time. A changed row marked "N"
//   only forgets them: the service keeps the recipe it has.
// - A local dish is its branch's: only that branch's services take it.
// - Refused: a percentage not above 0 once taken to 2 decimals; an origin not registered; a
//   service origin that is not a restaurant ("N") or hospital ("D") service, or is the service
//   itself, or whose recipe the same call changes; an origin without a recipe of the dish; a
//   percentage that takes a net or requisition quantity to zero; a product of the origin taken out
//   of the service's branch line (the form warns of each before it sends them).

namespace appserver {

namespace {

// The dish of the owner and code arguments, normalised and written back (both go by reference).
ChavePrato pratoDe(Call& call, int dono, int prato)
{
    QString owner = call.text(dono).trimmed().toUpper();
    if (owner != u"P")
        owner = framework::Ajusta(owner, 4);
    const ChavePrato chave{owner, call.text(prato).trimmed()};
    call.setArg(dono, chave.dono);
    call.setArg(prato, chave.prato);
    return chave;
}

int coluna(const framework::DataPacket& servicos, const char* nome)
{
    const int col = servicos.rows.indexOf(QString::fromLatin1(nome));
    if (col < 0)
        throw Refusal(QStringLiteral("Os serviços enviados não trazem a coluna %1.").arg(QLatin1String(nome)));
    return col;
}

// One changed row of the services packet.
struct Alteracao {
    QString filial, servico;
    bool marcado = false;
    double percentual = 0;
    std::optional<LugarReceita> origem; // marked rows only
    QString descricao() const { return nomeServico(filial, servico); }
};

QList<Alteracao> alteracoes(const framework::DataPacket& servicos)
{
    const int marcado = coluna(servicos, "IDMARCADO"), alterado = coluna(servicos, "IDALTERADO"),
              filial = coluna(servicos, "CDFILIAL"), servico = coluna(servicos, "CDSERVFILI"),
              tipo = coluna(servicos, "IDORIGEMRECE"), central = coluna(servicos, "CDFILCENTPME"),
              tipoCard = coluna(servicos, "CDTIPOCARD"), filialOrigem = coluna(servicos, "CDFILIALORI"),
              servicoOrigem = coluna(servicos, "CDSERVFILIORI"), percentual = coluna(servicos, "PERCENTUAL");
    const framework::RowStore& s = servicos.rows;
    QList<Alteracao> lista;
    QSet<QString> vistos;
    for (int r = 0; r < servicos.rowCount(); ++r) {
        const framework::RowStatus status = servicos.rowStatus(r);
        if (status == framework::RowStatus::Inserted || status == framework::RowStatus::Deleted)
            throw Refusal(QStringLiteral("A lista de serviços não admite serviços incluídos ou excluídos."));
        Alteracao a;
        a.filial = framework::Ajusta(s.text(r, filial), 4);
        a.servico = framework::Ajusta(s.text(r, servico), 5);
        if (a.filial.isEmpty() || a.servico.isEmpty())
            throw Refusal(QStringLiteral("Um serviço enviado não tem filial ou código."));
        const QString chave = a.filial + u'|' + a.servico;
        if (vistos.contains(chave))
            throw Refusal(QStringLiteral("O %1 foi enviado mais de uma vez.").arg(a.descricao()));
        vistos.insert(chave);
        if (s.text(r, alterado) != u"S")
            continue;
        a.marcado = s.text(r, marcado) == u"S";
        if (a.marcado) {
            a.percentual = percentualServico(s.isNull(r, percentual) ? 0 : s.number(r, percentual), a.descricao());
            a.origem = LugarReceita::de(s.text(r, tipo), s.text(r, filialOrigem), s.text(r, servicoOrigem),
                                        s.text(r, central), s.text(r, tipoCard),
                                        QStringLiteral("origem do %1").arg(a.descricao()));
        }
        lista << a;
    }
    return lista;
}

// The services of the branches named, by branch: CDSERVFILI.
QSet<QString> servicosCadastrados(Call& call, const QString& filial)
{
    QSet<QString> servicos;
    QSqlQuery query = execute(call.db(), "SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ?", {filial});
    while (query.next())
        servicos.insert(query.value(0).toString());
    return servicos;
}

// Refuses what may not be applied before anything is written.
void verificaAlteracoes(Call& call, const ChavePrato& prato, const QList<Alteracao>& lista)
{
    QHash<QString, QSet<QString>> cadastrados;
    QSet<QString> mudam; // the services whose recipe the call rewrites
    for (const Alteracao& a : lista) {
        auto servicos = cadastrados.find(a.filial);
        if (servicos == cadastrados.end())
            servicos = cadastrados.insert(a.filial, servicosCadastrados(call, a.filial));
        if (!servicos->contains(a.servico))
            throw Refusal(QStringLiteral("Serviço %1 não cadastrado para a filial %2.").arg(a.servico, a.filial));
        if (prato.dono != u"P" && a.filial != prato.dono)
            throw Refusal(QStringLiteral("O prato %1 é local da filial %2: sua receita não vai para o %3.")
                              .arg(prato.prato, prato.dono, a.descricao()));
        if (a.marcado)
            mudam.insert(a.filial + u'|' + a.servico);
    }
    QSet<QString> verificadas;
    for (const Alteracao& a : lista) {
        if (!a.marcado)
            continue;
        const LugarReceita& origem = *a.origem;
        if (origem.nivel() != LugarReceita::Nivel::Servico)
            continue;
        if (origem.filial() == a.filial && origem.servico() == a.servico)
            throw Refusal(QStringLiteral("O %1 não pode ser a origem da sua própria receita.").arg(a.descricao()));
        if (mudam.contains(origem.filial() + u'|' + origem.servico()))
            throw Refusal(QStringLiteral("O %1 não pode ser a origem do %2: sua receita também é alterada nesta operação.")
                              .arg(nomeServico(origem.filial(), origem.servico()), a.descricao()));
    }
}

} // namespace

QVariant PercentualReceita::GetServicosPercentual(Call& call) const
{
    static const auto defs = fields(
        "IDMARCADO:T1 CDFILIAL:T4 CDSERVFILI:T5 NMSERVICO:T40 IDORIGEMRECE:T1 CDFILCENTPME:T4 CDTIPOCARD:T10 "
        "CDFILIALORI:T4 CDSERVFILIORI:T5 PERCENTUAL:D IDALTERADO:T1 NMSERVIORI:T40 NMFILIALORI:T30 NMTIPOCARD:T100 "
        "NMFILICENT:T30");
    const QString filial = framework::Ajusta(call.text(0), 4);
    const QString grupo = framework::Ajusta(call.text(1), 3);
    const ChavePrato prato = pratoDe(call, 2, 3);
    QString sql = QStringLiteral(
        "SELECT CASE WHEN L.CDSERVFILI IS NULL THEN 'N' ELSE 'S' END, S.CDFILIAL, S.CDSERVFILI, S.NMSERVICO, "
        "L.IDORIGEMRECE, L.CDFILCENTPME, L.CDTIPOCARD, L.CDFILIALORI, L.CDSERVFILIORI, L.VRPERCRECE, 'N', "
        "SO.NMSERVICO, FO.NMFILIAL, T.NMTIPOCARD, FC.NMFILIAL FROM SERVICO S "
        "LEFT JOIN PERCRECESERV L ON L.CDFILIAL = S.CDFILIAL AND L.CDSERVFILI = S.CDSERVFILI "
        "AND L.CDFILAUXPRAT = ? AND L.CDPRATO = ? "
        "LEFT JOIN SERVICO SO ON SO.CDFILIAL = L.CDFILIALORI AND SO.CDSERVFILI = L.CDSERVFILIORI "
        "LEFT JOIN FILIAL FO ON FO.CDFILIAL = L.CDFILIALORI "
        "LEFT JOIN TIPOCARD T ON T.CDFILCENTPME = L.CDFILCENTPME AND T.CDTIPOCARD = L.CDTIPOCARD "
        "LEFT JOIN FILIAL FC ON FC.CDFILIAL = L.CDFILCENTPME "
        "WHERE S.CDFILIAL = ?");
    QVariantList valores{prato.dono, prato.prato, filial};
    if (!grupo.isEmpty()) {
        sql += QStringLiteral(" AND S.CDGRUPSERV = ?");
        valores << grupo;
    }
    sql += QStringLiteral(" ORDER BY S.CDSERVFILI");
    return QVariant::fromValue(call.select(sql, valores, defs));
}

QVariant PercentualReceita::GetReceitasPer(Call& call) const
{
    const ChavePrato prato = pratoDe(call, 0, 1);
    const LugarReceita servico =
        LugarReceita::de(QStringLiteral("S"), call.text(2), call.text(3), {}, {}, QStringLiteral("destino"));
    return QVariant::fromValue(servico.receita(call, prato));
}

QVariant PercentualReceita::GetReceitasPerVirtual(Call& call) const
{
    const ChavePrato prato = pratoDe(call, 0, 1);
    const double percentual = percentualServico(call.number(2));
    const LugarReceita origem =
        LugarReceita::de(call.text(3), call.text(6), call.text(7), call.text(4), call.text(5), QStringLiteral("origem"));
    verificaOrigemServico(call, origem);
    return QVariant::fromValue(receitaEscalada(origem.receita(call, prato), percentual));
}

QVariant PercentualReceita::GetProdInativReceita(Call& call) const
{
    const ChavePrato prato = pratoDe(call, 1, 2);
    const LugarReceita origem =
        LugarReceita::de(call.text(0), call.text(5), call.text(6), call.text(3), call.text(4), QStringLiteral("origem"));
    const QString filial = framework::Ajusta(call.text(7), 4);
    return QVariant::fromValue(origem.produtosInativosEm(call, prato, filial));
}

void PercentualReceita::AplicaPercentualReceita(Call& call) const
{
    const QString chave = call.text(0).trimmed();
    const qsizetype separador = chave.indexOf(u'_');
    if (separador <= 0 || separador == chave.size() - 1)
        throw Refusal(QStringLiteral("Chave de prato inválida: \"%1\".").arg(chave));
    QString dono = chave.left(separador).trimmed().toUpper();
    if (dono != u"P")
        dono = framework::Ajusta(dono, 4);
    const ChavePrato prato{dono, chave.mid(separador + 1).trimmed()};
    call.setArg(0, prato.dono + u'_' + prato.prato);
    const QList<Alteracao> lista = alteracoes(call.packet(1));
    if (lista.isEmpty())
        return;
    if (!call.value("SELECT 1 FROM PRATO WHERE CDFILAUXPRAT = ? AND CDPRATO = ?", {prato.dono, prato.prato}).isValid())
        throw Refusal(QStringLiteral("Prato %1 não cadastrado.").arg(prato.prato));
    verificaAlteracoes(call, prato, lista);

    // Each origin is read once, however many services take it; each branch's line once.
    QHash<QString, framework::DataPacket> receitas;
    QHash<QString, QHash<QString, QString>> inativos;
    std::vector<LugarReceita> destinos; // owns what lugares points to
    destinos.reserve(size_t(lista.size()));
    framework::DataPacket novas(ingrediente::camposNomeados());
    QVector<int> linhas;
    QVector<const LugarReceita*> lugares;
    for (const Alteracao& a : lista) {
        destinos.push_back(LugarReceita::de(QStringLiteral("S"), a.filial, a.servico, {}, {}, QStringLiteral("destino")));
        const LugarReceita* destino = &destinos.back();
        if (!a.marcado)
            continue;
        const LugarReceita& origem = *a.origem;
        const QString chaveOrigem = origem.letra() + u'|' + origem.central() + u'|' + origem.tipoCard() + u'|'
                                    + origem.filial() + u'|' + origem.servico();
        auto receita = receitas.find(chaveOrigem);
        if (receita == receitas.end()) {
            verificaOrigemServico(call, origem);
            receita = receitas.insert(chaveOrigem, origem.receita(call, prato));
        }
        if (receita->rowCount() == 0)
            throw Refusal(QStringLiteral("Receita de origem informada não existe no prato %1 (%2, origem do %3).")
                              .arg(prato.prato, origem.descricao(), a.descricao()));
        auto fora = inativos.find(a.filial);
        if (fora == inativos.end())
            fora = inativos.insert(a.filial, destino->produtosInativos(call));
        const framework::DataPacket nova = receitaEscalada(*receita, a.percentual);
        const int nome = nova.rows.indexOf(QStringLiteral("NMPRODUTO"));
        for (int r = 0; r < nova.rowCount(); ++r) {
            const QString produto = nova.rows.text(r, ingrediente::Produto);
            if (fora->contains(produto))
                throw Refusal(QStringLiteral("Produto %1 da receita de origem do %2 não está ativo na filial %3.")
                                  .arg(fora->value(produto), a.descricao(), a.filial));
            if (quantidadeZerada(nova.rows, r))
                throw Refusal(QStringLiteral("O percentual do %1 produz quantidades iguais a zero na receita (produto "
                                             "%2).")
                                  .arg(a.descricao(), nova.rows.text(r, nome)));
            const int linha = novas.rows.appendRow();
            novas.rows.copyRow(linha, nova.rows, r);
            linhas << linha;
            lugares << destino;
        }
    }

    LugarReceita::substituiIngredientes(call, prato, novas.rows, linhas, lugares);

    QList<PercentualDeServico> percentuais;
    for (const Alteracao& a : lista)
        percentuais.append({a.filial, a.servico, a.marcado ? &*a.origem : nullptr, a.percentual});
    gravaPercentuais(call, prato, percentuais);
}

void RdmReceitaPadrao::registraPercentual()
{
    query<RdmReceitaPadrao>("GetServicosPercentual", &PercentualReceita::GetServicosPercentual);
    query<RdmReceitaPadrao>("GetReceitasPer", &PercentualReceita::GetReceitasPer);
    query<RdmReceitaPadrao>("GetReceitasPerVirtual", &PercentualReceita::GetReceitasPerVirtual);
    query<RdmReceitaPadrao>("GetProdInativReceita", &PercentualReceita::GetProdInativReceita);
    update<RdmReceitaPadrao>("AplicaPercentualReceita", &PercentualReceita::AplicaPercentualReceita);
}

} // namespace appserver
