#include "music/format/load_report.h"

#include "music/player.h"

namespace {

std::string loadError;
std::string loadWarning;

}  // namespace

void ClearLoadReport() {
    loadError.clear();
    loadWarning.clear();
}

void SetLoadError(const std::string& reason) {
    if (loadError.empty()) loadError = reason;
}

void SetLoadWarning(const std::string& warning) {
    if (loadWarning.empty()) loadWarning = warning;
}

const char* SongLoadError() {
    return loadError.c_str();
}

const char* SongLoadWarning() {
    return loadWarning.c_str();
}
