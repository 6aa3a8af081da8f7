#pragma once
// The lists of plug-in data blocks that a workspace and each of its themes
// keep: one block per plug-in, found by the plug-in's GUID text.

#include "core/GpiDataBlock.h"

#include <vector>

// Replaces the block whose name equals the block's name, ignoring the case of
// ASCII letters, by a copy of the block, or appends a copy when there is none.
// A block of the list set on itself is left alone.
void SetGpiDataBlockInList(std::vector<GpiDataBlock>& blocks, const GpiDataBlock& block);
