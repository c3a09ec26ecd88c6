#include "RecordingPortal.h"

#include "common/Cp1252.h"
#include "portal/FonctionsVendrolles.h"
#include "support/HttpRequestLength.h"
#include "support/LoopbackListener.h"
#include "support/SendAll.h"

#include <QUrlQuery>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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
{
    const LoopbackListener listener = OpenLoopbackListener();
    m_listener = listener.socket;
    if (::pipe(m_wake) != 0) {
        ::close(m_listener);
        throw std::runtime_error("recording portal: cannot open its wake-up pipe");
    }
    m_previousBaseUrl = PortalBaseUrl();
    SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(listener.port));
    m_thread = std::thread([this] { serve(); });
}

RecordingPortal::~RecordingPortal()
{
    const char stop = 's';
    (void)!::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
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

void RecordingPortal::serve()
{
    for (;;) {
        pollfd waits[2] = { { m_listener, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
        if (::poll(waits, 2, -1) < 0 || (waits[1].revents & POLLIN))
            return;
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            continue;
        answer(connection);
        ::close(connection);
    }
}

void RecordingPortal::answer(int connection)
{
    QByteArray bytes;
    char buffer[65536];
    std::optional<qint64> expected;
    while (!expected || bytes.size() < *expected) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        bytes.append(buffer, n);
        expected = HttpRequestLength(bytes);
    }
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const QByteArray body = bytes.mid(headEnd + 4);
    {
        std::lock_guard lock(m_mutex);
        m_requests.append({ QString::fromLatin1(bytes.left(bytes.indexOf('\r')).split(' ').value(1)),
            formValue(body, "securiter"), formValue(body, "query") });
    }
    const Answer reply = nextAnswer();
    SendAll(connection,
        "HTTP/1.0 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK" : " Internal Server Error")
            + "\r\nContent-Type: text/html\r\n\r\n" + reply.body);
    ::shutdown(connection, SHUT_WR);
}
