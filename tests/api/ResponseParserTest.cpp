#include <gtest/gtest.h>

#include "vexa/api/QLLookupAnswer.h"
#include "vexa/api/QLResponseParser.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa {
namespace {

Value json(const std::string& text) {
  auto parsed = JsonCodec::parse(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed.ok() ? parsed.value() : Value();
}

Result<QLResponse> parse(const std::string& text, int64_t type) {
  return QLResponseParser::parseResponse(text.empty() ? Value() : json(text), type);
}

TEST(QLResponseParserTest, EnvelopeErrors) {
  struct Row {
    const char* body;
    std::optional<int64_t> code;
    const char* message;
  } rows[] = {
      {R"({"error_code":0,"data_list":[]})", std::nullopt, ""},
      {R"({"data_list":[]})", std::nullopt, ""},
      {R"({"error_code":-3})", std::nullopt, ""},
      {R"({"error_code":30001,"message":"token expired"})", 30001, "token expired"},
      {R"({"error_code":"40004","message":"no such package"})", 40004, "no such package"},
      {R"({"error_code":1.0})", 1, ""},
      {R"({"error_code":7,"message":null})", 7, ""},
  };
  for (const auto& row : rows) {
    auto error = QLResponseParser::extraceErrorFromResponse(json(row.body));
    ASSERT_EQ(error.has_value(), row.code.has_value()) << row.body;
    if (!error) continue;
    EXPECT_EQ(error->domain(), kQLErrorDomain);
    EXPECT_EQ(error->code(), *row.code);
    EXPECT_EQ(error->description(), row.message);
    auto result = parse(row.body, QLRequestTypeCategory);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), *error) << "an envelope error wins over the data";
  }
}

TEST(QLResponseParserTest, DataAndDataListByType) {
  auto single = parse(R"({"error_code":0,"data":{"guid":"p1"}})", QLRequestTypePackage);
  ASSERT_TRUE(single.ok());
  EXPECT_EQ(*single->value(), Value::dict({{"guid", "p1"}})) << "one element: the element itself";

  auto two = parse(R"({"data_list":[{"a":1},{"a":2}]})", QLRequestTypeCheckNewPackages);
  EXPECT_EQ(two->value()->size(), 2u) << "more than one: the list";
  auto emptyGeneric = parse(R"({"data_list":[]})", QLRequestTypeEmoji);
  ASSERT_TRUE(emptyGeneric->value());
  EXPECT_TRUE(emptyGeneric->value()->isArray());
  EXPECT_TRUE(parse(R"({"error_code":0})", QLRequestTypeEmoji)->isNil()) << "absent list: nil";
  EXPECT_TRUE(parse("", QLRequestTypeEmoji)->isNil()) << "an empty body: nil";
  auto nullData = parse(R"({"data":null,"data_list":[{"x":1}]})", QLRequestTypePackage);
  EXPECT_EQ(*nullData->value(), Value::dict({{"x", 1}})) << "a null \"data\" counts as absent";

  auto noCategories = parse(R"({"data_list":[]})", QLRequestTypeCategory);
  ASSERT_TRUE(noCategories->categories());
  EXPECT_TRUE(noCategories->categories()->empty()) << "type 2: an empty array";
  EXPECT_TRUE(parse(R"({"data_list":[]})", QLRequestTypePackageEmojis)->isNil()) << "type 5: nil";

  auto categories = parse(
      R"({"data_list":[{"guid":"c1","category_name":"Hot","emoticion_packages":[{"guid":"p"}]},
                       {"guid":"c2","banner_name":"Top"}]})",
      QLRequestTypeBanner);
  ASSERT_EQ(categories->categories()->size(), 2u);
  EXPECT_EQ(categories->categories()->at(0)->packages().at(0)->guid(), "p");
  EXPECT_EQ(categories->categories()->at(1)->name(), "Top");

  auto emojis = parse(R"({"data":{"guid":"pk","emoticions":[{"guid":"e1","emo_code":"smile"},{"guid":"e2"}]}})",
                      QLRequestTypePackageEmojis);
  ASSERT_TRUE(emojis->emojis());
  ASSERT_EQ(emojis->emojis()->size(), 2u);
  EXPECT_EQ(emojis->emojis()->at(0)->emo_code(), "smile");
  auto noEmoticions = parse(R"({"data":{"guid":"pk"}})", QLRequestTypePackageEmojis);
  ASSERT_TRUE(noEmoticions->emojis());
  EXPECT_TRUE(noEmoticions->emojis()->empty());

  auto one = parse(R"({"data":{"guid":"e9","emo_code":"x"}})", QLRequestTypeEmojiByCode);
  ASSERT_TRUE(one->emoji());
  EXPECT_EQ(one->emoji()->guid(), "e9");
  EXPECT_TRUE(parse(R"({"data_list":[]})", QLRequestTypeEmojiByCode)->isNil());

  auto token = parse(R"({"data":{"access_token":"abc"}})", QLRequestTypeToken);
  ASSERT_TRUE(token->token());
  EXPECT_EQ(*token->token(), "abc");
  EXPECT_TRUE(parse(R"({"data_list":[]})", QLRequestTypeToken)->isNil());
}

