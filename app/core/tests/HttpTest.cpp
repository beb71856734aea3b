#include "Http.h"

#include "TestHttpServer.h"
#include "TestSupport.h"

namespace {

std::string Header(const std::string& headers, const std::string& name)
{
    std::string lower = headers, key = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    size_t p = lower.find("\r\n" + key + ":");
    if (p == std::string::npos) return "";
    p += key.size() + 3;
    size_t e = headers.find("\r\n", p);
    return Trim(headers.substr(p, e - p));
}

}  // namespace

TEST(HttperPost, SendsTheFieldsUrlEncodedFromGbk)
{
    TTestHttpServer server;
    THostRecorder rec;
    THttper h;
    h.Fields()->Add("Data=");
    h.Fields()->SetValues("Data", "反馈 a&b=c\r\n");
    std::string reply;
    EXPECT_TRUE(h.Post(reply, server.Url("/fb")));
    EXPECT_EQ(reply, "ok");
    auto reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].Method, "POST");
    EXPECT_EQ(reqs[0].Target, "/fb");
    EXPECT_EQ(Header(reqs[0].Headers, "Content-Type"), "application/x-www-form-urlencoded");
    // 反 = B7 B4, 馈 = C0 A1 in GBK.
    EXPECT_EQ(reqs[0].Body, "Data=%B7%B4%C0%A1+a%26b%3Dc%0D%0A");
    EXPECT_TRUE(rec.Messages().empty());
}

TEST(HttperPost, OnlyExactlyOkIsSuccess)
{
    TTestHttpServer server;
    struct Case { int Status; std::string Body; bool Result; };
    const Case cases[] = {
        {200, "ok", true}, {200, "OK", false}, {200, "ok\r\n", false}, {200, " ok", false},
        {200, "", false}, {500, "ok", false}, {404, "ok", false},
    };
    for (const Case& c : cases) {
        server.Reply(c.Status, c.Body);
        THttper h;
        h.Fields()->Add("Data=x");
        std::string reply = "stale";
        EXPECT_EQ(h.Post(reply, server.Url()), c.Result) << c.Status << " [" << c.Body << "]";
        if (c.Status == 200) EXPECT_EQ(reply, c.Body);
    }
}

TEST(HttpGet, RepliesBeyondTheBoundAreRefused)
{
    TTestHttpServer server;
    const std::string full(Http::MaxReplyBytes, 'a');
    // Announced by its length, or found while it arrives.
    for (bool withLength : {true, false}) {
        SCOPED_TRACE(withLength ? "with length" : "without length");
        server.Reply(200, full, withLength);
        EXPECT_EQ(Http::Get(server.Url()), full);
        server.Reply(200, full + "b", withLength);
        try {
            Http::Get(server.Url());
            ADD_FAILURE() << "an oversized reply was taken";
        } catch (const EHttpError& e) {
            EXPECT_STREQ(e.what(), "HTTP: the reply is larger than 4 MB");
        }
    }
    // The feedback post fails quietly, as on any other failed transfer.
    THttper h;
    h.Fields()->Add("Data=x");
    std::string reply;
    EXPECT_FALSE(h.Post(reply, server.Url()));
    EXPECT_TRUE(reply.empty());
}

TEST(HttperPost, UnreachableServerGivesFalseQuietly)
{
    THostRecorder rec;
    THttper h;
    h.Fields()->Add("Data=x");
    std::string reply;
    EXPECT_FALSE(h.Post(reply, "http://127.0.0.1:" + std::to_string(TTestHttpServer::ClosedPort()) + "/"));
    EXPECT_FALSE(h.Post(reply, "not a url at all"));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST(HttpUrlEncode, FormRules)
{
    EXPECT_EQ(Http::UrlEncode("aZ09*-._"), "aZ09*-._");
    EXPECT_EQ(Http::UrlEncode("a b+c/~%"), "a+b%2Bc%2F%7E%25");
    EXPECT_EQ(Http::UrlEncode(std::string("\xFF\x00", 2)), "%FF%00");
}
