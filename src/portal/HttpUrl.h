#pragma once

#include <QString>

// The parts of a request URL that the HTTP client uses.
struct HttpUrl {
    QString scheme;
    bool secure = false; // the scheme is "https", in any case: the exchange runs inside TLS
    QString host; // without its port: the Host header's text
    int port = 80; // the URL's port when it is a whole number, else 80 (443 over TLS)
    QString path; // from the first "/" up to and including the last one
    QString document; // after the last "/", without any "#" fragment

    QString target() const { return path + document; }
};

// Backslashes count as "/".
HttpUrl ParseHttpUrl(const QString& url);
