#include "common/Errors.h"

#include "common/Messages.h"

#include <utility>

QuilvanorError::QuilvanorError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

HttpReplyError::HttpReplyError(int statusCode, const QString& statusText, const QString& redirectTarget)
    : QuilvanorError(Messages::escapedControls(Messages::startAndEnd(statusText, 80))
        + (redirectTarget.isEmpty()
                ? QString()
                : QStringLiteral(" : le portail renvoie vers « %1 », et le programme ne suit pas les redirections ; "
                                 "vérifiez l'adresse du portail (clé Adresse de la section [Portail]).")
                      .arg(Messages::escapedControls(Messages::startAndEnd(redirectTarget, 200)))))
    , m_statusCode(statusCode)
{
}

ConnectionClosedError::ConnectionClosedError() : QuilvanorError(Messages::connectionClosed()) {}

ConnectionClosedError::ConnectionClosedError(const QString& howFar)
    : QuilvanorError(QStringLiteral("La réponse du portail est coupée (%1) : la connexion s'est terminée avant sa fin.")
                         .arg(howFar))
{
}

ConnectionClosedError ConnectionClosedError::WithMessage(const QString& message)
{
    return ConnectionClosedError(Worded {}, message);
}

ListIndexError::ListIndexError(qsizetype index) : QuilvanorError(Messages::listIndexOutOfBounds(index)) {}

ReplyTooLargeError::ReplyTooLargeError(qint64 maxBytes) : QuilvanorError(Messages::replyTooLarge(maxBytes)) {}
