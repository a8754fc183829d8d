#include "rdmimpprato.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "escalareceita.h"
#include "framework/core/consiste.h"
#include "lugarreceita.h"

#include <cmath>
#include <optional>

// The copy's rules (ExportaPratos), all inside the call's one transaction:
// - Only the rows of the dish grid marked "S" are copied; a dish the grid lists twice counts once.
// - "Acrescentar" (0) adds the origin's ingredients that the destination recipe lacks and keeps
//   the destination's own rows as they are; "Sobrepor" (1) replaces the destination's list of the
//   dish by the origin's. A dish without ingredients at the origin is left alone.
// - A PROPORCAO other than 1 must be the ratio of the dish's new quantity per person to the one
//   the grid was loaded with (the form's own rule); it scales every copied quantity with
//   EscalaReceita and the destination's quantity per person becomes the new one.
// - Products taken out of the destination branch's line are not copied; the answer names them.
// - A local dish belongs to the working branch's tree and goes only to levels of its own branch.

namespace appserver {

namespace {

struct Copia {
    ChavePrato chave;
    double quantidade = 0; // the new quantity per person, when escala is set
    std::optional<EscalaReceita> escala;
};

int coluna(const framework::DataPacket& grade, const char* nome)
{
    const int col = grade.rows.indexOf(QString::fromLatin1(nome));
    if (col < 0)
        throw Refusal(QStringLiteral("Os pratos enviados não trazem a coluna %1.").arg(QLatin1String(nome)));
    return col;
}

bool mesmoValor(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)}); }

// The marked rows of the grid, in its order, with the scaling each asks for.
QList<Copia> pratosMarcados(const framework::DataPacket& grade)
{
    const int marcado = coluna(grade, "IDMARCADO"), dono = coluna(grade, "CDFILAUXPRAT"),
              prato = coluna(grade, "CDPRATO"), quantidade = coluna(grade, "QUANTIDADE"),
              proporcao = coluna(grade, "PROPORCAO");
    QList<Copia> copias;
    QSet<ChavePrato> vistos;
    for (int r = 0; r < grade.rowCount(); ++r) {
        const framework::RowStatus status = grade.rowStatus(r);
        if (status == framework::RowStatus::Inserted)
            throw Refusal(QStringLiteral("A lista de pratos não admite pratos incluídos."));
        if (status == framework::RowStatus::Deleted || grade.rows.text(r, marcado) != u"S")
            continue;
        Copia copia;
        copia.chave = {grade.rows.text(r, dono).trimmed(), grade.rows.text(r, prato).trimmed()};
        if (vistos.contains(copia.chave))
            continue;
        vistos.insert(copia.chave);
        const double fator = grade.rows.isNull(r, proporcao) ? 1.0 : grade.rows.number(r, proporcao);
        if (!mesmoValor(fator, 1.0)) {
            const double nova = grade.rows.number(r, quantidade);
            const double carregada =
                status == framework::RowStatus::Modified ? grade.originals.number(r, quantidade) : nova;
            if (!(carregada > 0) || !(nova > 0) || !mesmoValor(fator, nova / carregada))
                throw Refusal(QStringLiteral("A proporção do prato %1 não corresponde à mudança da sua quantidade por "
                                             "pessoa.")
                                  .arg(copia.chave.prato));
            copia.escala.emplace(fator);
            copia.quantidade = nova;
        }
        copias << copia;
    }
    return copias;
}

// Every dish must be registered and belong to the working branch's tree; a local dish goes only
// to its own branch's recipes. Gives the dishes' names.
QHash<ChavePrato, QString> verificaPratos(Call& call, const QList<ChavePrato>& pratos, const QString& filialTrabalho,
                                          const LugarReceita& destino)
{
    const QHash<ChavePrato, QString> nomes = nomesPratos(call, pratos);
    const bool filialDestino =
        destino.nivel() == LugarReceita::Nivel::Filial || destino.nivel() == LugarReceita::Nivel::Servico;
    for (const ChavePrato& p : pratos) {
        if (!nomes.contains(p))
            throw Refusal(QStringLiteral("Prato %1 não cadastrado.").arg(p.prato));
        if (p.dono == u"P")
            continue;
        if (p.dono != filialTrabalho)
            throw Refusal(QStringLiteral("O prato %1 é local da filial %2 e não pertence à filial %3.")
                              .arg(p.prato, p.dono, filialTrabalho));
        if (filialDestino && destino.filial() != p.dono)
            throw Refusal(QStringLiteral("O prato %1 é local da filial %2: sua receita não pode ser copiada para a "
                                         "filial %3.")
                              .arg(p.prato, p.dono, destino.filial()));
    }
    return nomes;
}

