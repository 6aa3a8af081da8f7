#pragma once
// The command ids of the whole program, one name each, from the table in
// CommandIds.def. They live here, in the lowest library that routes
// commands to a document, so that the document, the map view, the panes,
// the dialogs and the main frame all name a command the same way.

#include <cstddef>
#include <iterator>

enum CommandId : unsigned {
#define CORVALE_COMMAND(name, number) name = number,
#define CORVALE_COMMAND_RANGE(first, last, from, to) first = from, last = to,
#include "workspace/CommandIds.def"
#undef CORVALE_COMMAND
#undef CORVALE_COMMAND_RANGE
};

namespace CommandIdTable {

struct Range {
    unsigned first;
    unsigned last;
};

constexpr unsigned kCommands[] = {
#define CORVALE_COMMAND(name, number) number,
#define CORVALE_COMMAND_RANGE(first, last, from, to)
#include "workspace/CommandIds.def"
#undef CORVALE_COMMAND
#undef CORVALE_COMMAND_RANGE
};

constexpr Range kRanges[] = {
#define CORVALE_COMMAND(name, number)
#define CORVALE_COMMAND_RANGE(first, last, from, to) {from, to},
#include "workspace/CommandIds.def"
#undef CORVALE_COMMAND
#undef CORVALE_COMMAND_RANGE
};

constexpr bool CommandsAreDistinct() {
    for (std::size_t i = 0; i < std::size(kCommands); ++i)
        for (std::size_t j = i + 1; j < std::size(kCommands); ++j)
            if (kCommands[i] == kCommands[j])
                return false;
    return true;
}

constexpr bool RangesStandApart() {
    for (std::size_t i = 0; i < std::size(kRanges); ++i) {
        if (kRanges[i].first > kRanges[i].last)
            return false;
        for (std::size_t j = i + 1; j < std::size(kRanges); ++j)
            if (kRanges[i].first <= kRanges[j].last && kRanges[j].first <= kRanges[i].last)
                return false;
        for (unsigned command : kCommands)
            if (command >= kRanges[i].first && command <= kRanges[i].last)
                return false;
    }
    return true;
}

static_assert(CommandsAreDistinct(), "two command names share a number: give the command one name in CommandIds.def");
static_assert(RangesStandApart(), "a command range overlaps another range or a command of CommandIds.def");

}  // namespace CommandIdTable

// The status-bar prompt of a command, with its tooltip after the line feed;
// null for an id without one.
const char* GetCommandPrompt(unsigned id);
