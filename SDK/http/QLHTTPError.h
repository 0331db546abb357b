// Errors of the HTTP client layer.
//
// Three domains keep apart what went wrong:
//  - kQLURLErrorDomain: the transfer failed or was stopped (connection,
//    timeouts, TLS, redirects, size limits, output file, cancellation);
//  - kQLHTTPRequestErrorDomain: the request could not be built (misuse: a
//    URL that does not parse, parameters that cannot be serialized);
//  - kQLHTTPResponseErrorDomain: an answer arrived but is not acceptable
//    (status, content type, body that does not decode).
// Errors are plain values; see platform/Error.h.
#pragma once

#include <cstdint>
#include <string>

#include "vexa/platform/Error.h"

namespace vexa {

extern const char* const kQLURLErrorDomain;           // "VXURLErrorDomain"
extern const char* const kQLHTTPRequestErrorDomain;   // "VXHTTPRequestErrorDomain"
extern const char* const kQLHTTPResponseErrorDomain;  // "VXHTTPResponseErrorDomain"

// Transfer failures (kQLURLErrorDomain).
enum QLURLErrorCode : int64_t {
  kQLURLErrorUnknown = -1,
  kQLURLErrorCancelled = -999,
  kQLURLErrorBadURL = -1000,
  kQLURLErrorTimedOut = -1001,
  kQLURLErrorUnsupportedURL = -1002,
  kQLURLErrorCannotFindHost = -1003,
  kQLURLErrorCannotConnectToHost = -1004,
  kQLURLErrorNetworkConnectionLost = -1005,
  kQLURLErrorTooManyRedirects = -1007,
  kQLURLErrorBadServerResponse = -1011,
  // A redirect that would lower the scheme to plain HTTP, leave HTTP(S), or
  // resend a body to another host.
  kQLURLErrorRedirectRefused = -1020,
  kQLURLErrorDataLengthExceedsMaximum = -1103,
  kQLURLErrorSecureConnectionFailed = -1200,
  kQLURLErrorServerCertificateUntrusted = -1202,
  kQLURLErrorPinnedKeyMismatch = -1210,
  kQLURLErrorCannotCreateFile = -3000,
  kQLURLErrorCannotWriteToFile = -3003,
};

// Misuse (kQLHTTPRequestErrorDomain).
enum QLHTTPRequestErrorCode : int64_t {
  kQLHTTPRequestErrorInvalidURL = 1,
  kQLHTTPRequestErrorInvalidParameters = 2,
};

// Unacceptable answers (kQLHTTPResponseErrorDomain).
enum QLHTTPResponseErrorCode : int64_t {
  kQLHTTPResponseErrorUnacceptableStatusCode = 1,
  kQLHTTPResponseErrorUnacceptableContentType = 2,
  kQLHTTPResponseErrorNotUtf8 = 3,
  kQLHTTPResponseErrorMalformedJSON = 4,
};

Error qlURLError(int64_t code, std::string description);
Error qlHTTPRequestError(int64_t code, std::string description);
Error qlHTTPResponseError(int64_t code, std::string description);

}  // namespace vexa
