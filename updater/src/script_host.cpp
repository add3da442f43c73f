#include "script_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <lua.hpp>

#include "platform/paths.h"
#include "update_session.h"

namespace renovo {
namespace {

constexpr int kStopHookCount = 1000;  // instructions between checks of the stop flag
const char kStopFlagKey = 0;          // registry key (by address) of the stop flag

// Text of the value at `index`: strings, and numbers in their text form.
std::string TextAt(lua_State* L, int index) {
  size_t length = 0;
  const char* text = lua_type(L, index) == LUA_TSTRING || lua_type(L, index) == LUA_TNUMBER
                         ? lua_tolstring(L, index, &length)
                         : nullptr;
  return text ? std::string(text, length) : std::string();
}

std::string GlobalText(lua_State* L, const char* name) {
  lua_getglobal(L, name);
  std::string text = TextAt(L, -1);
  lua_pop(L, 1);
  return text;
}

void PrintLine(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

struct StateCloser {
  void operator()(lua_State* L) const { lua_close(L); }
};
using OwnedState = std::unique_ptr<lua_State, StateCloser>;

UpdateSession* SessionOf(lua_State* L) { return static_cast<UpdateSession*>(lua_touserdata(L, lua_upvalueindex(1))); }

int LuaUpdateProcess(lua_State* L) {
  const double percent = luaL_checknumber(L, 1);
  const char* text = luaL_optstring(L, 2, "");
  SessionOf(L)->UpdateProcess(percent, text);
  return 0;
}

int LuaDownLoadFinish(lua_State* L) {
  SessionOf(L)->DownLoadFinish();
  return 0;
}

int LuaPromtNoVersion(lua_State* L) {
  SessionOf(L)->PromtNoVersion();
  // The program has normally ended by now; when it has not, the script must
  // not go on as if it had.
  return luaL_error(L, "PromtNoVersion: no newer version");
}

int LuaGetInstance(lua_State* L) {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&LuaGetInstance), &info);
  lua_pushnumber(L, static_cast<lua_Number>(reinterpret_cast<uintptr_t>(info.dli_fbase)));
  return 1;
}

void StopHook(lua_State* L, lua_Debug*) {
  lua_pushlightuserdata(L, const_cast<char*>(&kStopFlagKey));
  lua_rawget(L, LUA_REGISTRYINDEX);
  const auto* stop = static_cast<const std::atomic<bool>*>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  if (!stop || !stop->load()) return;
  // From now on every instruction fails, so a script that catches the error
  // with pcall cannot carry on: the next instruction of its catching frame
  // fails as well, up to the outermost one.
  lua_sethook(L, StopHook, LUA_MASKCOUNT, 1);
  luaL_error(L, "update cancelled");
}

void SetStopFlag(lua_State* L, const std::atomic<bool>* stop) {
  lua_pushlightuserdata(L, const_cast<char*>(&kStopFlagKey));
  if (stop) lua_pushlightuserdata(L, const_cast<std::atomic<bool>*>(stop));
  else lua_pushnil(L);
  lua_rawset(L, LUA_REGISTRYINDEX);
  lua_sethook(L, stop ? StopHook : nullptr, stop ? LUA_MASKCOUNT : 0, stop ? kStopHookCount : 0);
}

}  // namespace

std::string PcallFailedText(const std::string& message, int status) {
  return "pcall FAILED " + message + " " + std::to_string(status);
}

bool RunVersionConfig(const std::string& path, VersionConfig* config, std::string* error) {
  OwnedState state(luaL_newstate());
  lua_State* L = state.get();
  if (!L) {
    *error = PcallFailedText("not enough memory", LUA_ERRMEM);
    return false;
  }
  int status = luaL_loadfile(L, path.c_str());
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  if (status != 0) {
    *error = PcallFailedText(TextAt(L, -1), status);
    return false;
  }
  config->swName = GlobalText(L, "swName");
  config->executeName = GlobalText(L, "executeName");
  return true;
}

std::string CheckLastVersion(const std::string& programFolder) {
  OwnedState state(luaL_newstate());
  lua_State* L = state.get();
  if (!L) return {};
  if (chdir(programFolder.c_str()) != 0) PrintLine("cannot enter " + programFolder);
  luaL_openlibs(L);

  int status = luaL_loadfile(L, platform::JoinPath(programFolder, "checkver.ulf").c_str());
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  if (status != 0) {
    if (lua_isstring(L, -1)) PrintLine(PcallFailedText(TextAt(L, -1), status));
    return {};
  }
  lua_getglobal(L, "CheckLastVersion");
  if (!lua_isfunction(L, -1)) return {};
  // Protected: a failing check must not take the updater down with it.
  status = lua_pcall(L, 0, 1, 0);
  if (status != 0) {
    PrintLine(PcallFailedText(TextAt(L, -1), status));
    return {};
  }
  return TextAt(L, -1);
}

void RegisterGetInstance(lua_State* L) { lua_register(L, "GetInstance", LuaGetInstance); }

void RegisterUpdateFunctions(lua_State* L, UpdateSession* session) {
  const struct {
    const char* name;
    lua_CFunction function;
  } functions[] = {
      {"UpdateProcess", LuaUpdateProcess},
      {"DownLoadFinish", LuaDownLoadFinish},
      {"PromtNoVersion", LuaPromtNoVersion},
  };
  for (const auto& entry : functions) {
    lua_pushlightuserdata(L, session);
    lua_pushcclosure(L, entry.function, 1);
    lua_setglobal(L, entry.name);
  }
}

int RunUpdateScript(lua_State* L, const std::string& path, const std::atomic<bool>& stop,
                    const std::function<void()>& loaded) {
  int status = luaL_loadfile(L, path.c_str());
  if (loaded) loaded();
  if (status == 0) {
    SetStopFlag(L, &stop);
    status = lua_pcall(L, 0, LUA_MULTRET, 0);
    SetStopFlag(L, nullptr);
  }
  if (status != 0) PrintLine(PcallFailedText(TextAt(L, -1), status));
  lua_settop(L, 0);
  return status;
}

}  // namespace renovo
