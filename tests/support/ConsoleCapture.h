#pragma once

#include <QStringList>

// Records the lines the program writes to its standard output and standard
// error, for as long as it lives, instead of writing them.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    const QStringList& output() const { return m_output; }
    const QStringList& errors() const { return m_errors; }
    void clear();

private:
    QStringList m_output;
    QStringList m_errors;
};
