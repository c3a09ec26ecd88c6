#include "portal/PortalBatch.h"

#include "common/Cp1252.h"
#include "common/StatementLog.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/FormEncoding.h"

PortalBatch::PortalBatch(StatementLog& log)
    : m_log(log)
    , m_formLine(PortalFormLineStart())
{
}

void PortalBatch::Reserve(qsizetype bytes)
{
    m_formLine.reserve(m_formLine.size() + bytes);
}

void PortalBatch::Append(QByteArrayView statement)
{
    m_log.WriteEncodedLine(statement);
    if (!m_ended)
        m_ended = !AppendFormEncoded(m_formLine, statement);
}

void PortalBatch::Append(QStringView statement)
{
    Cp1252::encodeInto(m_encoded, statement);
    Append(QByteArrayView(m_encoded));
}

QString PortalExport(const PortalBatch& batch)
{
    return ExportReplyText(PortalPostFormLine(QLatin1String(kPortalExportPath), batch.formLine()));
}
