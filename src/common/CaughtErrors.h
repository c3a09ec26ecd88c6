#pragma once

#include "common/Errors.h"

#include <QString>

#include <exception>
#include <new>
#include <utility>

// Runs a piece of work that ends where an error ends it, and hands the
// error's text to the report: the error display for a window's handler, the
// standard error of an unattended run. Returns whether the work ended normally.
template <class Work, class Report> bool CatchingErrors(Work&& work, Report&& report) noexcept
{
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const QuilvanorError& error) {
        report(error.message());
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("Mémoire insuffisante"));
    } catch (const std::exception& error) {
        report(QString::fromUtf8(error.what()));
    }
    return false;
}
