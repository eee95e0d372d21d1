// The error the mixed-radix FFT raises for a length it cannot transform. It reaches the window's
// general error report like any other unexpected failure.
#pragma once

#include <stdexcept>

class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
