#include "vexa/api/QLResponseParser.h"

#include "vexa/store/RecordCoding.h"

namespace vexa {

const char* const QLResponseParser::kErrorDomain = "QLResponseErrorDomain";

namespace {

Error unexpected(const std::string& what) {
  return Error(QLResponseParser::kErrorDomain, QLResponseParser::kUnexpectedData,
               "The service's answer is not in the expected form: " + what);
}

int64_t errorCode(const Value& response) {
  const Value* code = response.find("error_code");
  if (!code) return 0;
  if (auto n = code->numberAsInteger()) return *n;
  if (auto* s = code->asString()) return RecordCoding::integerFromString(*s);
  return 0;
}

}  // namespace

std::optional<Error> QLResponseParser::extraceErrorFromResponse(const Value& response) {
  int64_t code = errorCode(response);
  if (code < 1) return std::nullopt;
  const Value* message = response.find("message");
  std::string description;
  if (message && !message->isNull()) {
    description = message->isString() ? *message->asString() : message->description();
  }
  return qlErrorWithCode(code, std::move(description));
}

Result<std::optional<Value::Array>> QLResponseParser::dataList(const Value& response) {
  const Value* data = response.find("data");
  if (data && !data->isNull()) return std::optional<Value::Array>(Value::Array{*data});
  const Value* list = response.find("data_list");
  if (!list || list->isNull()) return std::optional<Value::Array>();
  if (!list->isArray()) return unexpected("\"data_list\" is not a list");
  return std::optional<Value::Array>(*list->asArray());
}

Result<QLResponse> QLResponseParser::parseResponse(const Value& response, int64_t type) {
  if (!response.isNull() && !response.isDictionary()) {
    return Error(kErrorDomain, kNotAnObject, "The service's answer is not a JSON object");
  }
  if (auto error = extraceErrorFromResponse(response)) return *error;
  auto list = dataList(response);
  if (!list) return list.error();
  const std::optional<Value::Array>& data = *list;
  static const Value::Array kNone;
  switch (type) {
    case QLRequestTypeToken:
      return parseTokenRequestWithData(data ? *data : kNone);
    case QLRequestTypeBanner:
    case QLRequestTypeCategory:
    case QLRequestTypeDefaultPackages:
    case QLRequestTypeRecommend: {
      auto categories = parseCategoryWithData(data ? *data : kNone);
      if (!categories) return categories.error();
      return QLResponse(std::move(categories).value());
    }
    case QLRequestTypePackageEmojis:
      return parseEmojisWithData(data ? *data : kNone);
    case QLRequestTypeEmojiByCode:
      return parseEmojiWithData(data ? *data : kNone);
    default:
      if (!data) return QLResponse();
      if (data->size() == 1) return QLResponse(data->front());
      return QLResponse(Value(*data));
  }
}

Result<QLResponse> QLResponseParser::parseTokenRequestWithData(const Value::Array& data) {
  if (data.empty()) return QLResponse();
  if (!data.front().isDictionary()) return unexpected("the token is not in an object");
  const Value* token = data.front().find("access_token");
  if (!token || token->isNull()) return QLResponse();
  std::string text = token->isString() ? *token->asString() : token->description();
  return QLResponse(QLResponse::Token{std::move(text)});
}

Result<QLCategories> QLResponseParser::parseCategoryWithData(const Value::Array& data) {
  QLCategories out;
  out.reserve(data.size());
  for (const Value& element : data) {
    if (!element.isDictionary()) return unexpected("a category is not an object");
    auto category = std::make_shared<QLCategory>();
    category->updateWithKeyValues(element);
    out.push_back(std::move(category));
  }
  return out;
}

Result<QLResponse> QLResponseParser::parseEmojisWithData(const Value::Array& data) {
  if (data.empty()) return QLResponse();
  if (!data.front().isDictionary()) return unexpected("the package is not an object");
  QLEmojis out;
  const Value* list = data.front().find("emoticions");
  if (list && !list->isNull()) {
    if (!list->isArray()) return unexpected("\"emoticions\" is not a list");
    out.reserve(list->asArray()->size());
    for (const Value& element : *list->asArray()) {
      if (!element.isDictionary()) return unexpected("an emoji is not an object");
      auto emoji = std::make_shared<QLEmoji>();
      emoji->updateWithKeyValues(element);
      out.push_back(std::move(emoji));
    }
  }
  return QLResponse(std::move(out));
}

Result<QLResponse> QLResponseParser::parseEmojiWithData(const Value::Array& data) {
  if (data.empty()) return QLResponse();
  if (!data.front().isDictionary()) return unexpected("the emoji is not an object");
  auto emoji = std::make_shared<QLEmoji>();
  emoji->updateWithKeyValues(data.front());
  return QLResponse(std::move(emoji));
}

}  // namespace vexa
