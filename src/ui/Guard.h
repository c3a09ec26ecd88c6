#pragma once

#include "common/Errors.h"
#include "ui/ErrorDisplay.h"

#include <QString>

#include <exception>
#include <new>
#include <utility>

// Runs an event handler or a window's creation step: an error that ends it is
// shown through the error display, and the program goes on. Errors never
// cross Qt's event loop.
template <class Handler>
void Guarded(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const QuilvanorError& error) {
        ErrorDisplay::Show(error.message());
    } catch (const std::bad_alloc&) {
        ErrorDisplay::Show(QStringLiteral("Mémoire insuffisante"));
    } catch (const std::exception& error) {
        ErrorDisplay::Show(QString::fromUtf8(error.what()));
    }
}
