#include "rolls/RollQueries.h"

RollQueries::RollQueries(AdoConnection* connection)
    : QueryRole(QStringLiteral("QueryRole"), connection)
    , QueryFacture(QStringLiteral("QueryFacture"), connection)
    , QueryItemFacture(QStringLiteral("QueryItemFacture"), connection)
    , QueryEnfant(QStringLiteral("QueryEnfant"), connection)
    , QueryClient(QStringLiteral("QueryClient"), connection)
    , QueryClientGroupe(QStringLiteral("QueryClientGroupe"), connection)
{
    QueryRole.SetSql(QStringLiteral("SELECT NumRole,DateFacture,DateDebPériode,DateFinPériode,DatePaiement,TitreRole "
                                    "FROM Role ORDER BY NumRole DESC"));
    QueryEnfant.SetSql(QStringLiteral("Select * from Enfant order by NumEnfant"));
    QueryClient.SetSql(QStringLiteral("Select * from Client order by NumClient"));
    QueryClientGroupe.SetSql(QStringLiteral("Select * from ClientGroupe order by NumClient"));
}

void RollQueries::OpenAllRolls()
{
    QueryRole.Close();
    QueryRole.SetSql(QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC"));
    QueryRole.Open();
}

void RollQueries::CloseRunQueries()
{
    QueryClientGroupe.Close();
    QueryClient.Close();
    QueryEnfant.Close();
    QueryItemFacture.Close();
    QueryFacture.Close();
}
