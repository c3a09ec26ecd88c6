#include "common/FieldList.h"

#include "common/Errors.h"

const QString& FieldList::at(qsizetype index) const
{
    if (index < 0 || index >= m_fields.size())
        throw ListIndexError(index);
    return m_fields.at(index);
}
