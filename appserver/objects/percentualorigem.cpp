#include "percentualorigem.h"

#include "appserver/errors.h"
#include "appserver/sqlpacket.h"
#include "db/database.h"
#include "escalareceita.h"
#include "framework/core/consiste.h"
#include "framework/data/rowstore.h"
#include "lugarreceita.h"

namespace appserver {

namespace {

// "?, ?, ..." for n values.
QString marcas(qsizetype n)
{
    QStringList m;
    m.fill(QStringLiteral("?"), n);
    return m.join(QStringLiteral(", "));
}

} // namespace

void gravaPercentuais(Call& call, const ChavePrato& prato, const QList<PercentualDeServico>& lista)
{
    const int limite = db::isPostgres(call.db()) ? 30000 : 999;
    QStringList filiais;
    QHash<QString, QVariantList> servicos;
    for (const PercentualDeServico& a : lista) {
        if (!servicos.contains(a.filial))
            filiais << a.filial;
        servicos[a.filial] << a.servico;
    }
    for (const QString& filial : std::as_const(filiais)) {
        const QVariantList& todos = servicos[filial];
        for (qsizetype inicio = 0; inicio < todos.size(); inicio += limite - 3) {
            const QVariantList parte = todos.mid(inicio, limite - 3);
            executeChange(call.db(),
                    QStringLiteral("DELETE FROM PERCRECESERV WHERE CDFILIAL = ? AND CDFILAUXPRAT = ? AND CDPRATO = ? "
                                   "AND CDSERVFILI IN (%1)")
                        .arg(marcas(parte.size())),
                    QVariantList{filial, prato.dono, prato.prato} + parte);
        }
    }

    constexpr int porLinha = 10;
    const auto ouNulo = [](const QString& codigo) { return codigo.isEmpty() ? QVariant() : QVariant(codigo); };
    QList<QVariantList> linhas;
    for (const PercentualDeServico& a : lista)
        if (a.origem) {
            const LugarReceita& o = *a.origem;
            linhas.append({a.filial, a.servico, prato.dono, prato.prato, o.letra(), ouNulo(o.central()),
                           ouNulo(o.tipoCard()), ouNulo(o.filial()), ouNulo(o.servico()), a.percentual});
        }
    const QString tupla = u'(' + marcas(porLinha) + u')';
    const qsizetype porComando = limite / porLinha;
    for (qsizetype inicio = 0; inicio < linhas.size(); inicio += porComando) {
        const QList<QVariantList> parte = linhas.mid(inicio, porComando);
        QStringList tuplas;
        QVariantList valores;
        for (const QVariantList& linha : parte) {
            tuplas << tupla;
            valores += linha;
        }
        executeChange(call.db(),
                QStringLiteral("INSERT INTO PERCRECESERV (CDFILIAL, CDSERVFILI, CDFILAUXPRAT, CDPRATO, IDORIGEMRECE, "
                               "CDFILCENTPME, CDTIPOCARD, CDFILIALORI, CDSERVFILIORI, VRPERCRECE) VALUES %1")
                    .arg(tuplas.join(QStringLiteral(", "))),
                valores);
    }
}


QString nomeServico(const QString& filial, const QString& servico)
{
    return QStringLiteral("serviço %1 da filial %2").arg(servico, filial);
}

double percentualServico(double percentual, const QString& servico)
{
    const double arredondado = framework::RoundDec(percentual, 2);
    if (!(arredondado > 0))
        throw Refusal(servico.isEmpty()
                          ? QStringLiteral("Valor percentual deve ser maior que zero.")
                          : QStringLiteral("Valor percentual do %1 deve ser maior que zero.").arg(servico));
    return arredondado;
}

void verificaOrigemServico(Call& call, const LugarReceita& origem)
{
    origem.verificaCadastro(call);
    if (origem.nivel() != LugarReceita::Nivel::Servico)
        return;
    const QString tipo = call.value("SELECT IDTIPOSERV FROM SERVICO WHERE CDFILIAL = ? AND CDSERVFILI = ?",
                                    {origem.filial(), origem.servico()})
                             .toString();
    if (tipo != u"N" && tipo != u"D")
        throw Refusal(QStringLiteral("Somente serviço do tipo restaurante ou do tipo hospitalar pode ser utilizado "
                                     "como origem (%1).")
                          .arg(nomeServico(origem.filial(), origem.servico())));
}

framework::DataPacket receitaEscalada(framework::DataPacket receita, double percentual)
{
    const EscalaReceita escala = EscalaReceita::percentual(percentual);
    for (int r = 0; r < receita.rowCount(); ++r)
        escala.aplica(receita.rows, r);
    return receita;
}

bool quantidadeZerada(const framework::RowStore& linhas, int linha)
{
    for (int coluna : {int(ingrediente::Quantidade), int(ingrediente::Requisicao)})
        if (linhas.isNull(linha, coluna) || !(linhas.number(linha, coluna) > 0))
            return true;
    return false;
}

} // namespace appserver
