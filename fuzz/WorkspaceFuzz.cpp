// Reads arbitrary bytes as a workspace file into a new document. Reading must
// either succeed or end in the archive's refusal (CArchiveException), leaving
// the document without a theme of the file: no crash, no hang, no sanitizer
// report, no allocation larger than the input asks for.
//
// A workspace that reads is stored, read into a second document and stored
// again; both stored files must be the same bytes, so that nothing the reader
// accepts is lost or changed by saving it again.

#include "platform/Archive.h"
#include "workspace/CorvaleDoc.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<unsigned char> Store(CCorvaleDoc& doc) {
    CArchive ar;
    doc.Serialize(ar);
    return ar.GetStored();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The program's own messages (and Qt's) would only slow the run.
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)quiet;

    std::vector<unsigned char> first;
    {
        CCorvaleDoc doc;
        try {
            CArchive ar(data, size);
            doc.Serialize(ar);
        } catch (const CArchiveException&) {
            if (!doc.m_themes.empty() || doc.m_activeTheme != nullptr)
                std::abort();
            return 0;
        }
        first = Store(doc);
    }

    CCorvaleDoc again;
    try {
        CArchive ar(first.data(), first.size());
        again.Serialize(ar);
    } catch (const CArchiveException&) {
        // What the program wrote it must read.
        std::abort();
    }
    if (Store(again) != first)
        std::abort();
    return 0;
}
