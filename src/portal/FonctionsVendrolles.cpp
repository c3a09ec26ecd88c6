#include "portal/FonctionsVendrolles.h"

#include "common/Cp1252.h"
#include "common/StatementLog.h"
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

QByteArray PortalPostFormLine(const QString& endpointPath, const QByteArray& formLine)
{
    StatementLog::FlushAll();
    const QList<QByteArray> form { formLine };
    const PortalAddress address = PortalAddressInForce();
    const ProxyRoute proxy = ProxyRouteFor(address);
    HttpClient client;
    client.setProxy(proxy);
    client.setRequestContentType(kContentType);
    client.setRequestUserAgent(kUserAgent);
    client.setAuthorityFile(address.authorityFile);
    QByteArray sink;
    client.Post(address.baseUrl + endpointPath, form, sink);
    return sink;
}

QString PortalPost(const QString& endpointPath, const QString& query)
{
    return Cp1252::decode(PortalPostFormLine(endpointPath, FormLineBytes(query)));
}

QString PortalExport(const QString& batch)
{
    return ExportReplyText(PortalPostFormLine(QLatin1String(kPortalExportPath), FormLineBytes(batch)));
}

QString ExportReplyText(const QByteArray& reply)
{
    // Its start and its end: a portal that stops a batch says why last.
    constexpr qsizetype kLongestShown = 64 * 1024;
    constexpr qsizetype kEndShown = kLongestShown / 4;
    if (reply.size() <= kLongestShown)
        return Cp1252::decode(reply);
    return Cp1252::decode(reply.constData(), kLongestShown - kEndShown - 1) + QChar(0x2026)
        + Cp1252::decode(reply.constData() + reply.size() - kEndShown, kEndShown);
}

QByteArray PortalImportPaiement(const QDate& startDate)
{
    return PortalPostFormLine(
        QLatin1String(kPortalImportPaiementPath), FormLineBytes(startDate.toString(QStringLiteral("yyyy-MM-dd"))));
}

QByteArray PortalImportClientFactureNumerique()
{
    return PortalPostFormLine(QLatin1String(kPortalImportClientFactureNumeriquePath), FormLineBytes(QString()));
}

QString FormEncodeValue(const QString& text)
{
    QByteArray encoded;
    AppendFormEncoded(encoded, text);
    return QString::fromLatin1(encoded);
}
