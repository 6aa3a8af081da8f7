#pragma once
// Builders that fill a caller-allocated record buffer of the exact final size,
// and creators of point records. Loader and GPI plug-ins link these too.
//
// The caller sets the part count, the point count, the record number and the
// buffer, calls Begin..., then AddPoint (and NextPart between parts). Records
// built here carry their content length in bytes; the file writer stores the
// value in 16-bit words as the format wants.

#include <cstddef>
#include <cstdint>

class CShapeRecordBuilder {
public:
    std::uint32_t m_PartCount = 0;
    std::uint32_t m_PointCount = 0;
    std::uint32_t m_PointsAdded = 0;
    std::uint32_t m_CurrentPart = 0;
    std::uint32_t m_RecordNumber = 1;
    unsigned char* m_Record = nullptr;
    unsigned char* m_WritePtr = nullptr;
    bool m_BoxStarted = false;

    // Size of the buffer that a 2D record of these counts needs.
    static std::size_t RecordSize(std::uint32_t parts, std::uint32_t points);

    // Write the header, counts and the first part start; false only without a buffer.
    bool BeginPolyline();
    bool BeginPolygon();
    // Appends a point; false without a buffer or once all points are taken.
    bool AddPoint(double x, double y);
    // Starts the next part at the points added so far; false without a buffer
    // or when all parts are in use.
    bool NextPart();

protected:
    bool Begin(std::uint32_t type, std::uint32_t contentLength);
    // Starts the box with the first point, then lowers and raises it.
    void WidenBox(double x, double y);
};

class CShapeRecordBuilderZ : public CShapeRecordBuilder {
public:
    unsigned char* m_ZWritePtr = nullptr;
    unsigned char* m_MWritePtr = nullptr;

    static std::size_t RecordSize(std::uint32_t parts, std::uint32_t points);

    bool BeginPolylineZ();
    bool BeginPolygonZ();
    // Appends a point with its z and m. Each value is bounded by the end of its
    // own array, so one point too many can never overwrite the Z or M range.
    bool AddPoint(double x, double y, double z, double m);

private:
    bool BeginZ(std::uint32_t type);
};

class CSinglePartPolylineBuilder {
public:
    std::uint32_t m_PointCount = 0;
    std::uint32_t m_PointsAdded = 0;
    std::uint32_t m_RecordNumber = 1;
    unsigned char* m_Record = nullptr;
    unsigned char* m_WritePtr = nullptr;
    bool m_BoxStarted = false;

    static std::size_t RecordSize(std::uint32_t points);

    bool Begin();
    bool AddPoint(double x, double y);
};

class CShapePointCreator {
public:
    explicit CShapePointCreator(std::uint32_t recordNumber = 1) : m_RecordNumber(recordNumber) {}
    virtual ~CShapePointCreator() = default;

    // Writes a 28-byte point record; false without a buffer.
    bool CreatePoint(void* buffer, double x, double y) const;

    std::uint32_t m_RecordNumber;
};

class CShapePointZCreator {
public:
    explicit CShapePointZCreator(std::uint32_t recordNumber = 1) : m_RecordNumber(recordNumber) {}
    virtual ~CShapePointZCreator() = default;

    // Writes a PointZ record into a 44-byte buffer; its m field is left as the
    // buffer holds it. False without a buffer.
    bool CreatePoint(void* buffer, double x, double y, double z) const;

    std::uint32_t m_RecordNumber;
};
