#include "script/sandbox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/dataFiles.h"
#include "core/report.h"
#include "script/budgetedCall.h"
#include "script/libraryBounds.h"

namespace {

struct ScriptMemory {
    size_t used = 0;
    size_t peak = 0;
    bool enforced = false;
    size_t reserve = 0;  // room past the ceiling for a game function's own work
};

void* limitedAlloc(void* data, void* block, size_t oldSize, size_t newSize)
{
    ScriptMemory& memory = *static_cast<ScriptMemory*>(data);
    if (newSize == 0) {
        std::free(block);
        memory.used -= oldSize;
        return nullptr;
    }
    const size_t limit = SCRIPT_MEMORY_CEILING + memory.reserve;
    if (memory.enforced && newSize > oldSize && newSize - oldSize > limit - std::min(memory.used, limit))
        return nullptr;  // Lua raises its memory error
    void* grown = std::realloc(block, newSize);
    if (!grown) return nullptr;
    memory.used = memory.used - oldSize + newSize;
    memory.peak = std::max(memory.peak, memory.used);
    return grown;
}

ScriptMemory* memoryOf(lua_State* L)
{
    void* data = nullptr;
    return lua_getallocf(L, &data) == limitedAlloc ? static_cast<ScriptMemory*>(data) : nullptr;
}

// Every Lua error the game can meet is caught by a protected call; reaching this
// is a fault of the game, and it must not end the process without a word.
int panicLine(lua_State* L)
{
    const char* message = lua_tostring(L, -1);
    std::fprintf(stderr, "Lua panic, the game cannot go on: %s\n", message ? message : "(no message)");
    std::fflush(stderr);
    return 0;
}

bool isBinaryChunk(const char* text, size_t size) { return size > 0 && text[0] == LUA_SIGNATURE[0]; }

int refuseBinary(lua_State* L)
{
    lua_pushnil(L);
    lua_pushliteral(L, "binary chunks are not loaded");
    return 2;
}

int loadResult(lua_State* L, int status)
{
    if (status == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

// Source is handed to the parser in slices, each paid for, so that the deadline
// stops a compile that takes long (a long elseif chain takes quadratic time).
const size_t SOURCE_SLICE = 16 << 10;

struct SourceSlices {
    const char* text;
    size_t left;
    bool started;
};

const char* nextSlice(lua_State* L, SourceSlices& source, size_t* size)
{
    if (source.started) chargeLibrarySteps(L, static_cast<long long>(SOURCE_SLICE));
    source.started = true;
    *size = std::min(source.left, SOURCE_SLICE);
    const char* slice = source.text;
    source.text += *size;
    source.left -= *size;
    return *size ? slice : nullptr;
}

const char* readSlices(lua_State* L, void* data, size_t* size)
{
    return nextSlice(L, *static_cast<SourceSlices*>(data), size);
}

int sourceTooLong(lua_State* L, size_t size)
{
    return luaL_error(L, "a chunk of %d KB is past the %d KB a script may compile", int(size >> 10),
                      int(SCRIPT_SOURCE_LIMIT >> 10));
}

int textOnlyLoadstring(lua_State* L)
{
    size_t size = 0;
    const char* text = luaL_checklstring(L, 1, &size);
    const char* name = luaL_optstring(L, 2, text);
    if (isBinaryChunk(text, size)) return refuseBinary(L);
    if (size > SCRIPT_SOURCE_LIMIT) return sourceTooLong(L, size);
    SourceSlices source{text, size, false};
    return loadResult(L, loadBudgeted(L, "loadstring", readSlices, &source, name));
}

struct PieceReader {
    bool started = false;
    bool binary = false;
    size_t total = 0;
    SourceSlices piece{nullptr, 0, false};
};

// As the base library's load reads its pieces: the reader function is argument 1
// and slot 3 keeps the last piece alive while the parser reads it in slices.
const char* readPiece(lua_State* L, void* data, size_t* size)
{
    PieceReader& reader = *static_cast<PieceReader*>(data);
    if (reader.piece.left > 0) return nextSlice(L, reader.piece, size);
    luaL_checkstack(L, 2, "too many nested functions");
    lua_pushvalue(L, 1);
    lua_call(L, 0, 1);
    if (lua_isnil(L, -1)) {
        *size = 0;
        return nullptr;
    }
    if (!lua_isstring(L, -1)) luaL_error(L, "reader function must return a string");
    lua_replace(L, 3);
    const char* piece = lua_tolstring(L, 3, size);
    if (!reader.started && *size > 0) {
        reader.started = true;
        reader.binary = isBinaryChunk(piece, *size);
        if (reader.binary) *size = 0;  // the parser sees an empty chunk; the result is refused below
    }
    if ((reader.total += *size) > SCRIPT_SOURCE_LIMIT) sourceTooLong(L, reader.total);
    reader.piece = {piece, *size, false};
    return nextSlice(L, reader.piece, size);
}

int textOnlyLoad(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TFUNCTION);
    const char* name = luaL_optstring(L, 2, "=(load)");
    lua_settop(L, 3);
    PieceReader reader;
    int status = loadBudgeted(L, "load", readPiece, &reader, name);
    if (reader.binary) return refuseBinary(L);
    return loadResult(L, status);
}

// The other options stop, tune or force the collector: a script has no business there.
int countOnlyCollectgarbage(lua_State* L)
{
    const char* option = luaL_optstring(L, 1, "collect");
    if (std::strcmp(option, "count") != 0) return luaL_error(L, "collectgarbage: only \"count\" is open to scripts");
    lua_pushnumber(L, lua_gc(L, LUA_GCCOUNT, 0) + lua_gc(L, LUA_GCCOUNTB, 0) / 1024.0);
    return 1;
}

// xpcall with the message handler run after the protected call has returned, not
// while the error unwinds: Lua runs a handler with the hooks off when the error
// came from a hook, so a handler that loops there would never be stopped. A
// script cannot tell the difference (it has no debug library to look at the
// stack the handler used to see).
int hookedXpcall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_pushvalue(L, 1);
    if (lua_pcall(L, 0, LUA_MULTRET, 0) == 0) {
        lua_pushboolean(L, 1);
        lua_replace(L, 2);
        return lua_gettop(L) - 1;
    }
    lua_pushvalue(L, 2);
    lua_insert(L, -2);
    if (lua_pcall(L, 1, 1, 0) != 0) {
        lua_pop(L, 1);
        lua_pushliteral(L, "error in error handling");
    }
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
}

// coroutine.resume, paying for the coroutine's instructions from the budget of
// the call that resumes it. Upvalue 1 is the library's own resume.
int budgetedResume(lua_State* L)
{
    lua_State* coroutine = lua_tothread(L, 1);
    if (coroutine) chargeCoroutine(L, coroutine);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// What coroutine.wrap returns: upvalue 1 is the coroutine, 2 the budgeted resume.
// An error inside is raised again with the caller's position, as the library does.
int resumeWrapped(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(2));
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    if (lua_toboolean(L, 1)) return lua_gettop(L) - 1;
    lua_settop(L, 2);
    if (lua_isstring(L, 2)) {
        luaL_where(L, 1);
        lua_insert(L, 2);
        lua_concat(L, 2);
    }
    return lua_error(L);
}

// coroutine.wrap on the budgeted resume. Upvalue 1 is coroutine.create, 2 the budgeted resume.
int budgetedWrap(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    lua_pushvalue(L, lua_upvalueindex(2));
    lua_pushcclosure(L, resumeWrapped, 2);
    return 1;
}

void openLibrary(lua_State* L, lua_CFunction open)
{
    lua_pushcfunction(L, open);
    lua_call(L, 0, 0);
}

void trimCoroutines(lua_State* L)
{
    pushField(L, LUA_GLOBALSINDEX, "coroutine");
    int library = lua_gettop(L);
    pushField(L, library, "resume");
    lua_pushcclosure(L, budgetedResume, 1);
    pushField(L, library, "create");
    lua_pushvalue(L, -2);
    lua_pushcclosure(L, budgetedWrap, 2);
    setField(L, library, "wrap");
    setField(L, library, "resume");
    lua_pop(L, 1);
}

// Only the clock and the calendar of os: the rest runs programs, touches files,
// reads the environment or ends the process.
void trimOs(lua_State* L)
{
    pushField(L, LUA_GLOBALSINDEX, "os");
    int full = lua_gettop(L);
    lua_newtable(L);
    for (const char* kept : {"time", "clock", "date", "difftime"}) {
        pushField(L, full, kept);
        setField(L, full + 1, kept);
    }
    setField(L, LUA_GLOBALSINDEX, "os");
    lua_pop(L, 1);
}

int openSandbox(lua_State* L)
{
    for (lua_CFunction open : {luaopen_base, luaopen_table, luaopen_string, luaopen_math, luaopen_os})
        openLibrary(L, open);
    for (const char* absent : {"dofile", "loadfile", "newproxy"}) {
        lua_pushnil(L);
        setField(L, LUA_GLOBALSINDEX, absent);
    }
    const luaL_Reg replaced[] = {
        {"loadstring", textOnlyLoadstring}, {"load", textOnlyLoad}, {"collectgarbage", countOnlyCollectgarbage},
        {"xpcall", hookedXpcall}};
    for (const luaL_Reg& r : replaced) {
        lua_pushcfunction(L, r.func);
        setField(L, LUA_GLOBALSINDEX, r.name);
    }
    trimCoroutines(L);
    trimOs(L);
    boundLibraryCalls(L);
    return 0;
}

}  // namespace

