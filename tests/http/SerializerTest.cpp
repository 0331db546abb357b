#include <gtest/gtest.h>

#include "vexa/http/QLHTTPDefaultHeaders.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLHTTPRequestSerializer.h"
#include "vexa/http/QLImageResponseSerializer.h"
#include "vexa/http/QLJSONRequestSerializer.h"
#include "vexa/http/QLJSONResponseSerializer.h"
#include "vexa/http/QLMultipartFormData.h"
#include "vexa/http/QL_AFHTTPRequestOperationManager.h"
#include "vexa/platform/Environment.h"

namespace vexa {
namespace {

TEST(QLHTTPRequestSerializerTest, ParametersGoToTheQueryForGetHeadDelete) {
  QLJSONRequestSerializer serializer;
  Value params = Value::dict({{"b", "x y"}, {"a", 1}});
  for (const char* method : {"GET", "HEAD", "DELETE", "get"}) {
    auto request = serializer.requestWithMethod(method, "http://h/p", params);
    ASSERT_TRUE(request.ok()) << method;
    EXPECT_EQ(request->url(), "http://h/p?a=1&b=x%20y") << method;
    EXPECT_FALSE(request->hasBody()) << method;
  }
  auto withQuery = serializer.requestWithMethod("GET", "http://h/p?z=9", params);
  ASSERT_TRUE(withQuery.ok());
  EXPECT_EQ(withQuery->url(), "http://h/p?z=9&a=1&b=x%20y");
  auto noParams = serializer.requestWithMethod("GET", "http://h/p", Value());
  EXPECT_EQ(noParams->url(), "http://h/p");
}

TEST(QLHTTPRequestSerializerTest, BodiesByEncoding) {
  Value params = Value::dict({{"b", "x y"}, {"a", Value::array({1, 2})}});
  QLJSONRequestSerializer json;
  auto post = json.requestWithMethod("POST", "http://h/p", params);
  ASSERT_TRUE(post.ok());
  EXPECT_EQ(post->url(), "http://h/p");
  EXPECT_EQ(post->body(), "{\"a\":[1,2],\"b\":\"x y\"}");
  EXPECT_EQ(post->header("content-type"), "application/json");

  QLURLRequest typed("http://h/p", "POST");
  typed.setHeader("Content-Type", "application/vnd.x+json");
  auto kept = json.requestBySerializingRequest(typed, params);
  EXPECT_EQ(kept->header("Content-Type"), "application/vnd.x+json");

  QLHTTPRequestSerializer form;
  auto formPost = form.requestWithMethod("POST", "http://h/p", params);
  EXPECT_EQ(formPost->body(), "a[]=1&a[]=2&b=x%20y");
  EXPECT_EQ(formPost->header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST(QLHTTPRequestSerializerTest, MisuseIsReportedNotSent) {
  QLJSONRequestSerializer serializer;
  auto badURL = serializer.requestWithMethod("GET", "not a url", Value());
  ASSERT_FALSE(badURL.ok());
  EXPECT_EQ(badURL.error().domain(), kQLHTTPRequestErrorDomain);
  EXPECT_EQ(badURL.error().code(), kQLHTTPRequestErrorInvalidURL);
  auto badParams = serializer.requestWithMethod("GET", "http://h/", Value::array({1}));
  ASSERT_FALSE(badParams.ok());
  EXPECT_EQ(badParams.error().code(), kQLHTTPRequestErrorInvalidParameters);
}

TEST(QLHTTPRequestSerializerTest, DefaultHeadersAndLimitsAreApplied) {
  QLJSONRequestSerializer serializer;
  serializer.setPreferredLanguages({"zh-Hans-CN", "en"});
  serializer.setUserAgent("Chat", "2.1");
  serializer.setTimeoutInterval(7);
  serializer.setMaximumBodySize(1234);
  QLURLRequest own("http://h/", "GET");
  own.setHeader("User-Agent", "mine");
  auto request = serializer.requestBySerializingRequest(own, Value());
  ASSERT_TRUE(request.ok());
  EXPECT_EQ(request->header("Accept-Language"), "zh-Hans-CN;q=1, en;q=0.9");
  EXPECT_EQ(request->header("User-Agent"), "mine") << "a request's own header wins";
  EXPECT_EQ(request->timeoutInterval(), 7);
  EXPECT_EQ(request->maximumBodySize(), 1234);
  EXPECT_EQ(serializer.defaultHeader("User-Agent")->substr(0, 10), "Chat/2.1 (");
}

TEST(QLHTTPDefaultHeadersTest, AcceptLanguageStopsAtHalfWeight) {
  EXPECT_EQ(QLHTTPDefaultHeaders::acceptLanguage({"en"}), "en;q=1");
  EXPECT_EQ(QLHTTPDefaultHeaders::acceptLanguage({"a", "b", "c", "d", "e", "f", "g", "h"}),
            "a;q=1, b;q=0.9, c;q=0.8, d;q=0.7, e;q=0.6, f;q=0.5");
  EXPECT_EQ(QLHTTPDefaultHeaders::acceptLanguage({}), "");
}

TEST(QLHTTPDefaultHeadersTest, PreferredLanguagesFromTheLocale) {
  Environment::set("LANGUAGE", "zh_CN:en_US");
  Environment::set("LC_ALL", "");
  Environment::unset("LC_MESSAGES");
  Environment::set("LANG", "fr_FR.UTF-8");
  EXPECT_EQ(QLHTTPDefaultHeaders::preferredLanguages(),
            (std::vector<std::string>{"zh-CN", "en-US", "fr-FR"}));
  Environment::set("LANGUAGE", "");
  Environment::set("LANG", "C.UTF-8");
  EXPECT_EQ(QLHTTPDefaultHeaders::preferredLanguages(), (std::vector<std::string>{"en"}));
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) Environment::restore(name);
}

TEST(QLHTTPDefaultHeadersTest, UserAgentIsPrintableAscii) {
  EXPECT_EQ(QLHTTPDefaultHeaders::userAgent("Chat", "2.1", "x86_64", "6.1.0", 2),
            "Chat/2.1 (x86_64; iOS 6.1.0; Scale/2.00)");
  EXPECT_EQ(QLHTTPDefaultHeaders::userAgent("Caf\xC3\xA9", "1", "m", "1", 3),
            "Cafe/1 (m; iOS 1; Scale/3.00)");
  EXPECT_EQ(QLHTTPDefaultHeaders::userAgent("\xE8\x81\x8A\xE5\xA4\xA9", "1", "m", "1", 2),
            "/1 (m; iOS 1; Scale/2.00)");
  // A line break would start a header of its own.
  EXPECT_EQ(QLHTTPDefaultHeaders::asciiOnly("a\r\nX-Evil: 1"), "aX-Evil: 1");
}

TEST(QLMultipartFormDataTest, PartsAndEscapedNames) {
  QLMultipartFormData form("BOUNDARY");
  form.appendPartWithFormData("v", "field");
  form.appendPartWithFileData("PNG", "file\"\r\nX: y", "a\".png", "image/png");
  form.appendPartWithHeaders({{"X-Bad", "a\r\nb"}, {"X-Good", "1"}}, "raw");
  EXPECT_EQ(form.contentType(), "multipart/form-data; boundary=BOUNDARY");
  EXPECT_EQ(form.body(),
            "--BOUNDARY\r\nContent-Disposition: form-data; name=\"field\"\r\n\r\nv\r\n"
            "--BOUNDARY\r\nContent-Disposition: form-data; name=\"file%22%0D%0AX: y\"; "
            "filename=\"a%22.png\"\r\nContent-Type: image/png\r\n\r\nPNG\r\n"
            "--BOUNDARY\r\nX-Good: 1\r\n\r\nraw\r\n"
            "--BOUNDARY--\r\n");
  EXPECT_NE(QLMultipartFormData().boundary(), QLMultipartFormData().boundary());
}

QLURLResponse response(long status, const char* type) {
  QLURLResponse::Headers headers;
  if (type) headers.emplace_back("Content-Type", type);
  return QLURLResponse("http://h/", status, headers);
}

TEST(QLHTTPResponseSerializerTest, Acceptance) {
  QLJSONResponseSerializer json;
  struct Row {
    long status;
    const char* type;
    bool hasBody;
    std::optional<std::string> error;
  } rows[] = {
      {200, "application/json", true, std::nullopt},
      {299, "text/json; charset=utf-8", true, std::nullopt},
      {204, nullptr, false, std::nullopt},
      {404, "application/json", true, "Request failed: not found (404)"},
      {500, "text/html", true, "Request failed: internal server error (500)"},
      {302, "application/json", true, "Request failed: found (302)"},
      {200, "text/html", true, "Request failed: unacceptable content-type: text/html"},
      {200, "TEXT/JAVASCRIPT", true, std::nullopt},
      {200, nullptr, true, "Request failed: unacceptable content-type: application/octet-stream"},
  };
  for (const auto& row : rows) {
    Status s = json.validateResponse(response(row.status, row.type), row.hasBody);
    if (!row.error) {
      EXPECT_TRUE(s.ok()) << row.status << " " << (row.type ? row.type : "-");
    } else {
      ASSERT_FALSE(s.ok()) << row.status;
      EXPECT_EQ(s.error().domain(), kQLHTTPResponseErrorDomain);
      EXPECT_EQ(s.error().description(), *row.error);
    }
  }
  QLImageResponseSerializer images;
  EXPECT_TRUE(images.validateResponse(response(200, "image/gif"), true).ok());
  EXPECT_FALSE(images.validateResponse(response(200, "application/json"), true).ok());
  QLHTTPResponseSerializer data;
  EXPECT_TRUE(data.validateResponse(response(200, "application/zip"), true).ok());
}

TEST(QLHTTPResponseSerializerTest, JsonBodies) {
  QLJSONResponseSerializer json;
  auto r = response(200, "application/json");
  EXPECT_TRUE(json.responseObjectForResponse(r, "")->isNull());
  EXPECT_TRUE(json.responseObjectForResponse(r, " ")->isNull());
  EXPECT_EQ(*json.responseObjectForResponse(r, "{\"a\":[1]}"), Value::dict({{"a", Value::array({1})}}));
  auto notUtf8 = json.responseObjectForResponse(r, "{\"a\":\"\xFF\"}");
  ASSERT_FALSE(notUtf8.ok());
  EXPECT_EQ(notUtf8.error().description(), "Data failed decoding as a UTF-8 string");
  auto malformed = json.responseObjectForResponse(r, "{\"a\":");
  ASSERT_FALSE(malformed.ok());
  EXPECT_EQ(malformed.error().code(), kQLHTTPResponseErrorMalformedJSON);
  QLHTTPResponseSerializer data;
  EXPECT_EQ(*data.responseObjectForResponse(r, std::string("\0\1", 2)), Value(Bytes{0, 1}));
}

TEST(QLAFHTTPRequestOperationManagerTest, BaseURLGetsATrailingSlash) {
  struct Row {
    const char* base;
    const char* relative;
    const char* absolute;
  } rows[] = {
      {"http://h/api/v1", "token", "http://h/api/v1/token"},
      {"http://h/api/v1/", "package/123/emojis", "http://h/api/v1/package/123/emojis"},
      {"http://h", "token", "http://h/token"},
      {"http://h:8080/api/v1", "/root", "http://h:8080/root"},
      {"http://h/api/v1", "http://other/x", "http://other/x"},
      {"http://h/api/v1", "emoji/code/a%20b", "http://h/api/v1/emoji/code/a%20b"},
  };
  for (const auto& row : rows) {
    QL_AFHTTPRequestOperationManager manager(row.base);
    auto url = manager.absoluteURLString(row.relative);
    ASSERT_TRUE(url.ok()) << row.base << " + " << row.relative;
    EXPECT_EQ(*url, row.absolute);
  }
  QL_AFHTTPRequestOperationManager none;
  EXPECT_FALSE(none.absoluteURLString("token").ok());
  EXPECT_TRUE(none.absoluteURLString("http://h/x").ok());
  EXPECT_FALSE(none.setBaseURL("::nonsense").ok());
}

}  // namespace
}  // namespace vexa
