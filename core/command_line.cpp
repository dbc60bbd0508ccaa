#include "core/command_line.h"

#include <cstring>

#include "core/code_page.h"
#include "core/text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Appends the character at p to out (size bytes with the NUL) at *used;
// false, leaving out as it was, when it does not fit.
bool AppendChar(char* out, size_t size, size_t* used, const char* p, const char* next) {
    const size_t length = static_cast<size_t>(next - p);
    if (*used + length >= size) return false;
    memcpy(out + *used, p, length);
    *used += length;
    out[*used] = '\0';
    return true;
}

bool Is(const Switch& s, const char* name) { return strcmp(s.name, name) == 0; }

void Refuse(SetupSwitches* out, const char* token, const char* end) {
    if (out->refused[0]) return;
    const size_t length = static_cast<size_t>(end - token);
    const size_t kept = length < sizeof out->refused ? length : sizeof out->refused - 1;
    memcpy(out->refused, token, kept);
    out->refused[kept] = '\0';
}

// Takes the switch's value into field; a value switch needs one.
bool TakeValue(const Switch& s, char* field, bool* given) {
    if (!s.hasValue || !s.value[0]) return false;
    memcpy(field, s.value, sizeof s.value);
    *given = true;
    return true;
}

}  // namespace

const char* CommandTail(const char* line) {
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (static_cast<unsigned char>(*line) > ' ') ++line;
    }
    while (IsBlank(*line)) ++line;
    return line;
}

// Walked by character: a trail byte is never a blank, a quote, '=' or '/'
// in the code pages whose characters take two bytes, but a lead byte before
// the end of the line is one broken character of its own.
const char* NextSwitch(const char* tail, Switch* out) {
    while (IsBlank(*tail)) ++tail;
    out->name[0] = out->value[0] = '\0';
    out->hasValue = false;
    out->fits = true;
    if (!*tail) return nullptr;
    // The first character that is not a quote says whether it is a switch.
    const char* first = tail;
    while (*first == '"') ++first;
    const bool named = (*first == '/' || *first == '-');
    size_t nameUsed = 0, valueUsed = 0;
    bool quoted = false;
    bool inValue = !named;
    for (const char* p = tail; *p;) {
        const char* next = NextChar(p);
        if (*p == '"') {
            quoted = !quoted;
        } else if (IsBlank(*p) && !quoted) {
            if (!named) out->fits = false;  // a bare word is no switch
            return p;
        } else if (p == first) {
        } else if (!inValue && *p == '=') {
            inValue = out->hasValue = true;
        } else if (inValue) {
            if (named && !AppendChar(out->value, sizeof out->value, &valueUsed, p, next)) out->fits = false;
        } else {
            const char upper = next - p == 1 ? FoldAscii(*p) : *p;
            const char* from = next - p == 1 ? &upper : p;
            if (!AppendChar(out->name, sizeof out->name, &nameUsed, from, from + (next - p))) out->fits = false;
        }
        p = next;
    }
    if (!named) out->fits = false;  // a bare word is no switch
    return tail + strlen(tail);
}

void ReadSetupSwitches(const char* tail, SetupSwitches* out) {
    memset(out, 0, sizeof *out);
    Switch s;
    for (const char* token = tail; const char* rest = NextSwitch(token, &s); token = rest) {
        while (IsBlank(*token)) ++token;
        bool taken = s.fits;
        if (!taken) {
        } else if (s.hasValue && (Is(s, "VERYSILENT") || Is(s, "S") || Is(s, "SILENT"))) {
            taken = false;
        } else if (Is(s, "VERYSILENT") || Is(s, "S")) {
            out->mode = kRunVerySilent;
        } else if (Is(s, "SILENT")) {
            if (out->mode == kRunWizard) out->mode = kRunSilent;
        } else if (Is(s, "?") || Is(s, "HELP")) {
            out->help = true;
            taken = !s.hasValue;
        } else if (Is(s, "NOICONS")) {
            out->noIcons = true;
            taken = !s.hasValue;
        } else if (Is(s, "LOG")) {
            out->log = true;
            if (s.hasValue) taken = TakeValue(s, out->logFile, &out->log);
        } else if (Is(s, "DIR")) {
            taken = TakeValue(s, out->dir, &out->hasDir);
        } else if (Is(s, "GROUP")) {
            taken = TakeValue(s, out->group, &out->hasGroup);
        } else {
            taken = false;
        }
        if (!taken) Refuse(out, token, rest);
    }
}