lua_State* newScriptState()
{
    ScriptMemory* memory = new ScriptMemory;
    lua_State* L = lua_newstate(limitedAlloc, memory);
    if (!L) {
        delete memory;
        report({"", "", "Lua: no memory for a script state", Severity::Error});
        return nullptr;
    }
    lua_atpanic(L, panicLine);
    if (lua_cpcall(L, openSandbox, nullptr) != 0) {
        // Half opened may mean half trimmed: no script runs in that.
        report({"", "", "Lua: the script's libraries could not be opened: " + luaErrorLine(L), Severity::Error});
        closeScriptState(L);
        return nullptr;
    }
    return L;
}

void closeScriptState(lua_State* L)
{
    if (!L) return;
    ScriptMemory* memory = memoryOf(L);
    lua_close(L);
    delete memory;
}

int loadScriptFile(lua_State* L, const char* file)
{
    std::string text, error;
    if (!readDataFile(file, MAX_SCRIPT_FILE, text, error)) {
        // A missing script is the caller's to name; one that is there but refused is said here.
        if (dataFileExists(file)) report({"", "", error, Severity::Error});
        lua_pushstring(L, error.c_str());
        return LUA_ERRFILE;
    }
    // The interpreter's "#!" line: dropped, its line break kept so line numbers hold.
    if (!text.empty() && text[0] == '#') text.erase(0, std::min(text.find('\n'), text.size()));
    if (isBinaryChunk(text.data(), text.size())) {
        lua_pushfstring(L, "%s: binary chunks are not loaded", file);
        return LUA_ERRSYNTAX;
    }
    std::string name = std::string("@") + file;
    SourceSlices source{text.data(), text.size(), false};
    return loadBudgeted(L, file, readSlices, &source, name.c_str());
}

void enforceScriptMemory(lua_State* L, bool on)
{
    if (ScriptMemory* memory = memoryOf(L)) {
        memory->enforced = on;
        memory->reserve = 0;
    }
}

bool openGameFunctionReserve(lua_State* L)
{
    ScriptMemory* memory = memoryOf(L);
    if (!memory || !memory->enforced) return true;
    if (memory->used > SCRIPT_MEMORY_CEILING - std::min(GAME_FUNCTION_RESERVE, SCRIPT_MEMORY_CEILING)) return false;
    memory->reserve = GAME_FUNCTION_RESERVE;
    return true;
}

void closeGameFunctionReserve(lua_State* L)
{
    if (ScriptMemory* memory = memoryOf(L)) memory->reserve = 0;
}

size_t scriptMemoryPeak(lua_State* L)
{
    ScriptMemory* memory = memoryOf(L);
    return memory ? memory->peak : 0;
}
