// An exporter plug-in for the tests, built once per kind of exporter the host
// must handle from this one source. Compile-time switches:
//   XPR_TEST_NAME="..."        display name
//   XPR_TEST_VERSION=n         fnVersion's answer; 0 leaves fnVersion out (version 1)
//   XPR_TEST_POINTS_ONLY       fnSupportsType accepts point themes only
//   XPR_TEST_NO_ERRMSG         leaves fnGetLastErrMsg out
//   XPR_TEST_REVERSE           asks for the themes last to first (version 5)
//   XPR_TEST_NO_EXPORT_SHAPE   leaves fnExportShape out
//
// Every call is written as one line to a log the test reads through the
// entry xprTestLog; xprTestControl sets which calls fail.

#include "Exporter.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#ifndef XPR_TEST_NAME
#define XPR_TEST_NAME "Test Exporter"
#endif
#ifndef XPR_TEST_VERSION
#define XPR_TEST_VERSION 5
#endif

namespace {

std::string g_Log;
std::u16string g_Name = u"" XPR_TEST_NAME;
std::u16string g_Error;
int g_FailShape = -1;     // the call number (from 0) of fnExportShape that fails
bool g_FailPost = false;
bool g_ThrowEnd = false;
int g_ShapeCalls = 0;

void Log(const std::string& line) { g_Log += line + "\n"; }

std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }

[[maybe_unused]] unsigned RecordIndex(const void* record) {
    const auto* b = static_cast<const unsigned char*>(record);
    return ((unsigned(b[0]) << 24) | (unsigned(b[1]) << 16) | (unsigned(b[2]) << 8) | unsigned(b[3])) - 1;
}

[[maybe_unused]] std::string Hex(unsigned v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", v);
    return buffer;
}

[[maybe_unused]] bool ShapeResult() {
    const bool ok = g_ShapeCalls++ != g_FailShape;
    if (!ok)
        g_Error = u"shape refused";
    return ok;
}

} // namespace

