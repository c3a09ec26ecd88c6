#include "RecordingPortal.h"

#include "common/Cp1252.h"
#include "portal/FonctionsVendrolles.h"

#include <QUrlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

qsizetype requestLength(const QByteArray& bytes)
{
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return -1;
    qint64 bodyLength = 0;
    for (const QByteArray& line : bytes.left(headEnd).split('\n')) {
        const QByteArray header = line.trimmed();
        if (header.toLower().startsWith("content-length:"))
            bodyLength = header.mid(15).trimmed().toLongLong();
    }
    return headEnd + 4 + bodyLength;
}

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

void sendAll(int connection, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n
            = ::send(connection, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

} // namespace

RecordingPortal::RecordingPortal(QList<Answer> script)
    : m_script(std::move(script))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::pipe(m_wake) != 0)
        throw std::runtime_error("recording portal: cannot listen on the loopback");
    m_previousBaseUrl = PortalBaseUrl();
    SetPortalBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(ntohs(address.sin_port)));
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
    qsizetype expected = -1;
    while (expected < 0 || bytes.size() < expected) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        bytes.append(buffer, n);
        expected = requestLength(bytes);
    }
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const QByteArray body = bytes.mid(headEnd + 4);
    {
        std::lock_guard lock(m_mutex);
        m_requests.append({ QString::fromLatin1(bytes.left(bytes.indexOf('\r')).split(' ').value(1)),
            formValue(body, "securiter"), formValue(body, "query") });
    }
    const Answer reply = nextAnswer();
    sendAll(connection,
        "HTTP/1.0 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK" : " Internal Server Error")
            + "\r\nContent-Type: text/html\r\n\r\n" + reply.body);
    ::shutdown(connection, SHUT_WR);
}
