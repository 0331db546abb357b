// vexa parse [--local] TEXT|-: the message parser on one chat message, given
// as the argument or, for "-", read from standard input (so that neither
// its length nor a leading "-" is limited by the command line).
//
// Prints a JSON array of {"text": "..."} and {"emoji": {...}} elements on
// standard output and nothing else; failures go to standard error.
#include <iostream>
#include <iterator>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/Value.h"
#include "vexa/text/VXTextParser.h"

namespace vexa::tool {
namespace {

Value elementsJson(const VXTextElements& elements) {
  Value::Array out;
  for (const auto& element : elements) {
    if (const auto* text = std::get_if<std::string>(&element)) {
      out.push_back(Value::dict({{"text", *text}}));
    } else if (const auto& emoji = std::get<std::shared_ptr<VXEmoji>>(element)) {
      out.push_back(Value::dict({{"emoji", emojiJson(*emoji)}}));
    }
  }
  return Value(std::move(out));
}

// Standard input up to its end, without the one line break that ends it
// when it was typed or echoed.
std::string readMessage(std::istream& in) {
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (text.ends_with('\n')) {
    text.pop_back();
    if (text.ends_with('\r')) text.pop_back();
  }
  return text;
}

int runParse(const GlobalOptions& options, std::string text, bool local) {
  if (text == "-") {
    text = readMessage(std::cin);
    if (std::cin.bad()) return fail("cannot read the message from standard input");
  }
  if (local) {
    if (Status opened = openSdk(options); !opened) return fail(opened.error());
  } else if (Status configured = configureSdk(options, ServiceUse::api); !configured) {
    return fail(configured.error());
  }
  auto parsed = awaitAnswer<Result<VXTextElements>>([&text, local](auto done) {
    if (local) {
      VXTextParser::localParseVXText(text, [done](VXTextElements elements) { done(std::move(elements)); });
    } else {
      VXTextParser::parseVXText(text, [done](Result<VXTextElements> result) { done(result); });
    }
  });
  finishSdkWork();
  if (!parsed) return fail("the parse did not finish in time");
  if (!parsed->ok()) return fail(parsed->error());
  std::cout << JsonCodec::serialize(elementsJson(**parsed)) << "\n";
  return 0;
}

}  // namespace

void addParseCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("parse", "parse a chat message into text pieces and emojis (JSON)");
  auto local = std::make_shared<bool>(false);
  auto text = std::make_shared<std::string>();
  cmd->add_flag("--local", *local, "use only the emojis on this device; ask the service nothing");
  cmd->add_option("TEXT", *text, "the message, emojis written as [code]; - reads it from standard input")
      ->required();
  cmd->callback([&options, &status, local, text] { status = runParse(options, *text, *local); });
}

}  // namespace vexa::tool
