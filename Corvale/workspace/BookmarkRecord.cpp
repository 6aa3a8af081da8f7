#include "workspace/BookmarkRecord.h"

#include "platform/Archive.h"

void CBookmarkRecord::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(1);
        archive.WriteString(m_Name);
        archive.WriteF64(m_UnitsPerPixel);
        archive.WriteF64(m_X);
        archive.WriteF64(m_Y);
        return;
    }
    archive.ReadU32();
    m_Name = archive.ReadString();
    m_UnitsPerPixel = archive.ReadF64();
    m_X = archive.ReadF64();
    m_Y = archive.ReadF64();
}
