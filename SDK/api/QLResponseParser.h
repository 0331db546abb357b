// Unpacks the service's response envelope into an error or the records a
// request type expects.
//
// The envelope is a JSON object: "error_code" (0 or absent on success, 1 or
// more an error whose description is "message"), and the result either as
// one object under "data" or as a list under "data_list". Envelope errors are
// QLErrorDomain errors with the service's code (30001: the access token is
// invalid or expired). A body that decoded to nothing (empty) is no error and
// has no data. Answers that are not in this form at all (not an object, a
// "data_list" that is no array, records that are not objects) are errors of
// kErrorDomain rather than silent empty results. Stateless; thread-safe.
#pragma once

#include <optional>
#include <string>

#include "vexa/api/QLRequestType.h"
#include "vexa/api/QLResponse.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLResponseParser {
 public:
  static const char* const kErrorDomain;  // "QLResponseErrorDomain"
  enum Code : int64_t { kNotAnObject = 1, kUnexpectedData = 2 };

  // The envelope's error, if it carries one.
  static std::optional<Error> extraceErrorFromResponse(const Value& response);
  // The error, or the result of the type's parser.
  static Result<QLResponse> parseResponse(const Value& response, int64_t type);

  // The data list: "data" alone when present, else "data_list"; none when
  // both are absent.
  static Result<std::optional<Value::Array>> dataList(const Value& response);

  // Per-type parsers over the data list.
  static Result<QLResponse> parseTokenRequestWithData(const Value::Array& data);
  static Result<QLCategories> parseCategoryWithData(const Value::Array& data);
  static Result<QLResponse> parseEmojisWithData(const Value::Array& data);
  static Result<QLResponse> parseEmojiWithData(const Value::Array& data);
};

}  // namespace vexa