extern "C" {

XPR_EXPORT const char* xprTestLog() { return g_Log.c_str(); }

XPR_EXPORT void xprTestControl(int failShape, int failPost, int throwEnd) {
    g_Log.clear();
    g_ShapeCalls = 0;
    g_FailShape = failShape;
    g_FailPost = failPost != 0;
    g_ThrowEnd = throwEnd != 0;
}

XPR_EXPORT const ExporterChar* fnGetName() { return reinterpret_cast<const ExporterChar*>(g_Name.c_str()); }

XPR_EXPORT const ExporterChar* fnGetDescription() {
    return reinterpret_cast<const ExporterChar*>(u"Writes a log of its calls");
}

#if XPR_TEST_VERSION > 0
XPR_EXPORT uint32_t fnVersion() { return XPR_TEST_VERSION; }
#endif

XPR_EXPORT uint8_t fnSupportsType(uint32_t shapeType, uint32_t fieldCount, ExportHostGetFieldNameFn getFieldName) {
    Log("supports " + std::to_string(shapeType) + " fields=" + std::to_string(fieldCount) +
        " f0=" + Text(getFieldName(0)));
#ifdef XPR_TEST_POINTS_ONLY
    return shapeType == 1;
#else
    return 1;
#endif
}

#ifndef XPR_TEST_NO_ERRMSG
XPR_EXPORT const ExporterChar* fnGetLastErrMsg() { return reinterpret_cast<const ExporterChar*>(g_Error.c_str()); }
#endif

#ifndef XPR_TEST_NO_EXPORT_SHAPE
#if XPR_TEST_VERSION >= 3
XPR_EXPORT uint8_t fnExportShape(ExportShapeArgs* a) {
    const unsigned index = RecordIndex(a->record);
    Log("shape type=" + std::to_string(a->shapeType) + " index=" + std::to_string(index) +
        " word=" + std::to_string(a->word) + " color=" + Hex(a->color) + " themeColor=" + Hex(a->themeColor) +
        " width=" + std::to_string(a->lineWidth) + " sel=" + std::to_string(a->selected) +
        " v0=" + Text(a->getAttributeValue(index, 0)) + " t0=" + Hex(a->getFieldType(0)) +
        " t1=" + Hex(a->getFieldType(1)) + " image=" + std::to_string(a->renderMapImage(nullptr)));
    return ShapeResult();
}
#else
XPR_EXPORT uint8_t fnExportShape(uint32_t shapeType, const void* point, const void* polyline, const void* polygon,
                                 uint32_t word, ExportHostGetFieldNameFn getFieldName,
                                 ExportHostGetAttributeValueFn getAttributeValue) {
    const void* record = point != nullptr ? point : polyline != nullptr ? polyline : polygon;
    std::string line = "shape type=" + std::to_string(shapeType) + " slots=" + (point ? "P" : "-") +
                       (polyline ? "L" : "-") + (polygon ? "A" : "-") + " word=" + std::to_string(word) +
                       " f0=" + Text(getFieldName(0));
    if (record != nullptr)
        line += " v0=" + Text(getAttributeValue(RecordIndex(record), 0));
    Log(line);
    return ShapeResult();
}
#endif
#endif

#if XPR_TEST_VERSION >= 3
XPR_EXPORT uint8_t fnPreExport(PreExportArgs* a) {
    std::string line = "pre type=" + std::to_string(a->shapeType) + " name=" + Text(a->themeName) +
                       " index=" + std::to_string(a->themeIndex) + " count=" + std::to_string(a->shapeCount) +
                       " fields=" + std::to_string(a->fieldCount) + " f1=" + Text(a->getFieldName(1)) +
                       " t1=" + Hex(a->getFieldType(1));
#if XPR_TEST_VERSION >= 6
    line += " cp=" + std::to_string(a->textCodePage);
#endif
    Log(line);
    return 1;
}
#elif XPR_TEST_VERSION == 2
XPR_EXPORT uint8_t fnPreExport(uint32_t shapeType, const char* name, uint32_t index, uint32_t count,
                               uint32_t fields, ExportHostGetFieldNameFn getFieldName) {
    Log("pre type=" + std::to_string(shapeType) + " name=" + Text(name) + " index=" + std::to_string(index) +
        " count=" + std::to_string(count) + " fields=" + std::to_string(fields) + " f1=" + Text(getFieldName(1)));
    return 1;
}
#else
XPR_EXPORT uint8_t fnPreExport(uint32_t index, uint32_t count, uint32_t fields, ExportHostGetFieldNameFn getFieldName) {
    Log("pre index=" + std::to_string(index) + " count=" + std::to_string(count) +
        " fields=" + std::to_string(fields) + " f1=" + Text(getFieldName(1)));
    return 1;
}
#endif

XPR_EXPORT uint8_t fnPostExport(uint32_t index, uint8_t succeeded) {
    Log("post index=" + std::to_string(index) + " ok=" + std::to_string(succeeded));
    if (g_FailPost) {
        g_Error = u"post refused";
        return 0;
    }
    return 1;
}

#if XPR_TEST_VERSION >= 5
XPR_EXPORT void fnBatchExportBegin(BatchExportArgs* a) {
    char line[160];
    std::snprintf(line, sizeof line, "begin n=%u extent=%g,%g,%g,%g bg=%x reverse=%u", a->themeCount, a->extent[0],
                  a->extent[1], a->extent[2], a->extent[3], a->backgroundColor, a->reverseOrder);
    Log(line);
#ifdef XPR_TEST_REVERSE
    a->reverseOrder = 1;
#endif
}
#else
XPR_EXPORT void fnBatchExportBegin(uint32_t count) { Log("begin n=" + std::to_string(count)); }
#endif

XPR_EXPORT void fnBatchExportEnd() {
    Log("end");
    if (g_ThrowEnd)
        throw std::runtime_error("end");
}

} // extern "C"
