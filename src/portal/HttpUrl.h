#pragma once

#include <QString>

// The parts of a request URL that the HTTP client uses.
struct HttpUrl {
    QString scheme;
    QString host; // without its port: the Host header's text
    int port = 80; // the URL's port when it is a whole number
    QString path; // from the first "/" up to and including the last one
    QString document; // after the last "/", without any "#" fragment

    QString target() const { return path + document; }
};

// Backslashes count as "/". An "https" scheme, in any case, is refused.
HttpUrl ParseHttpUrl(const QString& url);
