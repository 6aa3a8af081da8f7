// Record editing: shapes added to a theme, delivered by a loader, replaced
// and deleted, and the conversion of a theme into an editable native one.
//
// Every operation here that can fail does its allocations before it changes
// anything, so that a refusal or a failed allocation leaves the theme as it
// was. Plug-ins are told of deleted shapes before any list changes, while the
// theme still shows them where they were.

#include "core/Theme.h"

#include "core/LoaderPlugin.h"

#include "core/ShapeEditHooks.h"
#include "core/query/QueryText.h"
#include "framework/UserInterface.h"
#include "platform/ByteOrder.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <cstring>
#include <exception>
#include <unordered_set>

namespace {

enum class Kind { None, Points, Arcs, Polygons };

Kind KindOfType(std::uint32_t type) {
    switch (type) {
    case SHT_Point:
    case SHT_PointZ:
        return Kind::Points;
    case SHT_Polyline:
    case SHT_PolylineZ:
        return Kind::Arcs;
    case SHT_Polygon:
    case SHT_PolygonZ:
        return Kind::Polygons;
    default:
        return Kind::None;
    }
}

// The three lists of one kind of shape; all null for Kind::None.
struct KindLists {
    std::vector<CShapeRecord*>* all = nullptr;
    std::vector<CShapeRecord*>* visible = nullptr;
    std::vector<std::unique_ptr<unsigned char[]>>* owned = nullptr;
    explicit operator bool() const { return all != nullptr; }
};

KindLists ListsOf(CTheme& theme, Kind kind) {
    switch (kind) {
    case Kind::Points:
        return {&theme.m_Points, &theme.m_VisiblePoints, &theme.m_OwnedPoints};
    case Kind::Arcs:
        return {&theme.m_Arcs, &theme.m_VisibleArcs, &theme.m_OwnedArcs};
    case Kind::Polygons:
        return {&theme.m_Polygons, &theme.m_VisiblePolygons, &theme.m_OwnedPolygons};
    default:
        return {};
    }
}

const std::vector<CShapeRecord*>* AllOfKind(const CTheme& theme, Kind kind) {
    switch (kind) {
    case Kind::Points:
        return &theme.m_Points;
    case Kind::Arcs:
        return &theme.m_Arcs;
    case Kind::Polygons:
        return &theme.m_Polygons;
    default:
        return nullptr;
    }
}

CShapeEditHooks& Hooks() {
    static CShapeEditHooks hooks;
    return hooks;
}

// The host's notifications are best effort: one that cannot be delivered
// (the host ran out of memory for its tables) must not leave an edit half
// done.
void TellShapeDeleted(CTheme* theme, CShapeRecord* record) {
    if (Hooks().m_ShapeDeleted == nullptr)
        return;
    try {
        Hooks().m_ShapeDeleted(theme, record);
    } catch (const std::exception&) {
    }
}

void TellShapeReplaced(CShapeRecord* oldRecord, CShapeRecord* newRecord) {
    if (Hooks().m_ShapeReplaced == nullptr)
        return;
    try {
        Hooks().m_ShapeReplaced(oldRecord, newRecord);
    } catch (const std::exception&) {
    }
}

// Keeps the status-bar progress bar up for the life of the object.
class CProgressScope {
public:
    CProgressScope() { corvale::UI().BeginProgress(); }
    ~CProgressScope() { corvale::UI().EndProgress(); }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;
};

int Percent(std::size_t done, std::size_t total) {
    return total == 0 ? 0 : static_cast<int>(done * 100 / total);
}

void SetRecordNumber(CShapeRecord* record, std::uint32_t number) {
    corvale::WriteBE32(CShapeRecord::Bytes(record), number);
}

void Renumber(const std::vector<CShapeRecord*>& all) {
    for (std::size_t i = 0; i < all.size(); ++i)
        SetRecordNumber(all[i], static_cast<std::uint32_t>(i + 1));
}

void ExtendBoundsByRecord(CTheme& theme, const CShapeRecord* record) {
    if (KindOfType(CShapeRecord::GetShapeType(record)) == Kind::Points) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        theme.ExtendBounds(p.x, p.y, p.x, p.y);
        return;
    }
    theme.ExtendBounds(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record),
                       CShapeRecord::GetMaxX(record), CShapeRecord::GetMaxY(record));
}

// Decides the styles of the shapes added since styles were last decided:
// the visible positions beyond the end of the style list, and always the
// last one. Deciding only the last would leave the shapes of a batch added
// with applyStyle false drawn in the default style whatever their rule.
void DecideNewStyles(CTheme& theme) {
    if (theme.m_Styles.empty() || theme.m_AdvancedProperties.m_Properties.empty())
        return;
    const int count = theme.GetShapeCount();
    const int first = std::min(static_cast<int>(theme.m_ShapeStyles.size()), count - 1);
    for (int position = std::max(first, 0); position < count; ++position)
        theme.ApplyStyleRules(position);
}

