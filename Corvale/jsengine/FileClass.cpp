// The script class File: text files through the C library's buffered streams
// (open, read a line, write, flush, seek, tell, close).
//
// Each object owns a record with the stream and the file name, kept in a
// reserved slot and freed by the finalizer. Open failures are warnings (the
// script tests isOpen or the result of open); wrong argument counts and types
// are errors that stop the script.

#include "jsengine/EngineSupport.h"

#include <js/Object.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace ScriptBridge {

namespace {

struct CFileRecord {
    std::FILE* stream = nullptr;
    std::string name;

    void Close() {
        if (stream != nullptr)
            std::fclose(stream);
        stream = nullptr;
    }
};

constexpr std::size_t kRecordSlot = 0;

void FinalizeFile(JS::GCContext*, JSObject* object) {
    auto* record = JS::GetMaybePtrFromReservedSlot<CFileRecord>(object, kRecordSlot);
    if (record == nullptr)
        return;
    record->Close();
    delete record;
}

const JSClassOps kFileClassOps = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &FinalizeFile, nullptr, nullptr, nullptr,
};

const JSClass kFileClass = {
    "File", JSCLASS_HAS_RESERVED_SLOTS(1) | JSCLASS_FOREGROUND_FINALIZE, &kFileClassOps, nullptr, nullptr, nullptr};

// The record of `this`; null for anything that is not a File with a record
// (the prototype, another object), on which the methods fail silently.
CFileRecord* RecordOf(JSContext* cx, const JS::CallArgs& args) {
    if (!args.thisv().isObject())
        return nullptr;
    JS::RootedObject self(cx, &args.thisv().toObject());
    if (!JS_InstanceOf(cx, self, &kFileClass, nullptr))
        return nullptr;
    return JS::GetMaybePtrFromReservedSlot<CFileRecord>(self, kRecordSlot);
}

// A mode is one or two characters: "r", "w" or "a", then optionally "+".
bool IsValidMode(const std::string& mode) {
    if (mode.empty() || mode.size() > 2)
        return false;
    if (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')
        return false;
    return mode.size() == 1 || mode[1] == '+';
}

std::string WrongCount(const char* method) {
    return std::string("Wrong number of parameters for File.") + method + "().";
}

std::string NotOpen(const char* method) { return std::string("File.") + method + "(): file not open."; }

// Opens `name` into the record; a failure warns with `what` and empties the name.
bool OpenInto(JSContext* cx, CFileRecord& record, const std::string& name, const std::string& mode,
              const char* what) {
    record.name = name;
    record.stream = std::fopen(name.c_str(), mode.c_str());
    if (record.stream != nullptr)
        return true;
    record.name.clear();
    ReportNativeWarning(cx, std::string(what) + name);
    return false;
}

bool Construct(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (args.length() > 2)
        return ReportNativeError(cx, "Wrong number of parameters for File().");
    std::string name;
    std::string mode = "r";
    if (args.length() >= 1 && !ValueToUtf8(cx, args[0], name))
        return false;
    if (args.length() == 2) {
        if (!ValueToUtf8(cx, args[1], mode))
            return false;
        if (!IsValidMode(mode))
            return ReportNativeError(cx, "Illegal open mode parameter for File().");
    }
    JS::RootedObject self(cx, JS_NewObjectForConstructor(cx, &kFileClass, args));
    if (self == nullptr)
        return false;
    auto* record = new CFileRecord;
    JS::SetReservedSlot(self, kRecordSlot, JS::PrivateValue(record));
    if (args.length() >= 1)
        OpenInto(cx, *record, name, mode, "File: Error opening file: ");
    args.rval().setObject(*self);
    return true;
}

bool Open(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() < 1 || args.length() > 2)
        return ReportNativeError(cx, WrongCount("open"));
    record->Close();
    record->name.clear();
    std::string name;
    std::string mode = "r";
    if (!ValueToUtf8(cx, args[0], name))
        return false;
    if (args.length() == 2 && !ValueToUtf8(cx, args[1], mode))
        return false;
    if (!IsValidMode(mode))
        return ReportNativeError(cx, "Illegal open mode parameter for File.open().");
    args.rval().setBoolean(OpenInto(cx, *record, name, mode, "File.open(): Error opening file: "));
    return true;
}

bool OpenTempFile(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() != 1)
        return ReportNativeError(cx, WrongCount("openTempFile"));
    record->Close();
    record->name.clear();
    std::string mode;
    if (!ValueToUtf8(cx, args[0], mode))
        return false;
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    if (pattern.back() != '/')
        pattern += '/';
    pattern += "CVJSXXXXXX";
    // mkstemp makes the file, empty and unique, so no other process can take
    // the name between choosing it and opening it.
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        return ReportNativeError(cx, "Error creating temporary file in File.openTempFile().");
    ::close(descriptor);
    // The mode goes to the C library as the script gave it.
    args.rval().setBoolean(OpenInto(cx, *record, pattern, mode, "File.openTempFile(): Error opening file: "));
    return true;
}

