// Draws the sample catalogue (SampleContent) and writes it as a catalogue
// directory that CatalogLoader reads: catalog.json plus PNG and animated GIF
// files under "images/". Everything is drawn here with cairo and Pango and
// encoded with libpng (through cairo) and giflib, so the output is the same
// on every run. Callers serialise calls that write to the same directory.
#pragma once

#include <filesystem>

#include "vexa/platform/Result.h"

namespace vexa::service {

class SampleCatalogGenerator {
 public:
  // Changes whenever the generated content changes, so caches can tell.
  static constexpr int kContentVersion = 1;

  // Writes the catalogue into the directory (created when missing). The
  // files are not synced to disk; catalog.json is written last.
  static Status write(const std::filesystem::path& directory);
};

}  // namespace vexa::service
