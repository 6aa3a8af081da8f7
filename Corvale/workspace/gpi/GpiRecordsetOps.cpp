// The recordset operations: the cursor over a recordset's handles, reading
// the handle at the cursor, the count, and closing. A recordset is made by the
// operations that answer with a set of objects (GpiAddRecordset) and lives
// until the plug-in closes it.

#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include <cstdint>

namespace {

// The recordset behind a handle; null when the handle is not a recordset's.
GpiRecordset* FindRecordset(std::uint32_t handle) {
    GpiRecordset** entry = GpiState().m_Recordsets.Find(handle);
    return entry == nullptr ? nullptr : *entry;
}

std::int32_t CountOf(const GpiRecordset& recordset) { return static_cast<std::int32_t>(recordset.m_Handles.size()); }

// A cursor move on the recordset whose handle is the argument itself: an
// unknown handle answers GPIERR_InvalidHandle; otherwise `move(recordset,
// count)` answers, under the lock.
template <typename Move> int MoveCursor(void* args, Move move) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    GpiRecordset* recordset = FindRecordset(handle);
    if (recordset == nullptr)
        return GPIERR_InvalidHandle;
    return move(*recordset, CountOf(*recordset));
}

} // namespace

// The cursor stays within -1 (before the start) and the count (past the end):
// a move that would leave that range answers Index out of bounds and leaves
// the cursor where it is.
int GpiOnRecordsetMoveNext(void* args) {
    return MoveCursor(args, [](GpiRecordset& recordset, std::int32_t count) -> int {
        if (count == 0 || recordset.m_Current >= count)
            return GPIERR_IndexOutOfBounds;
        ++recordset.m_Current;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetMovePrevious(void* args) {
    return MoveCursor(args, [](GpiRecordset& recordset, std::int32_t count) -> int {
        if (count == 0 || recordset.m_Current < 0)
            return GPIERR_IndexOutOfBounds;
        --recordset.m_Current;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetMoveFirst(void* args) {
    return MoveCursor(args, [](GpiRecordset& recordset, std::int32_t count) -> int {
        if (count == 0)
            return GPIERR_IndexOutOfBounds;
        recordset.m_Current = 0;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetMoveLast(void* args) {
    return MoveCursor(args, [](GpiRecordset& recordset, std::int32_t count) -> int {
        if (count == 0)
            return GPIERR_IndexOutOfBounds;
        recordset.m_Current = count - 1;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetGetValue(void* args) {
    using Args = GpiRecordsetGetValueArgs;
    return GpiOnOutBlock<Args>(args, FindRecordset, [](Args* block, const GpiRecordset* recordset) -> int {
        if (recordset->m_Current < 0 || recordset->m_Current >= CountOf(*recordset))
            return GPIERR_IndexOutOfBounds;
        *block->out = recordset->m_Handles[static_cast<std::size_t>(recordset->m_Current)];
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetIsEOF(void* args) {
    using Args = GpiRecordsetIsEOFArgs;
    return GpiOnOutBlock<Args>(args, FindRecordset, [](Args* block, const GpiRecordset* recordset) -> int {
        const std::int32_t count = CountOf(*recordset);
        *block->out = (count == 0 || recordset->m_Current >= count) ? 1 : 0;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetIsBOF(void* args) {
    using Args = GpiRecordsetIsBOFArgs;
    return GpiOnOutBlock<Args>(args, FindRecordset, [](Args* block, const GpiRecordset* recordset) -> int {
        *block->out = (CountOf(*recordset) == 0 || recordset->m_Current < 0) ? 1 : 0;
        return GPIERR_NoError;
    });
}

int GpiOnRecordsetClose(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    GpiRecordset* recordset = FindRecordset(handle);
    if (recordset == nullptr && !GpiState().m_Recordsets.Contains(handle))
        return GPIERR_InvalidHandle;
    GpiState().m_Recordsets.Erase(handle);
    delete recordset;
    return GPIERR_NoError;
}

int GpiOnRecordsetGetCount(void* args) {
    using Args = GpiRecordsetGetCountArgs;
    return GpiOnOutBlock<Args>(args, FindRecordset, [](Args* block, const GpiRecordset* recordset) -> int {
        *block->out = static_cast<std::uint32_t>(recordset->m_Handles.size());
        return GPIERR_NoError;
    });
}