TEST(QLResponseParserTest, AnswersOfTheWrongShapeAreErrors) {
  struct Row {
    const char* body;
    int64_t type;
    int64_t code;
  } rows[] = {
      {R"([1,2])", QLRequestTypeCategory, QLResponseParser::kNotAnObject},
      {R"("text")", QLRequestTypeEmoji, QLResponseParser::kNotAnObject},
      {R"({"data_list":{"a":1}})", QLRequestTypeCategory, QLResponseParser::kUnexpectedData},
      {R"({"data_list":[1]})", QLRequestTypeCategory, QLResponseParser::kUnexpectedData},
      {R"({"data_list":["x"]})", QLRequestTypeToken, QLResponseParser::kUnexpectedData},
      {R"({"data":{"emoticions":"none"}})", QLRequestTypePackageEmojis, QLResponseParser::kUnexpectedData},
      {R"({"data":{"emoticions":[3]}})", QLRequestTypePackageEmojis, QLResponseParser::kUnexpectedData},
      {R"({"data":7})", QLRequestTypeEmojiByCode, QLResponseParser::kUnexpectedData},
  };
  for (const auto& row : rows) {
    auto result = parse(row.body, row.type);
    ASSERT_FALSE(result.ok()) << row.body;
    EXPECT_EQ(result.error().domain(), QLResponseParser::kErrorDomain) << row.body;
    EXPECT_EQ(result.error().code(), row.code) << row.body;
  }
}

// An emoji without a guid would pass for found; guids that are not strings
// or numbers leave none (the first answer, a duplicate key, came from a fuzzer).
TEST(QLLookupAnswerTest, OnlyElementsGivingAGuidAreFound) {
  const std::vector<std::string> asked = {"", "a", "b", "c", "d", "e", "f"};
  auto found = [&](const std::string& body) {
    std::vector<std::string> codes;
    for (const auto& emoji : QLLookupAnswer::parse(json(body), asked).emojis) {
      EXPECT_FALSE(emoji->guid().empty()) << body;
      codes.push_back(emoji->emo_code());
    }
    return codes;
  };
  EXPECT_TRUE(found(R"({"data_list":[{"guid":"g","emoji_code":"x","guid":[{"guid":":"}]}]})").empty());
  EXPECT_EQ(found(R"({"data_list":[{"guid":[],"emo_code":"a"},{"guid":{"g":1},"emo_code":"b"},)"
                  R"({"guid":true,"emo_code":"c"},{"guid":"","emo_code":"d"},{"guid":null,"emo_code":"e"},)"
                  R"({"emo_code":"f"},{"guid":7,"emo_code":"a"},{"guid":"g","emo_code":"b"}]})"),
            (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace vexa
