// Names of the application-wide notifications the platform posts on
// NotificationCenter::defaultCenter(). A host forwards its own system events
// under these names (for example a low-memory signal from its toolkit).
#pragma once

namespace vexa {

// The system is short of memory: caches should drop what they can rebuild.
inline constexpr char kMemoryWarningNotification[] = "VXApplicationDidReceiveMemoryWarningNotification";
// The application is about to exit.
inline constexpr char kApplicationWillTerminateNotification[] = "VXApplicationWillTerminateNotification";
// The application went to the background.
inline constexpr char kApplicationDidEnterBackgroundNotification[] =
    "VXApplicationDidEnterBackgroundNotification";

}  // namespace vexa
