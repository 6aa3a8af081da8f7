#include "GpiClient.h"

#include <cstring>
#include <limits>
#include <memory>

namespace {

// The record fnInit received, one per plug-in module.
GpiInitInfo g_InitInfo = {};

int Dispatch(int op, void* block) {
    // Before CvClientInit there is no host to ask.
    if (g_InitInfo.dispatch == nullptr)
        return GPIERR_NotImplemented;
    return g_InitInfo.dispatch(op, block);
}

void Call(int op, void* block) {
    const int code = Dispatch(op, block);
    if (code != GPIERR_NoError)
        throw CvException(code);
}

// Operations whose argument is the handle itself rather than a block.
void* HandleAsBlock(std::uint32_t handle) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(handle));
}

// The two-call text protocol: the size first (terminator included), then the
// text into a buffer of that size. fill(buffer, size) sets the block's
// buffer and size pointers and calls the operation.
template <typename Fill> std::string ReadText(Fill fill) {
    std::uint32_t size = 0;
    fill(nullptr, &size);
    if (size == 0)
        return std::string();
    const std::uint32_t allocated = size;
    std::unique_ptr<char[]> buffer(new char[allocated]);
    buffer[0] = '\0';
    fill(buffer.get(), &size);
    // The host terminates the text; one that did not (or rewrote the size
    // word) must not take the read past the buffer.
    const void* end = std::memchr(buffer.get(), '\0', allocated);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer.get()) : allocated;
    return std::string(buffer.get(), length);
}

std::uint32_t HandleOut(int op, std::uint32_t handle) {
    std::uint32_t out = 0;
    GpiHandleOutArgs block = {handle, &out};
    Call(op, &block);
    return out;
}

void HandleValue(int op, std::uint32_t handle, std::uint32_t value) {
    GpiHandleValueArgs block = {handle, value};
    Call(op, &block);
}

} // namespace

// ---------------------------------------------------------------------------
// The module's record, host memory, errors
// ---------------------------------------------------------------------------

void CvClientInit(const GpiInitInfo& info) {
    g_InitInfo = info;
}

const GpiInitInfo& CvClientInitInfo() {
    return g_InitInfo;
}

