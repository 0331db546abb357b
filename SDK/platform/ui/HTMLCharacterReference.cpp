#include "vexa/platform/ui/HTMLCharacterReference.h"

#include <glib.h>

#include <array>
#include <unordered_map>

namespace vexa {

namespace {

// U+00A0 to U+00FF in order.
constexpr std::array<const char*, 96> kLatin1 = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// Greek capitals from U+0391 and small letters from U+03B1, in order
// (U+03A2 is unassigned; U+03C2 is the final sigma).
constexpr std::array<const char*, 25> kGreekCapital = {
    "Alpha", "Beta",  "Gamma", "Delta",   "Epsilon", "Zeta", "Eta", "Theta", "Iota",
    "Kappa", "Lambda", "Mu",   "Nu",      "Xi",      "Omicron", "Pi", "Rho", nullptr,
    "Sigma", "Tau",   "Upsilon", "Phi",   "Chi",     "Psi",  "Omega",
};
constexpr std::array<const char*, 25> kGreekSmall = {
    "alpha", "beta",  "gamma", "delta",   "epsilon", "zeta", "eta", "theta", "iota",
    "kappa", "lambda", "mu",   "nu",      "xi",      "omicron", "pi", "rho", "sigmaf",
    "sigma", "tau",   "upsilon", "phi",   "chi",     "psi",  "omega",
};

struct Entry {
  const char* name;
  char32_t code;
};

constexpr Entry kOthers[] = {
    {"quot", 34},       {"amp", 38},        {"apos", 39},      {"lt", 60},         {"gt", 62},
    {"OElig", 338},     {"oelig", 339},     {"Scaron", 352},   {"scaron", 353},    {"Yuml", 376},
    {"fnof", 402},      {"circ", 710},      {"tilde", 732},    {"thetasym", 977},  {"upsih", 978},
    {"piv", 982},       {"ensp", 8194},     {"emsp", 8195},    {"thinsp", 8201},   {"zwnj", 8204},
    {"zwj", 8205},      {"lrm", 8206},      {"rlm", 8207},     {"ndash", 8211},    {"mdash", 8212},
    {"lsquo", 8216},    {"rsquo", 8217},    {"sbquo", 8218},   {"ldquo", 8220},    {"rdquo", 8221},
    {"bdquo", 8222},    {"dagger", 8224},   {"Dagger", 8225},  {"bull", 8226},     {"hellip", 8230},
    {"permil", 8240},   {"prime", 8242},    {"Prime", 8243},   {"lsaquo", 8249},   {"rsaquo", 8250},
    {"oline", 8254},    {"frasl", 8260},    {"euro", 8364},    {"image", 8465},    {"weierp", 8472},
    {"real", 8476},     {"trade", 8482},    {"alefsym", 8501}, {"larr", 8592},     {"uarr", 8593},
    {"rarr", 8594},     {"darr", 8595},     {"harr", 8596},    {"crarr", 8629},    {"lArr", 8656},
    {"uArr", 8657},     {"rArr", 8658},     {"dArr", 8659},    {"hArr", 8660},     {"forall", 8704},
    {"part", 8706},     {"exist", 8707},    {"empty", 8709},   {"nabla", 8711},    {"isin", 8712},
    {"notin", 8713},    {"ni", 8715},       {"prod", 8719},    {"sum", 8721},      {"minus", 8722},
    {"lowast", 8727},   {"radic", 8730},    {"prop", 8733},    {"infin", 8734},    {"ang", 8736},
    {"and", 8743},      {"or", 8744},       {"cap", 8745},     {"cup", 8746},      {"int", 8747},
    {"there4", 8756},   {"sim", 8764},      {"cong", 8773},    {"asymp", 8776},    {"ne", 8800},
    {"equiv", 8801},    {"le", 8804},       {"ge", 8805},      {"sub", 8834},      {"sup", 8835},
    {"nsub", 8836},     {"sube", 8838},     {"supe", 8839},    {"oplus", 8853},    {"otimes", 8855},
    {"perp", 8869},     {"sdot", 8901},     {"lceil", 8968},   {"rceil", 8969},    {"lfloor", 8970},
    {"rfloor", 8971},   {"lang", 10216},    {"rang", 10217},   {"loz", 9674},      {"spades", 9824},
    {"clubs", 9827},    {"hearts", 9829},   {"diams", 9830},
};

// Windows-1252 for 0x80 to 0x9F; 0 where it has no character.
constexpr std::array<char32_t, 32> kWindows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

using Table = std::unordered_map<std::string_view, char32_t>;

const Table& table() {
  static const Table names = [] {
    Table t;
    for (size_t i = 0; i < kLatin1.size(); ++i) t.emplace(kLatin1[i], static_cast<char32_t>(0xA0 + i));
    for (size_t i = 0; i < kGreekCapital.size(); ++i)
      if (kGreekCapital[i]) t.emplace(kGreekCapital[i], static_cast<char32_t>(0x391 + i));
    for (size_t i = 0; i < kGreekSmall.size(); ++i)
      t.emplace(kGreekSmall[i], static_cast<char32_t>(0x3B1 + i));
    for (const auto& e : kOthers) t.emplace(e.name, e.code);
    return t;
  }();
  return names;
}

}  // namespace

std::optional<char32_t> HTMLCharacterReference::named(std::string_view name) {
  const auto& t = table();
  auto it = t.find(name);
  if (it == t.end()) return std::nullopt;
  return it->second;
}

char32_t HTMLCharacterReference::numeric(uint64_t value) {
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0xFFFD;
  if (value >= 0x80 && value <= 0x9F) {
    char32_t mapped = kWindows1252[value - 0x80];
    return mapped ? mapped : static_cast<char32_t>(value);
  }
  return static_cast<char32_t>(value);
}

void HTMLCharacterReference::appendUTF8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  char bytes[6];
  int length = g_unichar_to_utf8(static_cast<gunichar>(c), bytes);
  out.append(bytes, static_cast<size_t>(length));
}

}  // namespace vexa
