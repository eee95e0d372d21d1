// Runs a piece of a test in a forked child, for conditions that must not touch the test program
// itself: a lowered address-space limit, another user's rights. The child's answer comes back as text.
#pragma once

#include <functional>
#include <string>

// Runs `body` in a child process and returns the text it returned, or a description of how the child
// failed (a signal, an exception, no answer).
std::string RunInChild(const std::function<std::string()>& body);

// Lowers the calling process's address-space limit to its present size plus `headroomBytes`.
// Returns false when the limit cannot be set.
bool LimitAddressSpace(size_t headroomBytes);

// True in a build with AddressSanitizer or ThreadSanitizer, whose reserved shadow memory makes an
// address-space limit meaningless.
bool SanitizerBuild();
