// Runs a piece of a test in a forked child, for conditions that must not touch the test program
// itself: a lowered address-space limit, another user's rights. The child's answer comes back as text.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// Runs `body` in a child process and returns the text it returned, or a description of how the child
// failed (a signal, an exception, no answer).
std::string RunInChild(const std::function<std::string()>& body);

// The user and group ids of "nobody", the ordinary user that root's tests act as.
constexpr uid_t kNobodyUid = 65534;
constexpr gid_t kNobodyGid = 65534;
inline constexpr const char* kNoOrdinaryUser = "cannot become an ordinary user";

// Runs `body` in a child process as a user whose file rights follow the mode bits: the test program's own
// user, or "nobody" when the program runs as root (root ignores them). Returns kNoOrdinaryUser when the
// child cannot become "nobody".
std::string RunAsOrdinaryUser(const std::function<std::string()>& body);

// Lowers the calling process's address-space limit to its present size plus `headroomBytes`.
// Returns false when the limit cannot be set.
bool LimitAddressSpace(size_t headroomBytes);

// True in a build with AddressSanitizer or ThreadSanitizer, whose reserved shadow memory makes an
// address-space limit meaningless.
bool SanitizerBuild();