char* CopyToHostString(const char* text) {
    if (text == nullptr)
        return nullptr;
    const std::size_t length = std::strlen(text);
    if (length >= std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    void* memory = nullptr;
    GpiHostAllocArgs block = {static_cast<std::uint32_t>(length + 1), &memory};
    if (Dispatch(GPIOP_HostAlloc, &block) != GPIERR_NoError || memory == nullptr)
        return nullptr;
    std::memcpy(memory, text, length + 1);
    return static_cast<char*>(memory);
}

std::string CvException::GetText() const {
    // Both answers are ignored: a code the host does not know still gets
    // whatever text it gives, and no text is an empty one.
    return ReadText([this](char* buffer, std::uint32_t* size) {
        GpiGetErrorTextArgs block = {static_cast<std::uint32_t>(code), buffer, size};
        Dispatch(GPIOP_GetErrorText, &block);
    });
}

// ---------------------------------------------------------------------------
// CvObject, CvRecordset
// ---------------------------------------------------------------------------

bool CvObject::IsValid() const {
    if (handle == 0)
        return false;
    std::uint32_t out = 0;
    GpiObjectIsValidArgs block = {handle, &out};
    Dispatch(GPIOP_ObjectIsValid, &block);
    return out != 0;
}

CvRecordset::~CvRecordset() noexcept {
    try {
        Close();
    } catch (...) {
    }
}

CvRecordset::CvRecordset(CvRecordset&& other) noexcept : CvObject(other.handle) {
    other.handle = 0;
}

CvRecordset& CvRecordset::operator=(CvRecordset&& other) noexcept {
    if (this != &other) {
        try {
            Close();
        } catch (...) {
        }
        handle = other.handle;
        other.handle = 0;
    }
    return *this;
}

bool CvRecordset::IsEOF() const {
    return HandleOut(GPIOP_RecordsetIsEOF, handle) != 0;
}

std::uint32_t CvRecordset::GetValue() const {
    return HandleOut(GPIOP_RecordsetGetValue, handle);
}

void CvRecordset::MoveNext() const {
    Call(GPIOP_RecordsetMoveNext, HandleAsBlock(handle));
}

void CvRecordset::Close() {
    if (handle == 0)
        return;
    const std::uint32_t closing = handle;
    handle = 0;
    Call(GPIOP_RecordsetClose, HandleAsBlock(closing));
}

// ---------------------------------------------------------------------------
// CvWorkspace
// ---------------------------------------------------------------------------

CvMap CvWorkspace::GetMap() const {
    return CvMap(HandleOut(GPIOP_WorkspaceGetMap, handle));
}

std::uint32_t CvWorkspace::GetThemeCount() const {
    return HandleOut(GPIOP_WorkspaceGetThemeCount, handle);
}

CvTheme CvWorkspace::GetTheme(std::uint32_t index) const {
    std::uint32_t theme = 0;
    GpiWorkspaceGetThemeArgs block = {handle, index, &theme};
    Call(GPIOP_WorkspaceGetTheme, &block);
    return CvTheme(theme);
}

CvTheme CvWorkspace::GetActiveTheme() const {
    return CvTheme(HandleOut(GPIOP_WorkspaceGetActiveTheme, handle));
}

std::uint32_t CvWorkspace::GetSelectedThemeCount() const {
    return HandleOut(GPIOP_WorkspaceGetSelectedThemeCount, handle);
}

CvJavaScript CvWorkspace::CreateJavaScript(const char* file) const {
    std::uint32_t script = 0;
    GpiWorkspaceCreateScriptArgs block = {handle, file, &script};
    Call(GPIOP_WorkspaceCreateScript, &block);
    return CvJavaScript(script);
}

void CvWorkspace::NotifyChanged() const {
    Call(GPIOP_WorkspaceNotifyChanged, HandleAsBlock(handle));
}

CvTheme CvWorkspace::AddTheme(std::uint32_t shapeType, const char* name) const {
    std::uint32_t theme = 0;
    GpiWorkspaceAddThemeArgs block = {handle, shapeType, name, &theme};
    Call(GPIOP_WorkspaceAddTheme, &block);
    return CvTheme(theme);
}

bool CvWorkspace::RemoveTheme(const CvTheme& theme) const {
    std::uint32_t removed = 0;
    GpiWorkspaceRemoveThemeArgs block = {handle, theme.handle, &removed};
    Call(GPIOP_WorkspaceRemoveTheme, &block);
    return removed != 0;
}

// ---------------------------------------------------------------------------
// CvMap
// ---------------------------------------------------------------------------

void* CvMap::GetWindow() const {
    void* window = nullptr;
    GpiMapGetWindowArgs block = {handle, &window};
    Call(GPIOP_MapGetWindow, &block);
    return window;
}

void CvMap::WorldToClient(double x, double y, std::int32_t& px, std::int32_t& py) const {
    std::int32_t outX = 0;
    std::int32_t outY = 0;
    GpiMapWorldToClientArgs block = {handle, 0, x, y, &outX, &outY};
    Call(GPIOP_MapWorldToClient, &block);
    px = outX;
    py = outY;
}

void CvMap::ClientToWorld(std::int32_t px, std::int32_t py, double& x, double& y) const {
    double outX = 0.0;
    double outY = 0.0;
    GpiMapClientToWorldArgs block = {handle, px, py, &outX, &outY};
    Call(GPIOP_MapClientToWorld, &block);
    x = outX;
    y = outY;
}

void CvMap::Redraw(bool erase) const {
    HandleValue(GPIOP_MapRedraw, handle, erase ? 1u : 0u);
}

std::uint32_t CvMap::GetTool() const {
    std::uint32_t tool = 0;
    GpiMapGetToolArgs block = {handle, g_InitInfo.identity, &tool};
    Call(GPIOP_MapGetTool, &block);
    return tool;
}

void CvMap::SetTool(std::uint32_t tool) const {
    GpiMapSetToolArgs block = {handle, g_InitInfo.identity, tool};
    Call(GPIOP_MapSetTool, &block);
}

void CvMap::ZoomToTheme(const CvTheme& theme) const {
    GpiMapZoomToThemeArgs block = {handle, theme.handle};
    Call(GPIOP_MapZoomToTheme, &block);
}

// ---------------------------------------------------------------------------
// CvTheme
// ---------------------------------------------------------------------------

std::string CvTheme::GetName() const {
    return ReadText([this](char* buffer, std::uint32_t* size) {
        GpiThemeGetNameArgs block = {handle, buffer, size};
        Call(GPIOP_ThemeGetName, &block);
    });
}

bool CvTheme::IsReadOnly() const {
    return HandleOut(GPIOP_ThemeIsReadOnly, handle) != 0;
}

std::uint32_t CvTheme::GetShapeType() const {
    return HandleOut(GPIOP_ThemeGetShapeType, handle);
}

std::uint32_t CvTheme::GetFieldCount() const {
    return HandleOut(GPIOP_ThemeGetFieldCount, handle);
}

std::string CvTheme::GetFieldName(std::uint32_t field) const {
    return ReadText([this, field](char* buffer, std::uint32_t* size) {
        GpiThemeGetFieldNameArgs block = {handle, field, buffer, size};
        Call(GPIOP_ThemeGetFieldName, &block);
    });
}

std::uint32_t CvTheme::GetShapeCount() const {
    return HandleOut(GPIOP_ThemeGetShapeCount, handle);
}

CvShape CvTheme::GetShape(std::uint32_t index) const {
    std::uint32_t shape = 0;
    GpiThemeGetShapeArgs block = {handle, index, &shape};
    Call(GPIOP_ThemeGetShape, &block);
    return CvShape(shape);
}

std::uint32_t CvTheme::GetSelectionCount() const {
    return HandleOut(GPIOP_ThemeGetSelectionCount, handle);
}

CvRecordset CvTheme::GetSelection() const {
    return CvRecordset(HandleOut(GPIOP_ThemeGetSelection, handle));
}

void CvTheme::UpdateShape(const CvShape& shape, const void* record) const {
    GpiThemeUpdateShapeArgs block = {handle, shape.handle, record};
    Call(GPIOP_ThemeUpdateShape, &block);
}

CvShape CvTheme::AddShape(const void* record) const {
    std::uint32_t shape = 0;
    GpiThemeAddShapeArgs block = {handle, record, &shape};
    Call(GPIOP_ThemeAddShape, &block);
    return CvShape(shape);
}

std::uint32_t CvTheme::AddField(std::uint32_t type, const char* name, const char* defaultValue) const {
    std::uint32_t field = 0;
    GpiThemeAddFieldArgs block = {handle, type, name, defaultValue, &field};
    Call(GPIOP_ThemeAddField, &block);
    return field;
}

void CvTheme::UpdateBatch(bool end) const {
    GpiThemeUpdateBatchArgs block = {g_InitInfo.identity, handle, end ? 1u : 0u};
    Call(GPIOP_ThemeUpdateBatch, &block);
}

void CvTheme::SetSelected(bool selected) const {
    HandleValue(GPIOP_ThemeSetSelected, handle, selected ? 1u : 0u);
}

// ---------------------------------------------------------------------------
// CvShape
// ---------------------------------------------------------------------------

void CvShape::GetBounds(double& xmin, double& ymin, double& xmax, double& ymax) const {
    double bounds[4] = {};
    GpiShapeGetBoundsArgs block = {handle, &bounds[0], &bounds[1], &bounds[2], &bounds[3]};
    Call(GPIOP_ShapeGetBounds, &block);
    xmin = bounds[0];
    ymin = bounds[1];
    xmax = bounds[2];
    ymax = bounds[3];
}

std::uint32_t CvShape::GetPartPointCount(std::uint32_t part) const {
    std::uint32_t count = 0;
    GpiShapeGetPartPointCountArgs block = {handle, part, &count};
    Call(GPIOP_ShapeGetPartPointCount, &block);
    return count;
}

void CvShape::GetPoint(std::uint32_t part, std::uint32_t index, double& x, double& y) const {
    double outX = 0.0;
    double outY = 0.0;
    GpiShapeGetPointArgs block = {handle, part, index, &outX, &outY, nullptr};
    Call(GPIOP_ShapeGetPoint, &block);
    x = outX;
    y = outY;
}

void CvShape::GetNearestPoint(double x, double y, double& nx, double& ny) const {
    double outX = 0.0;
    double outY = 0.0;
    GpiShapeGetNearestPointArgs block = {handle, 0, x, y, &outX, &outY};
    Call(GPIOP_ShapeGetNearestPoint, &block);
    nx = outX;
    ny = outY;
}

std::string CvShape::GetAttribute(const CvTheme& theme, std::uint32_t field) const {
    return ReadText([this, &theme, field](char* buffer, std::uint32_t* size) {
        GpiShapeGetAttributeArgs block = {handle, theme.handle, field, buffer, size};
        Call(GPIOP_ShapeGetAttribute, &block);
    });
}

void CvShape::Select(const CvTheme& theme, bool select) const {
    GpiShapeSelectArgs block = {handle, theme.handle, select ? 1u : 0u};
    Call(GPIOP_ShapeSelect, &block);
}

void CvShape::SetAttributes(const CvTheme& theme, std::uint32_t count, const char* const* values) const {
    GpiShapeSetAttributesArgs block = {handle, theme.handle, count, values};
    Call(GPIOP_ShapeSetAttributes, &block);
}

// ---------------------------------------------------------------------------
// CvJavaScript, CvToolBar
// ---------------------------------------------------------------------------

void CvJavaScript::Run() const {
    Call(GPIOP_ScriptRun, HandleAsBlock(handle));
}

void CvJavaScript::Destroy() const {
    Call(GPIOP_ScriptDestroy, HandleAsBlock(handle));
}

void CvToolBar::EnableButton(std::uint32_t buttonId, bool enable) const {
    GpiToolBarEnableButtonArgs block = {handle, g_InitInfo.identity, buttonId, enable ? 1u : 0u};
    Call(GPIOP_ToolBarEnableButton, &block);
}

void CvToolBar::CheckButton(std::uint32_t buttonId, bool check) const {
    GpiToolBarCheckButtonArgs block = {handle, g_InitInfo.identity, buttonId, check ? 1u : 0u};
    Call(GPIOP_ToolBarCheckButton, &block);
}
