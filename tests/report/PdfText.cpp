#include "PdfText.h"

#include "support/HostPrograms.h"

QStringList PdfPageTexts(const QString& pdfPath)
{
    const HostPrograms::Outcome read = HostPrograms::Run({ QStringLiteral("pdftotext"), QStringLiteral("-layout"),
        QStringLiteral("-enc"), QStringLiteral("UTF-8"), HostPrograms::HostPath(pdfPath), QStringLiteral("-") });
    if (read.exitCode != 0) {
        qWarning("pdftotext (poppler-utils) could not read %s: %s", qPrintable(pdfPath), read.errors.constData());
        return {};
    }
    QStringList pages = QString::fromUtf8(read.output).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // pdftotext ends every page, the last included, with a form feed
    return pages;
}
