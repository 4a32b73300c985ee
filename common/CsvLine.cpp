#include "CsvLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

namespace {

constexpr std::size_t kFieldBlockBytes = 1024;

bool isSjisLeadByte(unsigned char byte) {
    return (byte >= 0x7F && byte <= 0x9F) || byte >= 0xE0;
}

template <typename Char> std::size_t textLength(const Char* text) {
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

template <typename Char> void allocateBlocks(Char** fields, int count) {
    if (!fields)
        return;
    for (int i = 0; i < count; ++i)
        fields[i] = static_cast<Char*>(std::malloc(kFieldBlockBytes));
}

template <typename Char> void freeBlocks(Char** fields, int count) {
    if (!fields)
        return;
    for (int i = 0; i < count; ++i) {
        std::free(fields[i]);
        fields[i] = nullptr;
    }
}

// The blocks carry no size of their own; the allocator knows how large each
// one is, which is what lets a long field grow its block in place of the old.
template <typename Char> void storeField(Char** slot, const Char* text, std::size_t length) {
    const std::size_t needed = (length + 1) * sizeof(Char);
    Char* block = *slot;
    std::size_t capacity = block ? malloc_usable_size(block) : 0;
    if (capacity < needed) {
        if (auto* larger = static_cast<Char*>(std::malloc(needed))) {
            std::free(block);
            *slot = block = larger;
            capacity = needed;
        }
    }
    if (!block || capacity < sizeof(Char))
        return;
    const std::size_t stored = std::min(length, capacity / sizeof(Char) - 1);
    std::memcpy(block, text, stored * sizeof(Char));
    block[stored] = 0;
}

template <typename Char> bool closesQuotedField(const Char* line, std::size_t at, Char separator) {
    const Char next = line[at + 1];
    return next == separator || next == Char('\n') || next == 0;
}

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// Position of the quote that closes a field starting at from, or npos.
std::size_t findClosingQuote(const char16_t* line, std::size_t from, std::size_t length,
                             char16_t separator, char16_t quote) {
    for (std::size_t i = from; i < length; ++i) {
        if (line[i] == quote && closesQuotedField(line, i, separator))
            return i;
    }
    return npos;
}

std::size_t findClosingQuote(const char* line, std::size_t from, std::size_t length, char separator,
                             char quote) {
    for (std::size_t i = from; i < length;) {
        if (isSjisLeadByte(static_cast<unsigned char>(line[i]))) {
            i += 2; // both bytes belong to one character and cannot close the field
            continue;
        }
        if (line[i] == quote && closesQuotedField(line, i, separator))
            return i;
        ++i;
    }
    return npos;
}

template <typename Char>
int analyze(Char* line, Char** fields, int count, Char separator, Char quote) {
    if (!line || !fields || count <= 0)
        return 0;
    for (int k = 0; k < count; ++k) {
        if (!fields[k])
            fields[k] = static_cast<Char*>(std::malloc(kFieldBlockBytes));
        if (fields[k])
            fields[k][0] = 0;
    }

    const std::size_t originalLength = textLength(line);
    std::size_t length = originalLength;
    for (std::size_t i = length; i > 0; --i) {
        if (line[i - 1] == Char('\n')) {
            line[i - 1] = 0;
            length = i - 1;
            break;
        }
    }
    if (length == 0)
        return 0;

    int stored = 0;
    std::size_t cursor = 0;
    while (stored < count) {
        std::size_t textStart = cursor;
        std::size_t textEnd = length;
        std::size_t endMark = npos;
        if (cursor < length && line[cursor] == quote) {
            textStart = cursor + 1;
            const std::size_t closing = findClosingQuote(line, textStart, length, separator, quote);
            if (closing == npos)
                break;
            line[closing] = 0;
            textEnd = closing;
            endMark = closing + 1;
        } else {
            for (std::size_t i = cursor; i < length; ++i) {
                if (line[i] == separator) {
                    textEnd = endMark = i;
                    break;
                }
            }
        }

        const bool lineEnds = endMark == npos || endMark >= length;
        if (!lineEnds)
            line[endMark] = 0;
        storeField(&fields[stored], line + textStart, textEnd - textStart);
        ++stored;
        if (lineEnds)
            break;
        cursor = endMark + 1;
    }

    // Leave the caller's line reading as empty without writing past it.
    const std::size_t cleared = std::min<std::size_t>(4 / sizeof(Char), originalLength + 1);
    std::memset(line, 0, cleared * sizeof(Char));
    return stored;
}

} // namespace

extern "C" {

void Cm_CSVAlloc(char16_t** fields, int count) {
    allocateBlocks(fields, count);
}

void Cm_CSVFree(char16_t** fields, int count) {
    freeBlocks(fields, count);
}

int Cm_CSVAnalyze(char16_t* line, char16_t** fields, int count, char16_t separator,
                  char16_t quote) {
    return analyze(line, fields, count, separator, quote);
}

void Cm_CSVAllocSjis(char** fields, int count) {
    allocateBlocks(fields, count);
}

void Cm_CSVFreeSjis(char** fields, int count) {
    freeBlocks(fields, count);
}

int Cm_CSVAnalyzeSjis(char* line, char** fields, int count, char separator, char quote) {
    return analyze(line, fields, count, separator, quote);
}

int Cm_CheckKanjiCode(const char* text, int position) {
    if (!text || position < 1)
        return 0;
    const std::size_t target = static_cast<std::size_t>(position) - 1;
    for (std::size_t i = 0; text[i] != 0;) {
        if (!isSjisLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i == target)
                return 0;
            ++i;
            continue;
        }
        if (i == target)
            return 1;
        if (text[i + 1] == 0)
            return 0;
        if (i + 1 == target)
            return 2;
        i += 2;
    }
    return 0;
}
}
