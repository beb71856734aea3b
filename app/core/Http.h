// A small HTTP client: the form post of user feedback (THttper) and the
// plain GET that reads the connection-information service.
#pragma once

#include "Exceptions.h"
#include "StringLists.h"
#include "System.h"
#include <memory>
#include <string>

// The feedback service used when THttper::Post is given no address.
inline constexpr const char* DefaultFeedbackUrl = "http://feedback.hengyue.example/pemtal/feedback";

class THttper : public TObject {
    QZ_CLASS(THttper, TObject)
public:
    THttper();
    ~THttper() override;

    // The form fields, one "name=value" line each; the caller fills them.
    TStringList* Fields() const { return FFields.get(); }

    // Posts the fields as a URL-encoded form (each name and value encoded
    // from its GBK bytes) to the address, or to DefaultFeedbackUrl when the
    // address is empty. reply receives the whole reply body; the result is
    // true exactly when that body is "ok". Every failure (no network, a
    // refused connection, an error status) gives false and shows nothing.
    bool Post(std::string& reply, const std::string& url);

private:
    std::unique_ptr<TStringList> FFields;
};

QZ_EXCEPTION(EHttpError, Exception)

namespace Http {

// Form encoding of bytes: letters, digits and "*-._" stay, a blank becomes
// '+', every other byte %XX.
std::string UrlEncode(const std::string& bytes);

// The largest reply body taken; a larger one fails the request with
// EHttpError "HTTP: the reply is larger than 4 MB".
constexpr size_t MaxReplyBytes = size_t(4) << 20;

// Sends a GET and returns the reply body as text (a body that is not valid
// UTF-8 is read as GBK). Raises EHttpError with the transfer's error text
// when the request fails or the server answers with an error status.
std::string Get(const std::string& url);

}  // namespace Http
