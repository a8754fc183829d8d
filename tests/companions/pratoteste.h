#pragma once

// A small dish with figures worked out by hand, for the cost and nutrition queries.
//
// Dish P/5010010099 "Prato de teste", products T01..T03 (stock unit KG), cost type 3, reference
// date and processing date 15/07/2026 (July: position 7 of the season patterns).
//
// Standard recipe                      price (central 0001)        pattern        class in July
//   T01 gross 0,2   nutrient 0,15      10 from Jan, 12,5 from Jul  "333333222111"  2 start of season
//   T02 gross 0,1   nutrient 0,08      4 from Jan                  "1111113"       3 in season
//   T03 gross 0,0500049 nutrient 0,05  8,0000049 from Jan          "33"            none (too short)
// Costs in the dish: 12,5 x 0,2 = 2,5; 4 x 0,1 = 0,4; 8,00000 x 0,05000 = 0,4 (each factor rounded to
// 5 decimals first). Per person 3,3; season share 0,4/3,3 + (2,5/3,3)/2 = 50,00 %.
// Contents per 100 KG: T01 100000 kcal and 5000 g protein; T02 200000 kcal; T03 nothing.
// Nutrients: 0,15 x 1000 + 0,08 x 2000 = 310 kcal; 0,15 x 50 = 7,5 g protein;
// NDPCal = 7,5 x 4 x 0,6 / 310 = 5,81 %.
//
// Branch 0002 recipe: T01 gross 0,3, nutrient 0,2 -> cost 3,75 (central price), 200 kcal, 10 g, NDPCal 12,00.
// Branch 0004 has its own price of T01 from June, 20: its recipe T01 gross 0,3 costs 6.
// Service 0002/00001 recipe: T02 gross 0,5 -> cost 2, season 100 %.
// Menu type 0001/HOSPITALAR recipe: T03 only -> no nutrients.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace pratoteste {

inline const char* const Prato = "5010010099";

inline void cria(QSqlDatabase db)
{
    const QStringList statements{
        "INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE, CDNVPRODUTO, CDPRODESTO) VALUES "
        "('T01', '5030019991', 'Produto A', 'KG', '4', 'T01'), ('T02', '5030019992', 'Produto B', 'KG', '4', 'T02'), "
        "('T03', '5030019993', 'Produto C', 'KG', '4', 'T03')",
        "INSERT INTO PRECOPROD (CDFILIAL, CDPRODUTO, NRTIPOCUSTO, DTPRECO, VRPRECO) VALUES "
        "('0001', 'T01', 3, '2026-01-01', 10), ('0001', 'T01', 3, '2026-07-01', 12.5), "
        "('0001', 'T01', 1, '2026-07-01', 99), ('0001', 'T02', 3, '2026-01-01', 4), "
        "('0001', 'T03', 3, '2026-01-01', 8.0000049), ('0004', 'T01', 3, '2026-06-01', 20)",
        "INSERT INTO PRODSAFRA (CDPRODUTO, IDINTESAFR) VALUES ('T01', '333333222111'), ('T02', '1111113'), ('T03', '33')",
        "INSERT INTO PRODNUTR (CDPRODUTO, CDNUTRIENTE, QTNUTRIENTE) VALUES "
        "('T01', '001', 100000), ('T01', '002', 5000), ('T02', '001', 200000)",
        "INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES "
        "('P', '5010010099', 'Prato de teste', '4', 'KG')",
        "INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, VRPEFATCOCPR, VRPEFATCORPR, "
        "QTBRUTAPRUNR, QTBRUTAPR, QTCALCNUTRPR) VALUES "
        "('P', '5010010099', 'T01', 0.15, 'KG', 0, 25, 0.2, 0.2, 0.15), "
        "('P', '5010010099', 'T02', 0.08, 'KG', 0, 20, 0.1, 0.1, 0.08), "
        "('P', '5010010099', 'T03', 0.05, NULL, 0, 0, 0.0500049, 0.0500049, 0.05)",
        "INSERT INTO RECEFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECLOC, QTBRUTALO, QTCALCNUTRLO) VALUES "
        "('0002', 'P', '5010010099', 'T01', 0.2, 0.3, 0.2), ('0004', 'P', '5010010099', 'T01', 0.2, 0.3, 0.2)",
        "INSERT INTO RECESERV (CDFILIAL, CDSERVFILI, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECSER, QTBRUTASE, "
        "QTCALCNUTRSE) VALUES ('0002', '00001', 'P', '5010010099', 'T02', 0.4, 0.5, 0.4)",
        "INSERT INTO RECETPCARD (CDFILCENTPME, CDTIPOCARD, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRATTP, QTBRUTAPRTP, "
        "QTCALCNUTRPRTP) VALUES ('0001', 'HOSPITALAR', 'P', '5010010099', 'T03', 1, 1, 1)",
    };
    for (const QString& sql : statements) {
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
    }
}

} // namespace pratoteste
