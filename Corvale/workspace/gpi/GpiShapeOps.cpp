// The operations that walk a theme's shapes and read one shape's geometry and
// record bytes, and the selection reads that answer with counts and
// recordsets. Shapes are addressed by position in the theme's visible list or
// by handle; a handle stands for one in-memory record.

#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include "core/Theme.h"
#include "geometry/ShapeMeasures.h"
#include "shapes/ShapeRecord.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Part count of a record as the plug-ins see it: a point is one part of one
// point; null and multipoint records have none.
std::uint32_t PartCountOf(const CShapeRecord* record) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type))
        return 1;
    if (CShapeRecord::IsMultiType(type))
        return CShapeRecord::GetPartCount(record);
    return 0;
}

// The first and one-past-last global point index of a part (part < count).
void PartRange(const CShapeRecord* record, std::uint32_t part, std::uint32_t& start, std::uint32_t& end) {
    if (CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record))) {
        start = 0;
        end = 1;
        return;
    }
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    start = CShapeRecord::GetPartStart(record, part);
    end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
    // A record whose part starts do not increase reads as an empty part
    // rather than a huge one.
    if (end > points)
        end = points;
    if (start > end)
        start = end;
}

} // namespace

int GpiOnThemeGetShapeCount(void* args) {
    using Args = GpiThemeGetShapeCountArgs;
    return GpiOnOutBlock<Args>(args, GpiThemeFromHandle, [](Args* block, const CTheme* theme) -> int {
        *block->out = static_cast<std::uint32_t>(theme->GetShapeCount());
        return GPIERR_NoError;
    });
}

int GpiOnThemeGetShape(void* args) {
    using Args = GpiThemeGetShapeArgs;
    return GpiOnOutBlock<Args>(args, GpiThemeFromHandle, [](Args* block, const CTheme* theme) -> int {
        if (block->index >= static_cast<std::uint32_t>(theme->GetShapeCount()))
            return GPIERR_IndexOutOfBounds;
        const std::uint32_t handle = GpiShapeHandle(theme->GetShape(static_cast<int>(block->index)));
        if (handle == 0)
            return GPIERR_InvalidHandle;
        *block->out = handle;
        return GPIERR_NoError;
    });
}

int GpiOnThemeGetSelectionCount(void* args) {
    using Args = GpiThemeGetSelectionCountArgs;
    return GpiOnOutBlock<Args>(args, GpiThemeFromHandle, [](Args* block, const CTheme* theme) -> int {
        *block->out = static_cast<std::uint32_t>(theme->m_SelectionCounter);
        return GPIERR_NoError;
    });
}

int GpiOnThemeGetSelection(void* args) {
    using Args = GpiThemeGetSelectionArgs;
    return GpiOnOutBlock<Args>(args, GpiThemeFromHandle, [](Args* block, CTheme* theme) -> int {
        auto recordset = std::make_unique<GpiRecordset>();
        recordset->m_ElementKind = GPIHANDLE_Shape;
        // In selection order; a selected shape that is filtered out has no
        // visible record and is left out rather than given a handle of 0.
        for (int k = 0; k < theme->m_SelectionCounter; ++k) {
            CShapeRecord* record = theme->GetSelectedShape(k);
            if (record == nullptr)
                continue;
            const std::uint32_t shape = GpiShapeHandle(record);
            if (shape == 0)
                return GPIERR_OutOfResources;
            recordset->m_Handles.push_back(shape);
        }
        const std::uint32_t handle = GpiAddRecordset(std::move(recordset));
        if (handle == 0)
            return GPIERR_OutOfResources;
        *block->out = handle;
        return GPIERR_NoError;
    });
}

int GpiOnShapeGetType(void* args) {
    using Args = GpiShapeGetTypeArgs;
    return GpiOnOutBlock<Args>(args, GpiShapeFromHandle, [](Args* block, const CShapeRecord* record) -> int {
        *block->out = CShapeRecord::GetShapeType(record);
        return GPIERR_NoError;
    });
}

int GpiOnShapeGetBounds(void* args) {
    auto* block = static_cast<GpiShapeGetBoundsArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->handle);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    double bounds[4] = {0.0, 0.0, 0.0, 0.0};
    if (CShapeRecord::IsPointType(type)) {
        const CShapePoint point = CShapeRecord::GetPoint(record, 0);
        bounds[0] = bounds[2] = point.x;
        bounds[1] = bounds[3] = point.y;
    } else if (CShapeRecord::IsMultiType(type)) {
        bounds[0] = CShapeRecord::GetMinX(record);
        bounds[1] = CShapeRecord::GetMinY(record);
        bounds[2] = CShapeRecord::GetMaxX(record);
        bounds[3] = CShapeRecord::GetMaxY(record);
    }
    double* outs[4] = {block->xmin, block->ymin, block->xmax, block->ymax};
    for (int i = 0; i < 4; ++i)
        if (outs[i] != nullptr)
            *outs[i] = bounds[i];
    return GPIERR_NoError;
}

int GpiOnShapeGetRecord(void* args) {
    auto* block = static_cast<GpiShapeGetRecordArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->shape);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    if (block->size == nullptr)
        return GPIERR_IllegalParameter;
    // The record's real size: a PointZ without M is 36 bytes, and reading 44
    // would run past its end.
    const std::size_t size = CShapeRecord::GetSize(record);
    if (block->buffer == nullptr) {
        *block->size = static_cast<std::uint32_t>(size);
        return GPIERR_NoError;
    }
    if (*block->size < size)
        return GPIERR_BufferOverflow;
    std::memcpy(block->buffer, CShapeRecord::Bytes(record), size);
    return GPIERR_NoError;
}

int GpiOnShapeGetPartCount(void* args) {
    auto* block = static_cast<GpiShapeGetPartCountArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->handle);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    if (block->out == nullptr)
        return GPIERR_IllegalParameter;
    *block->out = PartCountOf(record);
    return GPIERR_NoError;
}

int GpiOnShapeGetPartPointCount(void* args) {
    auto* block = static_cast<GpiShapeGetPartPointCountArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->handle);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    if (block->index >= PartCountOf(record))
        return GPIERR_IndexOutOfBounds;
    if (block->out == nullptr)
        return GPIERR_IllegalParameter;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    PartRange(record, block->index, start, end);
    *block->out = end - start;
    return GPIERR_NoError;
}

int GpiOnShapeGetPoint(void* args) {
    auto* block = static_cast<GpiShapeGetPointArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->shape);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    if (block->part >= PartCountOf(record))
        return GPIERR_IndexOutOfBounds;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    PartRange(record, block->part, start, end);
    // Checked against the part's own length before anything is written.
    if (block->point >= end - start)
        return GPIERR_IndexOutOfBounds;
    const std::uint32_t index = start + block->point;
    const CShapePoint point = CShapeRecord::GetPoint(record, index);
    if (block->x != nullptr)
        *block->x = point.x;
    if (block->y != nullptr)
        *block->y = point.y;
    if (block->z != nullptr)
        *block->z = CShapeRecord::GetZ(record, index);
    return GPIERR_NoError;
}

int GpiOnShapeGetNearestPoint(void* args) {
    auto* block = static_cast<GpiShapeGetNearestPointArgs*>(args);
    if (block == nullptr || block->nx == nullptr || block->ny == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CShapeRecord* record = GpiShapeFromHandle(block->shape);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    CShapePoint nearest;
    if (!NearestPointOnShape(record, CShapePoint{block->x, block->y}, nearest))
        return GPIERR_UnexpectedShapeType;
    *block->nx = nearest.x;
    *block->ny = nearest.y;
    return GPIERR_NoError;
}