// The themes made from this one and from those, each once.
std::vector<CTheme*> Descendants(const CTheme& theme) {
    std::vector<CTheme*> found;
    std::vector<const CTheme*> pending = {&theme};
    while (!pending.empty()) {
        const CTheme* current = pending.back();
        pending.pop_back();
        for (CTheme* child : current->m_ChildThemes) {
            if (child == nullptr || child == &theme ||
                std::find(found.begin(), found.end(), child) != found.end())
                continue;
            found.push_back(child);
            pending.push_back(child);
        }
    }
    return found;
}

// A theme made from a selection lists its parent's record pointers; a
// replaced record must be replaced there too, or the child would draw and
// hand out freed memory. Nothing here allocates but the hash, whose failure
// only costs the child its hash.
void Repoint(CTheme& theme, CShapeRecord* from, CShapeRecord* to) {
    bool held = false;
    for (auto* list : {&theme.m_Points, &theme.m_Arcs, &theme.m_Polygons, &theme.m_VisiblePoints,
                       &theme.m_VisibleArcs, &theme.m_VisiblePolygons})
        for (CShapeRecord*& record : *list)
            if (record == from) {
                record = to;
                held = true;
            }
    if (!held)
        return;
    if (theme.m_SpatialIndex) {
        try {
            theme.m_SpatialIndex->Remove(from);
            theme.m_SpatialIndex->InsertRecord(to);
        } catch (const std::exception&) {
            theme.DeleteSpatialIndex();
        }
    }
    theme.RecalculateBounds();
}

// The records of the selected shapes, in shape-index order; entries whose
// shape index names no shape are passed over.
std::vector<CShapeRecord*> SelectedRecords(const CTheme& theme,
                                           const std::vector<CShapeRecord*>& all) {
    std::vector<CShapeRecord*> records;
    records.reserve(theme.m_Selection.size());
    for (const auto& entry : theme.m_Selection)
        if (entry.first >= 0 && static_cast<std::size_t>(entry.first) < all.size())
            records.push_back(all[static_cast<std::size_t>(entry.first)]);
    return records;
}

} // namespace

void SetShapeEditHooks(const CShapeEditHooks& hooks) {
    Hooks() = hooks;
}

const CShapeEditHooks& GetShapeEditHooks() {
    return Hooks();
}

int CTheme::GetHighestShapeIndex() const {
    if (m_SourceType == ST_Native)
        return GetAllShapeCount() - 1;
    const std::vector<CShapeRecord*>* all = AllOfKind(*this, KindOfType(m_ShapeType));
    if (all == nullptr)
        return -1;
    int highest = -1;
    for (const CShapeRecord* record : *all)
        highest = std::max(highest, GetShapeRecordIndex(record));
    return highest;
}

bool CTheme::IsShapeVisible(const CShapeRecord* record) const {
    if (record == nullptr)
        return false;
    for (const auto* list : {&m_VisiblePoints, &m_VisibleArcs, &m_VisiblePolygons})
        if (std::find(list->begin(), list->end(), record) != list->end())
            return true;
    return false;
}

namespace {

// The common part of AddPoint, AddArc and AddPolygon, once the kinds have
// been checked.
CShapeRecord* AddRecord(CTheme& theme, Kind kind, CShapeRecord* record, bool updateIndex,
                        bool applyStyle, bool adopt) {
    const std::size_t size = CShapeRecord::GetSize(record);
    if (size == 0)
        return nullptr;
    KindLists lists = ListsOf(theme, kind);

    // Everything that can fail comes first, while nothing has changed. The
    // lists grow by doubling: reserving one more place each time would copy
    // every list on every add, which made adding a million shapes quadratic.
    const auto makeRoom = [](auto& list) {
        if (list.size() == list.capacity())
            list.reserve(std::max<std::size_t>(16, 2 * list.capacity()));
    };
    makeRoom(*lists.all);
    makeRoom(*lists.visible);
    makeRoom(*lists.owned);
    std::unique_ptr<unsigned char[]> copy;
    if (!adopt) {
        copy.reset(new unsigned char[size]);
        std::memcpy(copy.get(), CShapeRecord::Bytes(record), size);
    }
    const long long highest = theme.GetHighestShapeIndex();
    if (highest + 2 > static_cast<long long>(UINT32_MAX))
        return nullptr;
    if (theme.m_SourceType == ST_Native)
        theme.m_NativeTable.AppendRow();

    theme.DeleteSpatialIndex();
    std::unique_ptr<unsigned char[]> buffer =
        adopt ? std::unique_ptr<unsigned char[]>(CShapeRecord::Bytes(record)) : std::move(copy);
    CShapeRecord* added = CShapeRecord::FromBytes(buffer.get());
    if (kind == Kind::Arcs) {
        // A polygon kept by a polyline theme becomes the polyline of its
        // outline: the layouts are the same but for the type.
        const std::uint32_t type = CShapeRecord::GetShapeType(added);
        if (type == SHT_Polygon)
            corvale::WriteLE32(buffer.get() + 8, SHT_Polyline);
        else if (type == SHT_PolygonZ)
            corvale::WriteLE32(buffer.get() + 8, SHT_PolylineZ);
    }
    SetRecordNumber(added, static_cast<std::uint32_t>(highest + 2));
    lists.all->push_back(added);
    lists.visible->push_back(added);
    lists.owned->push_back(std::move(buffer));

    ExtendBoundsByRecord(theme, added);
    theme.m_Modified = true;
    theme.ResetShapePositions();
    if (updateIndex)
        theme.BuildSpatialIndex();
    if (applyStyle)
        DecideNewStyles(theme);
    return added;
}

} // namespace

