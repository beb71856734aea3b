// A full disk for tests: writers that fail halfway through.
#pragma once

#include <functional>

// Runs fn with writes to files limited to limit bytes, as a full disk does:
// a write past it fails (the signal it would raise is ignored meanwhile).
// Nothing may be printed to a file while fn runs.
void WithFileSizeLimit(unsigned long limit, const std::function<void()>& fn);
