#include "batch/Usage.h"

QString UsageText()
{
    return QStringLiteral("Utilisation : quilvanor [action]\n"
                          "Sans action, le programme ouvre sa fenêtre principale.\n"
                          "\n"
                          "Actions sans fenêtre (pour une tâche planifiée) :\n"
                          "  --synchroniser [--depuis JJ/MM/AAAA]\n"
                          "      synchronise les paiements : ceux du portail famille sont enregistrés dans KORVA8,\n"
                          "      puis ceux de KORVA8 sont envoyés au portail, à partir de la date donnée ou, sans\n"
                          "      --depuis, de la date de la dernière synchronisation gardée dans quilvanor.ini.\n"
                          "      Le détail s'affiche et s'écrit dans cantine-synchronisation-jj-mm-aaaa-hh.mm.txt\n"
                          "      dans le dossier de travail, à côté des journaux des requêtes.\n"
                          "  --exporter-roles N[,N...]\n"
                          "      envoie au portail famille les rôles N, dans cet ordre, puis les enfants, les\n"
                          "      clients et les groupes de clients ; les réponses du portail s'affichent.\n"
                          "  --aide, --help   affiche cette aide\n"
                          "  --version        affiche la version du programme\n"
                          "\n"
                          "Code de sortie : 0 réussite, 1 erreur (message sur la sortie d'erreur),\n"
                          "2 ligne de commande incorrecte.");
}

QString VersionText()
{
    return QStringLiteral("quilvanor " QUILVANOR_VERSION);
}
