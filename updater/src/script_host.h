#pragma once
// The updater's Lua 5.1 side: the product settings in "version.cfg", the
// version check in "checkver.ulf", and the update script "UpdateSelf.ulf"
// with the functions it is given.

#include <atomic>
#include <functional>
#include <string>

struct lua_State;

namespace renovo {

class UpdateSession;

struct VersionConfig {
  std::string swName;       // product name shown in the title
  std::string executeName;  // file name of the program to close and restart
};

// "pcall FAILED <message> <status>", the form every script failure takes.
std::string PcallFailedText(const std::string& message, int status);

// Runs the file in a bare state (no standard libraries) and reads the
// global strings swName and executeName (empty when not set). False with
// `error` set when the file cannot be loaded or fails.
bool RunVersionConfig(const std::string& path, VersionConfig* config, std::string* error);

// Runs "checkver.ulf" of the program folder in a state of its own, with the
// current directory set to the program folder (left there for the update
// script), and returns what its global CheckLastVersion() gives as text.
// Empty when the script is missing or fails, when it defines no such
// function, when the function fails, or when its result is not a string or
// number. Failures are written to standard output.
std::string CheckLastVersion(const std::string& programFolder);

// GetInstance() in the main state: the program's load address as a number.
void RegisterGetInstance(lua_State* L);

// UpdateProcess(percent, text), DownLoadFinish() and PromtNoVersion() in the
// main state, acting on `session`, which must outlive the state's use.
void RegisterUpdateFunctions(lua_State* L, UpdateSession* session);

// Loads the script into `L`, calls `loaded`, and runs it. While it runs, a
// set `stop` ends it at the next hook (every few thousand instructions), so
// the state can be closed safely afterwards. Returns 0 or the Lua status;
// a failure is written to standard output.
int RunUpdateScript(lua_State* L, const std::string& path, const std::atomic<bool>& stop,
                    const std::function<void()>& loaded);

}  // namespace renovo