bool Close(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() != 0)
        return ReportNativeError(cx, WrongCount("close"));
    record->name.clear();
    if (record->stream == nullptr) {
        args.rval().setInt32(0);
        return true;
    }
    const bool closed = std::fclose(record->stream) == 0;
    record->stream = nullptr;
    args.rval().setBoolean(closed);
    return true;
}

bool ReadLine(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() > 1)
        return ReportNativeError(cx, WrongCount("readln"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("readln"));
    std::string delimiters = "\n";
    if (args.length() == 1 && !ValueToUtf8(cx, args[0], delimiters))
        return false;
    // Lines have no length limit.
    std::string line;
    int c = 0;
    while ((c = std::fgetc(record->stream)) != EOF) {
        if (delimiters.find(static_cast<char>(c)) != std::string::npos) {
            if (c == '\n' && !line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        line += static_cast<char>(c);
    }
    return SetUtf8Text(cx, args.rval(), line);
}

bool WriteText(JSContext* cx, const JS::CallArgs& args, CFileRecord& record, bool newline) {
    std::string text;
    if (args.length() == 1 && !ValueToUtf8(cx, args[0], text))
        return false;
    if (newline)
        text += '\n';
    args.rval().setBoolean(std::fputs(text.c_str(), record.stream) >= 0);
    return true;
}

bool Write(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() != 1)
        return ReportNativeError(cx, WrongCount("write"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("write"));
    return WriteText(cx, args, *record, false);
}

bool WriteLine(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() > 1)
        return ReportNativeError(cx, WrongCount("writeln"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("writeln"));
    return WriteText(cx, args, *record, true);
}

bool Flush(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() != 0)
        return ReportNativeError(cx, WrongCount("flush"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("flush"));
    args.rval().setBoolean(std::fflush(record->stream) == 0);
    return true;
}

bool Seek(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() < 1 || args.length() > 2)
        return ReportNativeError(cx, WrongCount("seek"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("seek"));
    if (!args[0].isNumber() || (args.length() == 2 && !args[1].isNumber()))
        return ReportNativeError(cx, "Illegal argument type in call to File.seek()");
    const double offset = args[0].toNumber();
    const double origin = args.length() == 2 ? args[1].toNumber() : 0.0;
    if (origin != 0.0 && origin != 1.0 && origin != 2.0)
        return ReportNativeError(cx, "Illegal argument value in call to File.seek()");
    // An offset beyond what the stream can address is refused like any other
    // failed seek, not converted with undefined results.
    if (!(offset >= -9.0e18 && offset <= 9.0e18)) {
        args.rval().setBoolean(false);
        return true;
    }
    static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const int whence = kOrigins[static_cast<int>(origin)];
    args.rval().setBoolean(::fseeko(record->stream, static_cast<off_t>(offset), whence) == 0);
    return true;
}

bool Tell(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    if (record == nullptr)
        return false;
    if (args.length() != 0)
        return ReportNativeError(cx, WrongCount("tell"));
    if (record->stream == nullptr)
        return ReportNativeError(cx, NotOpen("tell"));
    args.rval().setNumber(static_cast<double>(::ftello(record->stream)));
    return true;
}

// The read-only properties, told apart by the getter.
bool GetIsOpen(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    args.rval().setBoolean(record != nullptr && record->stream != nullptr);
    return true;
}

bool GetEof(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    // A closed file has no stream to ask: it is not at its end.
    args.rval().setBoolean(record != nullptr && record->stream != nullptr && std::feof(record->stream) != 0);
    return true;
}

bool GetName(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    CFileRecord* record = RecordOf(cx, args);
    return SetUtf8Text(cx, args.rval(), record != nullptr ? record->name : std::string());
}

const JSPropertySpec kFileProperties[] = {
    JS_PSG("isOpen", GetIsOpen, JSPROP_PERMANENT),
    JS_PSG("eof", GetEof, JSPROP_PERMANENT),
    JS_PSG("name", GetName, JSPROP_PERMANENT | JSPROP_ENUMERATE),
    JS_INT32_PS("SEEK_SET", 0, JSPROP_READONLY | JSPROP_PERMANENT),
    JS_INT32_PS("SEEK_CUR", 1, JSPROP_READONLY | JSPROP_PERMANENT),
    JS_INT32_PS("SEEK_END", 2, JSPROP_READONLY | JSPROP_PERMANENT),
    JS_PS_END,
};

const JSFunctionSpec kFileMethods[] = {
    JS_FN("open", Open, 2, 0),
    JS_FN("openTempFile", OpenTempFile, 1, 0),
    JS_FN("close", Close, 0, 0),
    JS_FN("readln", ReadLine, 2, 0),
    JS_FN("write", Write, 1, 0),
    JS_FN("writeln", WriteLine, 1, 0),
    JS_FN("flush", Flush, 0, 0),
    JS_FN("seek", Seek, 1, 0),
    JS_FN("tell", Tell, 0, 0),
    JS_FS_END,
};

}  // namespace

bool InitFileClass(JSContext* cx, JS::HandleObject global) {
    return JS_InitClass(cx, global, nullptr, &kFileClass, &Construct, 2, kFileProperties, kFileMethods, nullptr,
                        nullptr) != nullptr;
}

}  // namespace ScriptBridge
