#include "PortalEndpoints.h"

#include "FormFields.h"
#include "PortalDatabase.h"
#include "common/Cp1252.h"

#include <QString>

#include <cstdio>

namespace {

const char* const kToken = "31K5D907R640B28M3";
const char* const kExportPath = "/web/index.php/batch/export";
const char* const kImportPaiementPath = "/web/index.php/batch/importPaiement";
const char* const kClientFactureNumeriquePath = "/web/index.php/batch/importClientFactureNumerique";

HttpReply Status(int status, const char* reason, const QString& text)
{
    HttpReply reply;
    reply.status = status;
    reply.reason = reason;
    reply.body = Cp1252::encode(text).toStdString();
    return reply;
}

// A reply text of the portal, held in UTF-8, sent in Windows-1252.
HttpReply Text(const std::string& utf8)
{
    return Status(200, "OK", QString::fromStdString(utf8));
}

// The query field's Windows-1252 bytes as UTF-8 text for the database.
std::string QueryText(const std::string& body)
{
    const std::string bytes = FormField(body, "query").value_or(std::string());
    return Cp1252::decode(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

} // namespace

HttpReply PortalEndpoints::answer(const HttpRequest& request)
{
    const std::string path = request.target.substr(0, request.target.find('?'));
    const bool known = path == kExportPath || path == kImportPaiementPath || path == kClientFactureNumeriquePath;
    if (!known)
        return Status(404, "Not Found", QStringLiteral("Page introuvable"));
    if (request.method != "POST")
        return Status(405, "Method Not Allowed", QStringLiteral("Méthode non autorisée"));
    if (FormField(request.body, "securiter") != std::optional<std::string>(kToken))
        return Status(403, "Forbidden", QStringLiteral("Accès refusé"));

    if (path == kExportPath) {
        if (m_sink)
            return Text(std::string());
        const std::string error = m_database.runBatch(QueryText(request.body));
        if (!error.empty())
            std::fprintf(stderr, "portal-standin: batch stopped: %s\n", error.c_str());
        return Text(error);
    }
    if (path == kImportPaiementPath)
        return Text(m_database.portalPaymentsSince(QueryText(request.body)));
    return Text(m_database.digitalInvoiceClients());
}
