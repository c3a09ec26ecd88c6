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
    m_line += text;
    // Each line leaves the text before it is written: a write that fails does
    // not leave it to be written again with the error.
    for (qsizetype end = m_line.indexOf(kLineBreak); end >= 0; end = m_line.indexOf(kLineBreak)) {
        const QString line = m_line.left(end);
        m_line.remove(0, end + kLineBreak.size());
        writeLine(line);
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
    if (!m_line.isEmpty())
        writeLine(std::exchange(m_line, QString()));
}

void SynchronisationReport::writeLine(const QString& line)
{
    WriteLine(ConsoleStream::Output, line);
    m_file.WriteLine(line);
}
