// The package file host and the service's web pages: the files a catalogue
// references under "/files/<reference>", each package's archive under
// "/files/<guid>.zip", and the terms page "/pages/sdk/term.html".
// Nothing else is served, so no path can reach beyond the catalogue.
// Stateless; any thread.
#pragma once

#include <string>
#include <string_view>

#include "service/Catalog.h"

namespace vexa::service {

class FileHost {
 public:
  static constexpr const char* kPrefix = "/files/";
  static constexpr const char* kTermsPath = "/pages/sdk/term.html";

  struct Reply {
    int status = 200;
    std::string contentType;
    std::string body;
  };

  // True for the paths this host answers (the rest belongs to the API).
  static bool handles(std::string_view decodedPath);
  // The answer for a GET of the decoded path; 404 for anything unknown.
  static Reply serve(const Catalog& catalog, std::string_view decodedPath);
  // The content type for a file name, from its extension.
  static std::string contentTypeFor(std::string_view name);
};

}  // namespace vexa::service
