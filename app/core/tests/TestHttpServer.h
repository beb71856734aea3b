// A tiny HTTP server on 127.0.0.1 for the client tests: it answers every
// request with a set status and body and keeps what it received.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TReceivedRequest {
    std::string Method, Target, Headers, Body;
};

class TTestHttpServer {
public:
    TTestHttpServer()
    {
        FSock = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(FSock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(FSock, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(FSock, 8);
        socklen_t len = sizeof addr;
        ::getsockname(FSock, reinterpret_cast<sockaddr*>(&addr), &len);
        FPort = ntohs(addr.sin_port);
        FThread = std::thread([this] { Run(); });
    }
    ~TTestHttpServer()
    {
        FStop = true;
        ::shutdown(FSock, SHUT_RDWR);
        ::close(FSock);
        FThread.join();
    }

    int Port() const { return FPort; }
    std::string Url(const std::string& path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(FPort) + path;
    }
    // withLength false leaves the length out: the body ends where the
    // connection closes.
    void Reply(int status, const std::string& body, bool withLength = true)
    {
        std::lock_guard<std::mutex> g(FLock);
        FStatus = status;
        FBody = body;
        FWithLength = withLength;
    }
    std::vector<TReceivedRequest> Requests() const
    {
        std::lock_guard<std::mutex> g(FLock);
        return FRequests;
    }

    // A port on which nothing listens.
    static int ClosedPort()
    {
        int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
        int port = ntohs(addr.sin_port);
        ::close(s);
        return port;
    }

private:
    void Run()
    {
        while (!FStop) {
            int c = ::accept(FSock, nullptr, nullptr);
            if (c < 0) break;
            Serve(c);
            ::close(c);
        }
    }
    void Serve(int c)
    {
        std::string data;
        char buf[4096];
        size_t headerEnd = std::string::npos;
        while (headerEnd == std::string::npos) {
            ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) return;
            data.append(buf, size_t(n));
            headerEnd = data.find("\r\n\r\n");
        }
        TReceivedRequest r;
        std::string head = data.substr(0, headerEnd);
        size_t sp1 = head.find(' '), sp2 = head.find(' ', sp1 + 1);
        r.Method = head.substr(0, sp1);
        r.Target = head.substr(sp1 + 1, sp2 - sp1 - 1);
        r.Headers = head;
        size_t length = 0;
        std::string lower = head;
        for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        size_t cl = lower.find("content-length:");
        if (cl != std::string::npos) length = std::stoul(head.substr(cl + 15));
        r.Body = data.substr(headerEnd + 4);
        while (r.Body.size() < length) {
            ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) break;
            r.Body.append(buf, size_t(n));
        }
        int status;
        std::string body;
        bool withLength;
        {
            std::lock_guard<std::mutex> g(FLock);
            FRequests.push_back(r);
            status = FStatus;
            body = FBody;
            withLength = FWithLength;
        }
        std::string resp = "HTTP/1.1 " + std::to_string(status) + (status < 400 ? " OK" : " Error") +
                           "\r\nContent-Type: text/plain\r\n" +
                           (withLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") +
                           "Connection: close\r\n\r\n" + body;
        ::send(c, resp.data(), resp.size(), MSG_NOSIGNAL);
    }

    int FSock = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::thread FThread;
    mutable std::mutex FLock;
    int FStatus = 200;
    std::string FBody = "ok";
    bool FWithLength = true;
    std::vector<TReceivedRequest> FRequests;
};
