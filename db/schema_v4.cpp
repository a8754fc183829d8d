#include "migrations.h"

// Branch groupings: named sets of branches that reports and lists can be restricted to.

namespace db {

Migration schemaV4()
{
    return {4, "Agrupamentos de filiais", {
        R"(CREATE TABLE GRUPFILI (
            CDGRUPFILI VARCHAR(10) NOT NULL PRIMARY KEY,
            NMGRUPFILI VARCHAR(40) NOT NULL))",
        R"(CREATE TABLE FILIGRUPFILI (
            CDGRUPFILI VARCHAR(10) NOT NULL REFERENCES GRUPFILI,
            CDFILIAL VARCHAR(4) NOT NULL REFERENCES FILIAL,
            PRIMARY KEY (CDGRUPFILI, CDFILIAL)))",
    }};
}

} // namespace db
