#include "support/ErrorRecorder.h"

#include "ui/ErrorDisplay.h"

ErrorRecorder::ErrorRecorder()
{
    ErrorDisplay::SetRecorder([this](const QString& text) { m_messages << text; });
}

ErrorRecorder::~ErrorRecorder()
{
    ErrorDisplay::SetRecorder({});
}
