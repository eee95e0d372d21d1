#include "signal/FileNames.h"

std::string FileNameWithoutFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
