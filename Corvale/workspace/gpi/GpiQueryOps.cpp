// The operations that answer with the shapes a question picks: an attribute
// query, the shapes meeting another shape, and the shapes in a rectangle.
// Each answers with a new recordset of shape handles; a call that fails
// registers nothing.

#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include "core/Theme.h"
#include "core/query/QueryEngine.h"
#include "geometry/DoubleRect.h"
#include "geometry/SpatialHash.h"
#include "geometry/SpatialPredicates.h"
#include "shapes/ShapeRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Registers a recordset of shape handles and writes its handle; the code the
// making operation answers.
int RegisterShapes(std::unique_ptr<GpiRecordset> recordset, std::uint32_t* out) {
    recordset->m_ElementKind = GPIHANDLE_Shape;
    const std::uint32_t handle = GpiAddRecordset(std::move(recordset));
    if (handle == 0)
        return GPIERR_OutOfResources;
    *out = handle;
    return GPIERR_NoError;
}

// Appends the handle of a record; false when the handle range is used up.
bool AppendShape(GpiRecordset& recordset, CShapeRecord* record) {
    const std::uint32_t handle = GpiShapeHandle(record);
    if (handle == 0)
        return false;
    recordset.m_Handles.push_back(handle);
    return true;
}

// Ops 64 and 82. The spatial hash lists filtered-out shapes too, so it is
// used only while nothing is filtered out; otherwise, and without a hash, the
// visible list is walked in position order.
int QueryRectangle(void* args, bool selectedOnly) {
    auto* block = static_cast<GpiThemeQueryRectangleArgs*>(args);
    if (block == nullptr || block->recordset == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    CDoubleRect rect{block->x1, block->y1, block->x2, block->y2};
    NormalizeDoubleRect(rect);
    const bool intersect = block->intersect != 0;
    auto accepts = [&](const CShapeRecord* record) {
        if (selectedOnly && theme->m_Selection.count(GetShapeRecordIndex(record)) == 0)
            return false;
        return ShapeInRectangle(record, rect, intersect);
    };
    auto recordset = std::make_unique<GpiRecordset>();
    bool exhausted = false;
    if (theme->m_SpatialIndex && theme->GetFilteredShapeCount() == 0) {
        // Each record is offered once, however many cells it spans.
        theme->m_SpatialIndex->ForEachCandidate(rect, [&](CShapeRecord* record) {
            if (accepts(record) && !AppendShape(*recordset, record)) {
                exhausted = true;
                return false;
            }
            return true;
        });
    } else {
        const int count = theme->GetShapeCount();
        for (int position = 0; position < count && !exhausted; ++position) {
            CShapeRecord* record = theme->GetShape(position);
            if (record != nullptr && accepts(record) && !AppendShape(*recordset, record))
                exhausted = true;
        }
    }
    if (exhausted)
        return GPIERR_OutOfResources;
    return RegisterShapes(std::move(recordset), block->recordset);
}

} // namespace

int GpiOnThemeQuery(void* args) {
    auto* block = static_cast<GpiThemeQueryArgs*>(args);
    if (block == nullptr || block->query == nullptr || block->recordset == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    CorvaleSQL::CQueryEngine engine;
    std::string error;
    if (!engine.Prepare(theme, block->query, error))
        return GPIERR_InvalidQuery;
    auto recordset = std::make_unique<GpiRecordset>();
    const int count = theme->GetShapeCount();
    for (int position = 0; position < count; ++position) {
        bool hit = false;
        // One shape the expression cannot decide fails the whole query; the
        // half-built recordset goes with it.
        if (!engine.Evaluate(theme, hit, position, error))
            return GPIERR_InvalidQuery;
        if (hit && !AppendShape(*recordset, theme->GetShape(position)))
            return GPIERR_OutOfResources;
    }
    return RegisterShapes(std::move(recordset), block->recordset);
}

int GpiOnThemeQueryIntersecting(void* args) {
    auto* block = static_cast<GpiThemeQueryIntersectingArgs*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->first);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    const CShapeRecord* record = GpiShapeFromHandle(block->second);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    std::vector<int> positions;
    theme->GetIntersectingShapes(record, positions);
    auto recordset = std::make_unique<GpiRecordset>();
    for (int position : positions)
        if (!AppendShape(*recordset, theme->GetShape(position)))
            return GPIERR_OutOfResources;
    return RegisterShapes(std::move(recordset), block->out);
}

int GpiOnThemeQueryRectangle(void* args) { return QueryRectangle(args, false); }
int GpiOnThemeQuerySelectedRectangle(void* args) { return QueryRectangle(args, true); }
