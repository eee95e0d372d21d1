#include "signal/FileErrors.h"

#include <cstring>

std::string CreateErrorMessage(const std::string& path, int err) {
    return "Cannot create file \"" + path + "\". " + std::strerror(err);
}

std::string WriteErrorMessage(const std::string& path, int err) {
    return WriteErrorMessage(path, std::string(std::strerror(err)));
}

std::string WriteErrorMessage(const std::string& path, const std::string& reason) {
    return "Cannot write file \"" + path + "\". " + reason;
}
