#pragma once
// The records a loader hands to the host stay valid until the loader is
// closed, so they are carved from large blocks the loader owns instead of
// being allocated one by one.

#include <cstddef>
#include <memory>
#include <vector>

class CRecordPool {
public:
    // Room for size bytes, valid for the pool's lifetime.
    unsigned char* Allocate(std::size_t size) {
        if (size > m_BlockSize)
            m_BlockSize = size;
        if (m_Cursor == nullptr || size > m_Left) {
            m_Blocks.push_back(std::make_unique<unsigned char[]>(m_BlockSize));
            m_Cursor = m_Blocks.back().get();
            m_Left = m_BlockSize;
        }
        unsigned char* record = m_Cursor;
        m_Cursor += size;
        m_Left -= size;
        return record;
    }

private:
    std::vector<std::unique_ptr<unsigned char[]>> m_Blocks;
    unsigned char* m_Cursor = nullptr;
    std::size_t m_Left = 0;
    std::size_t m_BlockSize = 8192;
};
