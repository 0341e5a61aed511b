#include "libimageanalyzer/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace libimageanalyzer {

long long CMemoryStream::Read(void* buffer, long long count) {
    if (count <= 0 || buffer == nullptr) return 0;
    const long long n = std::min(count, m_size - m_position);
    if (n <= 0) return 0;
    std::memcpy(buffer, m_data + m_position, static_cast<std::size_t>(n));
    m_position += n;
    return n;
}

long long CMemoryStream::Seek(long long offset, bool relative) {
    long long target;
    if (relative) {
        // Saturate rather than overflow on absurd offsets.
        if (offset > 0 && m_position > m_size - offset)
            target = m_size;
        else
            target = m_position + offset;
    } else {
        target = offset;
    }
    m_position = std::clamp(target, 0LL, m_size);
    return m_position;
}

}  // namespace libimageanalyzer
