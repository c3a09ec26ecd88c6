#include "einvoice/ClientRecords.h"

#include "portal/FonctionsVendrolles.h"

FieldList FetchClientFields()
{
    QByteArray reply = PortalImportClientFactureNumerique();
    reply.replace('\'', ' ');
    FieldList fields;
    SplitFields(std::move(reply), fields);
    return fields;
}

void ForEachClientRecord(const FieldList& fields, const std::function<void(int, const ClientRecord&)>& action)
{
    for (qsizetype i = 0; i < fields.count(); i += kClientFieldCount) {
        const ClientRecord record { fields.at(i), fields.at(i + 1), fields.at(i + 2), fields.at(i + 3),
            fields.at(i + 4) };
        action(int(i / kClientFieldCount) + 1, record);
    }
}
