#include "script/luaPatterns.h"

#include <cctype>
#include <cstddef>
#include <cstring>

#include "script/budgetedCall.h"

// Lua errors unwind with longjmp: nothing below holds an object with a destructor.
namespace {

const char ESC = '%';
const char* const SPECIALS = "^$*+?.([%-";
const int MAX_CAPTURES = 32;
const ptrdiff_t CAP_UNFINISHED = -1;
const ptrdiff_t CAP_POSITION = -2;
// Steps between two payments to the call's budget.
const int STEP_BATCH = 4096;

struct Capture {
    const char* init;
    ptrdiff_t len;
};

struct MatchState {
    const char* srcInit;
    const char* srcEnd;
    lua_State* L;
    int level;
    int depth;  // nesting left
    int steps;  // not yet paid for
    Capture capture[MAX_CAPTURES];
};

unsigned char uchar(char c) { return static_cast<unsigned char>(c); }

void step(MatchState* ms, int count = 1)
{
    ms->steps += count;
    if (ms->steps < STEP_BATCH) return;
    chargeLibrarySteps(ms->L, ms->steps);
    ms->steps = 0;
}

void resetState(MatchState* ms)
{
    ms->level = 0;
    ms->depth = LUA_PATTERN_DEPTH;
}

int checkCapture(MatchState* ms, int l)
{
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == CAP_UNFINISHED)
        return luaL_error(ms->L, "invalid capture index");
    return l;
}

int captureToClose(MatchState* ms)
{
    for (int level = ms->level - 1; level >= 0; level--)
        if (ms->capture[level].len == CAP_UNFINISHED) return level;
    return luaL_error(ms->L, "invalid pattern capture");
}

const char* classEnd(MatchState* ms, const char* p)
{
    switch (*p++) {
    case ESC:
        if (*p == '\0') luaL_error(ms->L, "malformed pattern (ends with '%%')");
        return p + 1;
    case '[':
        if (*p == '^') p++;
        do {
            if (*p == '\0') luaL_error(ms->L, "malformed pattern (missing ']')");
            if (*(p++) == ESC && *p != '\0') p++;
        } while (*p != ']');
        return p + 1;
    default: return p;
    }
}

bool matchClass(int c, int cl)
{
    int res;
    switch (std::tolower(cl)) {
    case 'a': res = std::isalpha(c); break;
    case 'c': res = std::iscntrl(c); break;
    case 'd': res = std::isdigit(c); break;
    case 'l': res = std::islower(c); break;
    case 'p': res = std::ispunct(c); break;
    case 's': res = std::isspace(c); break;
    case 'u': res = std::isupper(c); break;
    case 'w': res = std::isalnum(c); break;
    case 'x': res = std::isxdigit(c); break;
    case 'z': res = (c == 0); break;
    default: return cl == c;
    }
    if (std::isupper(cl)) res = !res;
    return res != 0;
}

