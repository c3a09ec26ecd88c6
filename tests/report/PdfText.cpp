#include "PdfText.h"

#include <QProcess>

QStringList PdfPageTexts(const QString& pdfPath)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-") });
    if (!pdftotext.waitForFinished(-1) || pdftotext.exitStatus() != QProcess::NormalExit || pdftotext.exitCode() != 0) {
        qWarning("pdftotext (poppler-utils) could not read %s: %s", qPrintable(pdfPath),
            qPrintable(pdftotext.errorString()));
        return {};
    }
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // pdftotext ends every page, the last included, with a form feed
    return pages;
}
