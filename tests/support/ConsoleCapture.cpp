#include "support/ConsoleCapture.h"

#include "common/ConsoleLines.h"

ConsoleCapture::ConsoleCapture()
{
    SetConsoleRecorder([this](ConsoleStream stream, const QString& line) {
        (stream == ConsoleStream::Output ? m_output : m_errors) << line;
    });
}

ConsoleCapture::~ConsoleCapture()
{
    SetConsoleRecorder({});
}

void ConsoleCapture::clear()
{
    m_output.clear();
    m_errors.clear();
}
