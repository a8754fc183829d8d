#include "migrations.h"

// What the application servers share so that several of them on one database act as one: the
// operators' sessions (a digest of each token, never the token), the answers of recent updates
// by request id, the wrong-password attempts by operator and client address, and the
// supervisors' authorisations given to a session. Times are milliseconds since 1970 (UTC), so
// that every daemon compares them alike on either database. Rows past their time are swept.

namespace db {

Migration schemaV7()
{
    return {7, "Sessões, requisições, tentativas de senha e autorizações dos servidores de aplicação", {
        R"(CREATE TABLE SESSAOSERVIDOR (
            DSDIGESTO VARCHAR(64) NOT NULL PRIMARY KEY,
            CDOPERADOR VARCHAR(10) NOT NULL,
            DTCRIACAO BIGINT NOT NULL,
            DTULTIMOUSO BIGINT NOT NULL,
            DTEXPIRACAO BIGINT NOT NULL))",
        R"(CREATE TABLE REQUISICAOSERVIDOR (
            CDOPERADOR VARCHAR(10) NOT NULL,
            IDREQUISICAO VARCHAR(64) NOT NULL,
            NMMETODO VARCHAR(200) NOT NULL,
            DTREQUISICAO BIGINT NOT NULL,
            TXRESULTADO TEXT,
            TXARGUMENTOS TEXT,
            PRIMARY KEY (CDOPERADOR, IDREQUISICAO, NMMETODO)))",
        "CREATE INDEX REQUISICAOSERVIDOR_DATA ON REQUISICAOSERVIDOR (DTREQUISICAO)",
        R"(CREATE TABLE TENTATIVASENHA (
            CDOPERADOR VARCHAR(10) NOT NULL,
            DSORIGEM VARCHAR(64) NOT NULL,
            NRFALHAS INTEGER NOT NULL,
            NRESPERA BIGINT NOT NULL,
            DTLIBERACAO BIGINT NOT NULL,
            DTULTIMA BIGINT NOT NULL,
            PRIMARY KEY (CDOPERADOR, DSORIGEM)))",
        R"(CREATE TABLE AUTORIZACAOSESSAO (
            IDAUTORIZACAO VARCHAR(32) NOT NULL PRIMARY KEY,
            DSSESSAO VARCHAR(200) NOT NULL,
            NRTIPOAUTORIZA INTEGER NOT NULL,
            CDOPERACAO VARCHAR(40) NOT NULL,
            CDSUPERVISOR VARCHAR(10) NOT NULL,
            DTEXPIRACAO BIGINT NOT NULL))",
        "CREATE INDEX AUTORIZACAOSESSAO_SESSAO ON AUTORIZACAOSESSAO (DSSESSAO, NRTIPOAUTORIZA, CDOPERACAO)",
    }};
}

} // namespace db
