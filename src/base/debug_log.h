#pragma once
#include <ostream>
#include <string>

// The one debug-log stream ("kov_debug.txt" in the working directory).
// Every complete line reaches the file at once, so nothing is lost when the
// game is killed. Before the log is opened, writes go nowhere.
std::ostream& DebugLog();

// Truncates (or creates) the file and sends the stream to it. Returns false
// when the file cannot be opened; the stream then discards what it is given.
bool OpenDebugLog(const std::string& path = "kov_debug.txt");
void CloseDebugLog();
