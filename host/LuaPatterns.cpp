// The pattern matcher of Lua 5.4's string library, step for step (same grammar, same captures,
// same errors), with one addition: every step is counted and charged to the budget in batches.
// Lua raises errors with longjmp, so everything here is plain data without destructors.
#include "host/LuaPatterns.h"

#include <lua.hpp>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/LuaSandbox.h"

namespace {

// Captures per pattern, as Lua's own library allows (kMaxCaptures in its configuration).
constexpr int kMaxCaptures = 32;
constexpr int kCapUnfinished = -1;
constexpr int kCapPosition = -2;
constexpr char kEsc = '%';
constexpr const char* kSpecials = "^$*+?.([%-";
// Recursion depth of the matcher, as Lua's (each level is a C frame).
constexpr int kMaxMatchDepth = 200;
// Steps are charged to the budget this many at a time. A step (one pattern item tried at one
// position) is cheaper than a VM instruction: four of them count as one.
constexpr unsigned kStepsPerCharge = 256;
constexpr unsigned kStepsPerInstruction = 4;

struct SMatchState {
    const char* srcInit;
    const char* srcEnd;
    const char* patternEnd;
    lua_State* L;
    int matchDepth;
    int level;
    unsigned steps;
    struct {
        const char* init;
        ptrdiff_t len;
    } capture[kMaxCaptures];
};

inline unsigned char Uchar(char c) { return static_cast<unsigned char>(c); }

[[noreturn]] void RaiseExhausted(lua_State* L) {
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    sandbox->PushStringProtected(sandbox->ExhaustedMessage());
    lua_error(L);
    __builtin_unreachable();
}

void ChargeOrRaise(lua_State* L, uint64_t cost) {
    if (!CLuaSandbox::FromState(L)->Charge(cost)) RaiseExhausted(L);
}

inline void Step(SMatchState* ms, unsigned count = 1) {
    ms->steps += count;
    if (ms->steps >= kStepsPerCharge) {
        const unsigned cost = ms->steps;
        ms->steps = 0;
        ChargeOrRaise(ms->L, cost / kStepsPerInstruction);
    }
}

const char* Match(SMatchState* ms, const char* s, const char* p);

int CheckCapture(SMatchState* ms, int l) {
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == kCapUnfinished)
        return luaL_error(ms->L, "invalid capture index %%%d", l + 1);
    return l;
}

int CaptureToClose(SMatchState* ms) {
    int level = ms->level;
    for (level--; level >= 0; level--)
        if (ms->capture[level].len == kCapUnfinished) return level;
    return luaL_error(ms->L, "invalid pattern capture");
}

const char* ClassEnd(SMatchState* ms, const char* p) {
    switch (*p++) {
    case kEsc:
        if (p == ms->patternEnd) luaL_error(ms->L, "malformed pattern (ends with '%%')");
        return p + 1;
    case '[':
        if (*p == '^') p++;
        do {  // look for a ']'
            if (p == ms->patternEnd) luaL_error(ms->L, "malformed pattern (missing ']')");
            if (*(p++) == kEsc && p < ms->patternEnd) p++;  // skip escapes (e.g. '%]')
        } while (*p != ']');
        return p + 1;
    default:
        return p;
    }
}

bool MatchClass(int c, int cl) {
    bool res;
    switch (std::tolower(cl)) {
    case 'a': res = std::isalpha(c); break;
    case 'c': res = std::iscntrl(c); break;
    case 'd': res = std::isdigit(c); break;
    case 'g': res = std::isgraph(c); break;
    case 'l': res = std::islower(c); break;
    case 'p': res = std::ispunct(c); break;
    case 's': res = std::isspace(c); break;
    case 'u': res = std::isupper(c); break;
    case 'w': res = std::isalnum(c); break;
    case 'x': res = std::isxdigit(c); break;
    case 'z': res = c == 0; break;  // deprecated in Lua, still accepted
    default: return cl == c;
    }
    if (std::isupper(cl)) res = !res;
    return res;
}

