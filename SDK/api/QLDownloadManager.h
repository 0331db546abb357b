// The one client of the emoticon service.
//
// Holds the host's credentials (application id and secret, user id) and the
// access token in memory; the secret is never stored. Main thread only,
// except defaultManager() which may be called from any thread.
#pragma once

#include <string>

namespace vexa {

class QLDownloadManager {
 public:
  static QLDownloadManager& defaultManager();

  const std::string& appId() const { return appId_; }
  void setAppId(std::string v) { appId_ = std::move(v); }
  const std::string& appSecret() const { return appSecret_; }
  void setAppSecret(std::string v) { appSecret_ = std::move(v); }
  const std::string& userId() const { return userId_; }
  void setUserId(std::string v) { userId_ = std::move(v); }
  const std::string& accessToken() const { return accessToken_; }
  void setAccessToken(std::string v) { accessToken_ = std::move(v); }

 private:
  std::string appId_;
  std::string appSecret_;
  std::string userId_;
  std::string accessToken_;
};

}  // namespace vexa
