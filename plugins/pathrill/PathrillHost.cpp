#include "PathrillHost.h"

namespace pathrill {

namespace {

int Dispatch(int op, void* block) {
    const GpiHostDispatchFn dispatch = CvClientInitInfo().dispatch;
    return dispatch != nullptr ? dispatch(op, block) : static_cast<int>(GPIERR_NotImplemented);
}

void Call(int op, void* block) {
    const int code = Dispatch(op, block);
    if (code != GPIERR_NoError)
        throw CvException(code);
}

} // namespace

int RegisterHook(std::uint32_t hookType, const void* info) {
    GpiRegisterHookArgs args = {CvClientInitInfo().identity, hookType, 0, info};
    return Dispatch(GPIOP_RegisterHook, &args);
}

int UnregisterHook(std::uint32_t hookType) {
    GpiUnregisterHookArgs args = {CvClientInitInfo().identity, hookType};
    return Dispatch(GPIOP_UnregisterHook, &args);
}

std::vector<unsigned char> GetShapeRecord(const CvShape& shape) {
    std::uint32_t size = 0;
    GpiShapeGetRecordArgs query = {shape.handle, nullptr, &size};
    Call(GPIOP_ShapeGetRecord, &query);
    std::vector<unsigned char> record(size);
    GpiShapeGetRecordArgs copy = {shape.handle, record.data(), &size};
    Call(GPIOP_ShapeGetRecord, &copy);
    record.resize(size);
    return record;
}

std::uint32_t GetFieldType(const CvTheme& theme, std::uint32_t field) {
    std::uint32_t type = 0;
    GpiThemeGetFieldTypeArgs args = {theme.handle, field, &type};
    Call(GPIOP_ThemeGetFieldType, &args);
    return type;
}

void* HostAlloc(std::uint32_t size) {
    void* memory = nullptr;
    GpiHostAllocArgs args = {size, &memory};
    return Dispatch(GPIOP_HostAlloc, &args) == GPIERR_NoError ? memory : nullptr;
}

} // namespace pathrill
