#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <strings.h>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

// A small HTTP/1.1 server on 127.0.0.1 for tests: one connection at a time, Connection: close, a handler per
// request. It stops (and wakes any delayed answer) when destroyed; every wait in it is bounded.
class LocalHTTPServer {
public:
    struct Request {
        std::string method;
        std::string target;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;

        std::string header(const std::string& name) const
        {
            for (const auto& [n, v] : headers) {
                if (strcasecmp(n.c_str(), name.c_str()) == 0)
                    return v;
            }
            return {};
        }
        bool hasHeader(const std::string& name) const
        {
            for (const auto& h : headers) {
                if (strcasecmp(h.first.c_str(), name.c_str()) == 0)
                    return true;
            }
            return false;
        }
    };

    struct Response {
        int status { 200 };
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
        // Wait this long before answering (cut short when the server stops).
        std::chrono::milliseconds delay { 0 };
    };

    using Handler = std::function<Response(const Request&)>;

    explicit LocalHTTPServer(Handler handler)
        : m_handler(std::move(handler))
    {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || listen(m_listener, 8) != 0)
            throw std::runtime_error("the test server could not listen on 127.0.0.1");
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }

    ~LocalHTTPServer()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
        close(m_listener);
    }

    int port() const { return m_port; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    std::vector<Request> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    bool stopping() const
    {
        std::lock_guard lock(m_mutex);
        return m_stopping;
    }

    void serve()
    {
        while (!stopping()) {
            pollfd waiting { m_listener, POLLIN, 0 };
            if (poll(&waiting, 1, 20) <= 0)
                continue;
            int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            handle(connection);
            close(connection);
        }
    }

    // Reads what the client sent next; false on a closed connection, once the server stops, or after half a minute
    // of silence (a client on a loaded machine may take seconds between its connect and its request).
    bool readMore(int connection, std::string& buffer)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            if (stopping() || std::chrono::steady_clock::now() >= end)
                return false;
            pollfd waiting { connection, POLLIN, 0 };
            if (poll(&waiting, 1, 20) > 0)
                break;
        }
        char chunk[4096];
        auto got = recv(connection, chunk, sizeof chunk, 0);
        if (got <= 0)
            return false;
        buffer.append(chunk, static_cast<std::size_t>(got));
        return true;
    }

    void handle(int connection)
    {
        std::string buffer;
        std::size_t headEnd;
        while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!readMore(connection, buffer) || buffer.size() > 1'000'000)
                return;
        }
        Request request;
        auto head = buffer.substr(0, headEnd);
        auto lineEnd = head.find("\r\n");
        auto requestLine = head.substr(0, lineEnd);
        auto firstSpace = requestLine.find(' ');
        auto secondSpace = requestLine.find(' ', firstSpace + 1);
        request.method = requestLine.substr(0, firstSpace);
        request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
        std::size_t contentLength = 0;
        for (auto start = lineEnd == std::string::npos ? head.size() : lineEnd + 2; start < head.size();) {
            auto end = head.find("\r\n", start);
            if (end == std::string::npos)
                end = head.size();
            auto line = head.substr(start, end - start);
            auto colon = line.find(':');
            if (colon != std::string::npos) {
                auto value = line.substr(colon + 1);
                value.erase(0, value.find_first_not_of(' '));
                request.headers.emplace_back(line.substr(0, colon), value);
                if (strcasecmp(line.substr(0, colon).c_str(), "Content-Length") == 0)
                    contentLength = std::stoul(value);
            }
            start = end + 2;
        }
        request.body = buffer.substr(headEnd + 4);
        while (request.body.size() < contentLength) {
            if (!readMore(connection, request.body))
                return;
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }

        auto response = m_handler(request);
        if (response.delay.count() > 0) {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, response.delay, [&] { return m_stopping; });
            if (m_stopping)
                return;
        }
        std::string out = "HTTP/1.1 " + std::to_string(response.status) + " Status\r\n";
        for (const auto& [name, value] : response.headers)
            out += name + ": " + value + "\r\n";
        out += "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
        if (request.method != "HEAD")
            out += response.body;
        for (std::size_t sent = 0; sent < out.size();) {
            auto n = send(connection, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<std::size_t>(n);
        }
    }

    Handler m_handler;
    int m_listener { -1 };
    int m_port { 0 };
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping { false };
    std::vector<Request> m_requests;
};

// A port on 127.0.0.1 that nothing listens on: bound, then released.
inline int unusedLocalPort()
{
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

}
