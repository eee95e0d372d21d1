#include "signal/FileErrors.h"

#include <cstring>

std::string CreateErrorMessage(const std::string& path, int err) {
    return "Cannot create file \"" + path + "\". " + std::strerror(err);
}

std::string WriteErrorMessage(const std::string& path, int err) {
    return "Cannot write file \"" + path + "\". " + std::strerror(err);
}