// p points at the '[', ec at the closing ']'.
bool matchBracketClass(int c, const char* p, const char* ec)
{
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++;
    }
    while (++p < ec) {
        if (*p == ESC) {
            p++;
            if (matchClass(c, uchar(*p))) return sig;
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (uchar(*(p - 2)) <= c && c <= uchar(*p)) return sig;
        } else if (uchar(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

bool singleMatch(int c, const char* p, const char* ep)
{
    switch (*p) {
    case '.': return true;
    case ESC: return matchClass(c, uchar(*(p + 1)));
    case '[': return matchBracketClass(c, p, ep - 1);
    default: return uchar(*p) == c;
    }
}

const char* match(MatchState* ms, const char* s, const char* p);

const char* matchBalance(MatchState* ms, const char* s, const char* p)
{
    if (*p == 0 || *(p + 1) == 0) luaL_error(ms->L, "unbalanced pattern");
    if (*s != *p) return nullptr;
    const int b = *p, e = *(p + 1);
    int cont = 1;
    while (++s < ms->srcEnd) {
        step(ms);
        if (*s == e) {
            if (--cont == 0) return s + 1;
        } else if (*s == b) {
            cont++;
        }
    }
    return nullptr;
}

const char* maxExpand(MatchState* ms, const char* s, const char* p, const char* ep)
{
    ptrdiff_t i = 0;
    while (s + i < ms->srcEnd && singleMatch(uchar(*(s + i)), p, ep)) {
        step(ms);
        i++;
    }
    for (; i >= 0; i--)
        if (const char* res = match(ms, s + i, ep + 1)) return res;
    return nullptr;
}

const char* minExpand(MatchState* ms, const char* s, const char* p, const char* ep)
{
    for (;;) {
        if (const char* res = match(ms, s, ep + 1)) return res;
        if (s < ms->srcEnd && singleMatch(uchar(*s), p, ep))
            s++;
        else
            return nullptr;
    }
}

const char* startCapture(MatchState* ms, const char* s, const char* p, ptrdiff_t what)
{
    const int level = ms->level;
    if (level >= MAX_CAPTURES) luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    const char* res = match(ms, s, p);
    if (!res) ms->level--;
    return res;
}

const char* endCapture(MatchState* ms, const char* s, const char* p)
{
    const int l = captureToClose(ms);
    ms->capture[l].len = s - ms->capture[l].init;
    const char* res = match(ms, s, p);
    if (!res) ms->capture[l].len = CAP_UNFINISHED;
    return res;
}

const char* matchCapture(MatchState* ms, const char* s, int l)
{
    l = checkCapture(ms, l);
    const size_t len = size_t(ms->capture[l].len);
    step(ms, int(len / 64));
    if (size_t(ms->srcEnd - s) >= len && std::memcmp(ms->capture[l].init, s, len) == 0) return s + len;
    return nullptr;
}

const char* doMatch(MatchState* ms, const char* s, const char* p)
{
init:  // tail calls of the original are jumps here
    step(ms);
    switch (*p) {
    case '(':
        if (*(p + 1) == ')') return startCapture(ms, s, p + 2, CAP_POSITION);
        return startCapture(ms, s, p + 1, CAP_UNFINISHED);
    case ')': return endCapture(ms, s, p + 1);
    case ESC:
        switch (*(p + 1)) {
        case 'b':
            s = matchBalance(ms, s, p + 2);
            if (!s) return nullptr;
            p += 4;
            goto init;
        case 'f': {
            p += 2;
            if (*p != '[') luaL_error(ms->L, "missing '[' after '%%f' in pattern");
            const char* ep = classEnd(ms, p);
            const char previous = (s == ms->srcInit) ? '\0' : *(s - 1);
            if (matchBracketClass(uchar(previous), p, ep - 1) || !matchBracketClass(uchar(*s), p, ep - 1))
                return nullptr;
            p = ep;
            goto init;
        }
        default:
            if (std::isdigit(uchar(*(p + 1)))) {
                s = matchCapture(ms, s, uchar(*(p + 1)));
                if (!s) return nullptr;
                p += 2;
                goto init;
            }
            goto dflt;
        }
    case '\0': return s;
    case '$':
        if (*(p + 1) == '\0') return (s == ms->srcEnd) ? s : nullptr;
        goto dflt;
    default:
    dflt: {
        const char* ep = classEnd(ms, p);
        const bool m = s < ms->srcEnd && singleMatch(uchar(*s), p, ep);
        switch (*ep) {
        case '?': {
            if (m)
                if (const char* res = match(ms, s + 1, ep + 1)) return res;
            p = ep + 1;
            goto init;
        }
        case '*': return maxExpand(ms, s, p, ep);
        case '+': return m ? maxExpand(ms, s + 1, p, ep) : nullptr;
        case '-': return minExpand(ms, s, p, ep);
        default:
            if (!m) return nullptr;
            s++;
            p = ep;
            goto init;
        }
    }
    }
}

// Every nesting of the original's recursion passes here.
const char* match(MatchState* ms, const char* s, const char* p)
{
    if (ms->depth-- == 0) luaL_error(ms->L, "pattern too complex");
    const char* res = doMatch(ms, s, p);
    ms->depth++;
    return res;
}

void pushOneCapture(MatchState* ms, int i, const char* s, const char* e)
{
    if (i >= ms->level) {
        if (i == 0)
            lua_pushlstring(ms->L, s, size_t(e - s));
        else
            luaL_error(ms->L, "invalid capture index");
        return;
    }
    const ptrdiff_t l = ms->capture[i].len;
    if (l == CAP_UNFINISHED) luaL_error(ms->L, "unfinished capture");
    if (l == CAP_POSITION)
        lua_pushinteger(ms->L, ms->capture[i].init - ms->srcInit + 1);
    else
        lua_pushlstring(ms->L, ms->capture[i].init, size_t(l));
}

int pushCaptures(MatchState* ms, const char* s, const char* e)
{
    const int levels = (ms->level == 0 && s) ? 1 : ms->level;
    luaL_checkstack(ms->L, levels, "too many captures");
    for (int i = 0; i < levels; i++) pushOneCapture(ms, i, s, e);
    return levels;
}

void startState(MatchState* ms, lua_State* L, const char* s, size_t length)
{
    ms->L = L;
    ms->srcInit = s;
    ms->srcEnd = s + length;
    ms->steps = 0;
    resetState(ms);
}

ptrdiff_t relativePosition(ptrdiff_t pos, size_t len)
{
    if (pos < 0) pos += ptrdiff_t(len) + 1;
    return pos >= 0 ? pos : 0;
}

// memmem is linear (two-way); the library's own search is quadratic.
int plainFind(lua_State* L, const char* s, size_t l1, ptrdiff_t init, const char* p, size_t l2)
{
    const void* found = l2 == 0 ? s + init : memmem(s + init, l1 - size_t(init), p, l2);
    if (!found) {
        lua_pushnil(L);
        return 1;
    }
    const ptrdiff_t at = static_cast<const char*>(found) - s;
    lua_pushinteger(L, at + 1);
    lua_pushinteger(L, at + ptrdiff_t(l2));
    return 2;
}

int findAux(lua_State* L, bool find)
{
    size_t l1, l2;
    const char* s = luaL_checklstring(L, 1, &l1);
    const char* p = luaL_checklstring(L, 2, &l2);
    ptrdiff_t init = relativePosition(luaL_optinteger(L, 3, 1), l1) - 1;
    if (init < 0)
        init = 0;
    else if (size_t(init) > l1)
        init = ptrdiff_t(l1);
    // strpbrk stops at a zero byte, as the library's test does.
    if (find && (lua_toboolean(L, 4) || std::strpbrk(p, SPECIALS) == nullptr))
        return plainFind(L, s, l1, init, p, l2);

    MatchState ms;
    const bool anchor = (*p == '^');
    if (anchor) p++;
    const char* s1 = s + init;
    startState(&ms, L, s, l1);
    do {
        resetState(&ms);
        if (const char* res = match(&ms, s1, p)) {
            if (!find) return pushCaptures(&ms, s1, res);
            lua_pushinteger(L, s1 - s + 1);
            lua_pushinteger(L, res - s);
            return pushCaptures(&ms, nullptr, nullptr) + 2;
        }
    } while (s1++ < ms.srcEnd && !anchor);
    lua_pushnil(L);
    return 1;
}

int strFind(lua_State* L) { return findAux(L, true); }
int strMatch(lua_State* L) { return findAux(L, false); }

int gmatchAux(lua_State* L)
{
    size_t ls;
    const char* s = lua_tolstring(L, lua_upvalueindex(1), &ls);
    const char* p = lua_tostring(L, lua_upvalueindex(2));
    MatchState ms;
    startState(&ms, L, s, ls);
    for (const char* src = s + size_t(lua_tointeger(L, lua_upvalueindex(3))); src <= ms.srcEnd; src++) {
        resetState(&ms);
        if (const char* e = match(&ms, src, p)) {
            lua_Integer newStart = e - s;
            if (e == src) newStart++;  // an empty match: go on one further
            lua_pushinteger(L, newStart);
            lua_replace(L, lua_upvalueindex(3));
            return pushCaptures(&ms, src, e);
        }
    }
    return 0;
}

int strGmatch(lua_State* L)
{
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushinteger(L, 0);
    lua_pushcclosure(L, gmatchAux, 3);
    return 1;
}

void addString(MatchState* ms, luaL_Buffer* b, const char* s, const char* e)
{
    size_t l;
    const char* news = lua_tolstring(ms->L, 3, &l);
    for (size_t i = 0; i < l; i++) {
        if (news[i] != ESC) {
            luaL_addchar(b, news[i]);
            continue;
        }
        i++;  // a '%' at the end adds the terminating zero, as the library does
        if (!std::isdigit(uchar(news[i]))) {
            luaL_addchar(b, news[i]);
        } else if (news[i] == '0') {
            luaL_addlstring(b, s, size_t(e - s));
        } else {
            pushOneCapture(ms, news[i] - '1', s, e);
            luaL_addvalue(b);
        }
    }
}

void addValue(MatchState* ms, luaL_Buffer* b, const char* s, const char* e)
{
    lua_State* L = ms->L;
    switch (lua_type(L, 3)) {
    case LUA_TNUMBER:
    case LUA_TSTRING: addString(ms, b, s, e); return;
    case LUA_TFUNCTION: {
        lua_pushvalue(L, 3);
        const int n = pushCaptures(ms, s, e);
        lua_call(L, n, 1);
        break;
    }
    case LUA_TTABLE:
        pushOneCapture(ms, 0, s, e);
        lua_gettable(L, 3);
        break;
    }
    if (!lua_toboolean(L, -1)) {
        lua_pop(L, 1);
        lua_pushlstring(L, s, size_t(e - s));
    } else if (!lua_isstring(L, -1)) {
        luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    }
    luaL_addvalue(b);
}

int strGsub(lua_State* L)
{
    size_t srcl;
    const char* src = luaL_checklstring(L, 1, &srcl);
    const char* p = luaL_checkstring(L, 2);
    const int tr = lua_type(L, 3);
    const int maxS = luaL_optint(L, 4, int(srcl + 1));
    const bool anchor = (*p == '^');
    if (anchor) p++;
    luaL_argcheck(L, tr == LUA_TNUMBER || tr == LUA_TSTRING || tr == LUA_TFUNCTION || tr == LUA_TTABLE, 3,
                  "string/function/table expected");
    MatchState ms;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    startState(&ms, L, src, srcl);
    int n = 0;
    while (n < maxS) {
        resetState(&ms);
        const char* e = match(&ms, src, p);
        if (e) {
            n++;
            addValue(&ms, &b, src, e);
        }
        if (e && e > src)
            src = e;
        else if (src < ms.srcEnd)
            luaL_addchar(&b, *src++);
        else
            break;
        if (anchor) break;
    }
    luaL_addlstring(&b, src, size_t(ms.srcEnd - src));
    luaL_pushresult(&b);
    lua_pushinteger(L, n);
    return 2;
}

}  // namespace

void openBoundedPatterns(lua_State* L)
{
    const luaL_Reg functions[] = {{"find", strFind}, {"match", strMatch}, {"gmatch", strGmatch}, {"gsub", strGsub}};
    for (const luaL_Reg& f : functions) {
        lua_pushstring(L, f.name);
        lua_pushcfunction(L, f.func);
        lua_rawset(L, -3);
    }
    // The old name of gmatch, where the library still has it.
    lua_pushliteral(L, "gfind");
    lua_rawget(L, -2);
    const bool oldName = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (!oldName) return;
    lua_pushliteral(L, "gfind");
    lua_pushcfunction(L, strGmatch);
    lua_rawset(L, -3);
}
