#pragma once

#include "common/CaughtErrors.h"
#include "ui/ErrorDisplay.h"

#include <utility>

// Runs an event handler or a window's creation step: an error that ends it is
// shown through the error display, and the program goes on. Errors never
// cross Qt's event loop.
template <class Handler>
void Guarded(Handler&& handler) noexcept
{
    CatchingErrors(std::forward<Handler>(handler), [](const QString& message) { ErrorDisplay::Show(message); });
}
