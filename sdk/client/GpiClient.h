#pragma once
// The GPI client classes: the host's numbered operations (Gpi.h) as calls on
// small value objects, one class per kind of host handle, for the GPI
// plug-ins written in C++. Each call builds the argument block of one
// GPIOP_* operation, hands it to the host's dispatch entry and turns any
// answer other than GPIERR_NoError into a thrown CvException holding the
// code.
//
// A plug-in links this library once (corvale_gpi_client) and calls
// CvClientInit from its fnInit with the record it received; every later call
// goes through the identity and dispatch entry kept there. Each plug-in
// module has its own copy of that record, since plug-ins are built with
// hidden symbols.
//
// Wrappers hold one 32-bit handle (0 = no object) and tell the host nothing
// when they are made, copied or destroyed; a wrapper with handle 0 is passed
// on like any other, and the host answers GPIERR_InvalidHandle. Operations
// that yield an object return a new wrapper whose handle is the operation's
// out word, preset to 0, so that a host that writes nothing yields handle 0.
//
// The one exception is CvRecordset: a recordset lives in the host until the
// plug-in closes it, so its wrapper owns the handle. It can be moved but not
// copied, closes at most once, and its destructor never throws: a close that
// fails there is dropped, since an exception leaving a destructor ends the
// program (the host has forgotten a recordset it answers Invalid handle for
// anyway). Close it explicitly to see the failure.

#include "Gpi.h"

#include <cstdint>
#include <string>
#include <vector>

// A failed host operation: the non-zero GPIERR_* code it answered.
class CvException {
public:
    explicit CvException(int code) : code(code) {}

    // The host's message for the code (GPIOP_GetErrorText); empty when the
    // host gives none. Never throws CvException.
    std::string GetText() const;

    int code;
};

// Keeps the record the host handed to fnInit: its identity and dispatch
// entry serve every later call. Call it before filling in the plug-in's own
// fields.
void CvClientInit(const GpiInitInfo& info);
// The record kept by CvClientInit (all zero before it).
const GpiInitInfo& CvClientInitInfo();

// A copy of text in memory from GPIOP_HostAlloc, for values the host takes
// over and frees (script results). Null when the host refuses.
char* CopyToHostString(const char* text);

class CvObject {
public:
    CvObject() = default;
    explicit CvObject(std::uint32_t handle) : handle(handle) {}
    virtual ~CvObject() = default;
    CvObject(const CvObject&) = default;
    CvObject& operator=(const CvObject&) = default;

    // Whether the host still knows the handle. False at once for handle 0;
    // never throws.
    virtual bool IsValid() const;

    std::uint32_t handle = 0;
};

class CvTheme;
class CvShape;

// The recordset of a query or a selection, walked with IsEOF, GetValue and
// MoveNext and closed at the end.
class CvRecordset : public CvObject {
public:
    CvRecordset() = default;
    explicit CvRecordset(std::uint32_t handle) : CvObject(handle) {}
    ~CvRecordset() noexcept override;
    CvRecordset(const CvRecordset&) = delete;
    CvRecordset& operator=(const CvRecordset&) = delete;
    // The moved-from wrapper keeps handle 0 and closes nothing.
    CvRecordset(CvRecordset&& other) noexcept;
    // Closes the recordset held before (a failure is dropped, as in the
    // destructor), then takes over the other's.
    CvRecordset& operator=(CvRecordset&& other) noexcept;

    bool IsEOF() const;
    // The handle at the cursor.
    std::uint32_t GetValue() const;
    void MoveNext() const;
    // Closes the recordset when the handle is not 0; the handle is 0
    // afterwards, whether the host agreed or not, so no handle is closed
    // twice. Throws when the host refuses.
    void Close();
};

class CvMap : public CvObject {
public:
    using CvObject::CvObject;
    // The map view's widget (a QWidget*).
    void* GetWindow() const;
    void WorldToClient(double x, double y, std::int32_t& px, std::int32_t& py) const;
    void ClientToWorld(std::int32_t px, std::int32_t py, double& x, double& y) const;
    void Redraw(bool erase) const;
    // The map tool as this plug-in sees it (GPIOP_MapGetTool).
    std::uint32_t GetTool() const;
    void SetTool(std::uint32_t tool) const;
    void ZoomToTheme(const CvTheme& theme) const;
};

class CvShape : public CvObject {
public:
    using CvObject::CvObject;
    void GetBounds(double& xmin, double& ymin, double& xmax, double& ymax) const;
    std::uint32_t GetPartPointCount(std::uint32_t part) const;
    void GetPoint(std::uint32_t part, std::uint32_t index, double& x, double& y) const;
    void GetNearestPoint(double x, double y, double& nx, double& ny) const;
    // The text of a field of the shape's row in the theme.
    std::string GetAttribute(const CvTheme& theme, std::uint32_t field) const;
    void Select(const CvTheme& theme, bool select) const;
    // values[0 .. count - 1] go into fields 0 .. count - 1.
    void SetAttributes(const CvTheme& theme, std::uint32_t count, const char* const* values) const;
};

class CvTheme : public CvObject {
public:
    using CvObject::CvObject;
    std::string GetName() const;
    bool IsReadOnly() const;
    std::uint32_t GetShapeType() const;
    std::uint32_t GetFieldCount() const;
    std::string GetFieldName(std::uint32_t field) const;
    std::uint32_t GetShapeCount() const;
    // The shape at a position of the visible list.
    CvShape GetShape(std::uint32_t index) const;
    std::uint32_t GetSelectionCount() const;
    // The selected shapes' handles, in selection order.
    CvRecordset GetSelection() const;
    // record: a shape record as in a .shp file, from its 8-byte header on.
    void UpdateShape(const CvShape& shape, const void* record) const;
    CvShape AddShape(const void* record) const;
    // type: GPIFT_*, with GPI_FIELD_KEY for a key field; defaultValue may be
    // null. Answers the new field's index.
    std::uint32_t AddField(std::uint32_t type, const char* name, const char* defaultValue) const;
    // Opens (end false) or closes (end true) a batch of updates.
    void UpdateBatch(bool end) const;
    void SetSelected(bool selected) const;
};

class CvJavaScript : public CvObject {
public:
    using CvObject::CvObject;
    void Run() const;
    void Destroy() const;
};

class CvToolBar : public CvObject {
public:
    using CvObject::CvObject;
    void EnableButton(std::uint32_t buttonId, bool enable) const;
    void CheckButton(std::uint32_t buttonId, bool check) const;
};

class CvWorkspace : public CvObject {
public:
    using CvObject::CvObject;
    CvMap GetMap() const;
    std::uint32_t GetThemeCount() const;
    CvTheme GetTheme(std::uint32_t index) const;
    // Handle 0 when no theme is active.
    CvTheme GetActiveTheme() const;
    std::uint32_t GetSelectedThemeCount() const;
    CvJavaScript CreateJavaScript(const char* file) const;
    void NotifyChanged() const;
    CvTheme AddTheme(std::uint32_t shapeType, const char* name) const;
    // True when the theme was removed (the user is asked first).
    bool RemoveTheme(const CvTheme& theme) const;
};
