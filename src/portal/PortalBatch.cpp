#include "portal/PortalBatch.h"

#include "portal/FonctionsVendrolles.h"
#include "portal/FormEncoding.h"

PortalBatch::PortalBatch()
    : m_formLine(PortalFormLineStart())
{
}

void PortalBatch::Reserve(qsizetype bytes)
{
    m_formLine.reserve(m_formLine.size() + bytes);
}

void PortalBatch::Append(QByteArrayView statement)
{
    if (!m_ended)
        m_ended = !AppendFormEncoded(m_formLine, statement);
}

QString PortalExport(const PortalBatch& batch)
{
    return PortalPostFormLine(QLatin1String(kPortalExportPath), batch.formLine());
}
