#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Every failure of the program is one of these: an error that carries the text
// the operator reads. Nothing inside a run catches them; the guard around each
// event handler shows them through the error display.
class QuilvanorError : public std::exception {
public:
    explicit QuilvanorError(QString message);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A socket call failed; the number is the Windows Sockets number of the condition.
class SocketError : public QuilvanorError {
public:
    SocketError(int number, const QString& message) : QuilvanorError(message), m_number(number) {}
    int number() const noexcept { return m_number; }

private:
    int m_number;
};

// The portal answered with a status outside 2xx, or with a redirect.
class HttpReplyError : public QuilvanorError {
public:
    // A redirection's target, when the reply names one, is said with it: the
    // program does not follow it.
    HttpReplyError(int statusCode, const QString& statusText, const QString& redirectTarget = QString());
    int statusCode() const noexcept { return m_statusCode; }

private:
    int m_statusCode;
};

// The server closed the connection before the reply was complete: before a
// byte of it, or (with what was received) part-way, when the reply is cut.
class ConnectionClosedError : public QuilvanorError {
public:
    ConnectionClosedError();
    explicit ConnectionClosedError(const QString& howFar);
    // The same close, said in the caller's words.
    static ConnectionClosedError WithMessage(const QString& message);

private:
    struct Worded { };
    ConnectionClosedError(Worded, const QString& message) : QuilvanorError(message) {}
};

// The portal's reply is longer than the program accepts.
class ReplyTooLargeError : public QuilvanorError {
public:
    explicit ReplyTooLargeError(qint64 maxBytes);
};

// A text that should have been a number or a date was not.
class ConversionError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// A position past the end of a list of fields.
class ListIndexError : public QuilvanorError {
public:
    explicit ListIndexError(qsizetype index);
};

// The database or the database layer refused an operation.
class DatabaseError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// A file could not be created, written or read.
class FileError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// Another run that moves records holds the lock (see RunLock).
class RunLockedError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// The portal's reply holds what no reply can, and is refused whole before anything is changed.
class DamagedReplyError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};

// The printing layer could not print.
class PrintError : public QuilvanorError {
    using QuilvanorError::QuilvanorError;
};