bool MatchBracketClass(int c, const char* p, const char* ec) {
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++;  // skip the '^'
    }
    while (++p < ec) {
        if (*p == kEsc) {
            p++;
            if (MatchClass(c, Uchar(*p))) return sig;
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (Uchar(*(p - 2)) <= c && c <= Uchar(*p)) return sig;
        } else if (Uchar(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

bool SingleMatch(SMatchState* ms, const char* s, const char* p, const char* ep) {
    if (s >= ms->srcEnd) return false;
    const int c = Uchar(*s);
    switch (*p) {
    case '.': return true;
    case kEsc: return MatchClass(c, Uchar(*(p + 1)));
    case '[': return MatchBracketClass(c, p, ep - 1);
    default: return Uchar(*p) == c;
    }
}

const char* MatchBalance(SMatchState* ms, const char* s, const char* p) {
    if (p >= ms->patternEnd - 1) luaL_error(ms->L, "malformed pattern (missing arguments to '%%b')");
    if (s >= ms->srcEnd || *s != *p) return nullptr;
    const char b = *p, e = *(p + 1);
    int cont = 1;
    while (++s < ms->srcEnd) {
        Step(ms);
        if (*s == e) {
            if (--cont == 0) return s + 1;
        } else if (*s == b) {
            cont++;
        }
    }
    return nullptr;
}

const char* MaxExpand(SMatchState* ms, const char* s, const char* p, const char* ep) {
    ptrdiff_t i = 0;
    while (SingleMatch(ms, s + i, p, ep)) {
        Step(ms);
        i++;
    }
    // Tries the longest repetition first, then shorter ones.
    while (i >= 0) {
        const char* res = Match(ms, s + i, ep + 1);
        if (res) return res;
        i--;
    }
    return nullptr;
}

const char* MinExpand(SMatchState* ms, const char* s, const char* p, const char* ep) {
    for (;;) {
        const char* res = Match(ms, s, ep + 1);
        if (res != nullptr) return res;
        if (!SingleMatch(ms, s, p, ep)) return nullptr;
        s++;
    }
}

const char* StartCapture(SMatchState* ms, const char* s, const char* p, int what) {
    const int level = ms->level;
    if (level >= kMaxCaptures) luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    const char* res = Match(ms, s, p);
    if (res == nullptr) ms->level--;  // undo the capture
    return res;
}

const char* EndCapture(SMatchState* ms, const char* s, const char* p) {
    const int l = CaptureToClose(ms);
    ms->capture[l].len = s - ms->capture[l].init;
    const char* res = Match(ms, s, p);
    if (res == nullptr) ms->capture[l].len = kCapUnfinished;
    return res;
}

const char* MatchCapture(SMatchState* ms, const char* s, int l) {
    l = CheckCapture(ms, l);
    const size_t len = static_cast<size_t>(ms->capture[l].len);
    Step(ms, static_cast<unsigned>(len / 64));
    if (static_cast<size_t>(ms->srcEnd - s) >= len && std::memcmp(ms->capture[l].init, s, len) == 0) return s + len;
    return nullptr;
}

const char* Match(SMatchState* ms, const char* s, const char* p) {
    if (ms->matchDepth-- == 0) luaL_error(ms->L, "pattern too complex");
init:
    Step(ms);
    if (p != ms->patternEnd) {
        switch (*p) {
        case '(':
            if (*(p + 1) == ')') s = StartCapture(ms, s, p + 2, kCapPosition);
            else s = StartCapture(ms, s, p + 1, kCapUnfinished);
            break;
        case ')':
            s = EndCapture(ms, s, p + 1);
            break;
        case '$':
            if (p + 1 != ms->patternEnd) goto dflt;
            s = s == ms->srcEnd ? s : nullptr;
            break;
        case kEsc:
            switch (*(p + 1)) {
            case 'b':
                s = MatchBalance(ms, s, p + 2);
                if (s != nullptr) {
                    p += 4;
                    goto init;
                }
                break;
            case 'f': {
                p += 2;
                if (*p != '[') luaL_error(ms->L, "missing '[' after '%%f' in pattern");
                const char* ep = ClassEnd(ms, p);
                const char previous = s == ms->srcInit ? '\0' : *(s - 1);
                // At the end of the subject the terminating zero is the next character, as in Lua.
                const char current = s < ms->srcEnd ? *s : '\0';
                if (!MatchBracketClass(Uchar(previous), p, ep - 1) && MatchBracketClass(Uchar(current), p, ep - 1)) {
                    p = ep;
                    goto init;
                }
                s = nullptr;
                break;
            }
            case '0': case '1': case '2': case '3': case '4':
            case '5': case '6': case '7': case '8': case '9':
                s = MatchCapture(ms, s, Uchar(*(p + 1)));
                if (s != nullptr) {
                    p += 2;
                    goto init;
                }
                break;
            default:
                goto dflt;
            }
            break;
        default:
        dflt: {
            const char* ep = ClassEnd(ms, p);
            if (!SingleMatch(ms, s, p, ep)) {
                if (*ep == '*' || *ep == '?' || *ep == '-') {  // accept empty
                    p = ep + 1;
                    goto init;
                }
                s = nullptr;
            } else {
                switch (*ep) {
                case '?': {
                    const char* res = Match(ms, s + 1, ep + 1);
                    if (res != nullptr) {
                        s = res;
                    } else {
                        p = ep + 1;
                        goto init;
                    }
                    break;
                }
                case '+':
                    s = MaxExpand(ms, s + 1, p, ep);
                    break;
                case '*':
                    s = MaxExpand(ms, s, p, ep);
                    break;
                case '-':
                    s = MinExpand(ms, s, p, ep);
                    break;
                default:
                    s++;
                    p = ep;
                    goto init;
                }
            }
            break;
        }
        }
    }
    ms->matchDepth++;
    return s;
}

ptrdiff_t GetOneCapture(SMatchState* ms, int i, const char* s, const char* e, const char** cap) {
    if (i >= ms->level) {
        if (i != 0) luaL_error(ms->L, "invalid capture index %%%d", i + 1);
        *cap = s;
        return e - s;
    }
    const ptrdiff_t capl = ms->capture[i].len;
    *cap = ms->capture[i].init;
    if (capl == kCapUnfinished) luaL_error(ms->L, "unfinished capture");
    else if (capl == kCapPosition) lua_pushinteger(ms->L, (ms->capture[i].init - ms->srcInit) + 1);
    return capl;
}

void PushOneCapture(SMatchState* ms, int i, const char* s, const char* e) {
    const char* cap;
    const ptrdiff_t l = GetOneCapture(ms, i, s, e, &cap);
    if (l != kCapPosition) lua_pushlstring(ms->L, cap, static_cast<size_t>(l));
}

int PushCaptures(SMatchState* ms, const char* s, const char* e) {
    const int levels = ms->level == 0 && s ? 1 : ms->level;
    luaL_checkstack(ms->L, levels, "too many captures");
    for (int i = 0; i < levels; i++) PushOneCapture(ms, i, s, e);
    return levels;
}

bool NoSpecials(const char* p, size_t l) {
    size_t upto = 0;
    do {
        if (std::strpbrk(p + upto, kSpecials)) return false;
        upto += std::strlen(p + upto) + 1;  // may have more after the zero
    } while (upto <= l);
    return true;
}

void PrepareState(SMatchState* ms, lua_State* L, const char* s, size_t ls, const char* p, size_t lp) {
    ms->L = L;
    ms->matchDepth = kMaxMatchDepth;
    ms->srcInit = s;
    ms->srcEnd = s + ls;
    ms->patternEnd = p + lp;
    ms->steps = 0;
}

void ResetState(SMatchState* ms) {
    ms->level = 0;
    ms->matchDepth = kMaxMatchDepth;
}

size_t RelativePosition(lua_Integer pos, size_t len) {
    if (pos > 0) return static_cast<size_t>(pos);
    if (pos == 0) return 1;
    if (pos < -static_cast<lua_Integer>(len)) return 1;
    return len + static_cast<size_t>(pos) + 1;
}

int FindAux(lua_State* L, bool find) {
    size_t ls, lp;
    const char* s = luaL_checklstring(L, 1, &ls);
    const char* p = luaL_checklstring(L, 2, &lp);
    const size_t init = RelativePosition(luaL_optinteger(L, 3, 1), ls) - 1;
    if (init > ls) {
        luaL_pushfail(L);
        return 1;
    }
    if (find && (lua_toboolean(L, 4) || NoSpecials(p, lp))) {
        // A plain search compares the pattern at each position at worst: one instruction per 64
        // bytes compared.
        const uint64_t positions = ls - init;
        const uint64_t compared = lp != 0 && positions > UINT64_MAX / lp ? UINT64_MAX : positions * lp;
        ChargeOrRaise(L, compared / 64 + positions / 64 + 1);
        const char* found = nullptr;
        if (lp == 0) {
            found = s + init;
        } else if (lp <= ls - init) {
            for (const char* q = s + init; q + lp <= s + ls; ++q) {
                q = static_cast<const char*>(std::memchr(q, *p, static_cast<size_t>(s + ls - q)));
                if (q == nullptr || q + lp > s + ls) break;
                if (std::memcmp(q, p, lp) == 0) {
                    found = q;
                    break;
                }
            }
        }
        if (found) {
            lua_pushinteger(L, (found - s) + 1);
            lua_pushinteger(L, (found - s) + static_cast<lua_Integer>(lp));
            return 2;
        }
    } else {
        SMatchState ms;
        const char* s1 = s + init;
        const bool anchor = *p == '^';
        if (anchor) {
            p++;
            lp--;
        }
        PrepareState(&ms, L, s, ls, p, lp);
        do {
            ResetState(&ms);
            const char* res = Match(&ms, s1, p);
            if (res != nullptr) {
                if (find) {
                    lua_pushinteger(L, (s1 - s) + 1);  // start
                    lua_pushinteger(L, res - s);       // end
                    return PushCaptures(&ms, nullptr, nullptr) + 2;
                }
                return PushCaptures(&ms, s1, res);
            }
        } while (s1++ < ms.srcEnd && !anchor);
    }
    luaL_pushfail(L);
    return 1;
}

int StrFind(lua_State* L) { return FindAux(L, true); }
int StrMatch(lua_State* L) { return FindAux(L, false); }

struct SGMatchState {
    const char* src;
    const char* p;
    const char* lastMatch;
    SMatchState ms;
};

int GMatchStep(lua_State* L) {
    auto* gm = static_cast<SGMatchState*>(lua_touserdata(L, lua_upvalueindex(3)));
    gm->ms.L = L;
    for (const char* src = gm->src; src <= gm->ms.srcEnd; src++) {
        ResetState(&gm->ms);
        const char* e = Match(&gm->ms, src, gm->p);
        if (e != nullptr && e != gm->lastMatch) {
            gm->src = gm->lastMatch = e;
            return PushCaptures(&gm->ms, src, e);
        }
    }
    return 0;
}

int StrGMatch(lua_State* L) {
    size_t ls, lp;
    const char* s = luaL_checklstring(L, 1, &ls);
    const char* p = luaL_checklstring(L, 2, &lp);
    size_t init = RelativePosition(luaL_optinteger(L, 3, 1), ls) - 1;
    lua_settop(L, 2);  // the strings stay alive as upvalues of the iterator
    auto* gm = static_cast<SGMatchState*>(lua_newuserdatauv(L, sizeof(SGMatchState), 0));
    if (init > ls) init = ls + 1;  // start after the subject's end
    PrepareState(&gm->ms, L, s, ls, p, lp);
    gm->src = s + init;
    gm->p = p;
    gm->lastMatch = nullptr;
    lua_pushcclosure(L, GMatchStep, 3);
    return 1;
}

void AddString(SMatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    size_t l;
    lua_State* L = ms->L;
    const char* news = lua_tolstring(L, 3, &l);
    const char* p;
    while ((p = static_cast<const char*>(std::memchr(news, kEsc, l))) != nullptr) {
        luaL_addlstring(b, news, static_cast<size_t>(p - news));
        p++;  // skip the escape
        if (*p == kEsc) {
            luaL_addchar(b, *p);
        } else if (*p == '0') {
            luaL_addlstring(b, s, static_cast<size_t>(e - s));
        } else if (std::isdigit(Uchar(*p))) {
            const char* cap;
            const ptrdiff_t resl = GetOneCapture(ms, *p - '1', s, e, &cap);
            if (resl == kCapPosition) luaL_addvalue(b);
            else luaL_addlstring(b, cap, static_cast<size_t>(resl));
        } else {
            luaL_error(L, "invalid use of '%c' in replacement string", kEsc);
        }
        l -= static_cast<size_t>(p + 1 - news);
        news = p + 1;
    }
    luaL_addlstring(b, news, l);
}

bool AddValue(SMatchState* ms, luaL_Buffer* b, const char* s, const char* e, int tr) {
    lua_State* L = ms->L;
    switch (tr) {
    case LUA_TFUNCTION: {
        lua_pushvalue(L, 3);
        const int n = PushCaptures(ms, s, e);
        lua_call(L, n, 1);
        break;
    }
    case LUA_TTABLE:
        PushOneCapture(ms, 0, s, e);
        lua_gettable(L, 3);
        break;
    default:
        AddString(ms, b, s, e);
        return true;
    }
    if (!lua_toboolean(L, -1)) {  // nil or false: keep the original text
        lua_pop(L, 1);
        luaL_addlstring(b, s, static_cast<size_t>(e - s));
        return false;
    }
    if (!lua_isstring(L, -1)) return luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    luaL_addvalue(b);
    return true;
}

int StrGSub(lua_State* L) {
    size_t srcl, lp;
    const char* src = luaL_checklstring(L, 1, &srcl);
    const char* p = luaL_checklstring(L, 2, &lp);
    const char* lastMatch = nullptr;
    const int tr = lua_type(L, 3);
    const lua_Integer maxReplacements = luaL_optinteger(L, 4, static_cast<lua_Integer>(srcl) + 1);
    const bool anchor = *p == '^';
    lua_Integer n = 0;
    bool changed = false;
    SMatchState ms;
    luaL_Buffer b;
    luaL_argexpected(L, tr == LUA_TNUMBER || tr == LUA_TSTRING || tr == LUA_TFUNCTION || tr == LUA_TTABLE, 3,
                     "string/function/table");
    luaL_buffinit(L, &b);
    if (anchor) {
        p++;
        lp--;
    }
    PrepareState(&ms, L, src, srcl, p, lp);
    while (n < maxReplacements) {
        ResetState(&ms);
        const char* e = Match(&ms, src, p);
        if (e != nullptr && e != lastMatch) {
            n++;
            changed = AddValue(&ms, &b, src, e, tr) || changed;
            src = lastMatch = e;
        } else if (src < ms.srcEnd) {
            luaL_addchar(&b, *src++);
        } else {
            break;
        }
        if (anchor) break;
    }
    if (!changed) {
        lua_pushvalue(L, 1);
    } else {
        luaL_addlstring(&b, src, static_cast<size_t>(ms.srcEnd - src));
        luaL_pushresult(&b);
    }
    lua_pushinteger(L, n);
    return 2;
}

}  // namespace

void InstallBudgetedPatterns(lua_State* L, int index) {
    index = lua_absindex(L, index);
    static const luaL_Reg kFunctions[] = {
        {"find", StrFind}, {"match", StrMatch}, {"gmatch", StrGMatch}, {"gsub", StrGSub}, {nullptr, nullptr}};
    for (const luaL_Reg* f = kFunctions; f->name; ++f) {
        lua_pushcfunction(L, f->func);
        lua_setfield(L, index, f->name);
    }
}