CShapeRecord* CTheme::AddShape(CShapeRecord* record, bool updateIndex, bool applyStyle,
                               bool adopt) {
    if (record == nullptr)
        return nullptr;
    switch (KindOfType(CShapeRecord::GetShapeType(record))) {
    case Kind::Points:
        return AddPoint(record, updateIndex, applyStyle, adopt);
    case Kind::Arcs:
        return AddArc(record, updateIndex, applyStyle, adopt);
    case Kind::Polygons:
        return AddPolygon(record, updateIndex, applyStyle, adopt);
    default:
        return nullptr;
    }
}

// Each kind takes only records of its own family: a polyline listed among
// points would be read as a point and written into a point file.
CShapeRecord* CTheme::AddPoint(CShapeRecord* record, bool updateIndex, bool applyStyle,
                               bool adopt) {
    if (record == nullptr || !IsPointTheme() ||
        KindOfType(CShapeRecord::GetShapeType(record)) != Kind::Points)
        return nullptr;
    return AddRecord(*this, Kind::Points, record, updateIndex, applyStyle, adopt);
}

CShapeRecord* CTheme::AddArc(CShapeRecord* record, bool updateIndex, bool applyStyle, bool adopt) {
    if (record == nullptr || !IsArcTheme())
        return nullptr;
    const Kind kind = KindOfType(CShapeRecord::GetShapeType(record));
    if (kind != Kind::Arcs && kind != Kind::Polygons)
        return nullptr;
    return AddRecord(*this, Kind::Arcs, record, updateIndex, applyStyle, adopt);
}

CShapeRecord* CTheme::AddPolygon(CShapeRecord* record, bool updateIndex, bool applyStyle,
                                 bool adopt) {
    if (record == nullptr || !IsPolygonTheme() ||
        KindOfType(CShapeRecord::GetShapeType(record)) != Kind::Polygons)
        return nullptr;
    return AddRecord(*this, Kind::Polygons, record, updateIndex, applyStyle, adopt);
}

CShapeRecord* CTheme::AddPointAt(bool updateIndex, bool applyStyle, double x, double y) {
    if (!IsPointTheme())
        return nullptr;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[28]);
    CShapePointCreator().CreatePoint(buffer.get(), x, y);
    CShapeRecord* added =
        AddPoint(CShapeRecord::FromBytes(buffer.get()), updateIndex, applyStyle, true);
    if (added != nullptr)
        buffer.release(); // the theme holds it now
    return added;
}

bool CTheme::AppendLoadedShape(CShapeRecord* record) {
    if (m_Editable)
        return false;
    DeleteSpatialIndex();
    // Whatever the answer, the theme leaves with its hash.
    struct CRebuildIndex {
        CTheme& theme;
        ~CRebuildIndex() { theme.BuildSpatialIndex(); }
    } rebuild{*this};

    if (record == nullptr)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const Kind kind = KindOfType(type);
    if (kind == Kind::None || kind != KindOfType(m_ShapeType))
        return false;
    KindLists lists = ListsOf(*this, kind);
    lists.all->reserve(lists.all->size() + 1);
    lists.visible->reserve(lists.visible->size() + 1);
    lists.all->push_back(record);
    lists.visible->push_back(record);

    // The rule of delivery and of RecalculateBounds, so that recomputing the
    // extent later gives the same Z range.
    TakeRecordExtent(record);
    ApplyStyleRules(GetShapeCount() - 1);
    m_Modified = true;
    ResetShapePositions();
    return true;
}

bool CTheme::RemoveLoadedShape(CShapeRecord* record) {
    if (m_Editable || record == nullptr)
        return false;
    const Kind kind = KindOfType(CShapeRecord::GetShapeType(record));
    if (kind == Kind::None)
        return false;
    KindLists lists = ListsOf(*this, kind);
    auto inAll = std::find(lists.all->begin(), lists.all->end(), record);
    if (inAll == lists.all->end())
        return false;
    // Another listed record may carry the same number: its entry stays.
    const int shapeIndex = GetShapeRecordIndex(record);
    bool numberShared = false;
    for (const CShapeRecord* other : *lists.all)
        if (other != record && GetShapeRecordIndex(other) == shapeIndex)
            numberShared = true;
    if (!numberShared)
        RemoveFromSelection(shapeIndex);
    TellShapeDeleted(this, record);
    DeleteSpatialIndex();
    lists.all->erase(inAll);
    auto inVisible = std::find(lists.visible->begin(), lists.visible->end(), record);
    if (inVisible != lists.visible->end()) {
        const std::size_t position = static_cast<std::size_t>(inVisible - lists.visible->begin());
        lists.visible->erase(inVisible);
        if (position < m_ShapeStyles.size())
            m_ShapeStyles.erase(m_ShapeStyles.begin() + static_cast<std::ptrdiff_t>(position));
    }
    ResetShapePositions();
    RecalculateBounds();
    BuildSpatialIndex();
    // Themes made from this one's selection list the same record, which its
    // loader is about to free: it leaves them too. Editable ones hold copies.
    for (CTheme* child : Descendants(*this))
        if (!child->m_Editable)
            child->RemoveLoadedShape(record);
    return true;
}

