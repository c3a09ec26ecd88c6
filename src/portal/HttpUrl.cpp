#include "portal/HttpUrl.h"


HttpUrl ParseHttpUrl(const QString& url)
{
    HttpUrl parsed;
    QString rest = url;
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));

    const qsizetype schemeEnd = rest.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        parsed.scheme = rest.left(schemeEnd);
        rest = rest.mid(schemeEnd + 3);
    }
    parsed.secure = parsed.scheme.compare(QLatin1String("HTTPS"), Qt::CaseInsensitive) == 0;
    if (parsed.secure)
        parsed.port = 443;

    const qsizetype hostEnd = rest.indexOf(QLatin1Char('/'));
    QString hostAndPort = hostEnd >= 0 ? rest.left(hostEnd) : rest;
    rest = hostEnd >= 0 ? rest.mid(hostEnd + 1) : QString();

    const qsizetype colon = hostAndPort.indexOf(QLatin1Char(':'));
    parsed.host = colon >= 0 ? hostAndPort.left(colon) : hostAndPort;
    if (colon >= 0) {
        bool isNumber = false;
        const int port = hostAndPort.mid(colon + 1).toInt(&isNumber);
        if (isNumber)
            parsed.port = port;
    }

    const qsizetype lastSlash = rest.lastIndexOf(QLatin1Char('/'));
    parsed.path = QLatin1Char('/') + rest.left(lastSlash + 1);
    parsed.document = rest.mid(lastSlash + 1);
    const qsizetype fragment = parsed.document.indexOf(QLatin1Char('#'));
    if (fragment >= 0)
        parsed.document.truncate(fragment);
    return parsed;
}
