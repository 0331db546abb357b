// Errors of image decoding and encoding, in the domain "VXImageErrorDomain".
#pragma once

#include <string>

#include "vexa/platform/Error.h"

namespace vexa {

extern const char* const kQLImageErrorDomain;

enum class QLImageErrorCode {
  EmptyData = 1,     // no bytes at all
  UnknownFormat = 2, // the bytes are of no format this SDK decodes
  Malformed = 3,     // the decoder rejected the bytes (corrupt or truncated)
  TooLarge = 4,      // past a limit of QLImageLimits
  NoFrames = 5,      // an animation without one decodable frame
  EncodeFailed = 6,
};

Error qlImageError(QLImageErrorCode code, std::string description);

}  // namespace vexa
