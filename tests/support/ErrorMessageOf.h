#pragma once

#include <QString>

#include <functional>

// The message of the program's error the action fails with, or "(no error)"
// when it succeeds, so that a test compares the outcome as one text.
QString ErrorMessageOf(const std::function<void()>& action);
