#pragma once

#include <QStringList>

// Records what the error display would show, for as long as it lives.
class ErrorRecorder {
public:
    ErrorRecorder();
    ~ErrorRecorder();
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;

    const QStringList& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
};
