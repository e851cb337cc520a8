#include "script/libraryBounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "script/luaPatterns.h"
#include "script/sandbox.h"

void setField(lua_State* L, int table, const char* key)
{
    lua_pushstring(L, key);
    lua_insert(L, -2);
    lua_rawset(L, table);
}

void pushField(lua_State* L, int table, const char* key)
{
    lua_pushstring(L, key);
    lua_rawget(L, table);
}

namespace {

// Calls the library's own function, upvalue 1, with the arguments as they are.
int callOriginal(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// table.insert(t, pos, v) moves the elements from pos to the end: a position
// far below 1 (or a sparse table's huge length) makes that billions of moves.
int boundedInsert(lua_State* L)
{
    if (lua_gettop(L) == 3) {
        luaL_checktype(L, 1, LUA_TTABLE);
        const double end = double(lua_objlen(L, 1)) + 1, pos = luaL_checknumber(L, 2);
        if (end - pos > TABLE_MOVE_LIMIT)
            return luaL_error(L, "table.insert at %f would move more than %d elements", pos, TABLE_MOVE_LIMIT);
    }
    return callOriginal(L);
}

int boundedRemove(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    const double end = double(lua_objlen(L, 1)), pos = luaL_optnumber(L, 2, end);
    if (pos >= 1 && end - pos > TABLE_MOVE_LIMIT)
        return luaL_error(L, "table.remove at %f would move more than %d elements", pos, TABLE_MOVE_LIMIT);
    return callOriginal(L);
}

// The library repeats a piece count times, even an empty one: 2^31 - 1 empty
// pieces are seconds of nothing. A result is built by doubling instead.
int boundedRep(lua_State* L)
{
    size_t length = 0;
    const char* piece = luaL_checklstring(L, 1, &length);
    const double count = luaL_checknumber(L, 2);
    const double limit = double(SCRIPT_MEMORY_CEILING);
    if (count > limit) return luaL_error(L, "string.rep: a count of %f is past %f", count, limit);
    if (!(count >= 1) || length == 0) {
        lua_pushliteral(L, "");
        return 1;
    }
    const int n = int(count);
    if (double(length) * n > limit)
        return luaL_error(L, "string.rep: %f bytes are past the %d MB a script may hold", double(length) * n,
                          int(SCRIPT_MEMORY_CEILING >> 20));
    const size_t total = length * size_t(n);
    char* out = static_cast<char*>(lua_newuserdata(L, total));  // a memory error past the ceiling
    std::memcpy(out, piece, length);
    for (size_t done = length; done < total; done *= 2) std::memcpy(out + done, out, std::min(done, total - done));
    lua_pushlstring(L, out, total);
    return 1;
}

// splitmix64: small, and as good as the C library's rand for a UI.
struct Generator {
    uint64_t state;
};

double nextUniform(Generator& g)
{
    uint64_t z = (g.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);  // [0, 1)
}

Generator& generatorOf(lua_State* L) { return *static_cast<Generator*>(lua_touserdata(L, lua_upvalueindex(1))); }

// math.random with Lua 5.1's arguments: none gives [0, 1), (m) gives 1..m, (m, n) gives m..n.
int scriptRandom(lua_State* L)
{
    const double r = nextUniform(generatorOf(L));
    switch (lua_gettop(L)) {
    case 0: lua_pushnumber(L, r); break;
    case 1: {
        const int u = luaL_checkint(L, 1);
        luaL_argcheck(L, 1 <= u, 1, "interval is empty");
        lua_pushnumber(L, std::floor(r * u) + 1);
        break;
    }
    case 2: {
        const int l = luaL_checkint(L, 1), u = luaL_checkint(L, 2);
        luaL_argcheck(L, l <= u, 2, "interval is empty");
        lua_pushnumber(L, std::floor(r * (double(u) - l + 1)) + l);
        break;
    }
    default: return luaL_error(L, "wrong number of arguments");
    }
    return 1;
}

int scriptRandomseed(lua_State* L)
{
    generatorOf(L).state = uint64_t(int64_t(luaL_checkint(L, 1)));
    return 0;
}

void boundRandom(lua_State* L)
{
    pushField(L, LUA_GLOBALSINDEX, "math");
    const int math = lua_gettop(L);
    Generator* generator = static_cast<Generator*>(lua_newuserdata(L, sizeof(Generator)));
    generator->state = 0;
    const int held = lua_gettop(L);
    lua_pushvalue(L, held);
    lua_pushcclosure(L, scriptRandom, 1);
    setField(L, math, "random");
    lua_pushvalue(L, held);
    lua_pushcclosure(L, scriptRandomseed, 1);
    setField(L, math, "randomseed");
    lua_settop(L, math - 1);
}

void wrap(lua_State* L, const char* library, const char* name, lua_CFunction bounded)
{
    pushField(L, LUA_GLOBALSINDEX, library);
    const int table = lua_gettop(L);
    pushField(L, table, name);
    lua_pushcclosure(L, bounded, 1);
    setField(L, table, name);
    lua_pop(L, 1);
}

}  // namespace

void boundLibraryCalls(lua_State* L)
{
    wrap(L, "table", "insert", boundedInsert);
    wrap(L, "table", "remove", boundedRemove);
    pushField(L, LUA_GLOBALSINDEX, "string");
    const int string = lua_gettop(L);
    lua_pushcfunction(L, boundedRep);
    setField(L, string, "rep");
    openBoundedPatterns(L);
    lua_pop(L, 1);
    boundRandom(L);
}
