#include "Http.h"

#include "TextUtils.h"

#include <curl/curl.h>
#include <mutex>

QZ_CLASS_IMPL(THttper, TObject)

namespace {

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TReply {
    std::string Body;
    bool TooLarge = false;
};

// A reply larger than the bound stops the transfer (taking less than offered
// makes it fail) rather than filling the memory.
size_t CollectBody(char* data, size_t size, size_t count, void* user)
{
    auto* reply = static_cast<TReply*>(user);
    const size_t n = size * count;
    if (n > Http::MaxReplyBytes - reply->Body.size()) {
        reply->TooLarge = true;
        return 0;
    }
    reply->Body.append(data, n);
    return n;
}

[[noreturn]] void ReplyTooLarge()
{
    throw EHttpError("HTTP: the reply is larger than " + std::to_string(Http::MaxReplyBytes / (1024 * 1024)) +
                     " MB");
}

struct TCurl {
    CURL* Handle;
    curl_slist* Headers = nullptr;
    char Error[CURL_ERROR_SIZE] = {};
    TCurl() : Handle(curl_easy_init()) {}
    ~TCurl()
    {
        if (Headers) curl_slist_free_all(Headers);
        if (Handle) curl_easy_cleanup(Handle);
    }
};

// Runs a request (a POST when body is given) and returns the reply body;
// raises EHttpError on any failure, the status of the reply included.
std::string Transfer(const std::string& url, const std::string* body)
{
    GlobalInit();
    TCurl c;
    if (!c.Handle) throw EHttpError("HTTP: cannot start a request");
    TReply reply;
    curl_easy_setopt(c.Handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c.Handle, CURLOPT_ERRORBUFFER, c.Error);
    curl_easy_setopt(c.Handle, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(c.Handle, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(c.Handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(Http::MaxReplyBytes));
    curl_easy_setopt(c.Handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c.Handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c.Handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c.Handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c.Handle, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(c.Handle, CURLOPT_TIMEOUT, 120L);
    // The machine itself is never reached through a proxy.
    curl_easy_setopt(c.Handle, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(c.Handle, CURLOPT_USERAGENT, "pemtal");
    if (body) {
        c.Headers = curl_slist_append(c.Headers, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(c.Handle, CURLOPT_HTTPHEADER, c.Headers);
        curl_easy_setopt(c.Handle, CURLOPT_POST, 1L);
        curl_easy_setopt(c.Handle, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(c.Handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }
    const CURLcode rc = curl_easy_perform(c.Handle);
    if (reply.TooLarge || rc == CURLE_FILESIZE_EXCEEDED) ReplyTooLarge();
    if (rc != CURLE_OK) {
        std::string msg = c.Error[0] ? std::string(c.Error) : std::string(curl_easy_strerror(rc));
        throw EHttpError(msg);
    }
    return std::move(reply.Body);
}

}  // namespace

THttper::THttper() : FFields(std::make_unique<TStringList>()) {}

THttper::~THttper() = default;

bool THttper::Post(std::string& reply, const std::string& url)
{
    reply.clear();
    std::string body;
    for (int i = 0; i < FFields->Count(); ++i) {
        const std::string line = FFields->Strings(i);
        const size_t eq = line.find('=');
        const std::string name = eq == std::string::npos ? line : line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        if (!body.empty()) body += '&';
        body += Http::UrlEncode(Utf8ToGbk(name));
        body += '=';
        body += Http::UrlEncode(Utf8ToGbk(value));
    }
    try {
        const std::string raw = Transfer(url.empty() ? std::string(DefaultFeedbackUrl) : url, &body);
        reply = IsValidUtf8(raw) ? raw : GbkToUtf8(raw);
    } catch (const std::exception&) {
        return false;
    }
    return reply == "ok";
}

namespace Http {

std::string UrlEncode(const std::string& bytes)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '*' || c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Get(const std::string& url)
{
    const std::string raw = Transfer(url, nullptr);
    return IsValidUtf8(raw) ? raw : GbkToUtf8(raw);
}

}  // namespace Http