CShapeRecord* CTheme::ReplaceShape(const CShapeRecord* newRecord, CShapeRecord* oldRecord) {
    if (!m_Editable || newRecord == nullptr || oldRecord == nullptr)
        return nullptr;
    if (!IsArcTheme() && !IsPolygonTheme())
        return nullptr;
    if (CShapeRecord::GetShapeType(newRecord) != m_ShapeType)
        return nullptr;
    const std::size_t size = CShapeRecord::GetSize(newRecord);
    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    // A record of another theme (or one already gone) has nothing here to
    // take its place, and its copy would belong to no list.
    auto inAll = std::find(lists.all->begin(), lists.all->end(), oldRecord);
    if (size == 0 || inAll == lists.all->end())
        return nullptr;

    auto inOwned = std::find_if(lists.owned->begin(), lists.owned->end(),
                                [oldRecord](const std::unique_ptr<unsigned char[]>& buffer) {
                                    return buffer.get() == CShapeRecord::Bytes(oldRecord);
                                });
    // Whether the old record lives in a buffer of the theme's own, decided
    // before the reserve below, which may move the buffers and leave the
    // iterator pointing at freed memory.
    const bool ownedBefore = inOwned != lists.owned->end();
    if (!ownedBefore)
        lists.owned->reserve(lists.owned->size() + 1);
    const std::vector<CTheme*> descendants = Descendants(*this);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    std::memcpy(buffer.get(), CShapeRecord::Bytes(newRecord), size);

    CShapeRecord* copy = CShapeRecord::FromBytes(buffer.get());
    corvale::WriteBE32(buffer.get(), corvale::ReadBE32(CShapeRecord::Bytes(oldRecord)));
    *inAll = copy;
    auto inVisible = std::find(lists.visible->begin(), lists.visible->end(), oldRecord);
    if (inVisible != lists.visible->end())
        *inVisible = copy;
    if (m_SpatialIndex) {
        try {
            m_SpatialIndex->Remove(oldRecord);
            m_SpatialIndex->InsertRecord(copy);
        } catch (const std::exception&) {
            // Without the hash everything still works, only slower.
            DeleteSpatialIndex();
        }
    }
    for (CTheme* child : descendants)
        Repoint(*child, oldRecord, copy);
    TellShapeReplaced(oldRecord, copy);

    if (ownedBefore)
        inOwned->swap(buffer); // the old buffer goes with `buffer`
    else
        lists.owned->push_back(std::move(buffer));
    return copy;
}

bool CTheme::MoveShape(CShapeRecord* record, int newIndex, bool checkVisible) {
    // Child themes read this theme's records by their numbers, which a move
    // changes; filtered-out shapes have no place in the drawing order.
    if (record == nullptr || m_SourceType != ST_Native || !m_ChildThemes.empty() ||
        GetFilteredShapeCount() > 0)
        return false;
    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    if (!lists)
        return false;
    std::vector<CShapeRecord*>& all = *lists.all;
    std::vector<CShapeRecord*>& visible = *lists.visible;
    const auto inAll = std::find(all.begin(), all.end(), record);
    if (inAll == all.end())
        return false;
    if (checkVisible && std::find(visible.begin(), visible.end(), record) == visible.end())
        return false;
    const int count = static_cast<int>(all.size());
    if (newIndex < 0 || newIndex > count)
        return false;
    const int from = static_cast<int>(inAll - all.begin());
    if (from == newIndex)
        return true;
    if (m_NativeTable.GetRowCount() == count && !m_NativeTable.MoveRow(from, newIndex))
        return false;
    const int to = newIndex > from ? newIndex - 1 : newIndex;

    // Where each shape index goes: the moved shape to `to`, the ones it
    // passes one step towards its old place.
    auto moved = [from, to](int index) {
        if (index == from)
            return to;
        if (from < to && index > from && index <= to)
            return index - 1;
        if (to < from && index >= to && index < from)
            return index + 1;
        return index;
    };
    std::map<int, CSelectionEntry> selection;
    for (const auto& entry : m_Selection)
        selection.emplace(moved(entry.first), entry.second);
    m_Selection.swap(selection);

    auto move = [from, to](auto& list) {
        auto item = std::move(list[static_cast<std::size_t>(from)]);
        list.erase(list.begin() + from);
        list.insert(list.begin() + to, std::move(item));
    };
    // Without a filter the visible list is the all-shapes list, and the
    // styles are parallel to it once they have been decided.
    if (static_cast<int>(m_ShapeStyles.size()) == count)
        move(m_ShapeStyles);
    move(all);
    visible = all;
    if (static_cast<int>(lists.owned->size()) == count &&
        CShapeRecord::FromBytes((*lists.owned)[static_cast<std::size_t>(from)].get()) == record)
        move(*lists.owned);
    Renumber(all);
    ResetShapePositions();
    m_Modified = true;
    return true;
}

