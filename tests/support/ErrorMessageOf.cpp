#include "support/ErrorMessageOf.h"

#include "common/Errors.h"

QString ErrorMessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const QuilvanorError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}
