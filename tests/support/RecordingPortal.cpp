#include "support/RecordingPortal.h"

#include "common/Cp1252.h"
#include "portal/FonctionsVendrolles.h"
#include "support/HttpRequestLength.h"

#include <QUrlQuery>

#include <optional>
#include <stdexcept>

namespace {

// A form field's value: "+" is a space, "%XX" a byte; the bytes are Windows-1252.
QString formValue(const QByteArray& body, const QByteArray& name)
{
    for (const QByteArray& field : body.trimmed().split('&')) {
        if (!field.startsWith(name + '='))
            continue;
        QByteArray value = field.mid(name.size() + 1);
        value.replace('+', ' ');
        return Cp1252::decode(QByteArray::fromPercentEncoding(value));
    }
    return {};
}

} // namespace

RecordingPortal::RecordingPortal(QList<Answer> script)
    : m_script(std::move(script))
    , m_previousBaseUrl(PortalBaseUrl())
    , m_server([this](TestSocket connection, int) { answer(connection); })
{
    SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.port()));
}

RecordingPortal::~RecordingPortal()
{
    m_server.stop();
    SetPortalBaseUrl(m_previousBaseUrl);
}

QList<RecordingPortal::Request> RecordingPortal::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QStringList RecordingPortal::queries() const
{
    QStringList out;
    for (const Request& request : requests())
        out << request.query;
    return out;
}

RecordingPortal::Answer RecordingPortal::nextAnswer()
{
    std::lock_guard lock(m_mutex);
    const qsizetype index = m_requests.size() - 1;
    return index < m_script.size() ? m_script.at(index) : Answer {};
}

void RecordingPortal::answer(TestSocket connection)
{
    QByteArray bytes;
    char buffer[65536];
    std::optional<qint64> expected;
    while (!expected || bytes.size() < *expected) {
        const int n = ReceiveSome(connection, buffer, sizeof buffer);
        if (n <= 0)
            return;
        bytes.append(buffer, n);
        expected = HttpRequestLength(bytes);
    }
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const QByteArray body = bytes.mid(headEnd + 4);
    const QStringList seen = m_look ? m_look() : QStringList();
    {
        std::lock_guard lock(m_mutex);
        m_requests.append({ QString::fromLatin1(bytes.left(bytes.indexOf('\r')).split(' ').value(1)),
            formValue(body, "securiter"), formValue(body, "query"), seen });
    }
    const Answer reply = nextAnswer();
    SendAll(connection,
        "HTTP/1.0 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK" : " Internal Server Error")
            + "\r\nContent-Type: text/html\r\n\r\n" + reply.body);
    ShutdownSending(connection);
}
