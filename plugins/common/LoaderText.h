#pragma once
// The texts a loader hands the host: its wide (UTF-16) display texts, and the
// theme name it writes into the buffer of a load request.

#include "Loader.h"

#include <QString>

#include <algorithm>
#include <cstddef>

namespace loadertext {

inline const LoaderChar* Wide(const char16_t* text) { return reinterpret_cast<const LoaderChar*>(text); }

// Copies as much of name as the request's buffer holds, always terminated.
inline void SetThemeName(LoaderLoadRequest* request, const QString& name) {
    if (request->nameBuffer == nullptr || request->nameSize == 0)
        return;
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(name.size()), request->nameSize - 1);
    std::copy_n(reinterpret_cast<const LoaderChar*>(name.utf16()), n, request->nameBuffer);
    request->nameBuffer[n] = 0;
}

} // namespace loadertext
