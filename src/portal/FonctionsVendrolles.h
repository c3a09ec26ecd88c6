#pragma once

#include <QDate>
#include <QString>

class FieldList;

// The family portal's three endpoints, the form every request carries and the
// cutting of a reply into fields. Every call is one synchronous POST on a
// connection of its own; failures reach the caller unchanged.

// Endpoint paths under the portal base address.
extern const char* const kPortalExportPath;
extern const char* const kPortalImportPaiementPath;
extern const char* const kPortalImportClientFactureNumeriquePath;

// The shared access token, sent in clear in every request body.
extern const char* const kPortalToken;

// The portal base address in force ("http[s]://host[:port]", no path): the
// settings file's [Portail] Adresse, else the one fixed at build time.
QString PortalBaseUrl();
// Replaces the address fixed at build time; only the tests and benchmarks use it.
void SetPortalBaseUrl(const QString& baseUrl);

// "securiter=" token "&query=" FormEncodeValue(query).
QString PortalFormLine(const QString& query);
// The form line's bytes up to and with "&query=": the encoded query text follows.
QByteArray PortalFormLineStart();

// One exchange with the endpoint for a form line already in its bytes; the
// reply is the body's Windows-1252 bytes. Every statement log open is flushed
// to the system first: a log is never behind what the portal received.
QByteArray PortalPostFormLine(const QString& endpointPath, const QByteArray& formLine);
// The same exchange for a query text; the reply is the body's bytes as text.
QString PortalPost(const QString& endpointPath, const QString& query);
// The portal's reply to a batch, the text the operator reads: a reply beyond
// any a portal writes for a batch (64 KiB) is cut, and "…" shows where.
QString PortalExport(const QString& batch);
QString ExportReplyText(const QByteArray& reply);
// The replies that carry records, as their bytes, for SplitFields.
QByteArray PortalImportPaiement(const QDate& startDate);
QByteArray PortalImportClientFactureNumerique();

// The query text's Windows-1252 bytes, form-encoded.
QString FormEncodeValue(const QString& text);

// Appends the fields of a reply to the list and returns how many it appended.
int SplitFields(const QString& text, FieldList& fields);
// The same for a reply's Windows-1252 bytes, which the list keeps.
int SplitFields(QByteArray reply, FieldList& fields);