namespace {

// Whether a native theme's shapes may be put in another order: child themes
// read its records by their numbers, and filtered-out shapes have no place
// in the drawing order.
bool CanReorder(const CTheme& theme) {
    return theme.m_SourceType == ST_Native && theme.m_ChildThemes.empty() &&
           theme.GetFilteredShapeCount() == 0;
}

// Puts the shapes of the theme's kind in a new order: the shape at place k
// becomes the one that stood at order[k]. The records, the owned buffers,
// the attribute rows (when parallel to the records), the styles (when
// decided for every shape) and the selection entries move with their
// shapes. Everything that allocates is done before anything changes.
bool ApplyOrder(CTheme& theme, KindLists lists, const std::vector<int>& order,
                std::map<int, CSelectionEntry> selection) {
    std::vector<CShapeRecord*>& all = *lists.all;
    const std::size_t count = all.size();

    std::vector<CShapeRecord*> records;
    records.reserve(count);
    for (int from : order)
        records.push_back(all[static_cast<std::size_t>(from)]);

    // The owned buffers follow their records' new places; a buffer that is
    // no listed record's keeps its place after them.
    std::map<const CShapeRecord*, std::size_t> placeOf;
    for (std::size_t k = 0; k < count; ++k)
        placeOf.emplace(records[k], k);
    auto& owned = *lists.owned;
    std::vector<std::pair<std::size_t, std::size_t>> ownedKeys; // {new place, old place}
    ownedKeys.reserve(owned.size());
    for (std::size_t i = 0; i < owned.size(); ++i) {
        const auto found = placeOf.find(CShapeRecord::FromBytes(owned[i].get()));
        ownedKeys.emplace_back(found != placeOf.end() ? found->second : count + i, i);
    }
    std::sort(ownedKeys.begin(), ownedKeys.end());
    std::vector<std::unique_ptr<unsigned char[]>> newOwned;
    newOwned.reserve(owned.size());

    std::vector<CStyleInfo*> styles;
    const bool moveStyles = theme.m_ShapeStyles.size() == count;
    if (moveStyles) {
        styles.reserve(count);
        for (int from : order)
            styles.push_back(theme.m_ShapeStyles[static_cast<std::size_t>(from)]);
    }
    std::vector<CShapeRecord*> visible = records;

    if (theme.m_NativeTable.GetRowCount() == static_cast<int>(count) &&
        !theme.m_NativeTable.ReorderRows(order))
        return false;

    // Nothing below allocates.
    for (const auto& key : ownedKeys)
        newOwned.push_back(std::move(owned[key.second]));
    owned.swap(newOwned);
    all.swap(records);
    lists.visible->swap(visible);
    if (moveStyles)
        theme.m_ShapeStyles.swap(styles);
    theme.m_Selection.swap(selection);
    Renumber(all);
    theme.ResetShapePositions();
    theme.m_Modified = true;
    return true;
}

// The comparison key of one value of a column of the given type.
struct SortValue {
    std::int64_t integer = 0;
    double number = 0.0;
    std::string_view text;
};

// Strict weak order for stable sorting. A "nan" cell compares before every
// number so that the order stays well defined.
bool SortLess(std::int32_t type, const SortValue& a, const SortValue& b) {
    switch (type) {
    case FT_Int:
        return a.integer < b.integer;
    case FT_Double:
        if (std::isnan(a.number) || std::isnan(b.number))
            return std::isnan(a.number) && !std::isnan(b.number);
        return a.number < b.number;
    default:
        return a.text < b.text; // std::string_view compares bytes as unsigned
    }
}

// Sends the selected shapes (in drawing order) after the others when
// `toTop`, before them otherwise; they stay selected under their new places,
// their selection order being their drawing order.
bool MoveSelection(CTheme& theme, bool toTop) {
    if (!CanReorder(theme))
        return false;
    KindLists lists = ListsOf(theme, KindOfType(theme.m_ShapeType));
    if (!lists)
        return false;
    const int count = static_cast<int>(lists.all->size());
    std::vector<int> selected;
    std::vector<int> unselected;
    for (int index = 0; index < count; ++index)
        (theme.m_Selection.count(index) != 0 ? selected : unselected).push_back(index);
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(count));
    const std::vector<int>& first = toTop ? unselected : selected;
    const std::vector<int>& second = toTop ? selected : unselected;
    order.insert(order.end(), first.begin(), first.end());
    order.insert(order.end(), second.begin(), second.end());

