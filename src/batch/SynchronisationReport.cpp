#include "batch/SynchronisationReport.h"

#include "common/CaughtErrors.h"
#include "common/ConsoleLines.h"

#include <utility>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

SynchronisationReport::SynchronisationReport()
    : m_file(QStringLiteral("synchronisation"), QStringLiteral(".txt"))
{
}

void SynchronisationReport::InsertDetail(const QString& text, bool)
{
    // The file takes the text at once, a line begun included, so that it is
    // flushed with the logs before a request and never behind what was sent;
    // standard output takes whole lines.
    m_file.WriteText(text);
    m_line += text;
    for (qsizetype end = m_line.indexOf(kLineBreak); end >= 0; end = m_line.indexOf(kLineBreak)) {
        WriteLine(ConsoleStream::Output, m_line.left(end));
        m_line.remove(0, end + kLineBreak.size());
    }
}

void SynchronisationReport::AddError(const QString& errorLine) noexcept
{
    CatchingErrors(
        [&] {
            finishLine();
            m_file.WriteLine(errorLine);
            m_file.Close();
        },
        [](const QString&) {});
}

void SynchronisationReport::Close()
{
    finishLine();
    m_file.Close();
}

void SynchronisationReport::finishLine()
{
    if (m_line.isEmpty())
        return;
    WriteLine(ConsoleStream::Output, std::exchange(m_line, QString()));
    m_file.WriteText(kLineBreak);
}