// The recipes of dishes at a new quantity per person: read here, scaled as the recipe pages
// round, written less what the destination's line leaves out (and, when adding, less what the
// destination has); the destination then takes the new quantity per person.
void copiaEscalados(Call& call, const LugarReceita& origem, const LugarReceita& destino,
                    const QList<ChavePrato>& escalados, const QHash<ChavePrato, const Copia*>& porPrato,
                    const QHash<QString, QString>& inativos, bool sobrepor)
{
    if (escalados.isEmpty())
        return;
    framework::DataPacket linhas = origem.ingredientes(call, escalados);
    QSet<LugarReceita::ProdutoPrato> existentes;
    if (!sobrepor)
        for (const LugarReceita::ProdutoPrato& p : destino.produtos(call, escalados))
            existentes.insert(p);
    QVector<int> grava;
    for (int r = 0; r < linhas.rowCount(); ++r) {
        const LugarReceita::ProdutoPrato linha{
            {linhas.rows.text(r, ingrediente::Dono), linhas.rows.text(r, ingrediente::Prato)},
            linhas.rows.text(r, ingrediente::Produto)};
        if (inativos.contains(linha.produto) || existentes.contains(linha))
            continue;
        porPrato.value(linha.prato)->escala->aplica(linhas.rows, r);
        grava << r;
    }
    destino.gravaIngredientes(call, linhas.rows, grava);
    for (const ChavePrato& p : escalados)
        destino.gravaQuantidadePessoa(call, p, porPrato.value(p)->quantidade);
}

} // namespace

RdmImpPrato::RdmImpPrato() : ServerObject("Pla01309.rdmImpPrato")
{
    query("GetPratos", &RdmImpPrato::GetPratos);
    update("ExportaPratos", &RdmImpPrato::ExportaPratos);
}

QVariant RdmImpPrato::GetPratos(Call& call) const
{
    static const auto defs =
        fields("IDMARCADO:T1 CDFILAUXPRAT:T4 CDPRATO:T10 NMPRATO:T40 QUANTIDADE:D SGUNIDADE:T10 PROPORCAO:D");
    const QString filial = framework::Ajusta(call.text(0), 4);
    const QString inicial = call.text(1).trimmed();
    const QString final = call.text(2).trimmed();
    bool numero = false;
    const int niveis = call.text(3).trimmed().toInt(&numero);
    if (!numero || niveis <= 0)
        throw Refusal(QStringLiteral("Número de níveis da máscara de pratos inválido: \"%1\".").arg(call.text(3)));
    const LugarReceita origem =
        LugarReceita::de(call.text(4), call.text(7), call.text(8), call.text(5), call.text(6), QStringLiteral("origem"));
    call.setArg(4, origem.letra());
    if (inicial.isEmpty() || final.isEmpty())
        throw Refusal(QStringLiteral("O prato inicial e o prato final devem ser informados."));

    const QString sql =
        QStringLiteral("SELECT 'S', P.CDFILAUXPRAT, P.CDPRATO, P.NMPRATO, D.%1, P.SGUNIDADE, 1.0 FROM PRATO P "
                       "LEFT JOIN %2 D ON %3D.CDFILAUXPRAT = P.CDFILAUXPRAT AND D.CDPRATO = P.CDPRATO "
                       "WHERE P.CDFILAUXPRAT IN ('P', ?) AND P.CDNVPRATO = ? AND P.CDPRATO >= ? "
                       "AND (P.CDPRATO <= ? OR SUBSTR(P.CDPRATO, 1, ?) = ?) "
                       "AND EXISTS (SELECT 1 FROM %4 R WHERE %5R.CDFILAUXPRAT = P.CDFILAUXPRAT AND R.CDPRATO = P.CDPRATO) "
                       "ORDER BY P.CDPRATO, P.CDFILAUXPRAT")
            .arg(origem.colunaQuantidadePessoa(), origem.tabelaDados(), origem.condicaoChave(QStringLiteral("D")),
                 origem.tabelaIngredientes(), origem.condicaoChave(QStringLiteral("R")));
    QVariantList valores = origem.valoresChave();
    valores << filial << QString::number(niveis) << inicial << final << final.size() << final;
    valores += origem.valoresChave();
    return QVariant::fromValue(call.select(sql, valores, defs));
}