    std::map<int, CSelectionEntry> selection;
    const int selectedFrom = toTop ? static_cast<int>(unselected.size()) : 0;
    for (int k = 0; k < static_cast<int>(selected.size()); ++k) {
        CSelectionEntry entry;
        entry.m_SelectionIndex = k;
        selection.emplace(selectedFrom + k, entry);
    }
    const int selectedCount = static_cast<int>(selected.size());
    if (!ApplyOrder(theme, lists, order, std::move(selection)))
        return false;
    theme.m_SelectionCounter = selectedCount;
    theme.m_SelectionArea.reset();
    return true;
}

} // namespace

bool CTheme::SortShapes(int field, bool descending) {
    if (!CanReorder(*this) || field < 0 || field >= static_cast<int>(GetAttributeCount()))
        return false;
    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    if (!lists)
        return false;
    const std::int32_t type = GetAttributeType(field);
    const int count = static_cast<int>(lists.all->size());

    // Keys are read once, from the rows that belong to the shapes now.
    std::vector<SortValue> values(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        SortValue& value = values[static_cast<std::size_t>(index)];
        value.text = m_NativeTable.GetValueView(field, index);
        if (type == FT_Int)
            value.integer = CorvaleSQL::detail::ReadLeadingInt64(value.text);
        else if (type == FT_Double)
            value.number = CorvaleSQL::detail::ReadLeadingDouble(value.text);
    }
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        order[static_cast<std::size_t>(k)] = k;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const SortValue& left = values[static_cast<std::size_t>(a)];
        const SortValue& right = values[static_cast<std::size_t>(b)];
        return descending ? SortLess(type, right, left) : SortLess(type, left, right);
    });

    // The selection follows its shapes, so that a later Delete or Copy acts
    // on the shapes the user selected.
    std::vector<int> newIndexOf(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        newIndexOf[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = k;
    std::map<int, CSelectionEntry> selection;
    for (const auto& entry : m_Selection)
        if (entry.first >= 0 && entry.first < count)
            selection.emplace(newIndexOf[static_cast<std::size_t>(entry.first)], entry.second);
        else
            selection.emplace(entry.first, entry.second);

    return ApplyOrder(*this, lists, order, std::move(selection));
}

bool CTheme::MoveSelectionToTop() { return MoveSelection(*this, true); }

bool CTheme::MoveSelectionToBottom() { return MoveSelection(*this, false); }

void CTheme::ReserveShapes(int count) {
    if (!m_Editable || count <= 0 || m_ShapeType < 1 || m_ShapeType > 15)
        return;
    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    if (!lists)
        return;
    const std::size_t wanted = lists.all->size() + static_cast<std::size_t>(count);
    try {
        lists.owned->reserve(wanted);
        lists.visible->reserve(wanted);
        lists.all->reserve(wanted);
        if (m_SourceType == ST_Native)
            m_NativeTable.ReserveRows(static_cast<std::size_t>(count));
    } catch (const std::exception&) {
        // Room is a convenience: the adds that follow grow the lists anyway.
    }
}

bool CTheme::DeleteSelectedShapes() {
    // Child themes list this theme's record pointers; freeing them would
    // leave the children drawing freed memory. A theme of another source
    // does not own its records and has no rows to keep in step.
    if (!m_Editable || m_SourceType != ST_Native || !m_ChildThemes.empty())
        return false;
    CProgressScope progress;
    if (GetShapeCount() > 0)
        m_Modified = true;
    DeleteSpatialIndex();

    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    if (lists) {
        std::vector<CShapeRecord*>& all = *lists.all;
        std::vector<CShapeRecord*>& visible = *lists.visible;
        auto& owned = *lists.owned;

        std::vector<CShapeRecord*> doomed = SelectedRecords(*this, all);
        for (CShapeRecord* record : doomed)
            TellShapeDeleted(this, record);
        // A plug-in may have changed the theme while it was told; what goes
        // is what is still selected and was announced.
        const std::unordered_set<const CShapeRecord*> announced(doomed.begin(), doomed.end());
        doomed = SelectedRecords(*this, all);
        doomed.erase(
            std::remove_if(doomed.begin(), doomed.end(),
                           [&announced](const CShapeRecord* r) { return announced.count(r) == 0; }),
            doomed.end());
        const std::unordered_set<const CShapeRecord*> gone(doomed.begin(), doomed.end());

        if (!gone.empty() && gone.size() == all.size() && owned.size() == all.size()) {
            // Everything goes: no walk over the selection needed.
            all.clear();
            visible.clear();
            m_ShapeStyles.clear();
            m_NativeTable.RemoveAllRows();
            owned.clear();
        } else if (!gone.empty()) {
            std::size_t done = 0;
            for (std::size_t i = 0; i < all.size(); ++i) {
                if (gone.count(all[i]) == 0)
                    continue;
                m_NativeTable.ClearRow(static_cast<int>(i));
                corvale::UI().SetProgress(Percent(done++, gone.size()));
            }
            m_NativeTable.CompactRows();
            // The visible list and the styles of its positions close up together.
            std::size_t keptStyles = 0;
            std::size_t kept = 0;
            for (std::size_t p = 0; p < visible.size(); ++p) {
                if (gone.count(visible[p]) != 0)
                    continue;
                if (p < m_ShapeStyles.size())
                    m_ShapeStyles[keptStyles++] = m_ShapeStyles[p];
                visible[kept++] = visible[p];
            }
            visible.resize(kept);
            if (keptStyles < m_ShapeStyles.size())
                m_ShapeStyles.resize(keptStyles);
            all.erase(std::remove_if(all.begin(), all.end(),
                                     [&gone](const CShapeRecord* r) { return gone.count(r) != 0; }),
                      all.end());
            // Freed last, once no list names them.
            owned.erase(std::remove_if(owned.begin(), owned.end(),
                                       [&gone](const std::unique_ptr<unsigned char[]>& buffer) {
                                           return gone.count(
                                                      CShapeRecord::FromBytes(buffer.get())) != 0;
                                       }),
                        owned.end());
        }
        Renumber(all);
    }
    RecalculateBounds();
    ClearSelection();
    ResetShapePositions();
    BuildSpatialIndex();
    return true;
}

bool CTheme::DeleteShape(CShapeRecord* record) {
    // Found by address before anything is read through the pointer, so that
    // a record of another theme is refused without being touched.
    auto place = [this](const CShapeRecord* r) -> int {
        if (!m_Editable || m_SourceType != ST_Native || !m_ChildThemes.empty() || r == nullptr)
            return -1;
        const std::vector<CShapeRecord*>* all = AllOfKind(*this, KindOfType(m_ShapeType));
        if (all == nullptr)
            return -1;
        auto it = std::find(all->begin(), all->end(), r);
        return it == all->end() ? -1 : static_cast<int>(it - all->begin());
    };
    const int before = place(record);
    if (before < 0 || GetShapeRecordIndex(record) != before)
        return false;
    TellShapeDeleted(this, record);
    // A plug-in may have deleted it, or others, while it was told.
    const int index = place(record);
    if (index < 0)
        return false;

    KindLists lists = ListsOf(*this, KindOfType(m_ShapeType));
    std::unique_ptr<unsigned char[]> buffer; // freed last
    auto inOwned = std::find_if(lists.owned->begin(), lists.owned->end(),
                                [record](const std::unique_ptr<unsigned char[]>& b) {
                                    return b.get() == CShapeRecord::Bytes(record);
                                });
    if (inOwned != lists.owned->end()) {
        buffer = std::move(*inOwned);
        lists.owned->erase(inOwned);
    }
    int position = -1;
    auto inVisible = std::find(lists.visible->begin(), lists.visible->end(), record);
    if (inVisible != lists.visible->end()) {
        position = static_cast<int>(inVisible - lists.visible->begin());
        lists.visible->erase(inVisible);
    }
    lists.all->erase(lists.all->begin() + index);
    m_Modified = true;
    m_NativeTable.DeleteRow(index);

    RemoveFromSelection(index);
    // The shapes after it move down one shape index; moving the map's nodes
    // in ascending order never meets a key still in use.
    for (auto it = m_Selection.upper_bound(index); it != m_Selection.end();) {
        auto next = std::next(it);
        auto node = m_Selection.extract(it);
        --node.key();
        m_Selection.insert(std::move(node));
        it = next;
    }
    if (position >= 0 && static_cast<std::size_t>(position) < m_ShapeStyles.size())
        m_ShapeStyles.erase(m_ShapeStyles.begin() + position);

    Renumber(*lists.all);
    RecalculateBounds();
    ResetShapePositions();
    DeleteSpatialIndex();
    BuildSpatialIndex();
    return true;
}

bool CTheme::ConvertToNative(bool editable, bool quiet) {
    if (m_ShapeType == SHT_Image || !m_ChildThemes.empty() || GetFilteredShapeCount() > 0)
        return false;
    if (!editable) {
        m_Editable = false;
        return true;
    }
    if (m_SourceType == ST_Unknown) {
        m_SourceType = ST_Native;
        m_FormerSourceType = ST_Native;
        m_Editable = true;
        return true;
    }
    if (m_SourceType == ST_Native) {
        m_Editable = true;
        return true;
    }

    // Checked before anything changes: a theme that cannot be converted
    // stays exactly as it was.
    const Kind kind = KindOfType(m_ShapeType);
    if (kind == Kind::None)
        return false;
    const std::vector<CShapeRecord*>& records = *AllOfKind(*this, kind);
    const std::size_t count = records.size();

    // The copies, the new lists, the selection and the table are made aside
    // (the table in place, as the old one of a theme of another source is
    // read by nobody) and put in place only when all of them are complete.
    std::vector<CShapeRecord*> all;
    std::vector<CShapeRecord*> visible;
    std::vector<std::unique_ptr<unsigned char[]>> owned;
    std::map<int, CSelectionEntry> selection;
    // The buffers the theme owned before, whose handles move to the copies
    // also when the other records stay a parent theme's.
    std::unordered_set<const CShapeRecord*> ownedBefore;
    CNativeAttributeTable savedTable;
    try {
        savedTable = m_NativeTable;
    } catch (const std::exception&) {
        return false;
    }
    // Fills the lists, the selection and the table; false for a record that
    // has no size. Throws when memory runs out.
    auto copyAll = [&]() -> bool {
        all.reserve(count);
        visible.reserve(count);
        owned.reserve(count);
        for (const auto& buffer : *ListsOf(*this, kind).owned)
            ownedBefore.insert(CShapeRecord::FromBytes(buffer.get()));
        // A fresh table: columns left over in it would stand before the
        // source's columns and shift every value.
        m_NativeTable = CNativeAttributeTable();
        const int fields = static_cast<int>(GetAttributeCount());
        for (int field = 0; field < fields; ++field)
            m_NativeTable.AddField(GetAttributeInfo(field), nullptr, nullptr);
        std::unordered_set<int> carried;
        for (std::size_t i = 0; i < count; ++i) {
            const CShapeRecord* record = records[i];
            const std::size_t size = CShapeRecord::GetSize(record);
            if (size == 0)
                return false;
            std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
            std::memcpy(buffer.get(), CShapeRecord::Bytes(record), size);
            CShapeRecord* copy = CShapeRecord::FromBytes(buffer.get());
            owned.push_back(std::move(buffer));
            all.push_back(copy);
            visible.push_back(copy);

            const int oldIndex = GetShapeRecordIndex(record);
            auto selected = m_Selection.find(oldIndex);
            // Two records that carry one number share one entry; it goes to
            // the first of them only.
            if (selected != m_Selection.end() && carried.insert(oldIndex).second)
                selection.emplace(static_cast<int>(i), selected->second);

            const int row = m_NativeTable.AppendRow();
            CNativeAttributeRow* cells = m_NativeTable.GetRow(row);
            for (int field = 0; field < fields; ++field)
                if (!cells->SetValue(field, GetAttributeText(oldIndex, field)))
                    return false;
            SetRecordNumber(copy, static_cast<std::uint32_t>(i + 1));
            if (!quiet)
                corvale::UI().SetProgress(Percent(i, count));
        }
        // Entries of shapes the theme no longer has are not carried; those that
        // are keep their order, numbered densely again.
        if (selection.size() != m_Selection.size()) {
            std::vector<CSelectionEntry*> order;
            for (auto& entry : selection)
                order.push_back(&entry.second);
            std::sort(order.begin(), order.end(),
                      [](const CSelectionEntry* a, const CSelectionEntry* b) {
                          return a->m_SelectionIndex < b->m_SelectionIndex;
                      });
            for (std::size_t n = 0; n < order.size(); ++n)
                order[n]->m_SelectionIndex = static_cast<int>(n);
        }
        return true;
    };
    {
        CProgressScope progress;
        bool copied = false;
        try {
            copied = copyAll();
        } catch (const std::exception&) {
            copied = false;
        }
        if (!copied) {
            m_NativeTable = savedTable;
            return false;
        }
    }
    // From here on nothing fails.
    DeleteSpatialIndex();
    const std::uint32_t former = m_SourceType;
    // A plug-in's handle of a record that goes away (a mapped shape-file
    // record, a loader's record, one the theme owned) moves to its copy;
    // the records of a parent theme stay the parent's, handles included.
    for (std::size_t i = 0; i < count; ++i)
        if (former != ST_ParentTheme || ownedBefore.count(records[i]) != 0)
            TellShapeReplaced(records[i], all[i]);
    // The old records and buffers leave with the local lists, at the end.
    for (Kind k : {Kind::Points, Kind::Arcs, Kind::Polygons}) {
        KindLists lists = ListsOf(*this, k);
        if (k == kind) {
            lists.all->swap(all);
            lists.visible->swap(visible);
            lists.owned->swap(owned);
        } else {
            lists.all->clear();
            lists.visible->clear();
            lists.owned->clear();
        }
    }
    m_Selection.swap(selection);
    m_SelectionCounter = static_cast<int>(m_Selection.size());

    if (m_ParentTheme != nullptr) {
        m_ParentTheme->RemoveChildTheme(this);
        m_ParentTheme = nullptr;
    }
    // The old records pointed into the mapped .shp; no list names them now.
    m_ShpReader.Close();
    m_ShxReader.Close();
    m_DbfReader.Close();
    m_ShpView = CShapeFileView();
    m_ShxView = CShapeIndexView();
    m_ShxRecordCount = -1;
    m_Dbf = CdBaseFile();
    // The loader's records are no longer listed: it may free them, and the
    // theme asks it for nothing from now on.
    if (m_Loader != nullptr) {
        m_Loader->RemoveShapes(m_LoaderHandle);
        DeleteLoaderPlugin(m_Loader);
        m_Loader = nullptr;
    }

    m_Modified = true;
    ResetShapePositions();
    m_FormerSourceType = former;
    m_SourceType = ST_Native;
    m_Editable = true;
    BuildSpatialIndex();
    return true;
}
