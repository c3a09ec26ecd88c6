#include "portal/FonctionsVendrolles.h"

#include "common/Cp1252.h"
#include "portal/FormEncoding.h"
#include "portal/HttpClient.h"
#include "portal/PortalAddress.h"

const char* const kPortalExportPath = "/web/index.php/batch/export";
const char* const kPortalImportPaiementPath = "/web/index.php/batch/importPaiement";
const char* const kPortalImportClientFactureNumeriquePath = "/web/index.php/batch/importClientFactureNumerique";
const char* const kPortalToken = "31K5D907R640B28M3";

namespace {

const QString kContentType = QStringLiteral("application/x-www-form-urlencoded");
const QString kUserAgent = QStringLiteral("Mozilla/5.0 (compatible; Test)");

// The form line as the bytes that go on the wire, encoded in place: a batch
// can be tens of megabytes.
QByteArray FormLineBytes(const QString& query)
{
    QByteArray line = PortalFormLineStart();
    AppendFormEncoded(line, query);
    return line;
}

} // namespace

QString PortalBaseUrl()
{
    return PortalAddressInForce().baseUrl;
}

void SetPortalBaseUrl(const QString& baseUrl)
{
    SetBuiltInPortalBaseUrl(baseUrl);
}

QString PortalFormLine(const QString& query)
{
    return QString::fromLatin1(FormLineBytes(query));
}

QByteArray PortalFormLineStart()
{
    return QByteArrayLiteral("securiter=") + kPortalToken + QByteArrayLiteral("&query=");
}

QString PortalPost(const QString& endpointPath, const QString& query)
{
    return PortalPostFormLine(endpointPath, FormLineBytes(query));
}

QString PortalPostFormLine(const QString& endpointPath, const QByteArray& formLine)
{
    const QList<QByteArray> form { formLine };
    const PortalAddress address = PortalAddressInForce();
    HttpClient client;
    client.setRequestContentType(kContentType);
    client.setRequestUserAgent(kUserAgent);
    client.setAuthorityFile(address.authorityFile);
    QByteArray sink;
    client.Post(address.baseUrl + endpointPath, form, sink);
    return Cp1252::decode(sink);
}

QString PortalExport(const QString& batch)
{
    return PortalPost(QLatin1String(kPortalExportPath), batch);
}

QString PortalImportPaiement(const QDate& startDate)
{
    return PortalPost(QLatin1String(kPortalImportPaiementPath), startDate.toString(QStringLiteral("yyyy-MM-dd")));
}

QString PortalImportClientFactureNumerique()
{
    return PortalPost(QLatin1String(kPortalImportClientFactureNumeriquePath), QString());
}

QString FormEncodeValue(const QString& text)
{
    QByteArray encoded;
    AppendFormEncoded(encoded, text);
    return QString::fromLatin1(encoded);
}
