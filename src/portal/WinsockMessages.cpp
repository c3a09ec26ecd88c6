#include "portal/WinsockMessages.h"

#include "common/Errors.h"

namespace {

struct NumberedText {
    int number;
    const char* text; // UTF-8 source text
};

constexpr NumberedText kTexts[] = {
    { 10004, "Appel système interrompu." },
    { 10009, "Nombre de fichiers incorrect." },
    { 10013, "Accès refusé." },
    { 10014, "Adresse incorrecte." },
    { 10022, "Argument incorrect." },
    { 10024, "Trop de fichiers ouverts." },
    { 10035, "L'opération risquerait de bloquer. " },
    { 10036, "Opération en cours." },
    { 10037, "Opération déjà en cours." },
    { 10038, "Opération socket sur cible non-socket." },
    { 10039, "Adresse de destination requise." },
    { 10040, "Message trop long." },
    { 10041, "Type de protocole inapproprié pour le socket." },
    { 10042, "Option de protocole incorrecte." },
    { 10043, "Protocole non supporté." },
    { 10044, "Type de socket non supporté." },
    { 10045, "Opération non supportée sur un socket." },
    { 10046, "Famille de protocole non supportée." },
    { 10047, "Famille d'adresse non supportée par la famille de protocole." },
    { 10048, "Adresse déjà utilisée." },
    { 10049, "Impossible d'affecter l'adresse requise." },
    { 10050, "Le réseau est arrêté." },
    { 10051, "Le réseau est inaccessible." },
    { 10052, "Connexion interrompue ou réinitialisée par le réseau." },
    { 10053, "Le logiciel a provoqué l'interruption de la connexion." },
    { 10054, "Connexion réinitialisée par l'homologue (peer)." },
    { 10055, "Aucun espace tampon disponible." },
    { 10056, "Socket déjà connecté." },
    { 10057, "Le socket n'est pas connecté." },
    { 10058, "Envoi ou réception impossible après la fermeture du socket." },
    { 10059, "Références trop nombreuses, attribution impossible." },
    { 10060, "Délai de connexion dépassé." },
    { 10061, "Connexion refusée." },
    { 10062, "Trop de niveaux de liens symboliques." },
    { 10063, "Nom de fichier trop long." },
    { 10064, "Hôte arrêté." },
    { 10065, "Pas de route vers l'hôte." },
    { 10066, "Répertoire non vide" },
};

} // namespace

namespace WinsockMessages {

QString text(int number)
{
    for (const NumberedText& entry : kTexts) {
        if (entry.number == number)
            return QString::fromUtf8(entry.text);
    }
    return QString();
}

QString socketErrorMessage(int number)
{
    return QStringLiteral("Erreur de socket # %1\r\n%2").arg(number).arg(text(number));
}

QString cannotAllocateSocket()
{
    return QStringLiteral("Impossible d'allouer le socket.");
}

QString cannotBindAddressInUse()
{
    return QStringLiteral("Impossible d'établir une liaison avec le socket. "
                          "L'adresse et le port sont déjà utilisés.");
}

QString libraryNotLoaded(const QString& fileName)
{
    return QStringLiteral("%1 n'a pas pu être chargé.").arg(fileName);
}

QString startupFailed()
{
    return QStringLiteral("Erreur d'initialisation Winsock.");
}

} // namespace WinsockMessages

void ThrowSocketError(int number)
{
    throw SocketError(number, WinsockMessages::socketErrorMessage(number));
}
