#pragma once

#include <QByteArray>

#include <optional>

// The length a whole HTTP request will have, its head and the body its
// Content-Length announces, once the head has arrived; nothing before.
std::optional<qint64> HttpRequestLength(const QByteArray& bytes);
