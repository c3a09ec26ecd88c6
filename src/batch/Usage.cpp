#include "batch/Usage.h"

#include <QDir>
#include <QFileInfo>

#include "common/SettingsFile.h"
#include "portal/PortalAddress.h"

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
                          "  --etat\n"
                          "      dit comment se sont terminées les dernières exécutions de chaque tâche et depuis\n"
                          "      quand elles n'ont pas réussi (gardé dans quilvanor.etat, à côté de quilvanor.ini) ;\n"
                          "      code de sortie 0 si tout va bien, 1 si une exécution planifiée a échoué ou si une\n"
                          "      tâche planifiée n'a pas réussi depuis trop longtemps (3 jours pour la\n"
                          "      synchronisation, 40 pour l'envoi des rôles).\n"
                          "  --aide, --help   affiche cette aide\n"
                          "  --version        affiche la version du programme, l'adresse du portail et le proxy\n"
                          "\n"
                          "Une seule exécution qui envoie ou enregistre des paiements ou des rôles à la fois :\n"
                          "une seconde, lancée pendant la première (fenêtre comprise), est refusée aussitôt.\n"
                          "\n"
                          "Code de sortie : 0 réussite, 1 erreur (message sur la sortie d'erreur),\n"
                          "2 ligne de commande incorrecte, 3 une autre exécution est en cours (rien n'a été fait).");
}

QString VersionText()
{
    return QStringLiteral("quilvanor " QUILVANOR_VERSION);
}

QString PortalInForceText()
{
    const PortalAddress address = PortalAddressInForce();
    QString text = QStringLiteral("Portail : ") + address.baseUrl
        + (address.fromSettingsFile
                  ? QStringLiteral(" (section [Portail] de %1)").arg(QFileInfo(SettingsFilePath()).fileName())
                  : QStringLiteral(" (adresse intégrée au programme)"));
    if (!address.authorityFile.isEmpty())
        text += QStringLiteral("\nAutorité de certification : ") + QDir::toNativeSeparators(address.authorityFile);
    const ProxyRoute proxy = ProxyRouteFor(address);
    text += QStringLiteral("\nProxy : %1 (%2)").arg(proxy.shown(), proxy.origin);
    if (!proxy.user.isEmpty())
        text += QStringLiteral(", identifiant « %1 »").arg(proxy.user);
    return text;
}
