#pragma once
// The one-line reasons the loaders leave for the caller: why the last load
// was refused, or what it had to leave out. SongLoadError and SongLoadWarning
// read them.
#include <string>

void ClearLoadReport();
// The first reason given wins: it is the nearest to the fault.
void SetLoadError(const std::string& reason);
void SetLoadWarning(const std::string& warning);
