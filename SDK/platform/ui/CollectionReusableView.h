// A view a collection or table view recycles: it carries the reuse
// identifier it was registered under and is told before it is handed out
// again. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/ui/CollectionViewLayoutAttributes.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class CollectionReusableView : public View {
 public:
  explicit CollectionReusableView(Rect frame = {}) : View(frame) {}

  const std::string& reuseIdentifier() const { return reuseIdentifier_; }
  void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }
  // Called before a recycled view is handed out again.
  virtual void prepareForReuse() {}
  // Takes frame, alpha and visibility from the layout.
  virtual void applyLayoutAttributes(const CollectionViewLayoutAttributes& attributes);

 private:
  std::string reuseIdentifier_;
};

}  // namespace vexa
