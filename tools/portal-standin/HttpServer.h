#pragma once

#include <functional>
#include <map>
#include <string>

struct HttpRequest {
    std::string method;
    std::string target;
    std::string version;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

struct HttpReply {
    int status = 200;
    std::string reason = "OK";
    std::string body; // bytes, sent as they are
    std::string contentType = "text/html; charset=windows-1252";
};

// A small HTTP/1.0 and 1.1 server on the loopback: one request per
// connection, answered and closed, one connection at a time.
class HttpServer {
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;

    // Listens on 127.0.0.1; port 0 takes a free port. Throws std::runtime_error.
    HttpServer(int port, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return m_port; }

    // Serves connections until the descriptor becomes readable.
    void serveUntil(int stopDescriptor);

private:
    void serve(int connection);

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
};
