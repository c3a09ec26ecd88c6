// Any reply text: no crash, no read past its end, and fields that are
// non-empty pieces of the text, in order, never overlapping.

#include "common/Cp1252.h"
#include "common/FieldList.h"
#include "portal/FonctionsVendrolles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = Cp1252::decode(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FieldList fields;
    const int count = SplitFields(text, fields);
    if (count != fields.count())
        std::abort();
    qsizetype from = 0;
    for (const QString& field : fields.fields()) {
        const qsizetype at = text.indexOf(field, from);
        if (field.isEmpty() || at < 0)
            std::abort();
        from = at + field.size();
    }
    return 0;
}