QString RdmImpPrato::ExportaPratos(Call& call) const
{
    const QString filialTrabalho = framework::Ajusta(call.text(0), 4);
    const framework::DataPacket grade = call.packet(1);
    const LugarReceita origem = LugarReceita::de(call.text(6), call.text(2), call.text(4), call.text(11), call.text(12),
                                                 QStringLiteral("origem"));
    const LugarReceita destino = LugarReceita::de(call.text(7), call.text(3), call.text(5), call.text(9), call.text(10),
                                                  QStringLiteral("destino"));
    call.setArg(6, origem.letra());
    call.setArg(7, destino.letra());
    const qint64 tipo = call.integer(8);
    if (tipo != 0 && tipo != 1)
        throw Refusal(QStringLiteral("Tipo de importação inválido: %1 (0 acrescenta, 1 sobrepõe).").arg(tipo));
    const bool sobrepor = tipo == 1;
    if (origem == destino)
        throw Refusal(QStringLiteral("A origem e o destino são a mesma receita (%1).").arg(origem.descricao()));
    destino.verificaCadastro(call);

    const QList<Copia> copias = pratosMarcados(grade);
    if (copias.isEmpty())
        throw Refusal(QStringLiteral("Nenhum prato foi marcado para a revisão de receitas."));
    QList<ChavePrato> pratos;
    QHash<ChavePrato, const Copia*> porPrato;
    for (const Copia& copia : copias) {
        pratos << copia.chave;
        porPrato.insert(copia.chave, &copia);
    }
    const QHash<ChavePrato, QString> nomes = verificaPratos(call, pratos, filialTrabalho, destino);

    // The origin's products, dish by dish: which dishes have a recipe there, and what the
    // destination's line leaves out.
    const QList<LugarReceita::ProdutoPrato> produtos = origem.produtos(call, pratos);
    const QHash<QString, QString> inativos = destino.produtosInativos(call);
    QSet<ChavePrato> comLinhas;
    QHash<ChavePrato, QStringList> deixados;
    for (const LugarReceita::ProdutoPrato& p : produtos) {
        comLinhas.insert(p.prato);
        if (const auto inativo = inativos.constFind(p.produto); inativo != inativos.cend())
            deixados[p.prato] << *inativo;
    }
    QList<ChavePrato> copiados, inteiros, escalados; // dishes with a recipe at the origin, in the grid's order
    for (const ChavePrato& p : std::as_const(pratos))
        if (comLinhas.contains(p)) {
            copiados << p;
            (porPrato.value(p)->escala ? escalados : inteiros) << p;
        }
    if (sobrepor)
        destino.apagaIngredientes(call, copiados);

    // Recipes copied as they are do not leave the database.
    destino.copiaIngredientes(call, origem, inteiros, !sobrepor);
    copiaEscalados(call, origem, destino, escalados, porPrato, inativos, sobrepor);

    if (deixados.isEmpty())
        return {};
    QStringList texto{QStringLiteral("Os produtos abaixo estão inativos na filial %1 e não foram copiados; o restante "
                                     "das receitas foi copiado.")
                          .arg(destino.filialProdutos()),
                      QString()};
    for (const ChavePrato& p : std::as_const(copiados))
        if (deixados.contains(p))
            texto << QStringLiteral("%1: %2").arg(nomes.value(p), deixados.value(p).join(QStringLiteral(", ")));
    return texto.join(u'\n');
}

} // namespace appserver
