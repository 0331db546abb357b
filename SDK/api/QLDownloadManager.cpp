#include "api/QLDownloadManager.h"

#include "platform/Once.h"

namespace vexa {

QLDownloadManager& QLDownloadManager::defaultManager() { return Once<QLDownloadManager>::instance(); }

}  // namespace vexa
